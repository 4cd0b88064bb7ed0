#include "clip/RegistryStream.h"

#include "base/GlobalMemory.h"

#include <utility>

RegistryStream::~RegistryStream() {
    close();
}

LONG RegistryStream::openForReading(const char* keyPath, const char* valueName) {
    close();
    HKEY key = nullptr;
    LONG error = RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_QUERY_VALUE, &key);
    if (error != ERROR_SUCCESS)
        return error;
    RegKey opened(key);
    DWORD size = 0;
    error = RegQueryValueExA(opened.get(), valueName, nullptr, nullptr, nullptr, &size);
    if (error != ERROR_SUCCESS)
        return error;
    if (size == 0)
        return ERROR_FILE_NOT_FOUND;
    GlobalMemory block(memoryblock::allocate(memoryblock::moveable, size));
    {
        GlobalLockGuard lock(block.get());
        if (!lock.data())
            return ERROR_NOT_ENOUGH_MEMORY;
        DWORD got = size;
        error = RegQueryValueExA(opened.get(), valueName, nullptr, nullptr, static_cast<BYTE*>(lock.data()), &got);
        if (error != ERROR_SUCCESS)
            return error;
        // A value that changed size in between is left alone, like a missing one.
        if (got != size)
            return ERROR_FILE_NOT_FOUND;
    }
    return adopt(std::move(block)) ? ERROR_SUCCESS : ERROR_NOT_ENOUGH_MEMORY;
}

LONG RegistryStream::openForWriting(const char* keyPath, const char* valueName) {
    close();
    mValueName.assign(valueName);
    HKEY key = nullptr;
    const LONG error = RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                       KEY_SET_VALUE, nullptr, &key, nullptr);
    if (error != ERROR_SUCCESS)
        return error;
    mKey.reset(key);
    if (!create(defaultGrowStep, true)) {
        mKey.reset();
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    return ERROR_SUCCESS;
}

LONG RegistryStream::commit() {
    if (!isOpen() || !mKey)
        return ERROR_INVALID_HANDLE;
    MemoryStream::close();
    LONG error = ERROR_SUCCESS;
    {
        // The content is position() bytes, trimmed or not.
        GlobalLockGuard lock(block());
        error = RegSetValueExA(mKey.get(), mValueName.text(), 0, REG_BINARY, static_cast<const BYTE*>(lock.data()),
                               position());
    }
    mKey.reset();
    return error;
}

void RegistryStream::close() {
    MemoryStream::close();
    mKey.reset();
}
