// Sends of one process told apart: identities, and echoes read for others.
#include "NetFakes.h"
#include "net/SendRegistry.h"

#include <gtest/gtest.h>

namespace {

Datagram echoOf(std::uint32_t transferId, std::int16_t chunkIndex) {
    Message message;
    message.type = 3;
    message.transferId = transferId;
    message.chunkIndex = chunkIndex;
    return message.encode();
}

TEST(SendRegistry, SendsWithinOneTickOrOneAfterAnotherGetDistinctIdentities) {
    SendRegistry sends;
    const std::uint32_t tick = 0x12FFFFFF;  // low 24 bits all set: the next one wraps
    const std::uint32_t first = sends.begin(tick);
    const std::uint32_t second = sends.begin(tick);
    EXPECT_EQ(0xFFFFFFu, first);
    EXPECT_EQ(0u, second) << "stepped on, within 24 bits";
    sends.end(first);
    sends.end(second);
    EXPECT_EQ(0u, sends.running());
    // Ended lately: a receiver may still hold the finished transfer.
    const std::uint32_t third = sends.begin(tick);
    EXPECT_NE(first, third);
    EXPECT_NE(second, third);
    for (std::uint32_t i = 0; i < 2 * recentTransferIds; ++i)
        sends.end(sends.begin(tick + 1000));
    EXPECT_EQ(0xFFFFFFu, sends.begin(tick)) << "long ago is free again";
}

TEST(SendRegistry, EchoesGoToTheirOwnSendWithinABound) {
    SendRegistry sends;
    const std::uint32_t a = sends.begin(100), b = sends.begin(100);
    const Datagram forA = echoOf(a, 1), forB = echoOf(b, 2), stranger = echoOf(0x777777, 3);
    sends.deliver(forB.data(), forB.size());
    sends.deliver(stranger.data(), stranger.size());
    sends.deliver(forA.data(), forA.size() - 1);  // not a message
    for (std::size_t i = 0; i < maxQueuedEchoes + 10; ++i)
        sends.deliver(forA.data(), forA.size());

    std::vector<Datagram> got;
    sends.take(b, got);
    ASSERT_EQ(1u, got.size());
    EXPECT_EQ(forB, got[0]);
    got.clear();
    sends.take(a, got);
    EXPECT_EQ(maxQueuedEchoes, got.size()) << "the rest dropped, like lost datagrams";
    got.clear();
    sends.take(a, got);
    EXPECT_TRUE(got.empty()) << "taken once";

    sends.end(a);
    sends.deliver(forA.data(), forA.size());
    sends.take(a, got);
    EXPECT_TRUE(got.empty()) << "nobody waits for an ended send's echoes";
}

}  // namespace
