#include "base/MemoryStream.h"

#include <cstring>

MemoryStream::~MemoryStream() {
    dropBlock();
}

void MemoryStream::dropBlock() {
    if (mData)
        memoryblock::unlock(mBlock);
    mData = nullptr;
    if (mOwnsBlock)
        memoryblock::free(mBlock);
    mBlock = nullptr;
    mOwnsBlock = false;
    mIsOpen = false;
}

bool MemoryStream::attach(MemoryHandle block) {
    dropBlock();
    mBlock = block;
    mGrowStep = defaultGrowStep;
    mPosition = 0;
    mTrimOnClose = false;
    mData = static_cast<unsigned char*>(memoryblock::lock(block));
    mIsOpen = mData != nullptr;
    return mIsOpen;
}

bool MemoryStream::create(std::uint32_t size, bool owns) {
    dropBlock();
    mPosition = 0;
    mTrimOnClose = false;
    // The size is the growth step too: 0 could never grow.
    if (size == 0)
        return false;
    mGrowStep = size;
    mBlock = memoryblock::allocate(memoryblock::moveable | memoryblock::ddeShare, size);
    if (!mBlock)
        return false;
    mData = static_cast<unsigned char*>(memoryblock::lock(mBlock));
    if (!mData) {
        // Nobody could ever use it, the caller included.
        memoryblock::free(mBlock);
        mBlock = nullptr;
        return false;
    }
    mOwnsBlock = owns;
    mIsOpen = true;
    mTrimOnClose = true;
    return true;
}

bool MemoryStream::grow(std::uint64_t needed) {
    const std::uint64_t step = mGrowStep;
    const std::uint64_t wanted = step * (needed / step + 1);
    if (wanted != static_cast<std::size_t>(wanted))
        return false;
    memoryblock::unlock(mBlock);
    MemoryHandle grown = memoryblock::reallocate(mBlock, static_cast<std::size_t>(wanted));
    if (grown) {
        mBlock = grown;
        mTrimOnClose = true;
    }
    // Locked again either way: on failure the old block goes on as it was.
    mData = static_cast<unsigned char*>(memoryblock::lock(mBlock));
    if (!mData)
        mIsOpen = false;
    return grown && mData;
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
    std::memcpy(mData + mPosition, bytes, count);
    mPosition = static_cast<std::uint32_t>(needed);
    return true;
}

bool MemoryStream::read(void* buffer, std::uint32_t count) {
    if (!mIsOpen || count > remaining())
        return false;
    if (count == 0)
        return true;
    std::memcpy(buffer, mData + mPosition, count);
    mPosition += count;
    return true;
}

void MemoryStream::close() {
    if (!mIsOpen)
        return;
    memoryblock::unlock(mBlock);
    mData = nullptr;
    if (mTrimOnClose && memoryblock::size(mBlock) != mPosition)
        if (MemoryHandle trimmed = memoryblock::reallocate(mBlock, mPosition))
            mBlock = trimmed;
    mIsOpen = false;
}

std::uint64_t MemoryStream::remaining() const {
    if (!mIsOpen)
        return 0;
    const std::uint64_t size = memoryblock::size(mBlock);
    return size > mPosition ? size - mPosition : 0;
}
