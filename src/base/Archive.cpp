#include "base/Archive.h"

#include "base/LittleEndian.h"
#include "base/Stream.h"

#include <algorithm>

namespace {

constexpr std::uint8_t longCount = 0xFF;

}  // namespace

std::uint64_t Archive::remaining() const {
    return mOk ? mStream.remaining() : 0;
}

bool Archive::holds(std::uint64_t count, std::uint32_t minBytes) {
    const std::uint64_t left = remaining();
    // count * minBytes > left, without overflowing.
    if (minBytes != 0 && count > left / minBytes)
        mOk = false;
    return mOk;
}

void Archive::writeBytes(const void* bytes, std::uint32_t count) {
    if (mOk && count != 0 && !mStream.write(bytes, count))
        mOk = false;
}

bool Archive::readBytes(void* buffer, std::uint32_t count) {
    if (mOk && count != 0 && !mStream.read(buffer, count))
        mOk = false;
    return mOk;
}

void Archive::writeU32(std::uint32_t value) {
    unsigned char bytes[4];
    littleendian::write32(bytes, value);
    writeBytes(bytes, sizeof bytes);
}

std::uint32_t Archive::readU32() {
    unsigned char bytes[4];
    if (!readBytes(bytes, sizeof bytes))
        return 0;
    return littleendian::read32(bytes);
}

void Archive::writeCount(std::uint32_t count) {
    if (count < longCount) {
        const auto shortCount = static_cast<std::uint8_t>(count);
        writeBytes(&shortCount, 1);
        return;
    }
    writeBytes(&longCount, 1);
    writeU32(count);
}

std::uint32_t Archive::readCount(std::uint32_t minBytes) {
    std::uint8_t first = 0;
    if (!readBytes(&first, 1))
        return 0;
    const std::uint32_t count = first == longCount ? readU32() : first;
    if (!mOk || !holds(count, minBytes))
        return 0;
    return count;
}

void Archive::field(std::uint32_t& value) {
    if (mStoring) {
        writeU32(value);
        return;
    }
    const std::uint32_t read = readU32();
    if (mOk)
        value = read;
}

void Archive::field(bool& value) {
    std::uint8_t byte = value ? 1 : 0;
    if (mStoring) {
        writeBytes(&byte, 1);
        return;
    }
    if (readBytes(&byte, 1))
        value = byte != 0;
}

void Archive::count(std::uint32_t& count, std::uint32_t minBytes) {
    if (mStoring) {
        writeCount(count);
        return;
    }
    const std::uint32_t read = readCount(minBytes);
    if (mOk)
        count = read;
}

bool Archive::admitName(const char* name) {
    const std::string wanted(name ? name : "");
    if (std::find(mNames.begin(), mNames.end(), wanted) != mNames.end())
        return true;
    if (mNames.size() >= maxDistinctNames)
        return false;
    mNames.push_back(wanted);
    return true;
}
