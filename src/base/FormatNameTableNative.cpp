// Off Windows, registered formats live in a table of this process, numbered
// as the system numbers them: from 0xC000 up, names compared without regard
// to case, the spelling registered first kept.
#include "base/FormatNameTable.h"
#include "base/FormatNameTableTesting.h"

#include <cctype>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr unsigned lastRegisteredFormat = 0xFFFF;

std::mutex tableLock;
unsigned firstNumber = formatnames::firstRegistered;
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
    firstNumber = first < formatnames::firstRegistered ? formatnames::firstRegistered : first;
    names.clear();
    numbers.clear();
}

namespace formatnames {

std::size_t nameOf(unsigned format, char* out, std::size_t outSize) {
    if (outSize == 0)
        return 0;
    out[0] = '\0';
    std::lock_guard<std::mutex> guard(tableLock);
    if (format < firstNumber || format - firstNumber >= names.size())
        return 0;
    const std::string& name = names[format - firstNumber];
    const std::size_t length = name.size() < outSize ? name.size() : outSize - 1;
    std::memcpy(out, name.data(), length);
    out[length] = '\0';
    return length;
}

unsigned numberOf(const char* name) {
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

}  // namespace formatnames
