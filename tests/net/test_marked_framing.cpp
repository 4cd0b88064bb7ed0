// The faster ways between marked copies, as the wire shows them: packed
// datagrams and their fallback, packed echoes, and transfers past 32,768
// messages, which only an asked-for answer from a marked copy may be.
#include "NetFakes.h"

#include "net/EchoBatches.h"
#include "net/SendWindow.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct SentDatagrams : EchoBatches::Way {
    void send(const Origin& to, const std::uint8_t* bytes, std::size_t size) override {
        sizes.push_back(messagesIn(bytes, size));
        targets.push_back(to);
    }
    std::vector<std::size_t> sizes;
    std::vector<Origin> targets;
};

std::vector<std::uint8_t> packed(const std::vector<Message>& messages) {
    std::vector<std::uint8_t> bytes(messages.size() * messageSize);
    for (std::size_t i = 0; i < messages.size(); ++i)
        messages[i].encode(bytes.data() + i * messageSize);
    return bytes;
}

TEST(MarkedFraming, WideTransfersNumberPastChunkIndexOnlyWhenMarkedAndWide) {
    const std::string body(40000 * 405, 'w');
    EXPECT_EQ(0u, chunked(9, body, 7, "PC", "anna", Framing{}).count()) << "plain: 32,768 messages at most";
    EXPECT_EQ(0u, chunked(9, body, 7, "PC", "anna", Framing{true, false}).count()) << "marked, towards a plain copy";
    const Chunking wide = chunked(9, body, 7, "PC", "anna", Framing{true, true});
    ASSERT_TRUE(wide.wide());
    for (const std::uint32_t index : {0u, 32767u, 32768u, 39999u}) {
        const Message message = wide.message(index);
        EXPECT_TRUE(message.marked());
        EXPECT_EQ(index, message.index(true));
    }
    const Chunking small = chunked(9, "short", 7, "PC", "anna", Framing{true, true});
    EXPECT_EQ(markBits, small.message(0).reserved) << "a transfer that fits keeps the plain numbering";
    EXPECT_EQ(0, chunked(9, "short").message(0).reserved) << "a plain copy leaves the bytes 0";

    Message forged = wide.message(70000 - 65536);
    forged.reserved = markBits | 1;
    EXPECT_EQ(70000, forged.index(true));
    forged.reserved = 0;
    EXPECT_LT(forged.index(true), 0) << "an unmarked message has no wide number";
}

TEST(MarkedFraming, OnlyMarkedMessagesArePackedAndNothingElseIsTaken) {
    const Chunking marked = chunked(3, bodyFilling(3, 20), 1, "PC", "anna", Framing{true, false});
    std::vector<Message> messages;
    for (std::uint32_t i = 0; i < 16; ++i)
        messages.push_back(marked.message(i));
    std::vector<std::uint8_t> bytes = packed(messages);
    EXPECT_EQ(16u, messagesIn(bytes.data(), bytes.size()));
    EXPECT_EQ(0u, messagesIn(bytes.data(), bytes.size() - 1));
    messages.push_back(marked.message(16));
    bytes = packed(messages);
    EXPECT_EQ(0u, messagesIn(bytes.data(), bytes.size())) << "17 messages are more than a datagram holds";
    const Chunking plain = chunkedInto(3, 3);
    bytes = packed({plain.message(0)});
    EXPECT_EQ(1u, messagesIn(bytes.data(), bytes.size())) << "a single message needs no mark";
    bytes = packed({marked.message(0), plain.message(1)});
    EXPECT_EQ(0u, messagesIn(bytes.data(), bytes.size())) << "no plain message rides in a pack";
}

TEST(MarkedFraming, PacksFallBackWhenUnansweredAndGrowAgainAfterALongRunOfEchoes) {
    const Chunking source = chunked(3, bodyFilling(3, 5000), 9, "PC", "anna", Framing{true, false});
    SendWindow window(source, maxSendWindow, maxMessagesPerDatagram);
    std::vector<Message> round;
    window.due(0, round);
    ASSERT_EQ(1u, round.size()) << "the first message goes alone";
    window.onReply(round[0].encode().data(), messageSize);
    round.clear();
    window.due(1, round);
    EXPECT_EQ(SendWindow::datagramsInFlight * maxMessagesPerDatagram, round.size());
    EXPECT_EQ(16u, window.batch()) << "sixteen to a datagram";

    // Nothing comes back: the pack may have been too big for the way.
    round.clear();
    window.due(1 + resendAfterMs, round);
    EXPECT_EQ(framedBatch, window.batch()) << "three to a datagram fit one Ethernet frame";
    round.clear();
    window.due(1 + 2 * resendAfterMs, round);
    EXPECT_EQ(1u, window.batch()) << "then single messages";

    std::uint32_t now = 1 + 2 * resendAfterMs;
    // Two falls back: the run that earns a bigger pack is four times the first.
    for (std::uint32_t echoed = 0; echoed < 4 * SendWindow::regrowAfter + 64 && !window.finished(); now += 1) {
        for (const Message& message : round) {
            window.onReply(message.encode().data(), messageSize);
            ++echoed;
        }
        round.clear();
        window.due(now, round);
    }
    EXPECT_EQ(framedBatch, window.batch()) << "a long run of echoes tries bigger packs again";
    EXPECT_FALSE(window.failed());
}

