#include "base/FormatNameTable.h"

#include <windows.h>

#include <cstring>

namespace formatnames {

std::size_t nameOf(unsigned format, char* out, std::size_t outSize) {
    if (outSize == 0)
        return 0;
    out[0] = '\0';
    // Names are atoms of up to 255 characters. Windows cuts a longer one to
    // the buffer given; Wine refuses it instead, so the whole name is
    // fetched and cut here.
    char name[256];
    if (GetClipboardFormatNameA(format, name, sizeof name) <= 0)
        return 0;
    std::size_t length = std::strlen(name);
    if (length >= outSize)
        length = outSize - 1;
    std::memcpy(out, name, length);
    out[length] = '\0';
    return length;
}

unsigned numberOf(const char* name) {
    if (!name || !*name)
        return 0;
    return RegisterClipboardFormatA(name);
}

}  // namespace formatnames
