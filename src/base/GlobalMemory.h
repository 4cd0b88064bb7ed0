// Global memory blocks, as the clipboard hands them out and takes them in.
// They sit on the memory-block seam, so the code that holds them is not
// tied to Windows.
#pragma once

#include "base/MemoryBlock.h"
#include "base/UniqueHandle.h"

#include <cstddef>

#ifdef _WIN32
// Its Windows users make and hand over blocks with the Win32 calls alongside.
#include <windows.h>
#endif

struct GlobalMemoryTraits {
    using Handle = MemoryHandle;
    static Handle none() { return nullptr; }
    static void close(Handle handle) { memoryblock::free(handle); }
};

// Owns a block; release() it when the clipboard takes ownership.
using GlobalMemory = UniqueHandle<GlobalMemoryTraits>;

// Keeps a movable block locked, and so its address valid, for one scope.
class GlobalLockGuard {
public:
    explicit GlobalLockGuard(MemoryHandle block)
        : mBlock(block), mData(block ? memoryblock::lock(block) : nullptr) {}
    ~GlobalLockGuard() {
        if (mData)
            memoryblock::unlock(mBlock);
    }
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;

    // Null when the block could not be locked (a discarded or invalid block).
    void* data() const { return mData; }
    std::size_t size() const { return mData ? memoryblock::size(mBlock) : 0; }

private:
    MemoryHandle mBlock;
    void* mData;
};
