#include "protocol/ShareMessages.h"

#include "base/LittleEndian.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t captionSize = 64;

using littleendian::read32;
using littleendian::write32;

}  // namespace

std::vector<std::uint8_t> encodeClipList(const std::vector<ClipListRecord>& records) {
    std::vector<std::uint8_t> body(4 + clipListRecordSize * records.size(), 0);
    write32(body.data(), static_cast<std::uint32_t>(records.size()));
    std::uint8_t* at = body.data() + 4;
    for (const ClipListRecord& record : records) {
        write32(at, record.entryId);
        write32(at + 4, record.kind);
        std::memcpy(at + 8, record.caption.data(), std::min(record.caption.size(), captionSize - 1));
        at += clipListRecordSize;
    }
    return body;
}

bool decodeClipList(const std::uint8_t* body, std::size_t length, std::vector<ClipListRecord>& records) {
    if (!body || length < 4 + clipListRecordSize)
        return false;
    const std::uint64_t count = read32(body);
    if (length != 4 + clipListRecordSize * count)
        return false;
    std::vector<ClipListRecord> read;
    read.reserve(static_cast<std::size_t>(count));
    for (const std::uint8_t* at = body + 4; at < body + length; at += clipListRecordSize) {
        ClipListRecord record;
        record.entryId = read32(at);
        record.kind = read32(at + 4);
        const char* caption = reinterpret_cast<const char*>(at + 8);
        const void* end = std::memchr(caption, 0, captionSize - 1);
        record.caption.assign(caption, end ? static_cast<const char*>(end) - caption : captionSize - 1);
        read.push_back(std::move(record));
    }
    records = std::move(read);
    return true;
}

std::vector<std::uint8_t> encodeFetchRequest(std::uint32_t entryId) {
    std::vector<std::uint8_t> body(4);
    write32(body.data(), entryId);
    return body;
}

bool decodeFetchRequest(const std::uint8_t* body, std::size_t length, std::uint32_t& entryId) {
    if (!body || length != 4)
        return false;
    entryId = read32(body);
    return true;
}
