#include "net/MailslotStream.h"

#include <cstdio>

bool MailslotStream::openMailslot(const char* host, const char* name, bool write) {
    close();
    if (!write)
        return false;
    char path[252];
    const int length = std::snprintf(path, sizeof path, "\\\\%s\\mailslot\\%s", host, name);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof path)
        return false;
    return open(path, GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
}
