#include "NetFakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <random>

namespace {

struct Listener {
    RecordingSink sink;
    RecordingHandler plain{2}, acked{3}, second{2};
    ListenerCore core;

    explicit Listener(const ListenerLimits& limits = {}) : core(sink, limits) {
        core.addHandler(plain);
        core.addHandler(acked);
        core.addHandler(second);  // never asked: plain comes first
    }
};

TEST(ListenerCore, DropsOtherSizesAndTypesNobodyHandles) {
    Listener listener;
    const auto bytes = chunkedInto(3, 1).message(0).encode();
    for (std::size_t size : {0u, 1u, 419u, 421u})
        listener.core.take(bytes.data(), size, Origin{}, 0);
    feed(listener.core, chunkedInto(4, 1).message(0), 0);
    EXPECT_EQ(0u, listener.core.transferCount());
    EXPECT_TRUE(listener.sink.echoes.empty());
    EXPECT_TRUE(listener.acked.starts.empty());
}

// Any order, every datagram twice, the whole transfer again once complete:
// one delivery to the first handler of the type, progress by distinct
// messages only.
TEST(ListenerCore, DeliversOnceWhateverOrderChunksAndRepeatsComeIn) {
    enum Order { Forward, Reverse, Shuffled };
    for (unsigned type : {2u, 3u}) {
        for (Order order : {Forward, Reverse, Shuffled}) {
            SCOPED_TRACE(type * 10 + order);
            Listener listener;
            const Chunking chunking = chunkedInto(type, 10);
            std::vector<std::uint32_t> sequence(chunking.count());
            std::iota(sequence.begin(), sequence.end(), 0);
            if (order == Reverse)
                std::reverse(sequence.begin(), sequence.end());
            if (order == Shuffled)
                std::shuffle(sequence.begin(), sequence.end(), std::mt19937(7));
            for (int pass = 0; pass < 2; ++pass)
                for (std::uint32_t i : sequence) {
                    feed(listener.core, chunking.message(i), i);
                    feed(listener.core, chunking.message(i), i);
                }
            RecordingHandler& handler = type == 2 ? listener.plain : listener.acked;
            EXPECT_EQ(std::vector<unsigned>{10 * 420}, handler.starts);
            std::vector<unsigned> progress(10);
            for (unsigned i = 0; i < 10; ++i)
                progress[i] = (i + 1) * 420;
            EXPECT_EQ(progress, handler.progress);
            ASSERT_EQ(1u, handler.deliveries.size());
            EXPECT_EQ("PC", handler.deliveries[0].computer);
            EXPECT_EQ("anna", handler.deliveries[0].user);
            EXPECT_EQ(bodyFilling(type, 10), handler.deliveries[0].body);
            EXPECT_EQ(0, handler.failures);
            EXPECT_TRUE(listener.second.starts.empty());
            EXPECT_EQ(type == 2 ? 0u : 10u, listener.sink.echoes.size()) << "complete: repeats go unechoed";
            EXPECT_EQ(0u, listener.core.storedBytes());
        }
    }
}

// Each distinct 12-byte key is echoed once; a transfer remembers the 16 most
// recently seen, a repeat moving its key to the front.
TEST(ListenerCore, EchoesEachKeyOnceRememberingSixteen) {
    Listener listener;
    const Chunking chunking = chunkedInto(3, 40);
    auto attempt = [&](std::uint32_t index, std::uint8_t tries) {
        Message message = chunking.message(index);
        message.attempt = tries;
        return message;
    };
    const Origin origin{Origin::Kind::Udp, 0x7F000001, 4242};
    struct Step {
        std::uint32_t index;
        std::uint8_t attempt;
        bool echoed;
    };
    std::vector<Step> steps = {{0, 0, true}, {0, 0, false}, {0, 1, true}};
    for (std::uint32_t i = 1; i <= 14; ++i)
        steps.push_back({i, 0, true});
    // 16 keys known; 0/0 moves to the front, so the 17th key forgets 0/1.
    steps.insert(steps.end(), {{0, 0, false}, {15, 0, true}, {0, 0, false}, {0, 1, true}});
    std::size_t echoes = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.index * 100 + step.attempt);
        const Message message = attempt(step.index, step.attempt);
        feed(listener.core, message, 0, origin);
        ASSERT_EQ(echoes += step.echoed, listener.sink.echoes.size());
        if (step.echoed) {
            EXPECT_EQ(message.encode(), listener.sink.echoes.back()) << "the datagram itself comes back";
            EXPECT_EQ(4242, listener.sink.origins.back().port);
            EXPECT_EQ("PC", listener.sink.computers.back());
        }
    }
    EXPECT_EQ(16u * 420, listener.acked.progress.back()) << "every attempt stored once";

    // The same head from another computer is another transfer.
    Message stranger = chunking.message(16);
    std::memcpy(stranger.data.data(), "QQ", 2);
    feed(listener.core, stranger, 0);
    EXPECT_EQ(2u, listener.core.transferCount());
    EXPECT_EQ(2u, listener.acked.starts.size());
}

