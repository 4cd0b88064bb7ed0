#include "clip/ComputerNames.h"

#include <algorithm>
#include <cstring>

namespace {

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool isPlainComputerName(std::string_view name) {
    if (name.empty() || name.size() > maxComputerNameLength)
        return false;
    if (name.find_first_not_of('.') == std::string_view::npos)
        return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F || std::strchr("\\/:*?\"<>|", c) != nullptr)
            return false;
    }
    return true;
}

bool sameComputerName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return upper(x) == upper(y); });
}
