// The memory-block seam on Windows: global memory, one call each.
#include "base/MemoryBlock.h"

#include <windows.h>

namespace memoryblock {

MemoryHandle allocate(unsigned flags, std::size_t size) {
    return GlobalAlloc(flags, size);
}

MemoryHandle reallocate(MemoryHandle block, std::size_t size) {
    return block ? GlobalReAlloc(block, size, GMEM_MOVEABLE) : nullptr;
}

void free(MemoryHandle block) {
    if (block)
        GlobalFree(block);
}

std::size_t size(MemoryHandle block) {
    return block ? GlobalSize(block) : 0;
}

void* lock(MemoryHandle block) {
    return block ? GlobalLock(block) : nullptr;
}

void unlock(MemoryHandle block) {
    if (block)
        GlobalUnlock(block);
}

}  // namespace memoryblock
