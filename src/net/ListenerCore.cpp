#include "net/ListenerCore.h"

#include <algorithm>
#include <new>

namespace {

bool reached(std::uint32_t now, std::uint32_t tick) {
    return static_cast<std::int32_t>(now - tick) >= 0;
}

// What the handlers are told of a transfer's size: its messages x 420.
unsigned messageBytes(std::uint32_t messages) {
    return messages * static_cast<unsigned>(messageSize);
}

// Senders as the per-sender bound counts them: by address over UDP, and
// every mailslot sender as one.
bool sameSender(const Origin& a, const Origin& b) {
    return a.sameComputer(b);
}

}  // namespace

ListenerCore::ListenerCore(EchoSink& sink, const ListenerLimits& limits)
    : mSink(sink), mLimits{limits.storedBytes, std::max<std::size_t>(limits.transfers, 1), limits.askedBytes} {
    try {
        mHandlers.reserve(16);
        mTransfers.reserve(mLimits.transfers);
    } catch (const std::bad_alloc&) {
        // push_back tries again, and drops the transfer when it cannot.
    }
}

ListenerCore::~ListenerCore() {
    while (!mTransfers.empty())
        remove(mTransfers.size() - 1);
}

bool ListenerCore::addHandler(MessageHandler& handler) {
    try {
        mHandlers.push_back(&handler);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool ListenerCore::take(const std::uint8_t* bytes, std::size_t size, const Origin& origin, std::uint32_t now) {
    Message message;
    if (!Message::decode(bytes, size, message))
        return false;
    IncomingTransfer* transfer = findTransfer(message, origin);
    const bool underWay = transfer != nullptr;
    if (transfer == nullptr)
        transfer = startTransfer(message, origin);
    if (transfer != nullptr)
        takeIn(*transfer, message, origin, now);
    return underWay;
}

IncomingTransfer* ListenerCore::findTransfer(const Message& message, const Origin& origin) {
    // A transfer's messages come in runs: the last one found is asked first.
    if (mLastFound != nullptr && mLastFound->matches(message, origin))
        return mLastFound;
    for (const auto& transfer : mTransfers) {
        if (transfer->matches(message, origin))
            return mLastFound = transfer.get();
    }
    return nullptr;
}

IncomingTransfer* ListenerCore::startTransfer(const Message& message, const Origin& origin) {
    const auto handler = std::find_if(mHandlers.begin(), mHandlers.end(),
                                      [&](const MessageHandler* h) { return h->type == message.type; });
    if (handler == mHandlers.end())
        return nullptr;
    const TransferFrom from{origin, message.typeAndId(), message.chunkIndex, message.marked()};
    const Admission admission = (*handler)->admit(from);
    if (admission == Admission::Refused)
        return nullptr;
    const bool asked = admission == Admission::Asked;
    std::unique_ptr<IncomingTransfer> transfer;
    if (!asked || message.totalLength <= mLimits.askedBytes)
        transfer = IncomingTransfer::start(message, origin, **handler, asked);
    if (!transfer) {
        // The answer awaited cannot be had (no memory for what it announced,
        // or more than it may be): the request fails now, not at a time-out,
        // as a transfer that began and ended at once.
        if (asked) {
            (*handler)->onTransferStart(from, messageBytes(1));
            (*handler)->onTransferFailed(from);
        }
        return nullptr;
    }
    makeRoomFor(origin);
    try {
        mTransfers.push_back(std::move(transfer));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    IncomingTransfer& started = *mTransfers.back();
    started.handler().onTransferStart(started.from(), messageBytes(started.chunkCount()));
    return &started;
}

void ListenerCore::makeRoomFor(const Origin& origin) {
    std::size_t own = 0, ownOldest = 0;
    for (std::size_t i = 0; i < mTransfers.size(); ++i) {
        if (!sameSender(mTransfers[i]->from().origin, origin))
            continue;
        if (own++ == 0 || mTransfers[i]->lastActivity() < mTransfers[ownOldest]->lastActivity())
            ownOldest = i;
    }
    if (own >= maxTransfersPerSource) {
        remove(ownOldest);
        return;
    }
    if (mTransfers.size() < mLimits.transfers)
        return;
    const IncomingTransfer* oldest = leastActive(nullptr, false);
    const auto at = std::find_if(mTransfers.begin(), mTransfers.end(),
                                 [oldest](const auto& transfer) { return transfer.get() == oldest; });
    remove(static_cast<std::size_t>(at - mTransfers.begin()));
}

IncomingTransfer* ListenerCore::leastActive(const IncomingTransfer* spare, bool holdingChunks) const {
    IncomingTransfer* oldest = nullptr;
    for (const auto& other : mTransfers) {
        if (other.get() == spare || (holdingChunks && other->storedBytes() == 0))
            continue;
        // A stranger's goes before one asked for; the least recently active first.
        if (oldest == nullptr || (oldest->asked() && !other->asked()) ||
            (oldest->asked() == other->asked() && other->lastActivity() < oldest->lastActivity()))
            oldest = other.get();
    }
    return oldest;
}

void ListenerCore::takeIn(IncomingTransfer& transfer, const Message& message, const Origin& origin,
                          std::uint32_t now) {
    // A finished transfer's sender gets no echo: if it lost the last one, its
    // own retries run out. One given up unwanted tells a marked sender so.
    if (transfer.finished()) {
        if (transfer.declined())
            decline(message, origin);
        return;
    }
    // Nobody waits for it any more (the user cancelled): no more echoes.
    if (transfer.asked() && !transfer.handler().stillWanted(transfer.from())) {
        giveUp(transfer);
        transfer.decline();
        decline(message, origin);
        return;
    }
    transfer.touch(now, ++mActivity);
    const bool wanted = transfer.wants(message);
    // Storing before echoing: a chunk that could not be kept is not
    // acknowledged, so the sender tries again or gives up.
    if (wanted && !store(transfer, message))
        return;
    // Echo before the handler runs: it may take longer than the sender waits.
    if (transfer.acknowledged() && transfer.noteEcho(message.key()))
        mSink.echo(message, origin, transfer.senderComputer().c_str());
    if (!wanted)
        return;
    transfer.handler().onTransferProgress(transfer.from(), messageBytes(transfer.receivedCount()));
    if (transfer.allReceived()) {
        mStoredBytes -= transfer.storedBytes();
        mSink.sendHeld();
        transfer.deliver();
    }
}

bool ListenerCore::store(IncomingTransfer& transfer, const Message& message) {
    // An answer that was asked for had its memory at its start, bounded by
    // the request; it neither counts against the bound nor makes room.
    if (transfer.asked())
        return transfer.store(message);
    constexpr std::size_t cost = IncomingTransfer::chunkFootprint;
    while (mStoredBytes + cost > mLimits.storedBytes) {
        IncomingTransfer* oldest = leastActive(&transfer, true);
        // Alone over the limit, or a stranger's against one asked for: it
        // gives way.
        if (oldest == nullptr || (oldest->asked() && !transfer.asked())) {
            giveUp(transfer);
            return false;
        }
        // Given up in place, so its sender's further messages are ignored
        // rather than starting it again.
        giveUp(*oldest);
    }
    if (!transfer.store(message))
        return false;
    mStoredBytes += cost;
    return true;
}

void ListenerCore::decline(const Message& message, const Origin& origin) {
    if (!message.marked())
        return;
    Message declined = message;
    declined.reserved = declineBits;
    mSink.decline(declined, origin);
}

void ListenerCore::giveUp(IncomingTransfer& transfer) {
    mStoredBytes -= transfer.storedBytes();
    transfer.finish();
    transfer.handler().onTransferFailed(transfer.from());
}

void ListenerCore::remove(std::size_t i) {
    std::unique_ptr<IncomingTransfer> gone = std::move(mTransfers[i]);
    if (gone.get() == mLastFound)
        mLastFound = nullptr;
    if (i + 1 != mTransfers.size())
        mTransfers[i] = std::move(mTransfers.back());
    mTransfers.pop_back();
    mStoredBytes -= gone->storedBytes();
    if (!gone->finished())
        gone->handler().onTransferFailed(gone->from());
}

void ListenerCore::tick(std::uint32_t now) {
    for (std::size_t i = 0; i < mTransfers.size();) {
        if (reached(now, mTransfers[i]->deadline()))
            remove(i);
        else
            ++i;
    }
}

std::uint32_t ListenerCore::nextWake(std::uint32_t now) const {
    std::uint32_t wait = transferTimeoutMs;
    for (const auto& transfer : mTransfers) {
        if (reached(now, transfer->deadline()))
            return now;
        wait = std::min(wait, transfer->deadline() - now);
    }
    return now + wait;
}
