// The receiving side without the system: the listener thread passes every
// datagram it gets to take(), calls tick() at least every 500 ms, and may
// sleep on its sockets until nextWake(). Single-threaded: only that thread
// calls it, so it needs no locks. Handlers and the sink are called from
// inside take(), tick() and the destructor, and must not call back into it.
//
// Acknowledged messages are echoed through the EchoSink, each distinct
// 12-byte key once, as soon as their chunk is kept (or was already) and
// before the handler hears of it; a chunk that could not be kept, a
// finished transfer and a transfer its handler refused get no echo. A
// transfer is its sender's alone: messages from another origin never join
// it. Memory is bounded as a whole whatever arrives: at most
// limits.transfers transfers, maxTransfersPerSource of one sender, and
// limits.storedBytes bytes of chunks; the least recently active transfer
// makes room for a newer one, a stranger's before one this copy asked for.
// An answer this copy asked for is the exception to the byte bound: it may
// be as large as its handler admits, and takes its memory at its start.
#pragma once

#include "net/EchoSink.h"
#include "net/IncomingTransfer.h"
#include "net/MessageHandler.h"
#include "net/NetLimits.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct ListenerLimits {
    std::size_t storedBytes = maxStoredBytes;
    std::size_t transfers = maxTransfers;
    // The largest answer asked for, whose payload is taken whole at its
    // start: as much as a wide transfer numbers.
    std::uint64_t askedBytes = std::uint64_t{maxWideChunkCount} * messageDataSize;
};

class ListenerCore {
public:
    explicit ListenerCore(EchoSink& sink, const ListenerLimits& limits = ListenerLimits{});
    // Reports every incomplete transfer as failed.
    ~ListenerCore();
    ListenerCore(const ListenerCore&) = delete;
    ListenerCore& operator=(const ListenerCore&) = delete;

    // Handlers are asked in the order they were added, the first of a type
    // getting its transfers; they must outlive the core. False for lack of
    // memory.
    bool addHandler(MessageHandler& handler);

    // One received datagram, any bytes. Anything not exactly 420 bytes, of
    // a type nobody handles, or beyond the limits, is dropped; so is a
    // message when memory runs out. True when it belonged to a transfer
    // already under way (from its sender, as matched).
    bool take(const std::uint8_t* bytes, std::size_t size, const Origin& origin, std::uint32_t now);
    // Drops the transfers whose deadline (5 s after their last message) has
    // come, reporting the incomplete ones as failed. Cheap: call it on every
    // wake.
    void tick(std::uint32_t now);
    // The next tick at which tick() has work: the earliest deadline, now if
    // one has passed, at most now + transferTimeoutMs.
    std::uint32_t nextWake(std::uint32_t now) const;

    std::size_t transferCount() const { return mTransfers.size(); }
    std::size_t storedBytes() const { return mStoredBytes; }

private:
    IncomingTransfer* findTransfer(const Message& message, const Origin& origin);
    IncomingTransfer* startTransfer(const Message& message, const Origin& origin);
    // Makes room for one more transfer from origin.
    void makeRoomFor(const Origin& origin);
    // The least recently active transfer other than spare that holds chunks
    // (when holdingChunks), one not asked for if there is any; null if none.
    IncomingTransfer* leastActive(const IncomingTransfer* spare, bool holdingChunks) const;
    // Stores the message's chunk within the byte limit, evicting others or
    // giving the transfer up; false when it was not stored.
    bool store(IncomingTransfer& transfer, const Message& message);
    void takeIn(IncomingTransfer& transfer, const Message& message, const Origin& origin, std::uint32_t now);
    // Removes transfer i, reporting it failed if it was incomplete.
    void remove(std::size_t i);
    // Tells a marked sender its message's transfer is no longer wanted.
    void decline(const Message& message, const Origin& origin);
    // Gives a transfer up in place, reporting it failed.
    void giveUp(IncomingTransfer& transfer);

    EchoSink& mSink;
    const ListenerLimits mLimits;
    std::vector<MessageHandler*> mHandlers;
    std::vector<std::unique_ptr<IncomingTransfer>> mTransfers;
    std::size_t mStoredBytes = 0;
    std::uint64_t mActivity = 0;
    IncomingTransfer* mLastFound = nullptr;
};
