#include "NetFakes.h"
#include "net/SendWindow.h"

#include <gtest/gtest.h>

namespace {

Chunking messages(std::uint32_t count) {
    return chunkedInto(3, count);
}

std::vector<std::int16_t> indices(const std::vector<Message>& sent) {
    std::vector<std::int16_t> result;
    for (const Message& message : sent)
        result.push_back(message.chunkIndex);
    return result;
}

void reply(SendWindow& window, const Message& message) {
    const auto bytes = message.encode();
    window.onReply(bytes.data(), bytes.size());
}

TEST(SendWindow, FirstMessageAloneThenInOrderAsRoomFrees) {
    const Chunking source = messages(6);
    SendWindow window(source, 3);
    std::vector<Message> sent;
    window.due(0, sent);
    ASSERT_EQ((std::vector<std::int16_t>{0}), indices(sent)) << "nobody has answered yet";
    EXPECT_EQ(500u, window.nextWake(0));
    reply(window, sent[0]);
    sent.clear();
    window.due(5, sent);
    ASSERT_EQ((std::vector<std::int16_t>{1, 2, 3}), indices(sent)) << "the window opens at the first echo";
    EXPECT_EQ(505u, window.nextWake(5)) << "full: nothing before the first resend";
    reply(window, sent[1]);
    EXPECT_EQ(10u, window.nextWake(10));
    sent.clear();
    window.due(10, sent);
    ASSERT_EQ((std::vector<std::int16_t>{4}), indices(sent));
    reply(window, sent[0]);
    reply(window, sent[0]);  // a duplicated echo counts once
    EXPECT_EQ(3u, window.acknowledgedCount());
    for (std::int16_t i : {1, 3})
        reply(window, source.message(static_cast<std::uint32_t>(i)));
    sent.clear();
    window.due(20, sent);
    ASSERT_EQ((std::vector<std::int16_t>{5}), indices(sent));
    EXPECT_FALSE(window.finished());
    reply(window, sent[0]);
    EXPECT_TRUE(window.succeeded());
    EXPECT_EQ(6u, window.acknowledgedCount());
}

TEST(SendWindow, EchoOfAnyAttemptAcknowledgesButOtherRepliesDoNot) {
    const Chunking source = messages(2);
    SendWindow window(source, 1);
    std::vector<Message> sent;
    window.due(0, sent);
    window.due(499, sent);
    window.due(500, sent);
    ASSERT_EQ(2u, sent.size());
    EXPECT_EQ(1, sent[1].attempt);

    const auto first = sent[0].encode();
    window.onReply(first.data(), 419);
    Message stranger = sent[0];
    stranger.transferId ^= 1;
    reply(window, stranger);
    reply(window, source.message(1));  // not in flight yet
    EXPECT_EQ(0u, window.acknowledgedCount());

    Message echo = sent[0];
    echo.type = 2;  // neither type nor attempt is compared
    reply(window, echo);
    EXPECT_EQ(1u, window.acknowledgedCount());
}

// Sends at t0, +500, +1000, +1500 (attempts 0-3), failure at the first
// check at t0 + 2000; whatever the window, a receiver that never answers
// (or an address a stranger named) gets the first message alone.
TEST(SendWindow, SilentReceiverFailsTheSendAfterTwoSeconds) {
    for (std::uint32_t width : {1u, 16u}) {
        for (std::uint32_t t0 : {0u, 0xFFFFFC00u}) {
            SCOPED_TRACE(width * 100000000ull + t0);
            const Chunking source = messages(20);
            SendWindow window(source, width);
            std::vector<Message> sent;
            std::uint32_t now = t0;
            for (int round = 0; round < 100 && !window.finished(); ++round) {
                const std::size_t before = sent.size();
                window.due(now, sent);
                if (window.failed()) {
                    EXPECT_EQ(before, sent.size()) << "a failing round sends nothing";
                }
                if (now - t0 == 1999u) {
                    EXPECT_FALSE(window.failed());
                }
                const std::uint32_t next = window.nextWake(now);
                now = next - now > 1 ? next - 1 : next;  // also look just before each deadline
            }
            ASSERT_TRUE(window.failed());
            EXPECT_EQ(2000u, now - t0);
            ASSERT_EQ(4u, sent.size());
            for (std::size_t i = 0; i < sent.size(); ++i) {
                EXPECT_EQ(i, sent[i].attempt);
                EXPECT_EQ(0, sent[i].chunkIndex);
            }
        }
    }
}

}  // namespace
