// The memory-block seam off Windows: a heap block with a small header that
// keeps the size and the lock count, as global memory does.
#include "base/MemoryBlock.h"
#include "base/MemoryBlockTesting.h"

#include <atomic>
#include <cassert>
#include <cstdlib>

namespace {

struct alignas(std::max_align_t) Header {
    std::size_t size;
    unsigned locks;
};

std::atomic<std::size_t> sizeLimit{memoryblock::testing::noLimit};
std::atomic<std::size_t> blockCount{0};
std::atomic<std::size_t> byteCount{0};
std::atomic<std::size_t> peak{0};

Header* headerOf(MemoryHandle block) {
    return static_cast<Header*>(block);
}

bool allowed(std::size_t size) {
    return size <= sizeLimit.load() && size <= static_cast<std::size_t>(-1) - sizeof(Header);
}

void countBytes(std::size_t added, std::size_t removed) {
    const std::size_t now = byteCount += added - removed;
    std::size_t seen = peak.load();
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
}

}  // namespace

namespace memoryblock {

MemoryHandle allocate(unsigned, std::size_t size) {
    if (!allowed(size))
        return nullptr;
    auto* header = static_cast<Header*>(std::malloc(sizeof(Header) + size));
    if (!header)
        return nullptr;
    header->size = size;
    header->locks = 0;
    ++blockCount;
    countBytes(size, 0);
    return header;
}

MemoryHandle reallocate(MemoryHandle block, std::size_t size) {
    Header* header = headerOf(block);
    if (!header || header->locks != 0 || !allowed(size))
        return nullptr;
    const std::size_t old = header->size;
    auto* resized = static_cast<Header*>(std::realloc(header, sizeof(Header) + size));
    if (!resized)
        return nullptr;
    resized->size = size;
    countBytes(size, old);
    return resized;
}

void free(MemoryHandle block) {
    Header* header = headerOf(block);
    if (!header)
        return;
    assert(header->locks == 0 && "a block is freed while locked");
    --blockCount;
    byteCount.fetch_sub(header->size);
    std::free(header);
}

std::size_t size(MemoryHandle block) {
    return block ? headerOf(block)->size : 0;
}

void* lock(MemoryHandle block) {
    Header* header = headerOf(block);
    if (!header || header->size == 0)
        return nullptr;
    ++header->locks;
    return header + 1;
}

void unlock(MemoryHandle block) {
    Header* header = headerOf(block);
    if (header && header->locks > 0)
        --header->locks;
}

namespace testing {

void setSizeLimit(std::size_t limit) {
    sizeLimit = limit;
}

std::size_t liveBlocks() {
    return blockCount.load();
}

std::size_t liveBytes() {
    return byteCount.load();
}

std::size_t peakBytes() {
    return peak.load();
}

void resetPeak() {
    peak = byteCount.load();
}

}  // namespace testing

}  // namespace memoryblock
