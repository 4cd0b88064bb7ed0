// Off Windows, registered formats live in a table of this process, numbered
// as the system numbers them: from 0xC000 up, names compared without regard
// to case, the spelling registered first kept.
#include "clip/FormatNames.h"
#include "clip/FormatNamesTesting.h"

#include <cctype>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr unsigned lastRegisteredFormat = 0xFFFF;
constexpr std::size_t longestName = 99;

std::mutex tableLock;
unsigned firstNumber = firstRegisteredFormat;
std::vector<std::string> names;                     // by number - firstNumber
std::unordered_map<std::string, unsigned> numbers;  // by lower-case name

std::string folded(const char* name) {
    std::string key(name);
    for (char& c : key)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

}  // namespace

void resetFormatNames(unsigned first) {
    std::lock_guard<std::mutex> guard(tableLock);
    firstNumber = first < firstRegisteredFormat ? firstRegisteredFormat : first;
    names.clear();
    numbers.clear();
}

String registeredFormatName(unsigned format) {
    std::lock_guard<std::mutex> guard(tableLock);
    if (format < firstNumber || format - firstNumber >= names.size())
        return String();
    return String(names[format - firstNumber].substr(0, longestName).c_str());
}

unsigned registerFormatName(const char* name) {
    if (!name || !*name)
        return 0;
    std::lock_guard<std::mutex> guard(tableLock);
    const std::string key = folded(name);
    const auto known = numbers.find(key);
    if (known != numbers.end())
        return known->second;
    if (firstNumber + names.size() > lastRegisteredFormat)
        return 0;
    const unsigned number = firstNumber + static_cast<unsigned>(names.size());
    names.emplace_back(name);
    numbers.emplace(key, number);
    return number;
}
