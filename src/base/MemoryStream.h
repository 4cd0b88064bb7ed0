// A stream over a movable memory block: a snapshot sent to or received from
// another computer, a registry value.
#pragma once

#include "base/GlobalMemory.h"
#include "base/MemoryBlock.h"
#include "base/Stream.h"

#include <cstdint>

// Written in three steps, create, writes, close, after which the first
// position() bytes of block() are the content; read in three steps too,
// attach, reads, close. The block stays locked while the stream is open.
class MemoryStream : public Stream {
public:
    static constexpr std::uint32_t defaultGrowStep = 4096;

    MemoryStream() = default;
    // Frees the block if the stream owns it.
    ~MemoryStream() override;

    // Reads an existing block, which stays the caller's. False when it
    // cannot be locked (a null, empty or discarded block).
    bool attach(MemoryHandle block);
    // Reads a block the stream takes over and frees.
    bool adopt(GlobalMemory block);
    // Writes into a new block of size bytes that grows in steps of size;
    // with owns, the stream frees it, otherwise the caller takes it after
    // close. False when no block can be had (or size is 0).
    // All three first drop a block the stream holds.
    bool create(std::uint32_t size, bool owns);

    // Grows the block to the next multiple of the step strictly above the
    // need. A failed growth fails the write and keeps the block as it was,
    // content and all.
    bool write(const void* bytes, std::uint32_t count) override;
    // Bounded by the block's size, not by what was written into it.
    bool read(void* buffer, std::uint32_t count) override;
    // Unlocks; a created stream's block is trimmed to position() bytes. A
    // failed trim keeps the larger block: position() still tells the length.
    void close() override;
    std::uint64_t remaining() const override;

    MemoryHandle block() const { return mBlock; }
    std::uint32_t position() const { return mPosition; }

private:
    // Unlocks and frees an owned block; afterwards the stream holds none.
    void dropBlock();
    bool grow(std::uint64_t needed);
    // Points at a resized block, owned or not.
    void replaceBlock(MemoryHandle resized);
    unsigned char* bytes() const { return static_cast<unsigned char*>(mLock.data()); }

    MemoryHandle mBlock = nullptr;  // mOwned's, or the caller's
    GlobalMemory mOwned;
    GlobalLockGuard mLock;  // while open
    std::uint32_t mGrowStep = defaultGrowStep;
    std::uint32_t mPosition = 0;
    bool mTrimOnClose = false;
};
