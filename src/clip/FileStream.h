// A stream over a file handle: the stack file, and the base of the stream
// that writes into a mailslot.
#pragma once

#include "base/Stream.h"

#include <windows.h>

#include <cstdint>

class FileStream : public Stream {
public:
    FileStream() = default;
    // Closes the file.
    ~FileStream() override;

    // Environment variables in path are expanded first (into at most 259
    // characters; a longer result fails); then CreateFileA with the rest,
    // no security attributes and no template. Closes a file already open.
    bool open(const char* path, DWORD access, DWORD shareMode, DWORD disposition, DWORD attributes);

    // Both fail unless every byte went out or came in: a read at the end of
    // the file is a failure, not an empty success.
    bool write(const void* bytes, std::uint32_t count) override;
    bool read(void* buffer, std::uint32_t count) override;
    void close() override;
    // The file's size less the position; unknownRemaining for a handle that
    // is not a disk file.
    std::uint64_t remaining() const override;

    HANDLE handle() const { return mFile; }

protected:
    HANDLE mFile = INVALID_HANDLE_VALUE;
};
