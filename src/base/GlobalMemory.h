// Owners of movable memory blocks, as the clipboard hands them out and takes
// them in. They sit on the memory-block seam, so the code that holds them is
// not tied to Windows.
#pragma once

#include "base/MemoryBlock.h"
#include "base/UniqueHandle.h"

#include <cstddef>

struct GlobalMemoryTraits {
    using Handle = MemoryHandle;
    static Handle none() { return nullptr; }
    static void close(Handle handle) { memoryblock::free(handle); }
};

// Owns a block; release() it when the clipboard takes ownership.
using GlobalMemory = UniqueHandle<GlobalMemoryTraits>;

// Keeps a block locked, and so its address valid, until unlock() or the end
// of its life. Locking again first unlocks what it held.
class GlobalLockGuard {
public:
    GlobalLockGuard() = default;
    explicit GlobalLockGuard(MemoryHandle block) { lock(block); }
    ~GlobalLockGuard() { unlock(); }
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;

    // False (and nothing held) when the block cannot be locked: a null,
    // empty, discarded or invalid block.
    bool lock(MemoryHandle block) {
        unlock();
        mData = block ? memoryblock::lock(block) : nullptr;
        mBlock = mData ? block : nullptr;
        return mData != nullptr;
    }
    void unlock() {
        if (mData)
            memoryblock::unlock(mBlock);
        mData = nullptr;
        mBlock = nullptr;
    }

    void* data() const { return mData; }
    std::size_t size() const { return mData ? memoryblock::size(mBlock) : 0; }

private:
    MemoryHandle mBlock = nullptr;
    void* mData = nullptr;
};
