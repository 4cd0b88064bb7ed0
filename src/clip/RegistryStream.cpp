#include "clip/RegistryStream.h"

#include "base/GlobalMemory.h"
#include "ui/MessageBoxes.h"

RegistryStream::~RegistryStream() {
    close();
}

bool RegistryStream::open(const char* keyPath, const char* valueName, bool read) {
    close();
    mValueName.assign(valueName);
    HKEY key = nullptr;
    DWORD disposition = 0;
    const LONG error = RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                       KEY_ALL_ACCESS, nullptr, &key, &disposition);
    if (error != ERROR_SUCCESS) {
        showSystemError(static_cast<DWORD>(error), MB_ICONHAND);
        return false;
    }
    mKey.reset(key);
    mReadMode = read;
    if (!read)
        return create(defaultGrowStep, true);
    const bool opened = openForReading(key, disposition);
    mKey.reset();
    return opened;
}

bool RegistryStream::openForReading(HKEY key, DWORD disposition) {
    if (disposition != REG_OPENED_EXISTING_KEY)
        return false;
    DWORD size = 0;
    if (RegQueryValueExA(key, mValueName.text(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0)
        return false;
    GlobalMemory block(memoryblock::allocate(memoryblock::moveable, size));
    if (!block) {
        showSystemError(ERROR_NOT_ENOUGH_MEMORY, MB_ICONHAND);
        return false;
    }
    {
        GlobalLockGuard lock(block.get());
        DWORD got = size;
        // A value that changed size in between is left alone, like a missing one.
        if (!lock.data() ||
            RegQueryValueExA(key, mValueName.text(), nullptr, nullptr, static_cast<BYTE*>(lock.data()), &got) !=
                ERROR_SUCCESS ||
            got != size)
            return false;
    }
    if (!attach(block.get()))
        return false;
    setOwnsBlock(true);
    block.release();
    return true;
}

void RegistryStream::close() {
    if (isOpen()) {
        MemoryStream::close();
        if (!mReadMode && mKey) {
            // The content is position() bytes, trimmed or not.
            GlobalLockGuard lock(block());
            const LONG error = RegSetValueExA(mKey.get(), mValueName.text(), 0, REG_BINARY,
                                              static_cast<const BYTE*>(lock.data()), position());
            if (error != ERROR_SUCCESS)
                showSystemError(static_cast<DWORD>(error), MB_ICONHAND);
        }
    }
    mKey.reset();
}
