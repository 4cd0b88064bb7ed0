#include "clip/PrivacyMarks.h"

#include "base/LittleEndian.h"

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
        return littleendian::read32(bytes) == 0;
    }
    return false;
}
