#include "net/ListenerCore.h"

#include <algorithm>
#include <new>

namespace {

bool reached(std::uint32_t now, std::uint32_t tick) {
    return static_cast<std::int32_t>(now - tick) >= 0;
}

}  // namespace

ListenerCore::ListenerCore(EchoSink& sink, const ListenerLimits& limits)
    : mSink(sink), mLimits{limits.storedBytes, std::max<std::size_t>(limits.transfers, 1)} {
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

void ListenerCore::take(const std::uint8_t* bytes, std::size_t size, const Origin& origin, std::uint32_t now) {
    Message message;
    if (!Message::decode(bytes, size, message))
        return;
    IncomingTransfer* transfer = findTransfer(message);
    if (transfer == nullptr)
        transfer = startTransfer(message);
    if (transfer != nullptr)
        takeIn(*transfer, message, origin, now);
}

IncomingTransfer* ListenerCore::findTransfer(const Message& message) const {
    for (const auto& transfer : mTransfers)
        if (transfer->matches(message))
            return transfer.get();
    return nullptr;
}

IncomingTransfer* ListenerCore::startTransfer(const Message& message) {
    const auto handler = std::find_if(mHandlers.begin(), mHandlers.end(),
                                      [&](const MessageHandler* h) { return h->type == message.type; });
    if (handler == mHandlers.end())
        return nullptr;
    std::unique_ptr<IncomingTransfer> transfer = IncomingTransfer::start(message, **handler);
    if (!transfer)
        return nullptr;
    if (mTransfers.size() >= mLimits.transfers) {
        const auto oldest = std::min_element(mTransfers.begin(), mTransfers.end(), [](const auto& a, const auto& b) {
            return a->lastActivity() < b->lastActivity();
        });
        remove(static_cast<std::size_t>(oldest - mTransfers.begin()));
    }
    try {
        mTransfers.push_back(std::move(transfer));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    IncomingTransfer& started = *mTransfers.back();
    started.handler().onTransferStart(started.chunkCount() * static_cast<unsigned>(messageSize));
    return &started;
}

void ListenerCore::takeIn(IncomingTransfer& transfer, const Message& message, const Origin& origin,
                          std::uint32_t now) {
    // A finished transfer's sender gets no echo: if it lost the last one, its
    // own retries run out.
    if (transfer.finished())
        return;
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
    transfer.handler().onTransferProgress(transfer.receivedCount() * static_cast<unsigned>(messageSize));
    if (transfer.allReceived()) {
        mStoredBytes -= transfer.storedBytes();
        transfer.deliver();
    }
}

bool ListenerCore::store(IncomingTransfer& transfer, const Message& message) {
    constexpr std::size_t cost = IncomingTransfer::chunkFootprint;
    while (mStoredBytes + cost > mLimits.storedBytes) {
        IncomingTransfer* oldest = nullptr;
        for (const auto& other : mTransfers)
            if (other.get() != &transfer && other->storedBytes() != 0 &&
                (oldest == nullptr || other->lastActivity() < oldest->lastActivity()))
                oldest = other.get();
        // Alone over the limit: it can never complete.
        if (oldest == nullptr) {
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

void ListenerCore::giveUp(IncomingTransfer& transfer) {
    mStoredBytes -= transfer.storedBytes();
    transfer.finish();
    transfer.handler().onTransferFailed();
}

void ListenerCore::remove(std::size_t i) {
    std::unique_ptr<IncomingTransfer> gone = std::move(mTransfers[i]);
    if (i + 1 != mTransfers.size())
        mTransfers[i] = std::move(mTransfers.back());
    mTransfers.pop_back();
    mStoredBytes -= gone->storedBytes();
    if (!gone->finished())
        gone->handler().onTransferFailed();
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