TEST(MarkedFraming, EchoesOfOneRoundLeavePackedPerSenderAndPlainOnesAlone) {
    SentDatagrams way;
    EchoBatches batches(way);
    const Origin alpha{Origin::Kind::Udp, 0x0A000002, 5000}, bravo{Origin::Kind::Udp, 0x0A000003, 5000};
    const Chunking fromAlpha = chunked(3, bodyFilling(3, 40), 1, "PC", "anna", Framing{true, false});
    const Chunking fromBravo = chunkedInto(3, 40, 2);

    batches.heard(alpha, 1, true);
    batches.echo(fromAlpha.message(0), alpha);
    EXPECT_EQ((std::vector<std::size_t>{2}), way.sizes) << "the first echo comes twice, so the sender learns";
    batches.heard(alpha, 10, true);
    batches.heard(bravo, 1, false);
    for (std::uint32_t i = 1; i <= 10; ++i) {
        batches.echo(fromAlpha.message(i), alpha);
        batches.echo(fromBravo.message(i), bravo);
    }
    batches.flush();
    std::size_t toAlpha = 0, plainToBravo = 0;
    for (std::size_t i = 1; i < way.sizes.size(); ++i) {
        if (way.targets[i] == alpha)
            toAlpha += way.sizes[i] == 10 ? 1 : 100;
        else
            plainToBravo += way.sizes[i] == 1 ? 1 : 100;
    }
    EXPECT_EQ(1u, toAlpha) << "ten echoes in one datagram";
    EXPECT_EQ(10u, plainToBravo) << "a plain sender gets its echoes one by one";
}

TEST(MarkedFraming, OnlyTheAnswerAskedForMayBeWideAndItNeedsNoRoomInTheBound) {
    RecordingSink sink;
    RecordingHandler handler(9);
    ListenerCore core(sink, ListenerLimits{4096, 8});
    core.addHandler(handler);
    const Origin sharer{Origin::Kind::Udp, 0x0A000002, 24170};
    const std::string body(33000 * 405, 'z');
    const Chunking wide = chunked(9, body, 5, "PC", "anna", Framing{true, true});
    ASSERT_TRUE(wide.wide());

    feed(core, wide.message(0), 0, sharer);
    EXPECT_TRUE(sink.echoes.empty()) << "unasked, a wide transfer starts nothing";

    handler.admission = Admission::Asked;
    for (std::uint32_t i = 0; i < wide.count(); ++i)
        feed(core, wide.message(i), 1, sharer);
    ASSERT_EQ(1u, handler.deliveries.size());
    EXPECT_EQ(body, handler.deliveries[0].body) << "past 32,768 messages and past a 4 KB bound";
    EXPECT_EQ(wide.count(), sink.echoes.size());
    EXPECT_EQ(0u, core.storedBytes());
}

// The user cancels a fetch: the sender, a marked copy, stops at once
// instead of sending on until its messages time out.
TEST(MarkedFraming, ACancelledFetchStopsItsMarkedSenderAtOnce) {
    RecordingSink sink;
    RecordingHandler handler(9);
    handler.admission = Admission::Asked;
    ListenerCore core(sink);
    core.addHandler(handler);
    const Origin sharer{Origin::Kind::Udp, 0x0A000002, 24170};
    const Chunking source = chunked(9, bodyFilling(9, 600), 5, "PC", "anna", Framing{true, true});
    SendWindow window(source, maxSendWindow, maxMessagesPerDatagram);
    std::vector<Message> round;
    for (std::uint32_t now = 0; now < 100 && !window.finished(); ++now) {
        handler.wanted = now < 3;
        round.clear();
        window.due(now, round);
        for (const Message& message : round)
            feed(core, message, now, sharer);
        for (const auto& echo : sink.echoes)
            window.onReply(echo.data(), echo.size());
        for (const auto& declined : sink.declines)
            window.onReply(declined.data(), declined.size());
        sink.echoes.clear();
    }
    EXPECT_TRUE(window.failed()) << "declined within the round after the cancel";
    EXPECT_LT(window.acknowledgedCount(), source.count());
    EXPECT_FALSE(sink.declines.empty());
    EXPECT_TRUE(handler.deliveries.empty());

    // A plain sender is never told: it has no way to hear it.
    RecordingSink plainSink;
    ListenerCore plainCore(plainSink);
    plainCore.addHandler(handler);
    const Chunking plain = chunkedInto(9, 40, 6);
    handler.wanted = true;
    feed(plainCore, plain.message(0), 0, sharer);
    handler.wanted = false;
    feed(plainCore, plain.message(1), 0, sharer);
    feed(plainCore, plain.message(2), 0, sharer);
    EXPECT_TRUE(plainSink.declines.empty());
}

}  // namespace
