// A sender and a listener core wired together in memory, on a fake clock.
#include "NetFakes.h"
#include "net/SendWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

namespace {

// Echoes go back at once; of the datagrams towards the receiver, every
// tenth is dropped or, alternately, delivered twice. Echoes are not lost
// here: the receiver never repeats the echo of a message it completed with,
// so losing one of those fails the send although the data arrived.
class LossyLink : public EchoSink {
public:
    std::vector<std::array<std::uint8_t, messageSize>> replies;

    void pass(ListenerCore& core, const Message& message, std::uint32_t now) {
        ++mCount;
        const int copies = mCount % 20 == 0 ? 0 : mCount % 10 == 0 ? 2 : 1;
        const auto bytes = message.encode();
        for (int i = 0; i < copies; ++i)
            core.take(bytes.data(), bytes.size(), Origin{}, now);
    }
    void echo(const Message& message, const Origin&, const char*) override { replies.push_back(message.encode()); }
    void decline(const Message&, const Origin&) override { ADD_FAILURE() << "nothing asked, nothing declined"; }

private:
    unsigned mCount = 0;
};

TEST(NetEndToEnd, MegabyteCrossesALossyLinkByteIdentical) {
    std::mt19937 random(11);
    std::string body(1u << 20, '\0');
    for (char& c : body)
        c = static_cast<char>(random());
    std::uint32_t now = 0xFFFFF000;  // the tick count wraps during the send
    const Chunking chunking = chunked(3, body, transferIdAt(now));
    SendWindow window(chunking, 16);
    LossyLink link;
    RecordingHandler handler(3);
    ListenerCore core(link);
    core.addHandler(handler);

    std::vector<Message> toSend;
    for (int round = 0; round < 100000 && !window.finished(); ++round) {
        toSend.clear();
        window.due(now, toSend);
        for (const Message& message : toSend)
            link.pass(core, message, now);
        for (const auto& reply : link.replies)
            window.onReply(reply.data(), reply.size());
        link.replies.clear();
        core.tick(now);
        now = toSend.empty() ? window.nextWake(now) : now + 1;
    }
    ASSERT_TRUE(window.succeeded()) << window.acknowledgedCount() << " of " << chunking.count() << " at " << now;
    EXPECT_EQ(chunking.count(), window.acknowledgedCount());
    ASSERT_EQ(1u, handler.deliveries.size());
    EXPECT_EQ("PC", handler.deliveries[0].computer);
    EXPECT_EQ("anna", handler.deliveries[0].user);
    EXPECT_TRUE(body == handler.deliveries[0].body);
    EXPECT_EQ(0, handler.failures);
}

// Random sizes and bytes (40%), one-message strangers of every type
// announcing huge transfers (45%), and three hostile transfers filled at
// random chunk positions (15%).
void hostile(std::mt19937& random, std::vector<std::uint8_t>& out) {
    const unsigned kind = random() % 20;
    out.resize(kind < 6 ? random() % 1000 : messageSize);
    for (std::uint8_t& byte : out)
        byte = static_cast<std::uint8_t>(random() >> 13);
    Message message;
    if (kind < 8 || !Message::decode(out.data(), out.size(), message))
        return;
    message.totalLength = random() % (32768 * 400);
    if (kind >= 17) {
        message.type = static_cast<std::uint8_t>(kind - 16);
        message.transferId = 0xF00000 + kind;
        message.totalLength = 32768 * 400;
    }
    message.chunkIndex = static_cast<std::int16_t>(random() % (message.totalLength / 408 + 1));
    message.data[0] = 'X';
    message.data[1] = 0;
    message.encode(out.data());
}

// The flood comes from three strangers on the network, the transfer from
// a fourth computer: nothing the strangers send joins it or pushes it out.
TEST(NetEndToEnd, ActiveTransferCompletesThroughAFloodOfHostileDatagrams) {
    RecordingSink sink;
    // Room for the legitimate transfer and a tenth of it more.
    const ListenerLimits limits{4400 * IncomingTransfer::chunkFootprint, maxTransfers};
    std::vector<std::unique_ptr<RecordingHandler>> handlers;
    ListenerCore core(sink, limits);
    for (unsigned type = 0; type < 16; ++type) {
        handlers.push_back(std::make_unique<RecordingHandler>(type));
        core.addHandler(*handlers.back());
    }
    const Chunking legitimate = chunkedInto(2, 4000, 0xBEEF);
    std::mt19937 random(5);
    std::vector<std::uint8_t> datagram;
    std::uint32_t now = 0, sent = 0;
    std::size_t most = 0;
    const Origin sender{Origin::Kind::Udp, 0x0A000002, 5000};
    for (std::uint32_t n = 0; n < 100000; ++n, ++now) {
        if (n % 10 == 0 && sent < legitimate.count())
            feed(core, legitimate.message(sent++), now, sender);
        hostile(random, datagram);
        const Origin stranger{Origin::Kind::Udp, 0x0A000010 + n % 3, 7000};
        core.take(datagram.data(), datagram.size(), stranger, now);
        core.tick(now);
        ASSERT_LE(core.storedBytes(), limits.storedBytes);
        most = std::max(most, core.storedBytes());
    }
    const std::string expected = bodyFilling(2, 4000);
    std::size_t received = 0;
    for (const auto& delivery : handlers[2]->deliveries)
        received += delivery.computer == "PC" && delivery.user == "anna" && delivery.body == expected;
    EXPECT_EQ(1u, received);
    EXPECT_GT(most, limits.storedBytes / 10 * 9) << "the flood pressed against the byte limit";
    EXPECT_LE(core.transferCount(), limits.transfers);
}

}  // namespace
