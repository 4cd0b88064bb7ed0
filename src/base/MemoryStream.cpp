#include "base/MemoryStream.h"

#include <cstring>
#include <utility>

MemoryStream::~MemoryStream() {
    dropBlock();
}

void MemoryStream::dropBlock() {
    mLock.unlock();
    mOwned.reset();
    mBlock = nullptr;
    mIsOpen = false;
    mPosition = 0;
    mTrimOnClose = false;
    mGrowStep = defaultGrowStep;
}

void MemoryStream::replaceBlock(MemoryHandle resized) {
    if (mOwned) {
        // The old handle went with the resize: nothing to free.
        mOwned.release();
        mOwned.reset(resized);
    }
    mBlock = resized;
}

bool MemoryStream::attach(MemoryHandle block) {
    dropBlock();
    mBlock = block;
    mIsOpen = mLock.lock(block);
    return mIsOpen;
}

bool MemoryStream::adopt(GlobalMemory block) {
    dropBlock();
    mBlock = block.get();
    mOwned = std::move(block);
    mIsOpen = mLock.lock(mBlock);
    return mIsOpen;
}

bool MemoryStream::create(std::uint32_t size, bool owns) {
    dropBlock();
    // The size is the growth step too: 0 could never grow.
    if (size == 0)
        return false;
    GlobalMemory block(memoryblock::allocate(memoryblock::moveable | memoryblock::ddeShare, size));
    // A block nobody could lock is of no use to anyone, the caller included.
    if (!block || !mLock.lock(block.get()))
        return false;
    mGrowStep = size;
    mBlock = block.get();
    if (owns)
        mOwned = std::move(block);
    else
        block.release();
    mIsOpen = true;
    mTrimOnClose = true;
    return true;
}

bool MemoryStream::grow(std::uint64_t needed) {
    const std::uint64_t step = mGrowStep;
    const std::uint64_t wanted = step * (needed / step + 1);
    if (wanted != static_cast<std::size_t>(wanted))
        return false;
    mLock.unlock();
    MemoryHandle grown = memoryblock::reallocate(mBlock, static_cast<std::size_t>(wanted));
    if (grown) {
        replaceBlock(grown);
        mTrimOnClose = true;
    }
    // Locked again either way: on failure the old block goes on as it was.
    if (!mLock.lock(mBlock))
        mIsOpen = false;
    return grown && mIsOpen;
}

bool MemoryStream::write(const void* bytes, std::uint32_t count) {
    if (!mIsOpen)
        return false;
    if (count == 0)
        return true;
    const std::uint64_t needed = std::uint64_t{mPosition} + count;
    // Positions are 32-bit, as in every layout the streams carry.
    if (needed > UINT32_MAX)
        return false;
    if (needed > memoryblock::size(mBlock) && !grow(needed))
        return false;
    std::memcpy(this->bytes() + mPosition, bytes, count);
    mPosition = static_cast<std::uint32_t>(needed);
    return true;
}

bool MemoryStream::read(void* buffer, std::uint32_t count) {
    if (!mIsOpen || count > remaining())
        return false;
    if (count == 0)
        return true;
    std::memcpy(buffer, bytes() + mPosition, count);
    mPosition += count;
    return true;
}

void MemoryStream::close() {
    if (!mIsOpen)
        return;
    mLock.unlock();
    if (mTrimOnClose && memoryblock::size(mBlock) != mPosition)
        if (MemoryHandle trimmed = memoryblock::reallocate(mBlock, mPosition))
            replaceBlock(trimmed);
    mIsOpen = false;
}

std::uint64_t MemoryStream::remaining() const {
    if (!mIsOpen)
        return 0;
    const std::uint64_t size = memoryblock::size(mBlock);
    return size > mPosition ? size - mPosition : 0;
}
