// Global memory blocks, as the clipboard hands them out and takes them in.
#pragma once

#include "base/UniqueHandle.h"

#include <windows.h>

struct GlobalMemoryTraits {
    using Handle = HGLOBAL;
    static Handle none() { return nullptr; }
    static void close(Handle handle) { GlobalFree(handle); }
};

// Owns a block; release() it when the clipboard takes ownership.
using GlobalMemory = UniqueHandle<GlobalMemoryTraits>;

// Keeps a movable block locked, and so its address valid, for one scope.
class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL block)
        : mBlock(block), mData(block ? GlobalLock(block) : nullptr) {}
    ~GlobalLockGuard() {
        if (mData)
            GlobalUnlock(mBlock);
    }
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;

    // Null when the block could not be locked (a discarded or invalid block).
    void* data() const { return mData; }
    SIZE_T size() const { return mData ? GlobalSize(mBlock) : 0; }

private:
    HGLOBAL mBlock;
    void* mData;
};
