// The echoes the listener owes after one round of reading, packed for the
// senders that take them so: a marked message that came over UDP has its
// echo wait for the others owed to the same sender, up to as many to a
// datagram as that sender's own datagrams held, and never fewer than fit
// one Ethernet frame; each batch leaves once full, and all of them when the
// round ends or a handler is about to run. The echo of a marked transfer's
// first message goes at once, packed with a copy of itself, so the sender
// learns it may pack. Every other echo goes at once, alone, as the plain
// protocol has it. Single-threaded, like the listener core.
#pragma once

#include "clip/Origin.h"
#include "net/Message.h"
#include "net/NetLimits.h"

#include <array>
#include <cstddef>
#include <cstdint>

class EchoBatches {
public:
    // Where the datagrams go out.
    class Way {
    public:
        virtual ~Way() = default;
        virtual void send(const Origin& to, const std::uint8_t* bytes, std::size_t size) = 0;
    };

    explicit EchoBatches(Way& way) : mWay(way) {}
    EchoBatches(const EchoBatches&) = delete;
    EchoBatches& operator=(const EchoBatches&) = delete;

    // A datagram of count messages (Message.h messagesIn) came from from,
    // marked or not.
    void heard(const Origin& from, std::size_t count, bool marked);
    // Sends echo to to, now or with the rest of its batch.
    void echo(const Message& echo, const Origin& to);
    // The round is over: every batch leaves.
    void flush();

private:
    struct Batch {
        Origin to;
        std::size_t most = 0;  // 0: the slot is free
        std::size_t count = 0;
        std::array<std::uint8_t, maxDatagramSize> bytes{};
    };
    // Senders with echoes waiting at once; one more makes the oldest leave.
    static constexpr std::size_t batchesAtOnce = 4;

    Batch* find(const Origin& to);
    void send(Batch& batch);

    Way& mWay;
    std::array<Batch, batchesAtOnce> mBatches{};
    std::size_t mNextFreed = 0;
};
