#include "clip/ShareRecords.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t captionSize = 64;

void putU32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t getU32(const std::uint8_t* at) {
    return std::uint32_t{at[0]} | std::uint32_t{at[1]} << 8 | std::uint32_t{at[2]} << 16 | std::uint32_t{at[3]} << 24;
}

}  // namespace

std::vector<std::uint8_t> encodeClipList(const std::vector<ClipListRecord>& records) {
    std::vector<std::uint8_t> body(4 + clipListRecordSize * records.size(), 0);
    putU32(body.data(), static_cast<std::uint32_t>(records.size()));
    std::uint8_t* at = body.data() + 4;
    for (const ClipListRecord& record : records) {
        putU32(at, record.entryId);
        putU32(at + 4, record.kind);
        std::memcpy(at + 8, record.caption.data(), std::min(record.caption.size(), captionSize - 1));
        at += clipListRecordSize;
    }
    return body;
}

bool decodeClipList(const std::uint8_t* body, std::size_t length, std::vector<ClipListRecord>& records) {
    if (!body || length < 4 + clipListRecordSize)
        return false;
    const std::uint64_t count = getU32(body);
    if (length != 4 + clipListRecordSize * count)
        return false;
    std::vector<ClipListRecord> read;
    read.reserve(static_cast<std::size_t>(count));
    for (const std::uint8_t* at = body + 4; at < body + length; at += clipListRecordSize) {
        ClipListRecord record;
        record.entryId = getU32(at);
        record.kind = getU32(at + 4);
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
    putU32(body.data(), entryId);
    return body;
}

bool decodeFetchRequest(const std::uint8_t* body, std::size_t length, std::uint32_t& entryId) {
    if (!body || length != 4)
        return false;
    entryId = getU32(body);
    return true;
}
