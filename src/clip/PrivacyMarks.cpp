#include "clip/PrivacyMarks.h"

#include <cctype>
#include <cstdint>

namespace {

// The system compares format names without regard to letter case.
bool sameName(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

}  // namespace

bool marksPrivate(const char* formatName, const unsigned char* bytes, std::size_t size) {
    if (!formatName)
        return false;
    // Present at all: keep nothing.
    if (sameName(formatName, "ExcludeClipboardContentFromMonitorProcessing") ||
        sameName(formatName, "Clipboard Viewer Ignore"))
        return true;
    // A DWORD: 0 keeps the content out of any clipboard history.
    if (sameName(formatName, "CanIncludeInClipboardHistory")) {
        if (!bytes || size < 4)
            return false;
        const std::uint32_t value = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
                                    static_cast<std::uint32_t>(bytes[2]) << 16 |
                                    static_cast<std::uint32_t>(bytes[3]) << 24;
        return value == 0;
    }
    return false;
}
