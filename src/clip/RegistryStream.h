// A memory stream whose block is read from, or written back to, one binary
// value under HKEY_CURRENT_USER. Failures come back as the system's error
// codes; the caller decides what the user is told.
#pragma once

#include "base/MemoryStream.h"
#include "base/RegKey.h"
#include "base/String.h"

#include <windows.h>

class RegistryStream : public MemoryStream {
public:
    RegistryStream() = default;
    // A written value that was not committed stays as it was: a record that
    // failed half-way never becomes the value.
    ~RegistryStream() override;

    // The value's bytes become the stream's. The key is opened for reading
    // only. ERROR_FILE_NOT_FOUND for a missing key or value, and for an
    // empty value.
    LONG openForReading(const char* keyPath, const char* valueName);
    // Creates the key when it is missing; the bytes written become the value
    // on commit.
    LONG openForWriting(const char* keyPath, const char* valueName);
    // Writes the value (type REG_BINARY) and closes the key: the one way a
    // written value reaches the registry.
    LONG commit();
    // Discards what was written and not committed.
    void close() override;

private:
    RegKey mKey;
    String mValueName;
};