// Expiry comes 5000 ms after the last message a transfer took in, at the
// first tick at or after it: reported for an incomplete transfer, silent for
// a complete one, which until then ignores late repeats.
TEST(ListenerCore, ExpiresTransfersFiveSecondsAfterTheirLastMessage) {
    for (std::uint32_t t : {0u, 0xFFFFF000u}) {
        for (bool complete : {false, true}) {
            SCOPED_TRACE(t + complete);
            Listener listener;
            const Chunking chunking = chunkedInto(3, 2);
            feed(listener.core, chunking.message(0), t);
            if (complete)
                feed(listener.core, chunking.message(1), t + 1000);
            else
                feed(listener.core, chunking.message(0), t + 1000);  // a repeat is activity too
            EXPECT_EQ(t + 6000, listener.core.nextWake(t + 1000));
            if (complete) {
                Message late = chunking.message(1);
                late.attempt = 1;
                feed(listener.core, late, t + 5999);
                EXPECT_EQ(2u, listener.sink.echoes.size());
                EXPECT_EQ(1u, listener.acked.deliveries.size());
            }
            listener.core.tick(t + 5999);
            EXPECT_EQ(1u, listener.core.transferCount());
            listener.core.tick(t + 6000);
            EXPECT_EQ(0u, listener.core.transferCount());
            EXPECT_EQ(complete ? 0 : 1, listener.acked.failures);
            EXPECT_EQ(t + 6000 + 5000, listener.core.nextWake(t + 6000));
        }
    }
    RecordingHandler handler(2);
    {
        RecordingSink sink;
        ListenerCore core(sink);
        core.addHandler(handler);
        feed(core, chunkedInto(2, 2).message(0), 0);
    }
    EXPECT_EQ(1, handler.failures) << "an incomplete transfer fails when the core goes";
}

TEST(ListenerCore, FirstMessagesThatCannotBeginATransferStartNothing) {
    struct Case {
        unsigned type;
        std::string name;  // at the start of data
        std::uint32_t totalLength;
        bool starts;
    };
    const Case cases[] = {
        {2, "", 32768 * 408 - 1, true},
        {2, "", 32768 * 408, false},  // 32,769 chunks
        {3, "PC", 32768 * 405 - 1, true},
        {3, "PC", 32768 * 405, false},
        {3, std::string(406, 'c'), 1, true},
        {3, std::string(407, 'c'), 1, false},  // no NUL in the first 407 bytes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.totalLength + c.name.size());
        Listener listener;
        Message message;
        message.type = static_cast<std::uint8_t>(c.type);
        message.totalLength = c.totalLength;
        std::memcpy(message.data.data(), c.name.data(), c.name.size());
        feed(listener.core, message, 0);
        EXPECT_EQ(c.starts ? 1u : 0u, listener.core.transferCount());
        EXPECT_EQ(c.starts && c.type == 3 ? 1u : 0u, listener.sink.echoes.size());
    }
}

// The texts are looked for within the payload only, never in the zeros
// that follow it in the last message's data.
TEST(ListenerCore, PayloadsWithoutTheirNulsAreDroppedSilently) {
    const std::string named("PC\0anna", 7);
    const std::pair<unsigned, std::string> cases[] = {{2, "abc"}, {2, named}, {3, named}};
    for (const auto& [type, data] : cases) {
        Listener listener;
        Message message;
        message.type = static_cast<std::uint8_t>(type);
        message.totalLength = static_cast<std::uint32_t>(data.size()) - (type == 3 ? 3 : 0);
        std::memcpy(message.data.data(), data.data(), data.size());
        feed(listener.core, message, 0);
        RecordingHandler& handler = type == 2 ? listener.plain : listener.acked;
        EXPECT_EQ(1u, handler.progress.size());
        EXPECT_TRUE(handler.deliveries.empty());
        EXPECT_EQ(0, handler.failures);
    }
}

