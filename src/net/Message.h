// One datagram of a transfer, as a value: the fields of its 12-byte head and
// its 408 bytes of data. Every datagram is exactly messageSize bytes,
// integers little-endian.
//
//   0  4  head: bits 0-3 attempt, 4-7 type, 8-31 transferId
//   4  4  totalLength of the transfer's payload
//   8  2  chunkIndex, signed
//  10  2  reserved, echoed unchanged
//  12 408 data
//
// The reserved bytes are the sender's. This program's copies mark every
// message there: markBits in the top 12 bits, and in the low 4 bits bits
// 16-19 of the message's number in a wide transfer (one of more than
// maxChunkCount messages, which only marked copies start and take, and
// whose chunkIndex is read unsigned). In any other transfer they are 0 and
// chunkIndex keeps its signed reading.
#pragma once

#include "net/NetLimits.h"

#include <array>
#include <cstddef>
#include <cstdint>

// The first 12 bytes of a message: what tells one send of one message from
// any other.
using MessageKey = std::array<std::uint8_t, messageHeadSize>;

// Odd types are acknowledged (echoed back by the receiver), even ones are
// sent once to whoever hears them.
constexpr bool isAcknowledged(unsigned type) {
    return (type & 1u) != 0;
}

// A send's identity: the low 24 bits of the sender's tick count when it began.
constexpr std::uint32_t transferIdAt(std::uint32_t now) {
    return now & 0xFFFFFFu;
}

// Messages in a transfer: length / chunkSize + 1. A payload that is an exact
// multiple ends with an empty message, so the last one is always seen.
constexpr std::uint64_t chunkCountFor(std::uint64_t payloadLength, std::uint32_t chunkSize) {
    return payloadLength / chunkSize + 1;
}

constexpr std::uint16_t markBits = 0x7A50;
constexpr std::uint16_t markMask = 0xFFF0;
// A marked copy that gives up a transfer it asked for (the user cancelled)
// answers each further message of it with that message, the reserved bytes
// set to declineBits: its marked sender stops at once. Never sent to a
// sender whose messages carry no mark.
constexpr std::uint16_t declineBits = 0x7A60;

// Whether a transfer of count messages numbers them past chunkIndex.
constexpr bool isWide(std::uint64_t count) {
    return count > maxChunkCount;
}

struct Message {
    std::uint8_t attempt = 0;      // 0..15
    std::uint8_t type = 0;         // 0..15
    std::uint32_t transferId = 0;  // 24 bits
    std::uint32_t totalLength = 0;
    std::int16_t chunkIndex = 0;
    std::uint16_t reserved = 0;
    std::array<std::uint8_t, messageDataSize> data{};

    // Writes messageSize bytes. Bits of attempt, type and transferId beyond
    // their widths are dropped.
    void encode(std::uint8_t* bytes) const;
    std::array<std::uint8_t, messageSize> encode() const;
    // False, and message untouched, unless size is exactly messageSize.
    // Every bit pattern decodes, and encodes back to the same bytes.
    static bool decode(const std::uint8_t* bytes, std::size_t size, Message& message);

    MessageKey key() const;
    bool marked() const { return (reserved & markMask) == markBits; }
    // The message's number in its transfer: chunkIndex as signed, or in a
    // wide transfer with the mark's bits above it; below 0 for none.
    std::int64_t index(bool wide) const;
    // Numbers the message, marked or not (then never wide).
    void setIndex(std::uint32_t index, bool mark);
    // The head without attempt: type and transferId.
    std::uint32_t typeAndId() const { return static_cast<std::uint32_t>(type & 0xFu) | transferId << 4; }
};

// Whether the message at bytes (messageSize of them) carries the mark.
bool markedAt(const std::uint8_t* bytes);

// How many whole messages a datagram of size bytes carries: 1 for exactly
// messageSize bytes; 2 to maxMessagesPerDatagram only when each of them is
// marked, as only marked copies pack them; 0 for anything else, which is
// dropped whole.
std::size_t messagesIn(const std::uint8_t* bytes, std::size_t size);
