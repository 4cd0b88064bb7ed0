// A file stream into a mailslot, here or on another computer: opened,
// written once and closed for every datagram.
#pragma once

#include "clip/FileStream.h"

class MailslotStream : public FileStream {
public:
    // Opens "\\host\mailslot\name" for writing (GENERIC_WRITE, FILE_SHARE_READ,
    // OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL). False, nothing open, when write
    // is clear, when the path does not fit in 252 bytes, or when the open
    // fails (error() tells why).
    bool openMailslot(const char* host, const char* name, bool write);
};