// The least recently active transfer makes room: an incomplete one is
// reported failed, and one given up for bytes ignores the rest of its
// messages. A transfer alone over the byte limit is given up.
TEST(ListenerCore, LimitsEvictTheLeastRecentlyActiveTransfer) {
    Listener listener(ListenerLimits{10 * IncomingTransfer::chunkFootprint, 3});
    const Chunking a = chunkedInto(2, 8, 1), b = chunkedInto(2, 8, 2), c = chunkedInto(2, 8, 3),
                   d = chunkedInto(2, 8, 4), e = chunkedInto(3, 20, 5);
    for (std::uint32_t i = 0; i < 3; ++i)
        for (const Chunking* chunking : {&a, &b, &c})
            feed(listener.core, chunking->message(i), i);
    feed(listener.core, a.message(3), 3);
    // Bytes: a holds 4, b and c 3 each; b is the least recently active.
    feed(listener.core, c.message(3), 4);
    EXPECT_EQ(1, listener.plain.failures);
    feed(listener.core, b.message(3), 5);
    EXPECT_EQ(3u, listener.plain.starts.size()) << "b given up, not started again";
    // Count: a new transfer pushes out b, now only a key.
    feed(listener.core, d.message(0), 6);
    EXPECT_EQ(1, listener.plain.failures);
    EXPECT_EQ(3u, listener.core.transferCount());
    for (std::uint32_t i = 4; i < 8; ++i)
        feed(listener.core, a.message(i), 7);
    ASSERT_EQ(1u, listener.plain.deliveries.size()) << "the active transfer survives";
    EXPECT_EQ(2, listener.plain.failures) << "c made room for a";

    for (std::uint32_t i = 0; i < 20; ++i)
        feed(listener.core, e.message(i), 8);
    EXPECT_EQ(3, listener.plain.failures) << "d made room";
    EXPECT_EQ(1, listener.acked.failures) << "e alone was too much";
    EXPECT_EQ(10u, listener.sink.echoes.size()) << "what was not stored is not acknowledged";
    EXPECT_EQ(0u, listener.core.storedBytes());
    EXPECT_LE(listener.core.transferCount(), 3u);
}

// What strangers can do to a transfer from another computer: nothing. Their
// chunks never join it, a refused transfer gets neither state nor echo,
// their first messages push out only their own, and a transfer this copy
// asked for keeps its place against theirs.
TEST(ListenerCore, StrangersCannotJoinEndOrPushOutAnotherSendersTransfer) {
    Listener listener;
    const Origin bravo{Origin::Kind::Udp, 0x0AD50102, 4000}, eve{Origin::Kind::Udp, 0x0AD50103, 4000};
    const Chunking real = chunkedInto(3, 3, 0x77), forged = chunkedInto(3, 3, 0x77);
    listener.acked.admission = Admission::Asked;
    feed(listener.core, real.message(0), 0, bravo);
    ASSERT_EQ(1u, listener.acked.admitted.size());
    EXPECT_EQ(bravo, listener.acked.admitted[0].origin);
    EXPECT_EQ(0, listener.acked.admitted[0].firstChunk);
    // The same transfer id, chunks the real sender has not sent yet.
    feed(listener.core, forged.message(1), 1, eve);
    feed(listener.core, forged.message(2), 1, eve);
    EXPECT_EQ(2u, listener.core.transferCount()) << "eve's chunks started a transfer of hers";

    listener.plain.admission = Admission::Refused;
    feed(listener.core, chunkedInto(2, 2, 0x88).message(0), 2, eve);
    EXPECT_EQ(2u, listener.core.transferCount()) << "refused: no state at all";
    listener.plain.admission = Admission::Taken;
    for (std::uint32_t id = 0; id < 3 * maxTransfers; ++id)
        feed(listener.core, chunkedInto(2, 4, 0x1000 + id).message(0), 3, eve);
    EXPECT_LE(listener.core.transferCount(), 1 + maxTransfersPerSource) << "eve's flood pushes out eve's own";
    for (std::uint32_t id = 0; id < 3 * maxTransfers; ++id) {
        const Origin crowd{Origin::Kind::Udp, 0x0AD60000 + id, 4000};
        feed(listener.core, chunkedInto(2, 4, 0x2000 + id).message(0), 4, crowd);
    }
    EXPECT_EQ(maxTransfers, listener.core.transferCount());

    feed(listener.core, real.message(1), 5, bravo);
    feed(listener.core, real.message(2), 5, bravo);
    ASSERT_EQ(1u, listener.acked.deliveries.size()) << "the asked-for transfer kept its place";
    EXPECT_EQ(bodyFilling(3, 3), listener.acked.deliveries[0].body) << "with bravo's bytes alone";
    EXPECT_EQ(bravo, listener.acked.deliveredFrom[0]);
}

}  // namespace
