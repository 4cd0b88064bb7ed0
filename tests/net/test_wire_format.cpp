#include "NetFakes.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(WireFormat, HeadIsLittleEndianWithSignedChunkIndexAndEveryBitSurvives) {
    Message message;
    message.attempt = 0x5;
    message.type = 0x3;
    message.transferId = 0xABCDEF;
    message.totalLength = 0x01020304;
    message.chunkIndex = 0x0A0B;
    message.reserved = 0xC0DE;
    message.data.back() = 0x77;
    const auto bytes = message.encode();
    const std::uint8_t head[12] = {0x35, 0xEF, 0xCD, 0xAB, 0x04, 0x03, 0x02, 0x01, 0x0B, 0x0A, 0xDE, 0xC0};
    EXPECT_EQ(0, std::memcmp(bytes.data(), head, sizeof head));
    EXPECT_EQ(0, std::memcmp(message.key().data(), head, sizeof head));
    EXPECT_EQ(0x77, bytes.back());

    std::array<std::uint8_t, messageSize> any;
    for (std::size_t i = 0; i < any.size(); ++i)
        any[i] = static_cast<std::uint8_t>(i * 37 + 0xF0);
    any[8] = 0xFF;
    any[9] = 0xFF;
    Message decoded;
    ASSERT_TRUE(Message::decode(any.data(), any.size(), decoded));
    EXPECT_EQ(-1, decoded.chunkIndex) << "receivers read chunkIndex as signed";
    EXPECT_EQ(any, decoded.encode());
    for (std::size_t size : {0u, 419u, 421u})
        EXPECT_FALSE(Message::decode(any.data(), size, decoded)) << size;
}

// Message i carries payload bytes i x chunkSize onwards after the data's
// prefix, zeros after them; the last may be empty.
TEST(WireFormat, PayloadsAreCutIntoChunksWithAnEmptyLastOneOnExactMultiples) {
    struct Case {
        unsigned type;
        std::string computer;
        std::size_t bodyLength;
        std::uint32_t totalLength, chunkSize, count;
    };
    const Case cases[] = {
        {2, "PC", 1, 9, 408, 1},      // the empty text: computer NUL user NUL NUL
        {2, "PC", 400, 408, 408, 2},  // one full chunk, then an empty one
        {3, "ABC", 399, 404, 404, 2},
        {3, "ABC", 398, 403, 404, 1},
        {5, std::string(406, 'c'), 0, 5, 1, 6},  // the longest name that leaves room
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.computer.size() * 1000 + c.bodyLength);
        std::string body(c.bodyLength, '\0');
        for (std::size_t i = 1; i < body.size(); ++i)
            body[i] = static_cast<char>(i);
        const Chunking chunking = chunked(c.type, body, 0x1ABCDEF, c.computer);
        ASSERT_EQ(c.count, chunking.count());
        EXPECT_EQ(c.chunkSize, chunking.chunkSize());
        const std::string prefix = isAcknowledged(c.type) ? c.computer + '\0' : std::string();
        const std::string payload = (isAcknowledged(c.type) ? "" : c.computer + '\0') + "anna" + '\0' + body;
        EXPECT_EQ(c.totalLength, payload.size());
        std::string joined;
        for (std::uint32_t i = 0; i < chunking.count(); ++i) {
            const Message message = chunking.message(i);
            EXPECT_EQ(0, message.attempt);
            EXPECT_EQ(c.type, message.type);
            EXPECT_EQ(0xABCDEFu, message.transferId);
            EXPECT_EQ(c.totalLength, message.totalLength);
            EXPECT_EQ(static_cast<std::int16_t>(i), message.chunkIndex);
            const std::string data(message.data.begin(), message.data.end());
            EXPECT_EQ(prefix, data.substr(0, prefix.size()));
            const std::size_t bytes = std::min<std::size_t>(c.chunkSize, payload.size() - joined.size());
            joined += data.substr(prefix.size(), bytes);
            EXPECT_EQ(std::string(data.size() - prefix.size() - bytes, '\0'), data.substr(prefix.size() + bytes));
        }
        EXPECT_EQ(payload, joined);
    }
}

TEST(WireFormat, SendsThatCannotBeCarriedAreRefused) {
    struct Case {
        unsigned type;
        std::string computer;
        std::uint64_t totalLength;
        bool accepted;
    };
    const std::uint64_t plainMost = 32768ull * 408 - 1, ackedMost = 32768ull * 404 - 1;
    const Case cases[] = {
        {2, "PC", plainMost, true},  // 32,768 messages
        {2, "PC", plainMost + 1, false},
        {3, "ABC", ackedMost, true},
        {3, "ABC", ackedMost + 1, false},
        {3, std::string(407, 'c'), 5, false},  // no room for a single payload byte
        {3, std::string("P\0C", 3), 5, false},
        {16, "PC", 8, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.totalLength);
        const std::size_t names = (isAcknowledged(c.type) ? 0 : c.computer.size() + 1) + 5;
        const std::vector<std::uint8_t> body(c.totalLength - names, 'x');
        Chunking chunking;
        EXPECT_EQ(c.accepted, chunking.prepare(c.type, 1, c.computer, "anna", body.data(), body.size(), Framing{}));
        EXPECT_EQ(c.accepted ? 32768u : 0u, chunking.count());
        if (c.accepted) {
            EXPECT_EQ(32767, chunking.message(32767).chunkIndex);
        }
    }
}

}  // namespace
