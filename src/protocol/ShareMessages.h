// The bodies of the share and fetch conversations between copies of the
// program, byte by byte and little-endian. Platform-free.
//
//   ClipListReply  count (4), then count records of 72 bytes:
//                  entryId (4), kind (4), caption (64, NUL-terminated)
//   FetchRequest   entryId (4), exactly
//   FetchData      a serialized snapshot
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sharetype {
constexpr unsigned userQuery = 2;
constexpr unsigned userReply = 3;
constexpr unsigned clipListQuery = 4;
constexpr unsigned clipListReply = 5;
constexpr unsigned fetchRequest = 7;
constexpr unsigned fetchData = 9;
}  // namespace sharetype

struct ClipListRecord {
    std::uint32_t entryId = 0;
    std::uint32_t kind = 0;
    std::string caption;  // at most 63 characters
};

constexpr std::size_t clipListRecordSize = 72;

// The ClipListReply body for records; captions longer than 63 characters
// are cut.
std::vector<std::uint8_t> encodeClipList(const std::vector<ClipListRecord>& records);
// False, and records untouched, unless the body is at least one record long
// and exactly 4 + 72 x count bytes. A caption without its NUL ends at 63.
bool decodeClipList(const std::uint8_t* body, std::size_t length, std::vector<ClipListRecord>& records);

std::vector<std::uint8_t> encodeFetchRequest(std::uint32_t entryId);
// False unless the body is exactly 4 bytes.
bool decodeFetchRequest(const std::uint8_t* body, std::size_t length, std::uint32_t& entryId);
