// A stream over a file: the stack file, and the base of the stream that
// writes into a mailslot.
#pragma once

#include "base/FileHandle.h"
#include "base/Stream.h"

#include <windows.h>

#include <cstdint>

class FileStream : public Stream {
public:
    FileStream() = default;
    ~FileStream() override;

    // CreateFileA with the path as given (no environment expansion: the
    // caller expands once, where it checks the length), no security
    // attributes and no template. Closes a file already open. On failure
    // error() tells why.
    bool open(const char* path, DWORD access, DWORD shareMode, DWORD disposition, DWORD attributes);

    // Both fail unless every byte went out or came in: a read at the end of
    // the file is a failure, not an empty success.
    bool write(const void* bytes, std::uint32_t count) override;
    bool read(void* buffer, std::uint32_t count) override;
    void close() override;
    // The file's size less the position; unknownRemaining for a handle that
    // is not a disk file.
    std::uint64_t remaining() const override;
    // Writes what the system still buffers through to the disk.
    bool flush();

    HANDLE handle() const { return mFile.get(); }
    // The system's error code of the last failed open, read or write.
    DWORD error() const { return mError; }

private:
    // The result of a read or write that moved every byte or not; the error
    // is the system's, or shortError for a short one.
    bool done(bool whole, DWORD shortError);

    FileHandle mFile;
    DWORD mError = ERROR_SUCCESS;
};
