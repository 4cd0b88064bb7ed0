// The sends of one process in progress: their transfer identities, and the
// echoes read for them from the process's one reply mailslot, which every
// send may read. Not thread-safe: its owner locks.
#pragma once

#include "net/Message.h"
#include "net/NetLimits.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

using Datagram = std::array<std::uint8_t, messageSize>;

// Echoes that wait for the send they belong to; beyond this they are
// dropped like lost datagrams.
constexpr std::size_t maxQueuedEchoes = 64;
// Identities handed out lately, kept apart from new ones: a receiver takes a
// transfer with the identity, type and length of one it finished lately for
// a late repeat of that one.
constexpr std::size_t recentTransferIds = 64;

class SendRegistry {
public:
    // An identity for a send beginning at tick now: the tick's low 24 bits,
    // moved on past every identity in use or handed out lately, so sends
    // that begin within one tick (or follow each other closely) are told
    // apart. Echoes are kept for it until end().
    std::uint32_t begin(std::uint32_t now);
    void end(std::uint32_t transferId);

    // A datagram read from the reply mailslot: queued for the send whose
    // identity it carries, if one runs and has room; dropped otherwise.
    void deliver(const std::uint8_t* bytes, std::size_t size);
    // Appends transferId's queued echoes to out and empties the queue.
    void take(std::uint32_t transferId, std::vector<Datagram>& out);

    std::size_t running() const { return mPending.size(); }

private:
    struct Pending {
        std::uint32_t transferId = 0;
        std::vector<Datagram> echoes;
    };

    bool taken(std::uint32_t transferId) const;

    std::vector<Pending> mPending;
    std::array<std::uint32_t, recentTransferIds> mRecent{};
    std::size_t mRecentCount = 0;
    std::size_t mRecentNext = 0;
};
