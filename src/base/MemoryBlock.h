// Movable memory blocks, the kind the clipboard hands out and takes in.
// On Windows they are global memory; natively a heap stand-in that keeps the
// size the same way, so the code that fills and reads blocks (streams,
// snapshot data, their loaders) builds, runs and is fuzzed there too.
#pragma once

#include <cstddef>

// On Windows an HGLOBAL itself: handles pass to and from Win32 calls as they are.
using MemoryHandle = void*;

namespace memoryblock {

// The Win32 values (GMEM_MOVEABLE, GMEM_DDESHARE); the stand-in ignores them.
constexpr unsigned moveable = 0x0002;
constexpr unsigned ddeShare = 0x2000;

// A new block of size bytes, or null when memory is short. A block of 0
// bytes exists but can never be locked (Windows makes it a discarded block).
MemoryHandle allocate(unsigned flags, std::size_t size);
// Resizes an unlocked block, keeping its bytes up to the smaller size. The
// handle afterwards (it may differ), or null when the block cannot be
// resized; the block is then left as it was.
MemoryHandle reallocate(MemoryHandle block, std::size_t size);
// A null block is fine.
void free(MemoryHandle block);
// 0 for a null or discarded block.
std::size_t size(MemoryHandle block);
// The block's address until the matching unlock; null for a null, empty,
// discarded or invalid block.
void* lock(MemoryHandle block);
void unlock(MemoryHandle block);

}  // namespace memoryblock
