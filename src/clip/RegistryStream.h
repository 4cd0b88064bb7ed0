// A memory stream whose block is read from, or written back to, one binary
// value under HKEY_CURRENT_USER.
#pragma once

#include "base/MemoryStream.h"
#include "base/RegKey.h"
#include "base/String.h"

class RegistryStream : public MemoryStream {
public:
    RegistryStream() = default;
    // Commits a written value.
    ~RegistryStream() override;

    // Creates the key when it is missing. For writing, the value is written
    // on close. For reading, the value's bytes are the stream's; a key that
    // did not exist (it is left created, empty), or a missing or empty
    // value, fails without a word. Other registry errors, and a value too
    // big for memory, are shown with the system's box. Commits a stream
    // already open first.
    bool open(const char* keyPath, const char* valueName, bool read);
    // Writing: the bytes written become the value, of type REG_BINARY; a
    // refused write is shown with the system's box. Then the key is closed.
    void close() override;

private:
    bool openForReading(HKEY key, DWORD disposition);

    RegKey mKey;
    bool mReadMode = false;
    String mValueName;
};
