#include "net/SendWindow.h"

#include <algorithm>
#include <new>

namespace {

// Whether tick has come at now, across the 32-bit wrap.
bool reached(std::uint32_t now, std::uint32_t tick) {
    return static_cast<std::int32_t>(now - tick) >= 0;
}

std::size_t heldBatch(std::size_t batch) {
    return std::clamp<std::size_t>(batch, 1, maxMessagesPerDatagram);
}

}  // namespace

SendWindow::SendWindow(const Chunking& source, std::uint32_t width, std::size_t batch)
    : mSource(source), mWidth(std::clamp<std::uint32_t>(width, 1, maxSendWindow)), mMostBatch(heldBatch(batch)),
      mBatch(mMostBatch), mFailed(source.count() == 0) {}

void SendWindow::widen(std::uint32_t width, std::size_t batch) {
    mWidth = std::max(mWidth, std::min(width, maxSendWindow));
    if (heldBatch(batch) > mMostBatch)
        mBatch = mMostBatch = heldBatch(batch);
}

std::uint32_t SendWindow::openWidth() const {
    if (mAcknowledged == 0)
        return 1;
    const auto packed = static_cast<std::uint32_t>(mBatch) * datagramsInFlight;
    return std::min(mWidth, std::max(packed, plainSendWindow));
}

bool SendWindow::hasRoom() const {
    if (mNext >= mSource.count())
        return false;
    for (std::uint32_t i = 0; i < openWidth(); ++i)
        if (!mSlots[i].busy)
            return true;
    return false;
}

void SendWindow::send(std::uint32_t slotNumber, std::uint32_t now, std::size_t first, std::vector<Message>& toSend) {
    Slot& slot = mSlots[slotNumber];
    Message message = mSource.message(slot.index);
    message.attempt = static_cast<std::uint8_t>(slot.sends);
    ++slot.sends;
    slot.lastSent = now;
    slot.order = ++mSends;
    try {
        toSend.push_back(message);
        mRound[toSend.size() - 1 - first] = slotNumber;
    } catch (const std::bad_alloc&) {
        // Lost like any datagram: the resend covers it.
    }
}

bool SendWindow::anyTimedOut(std::uint32_t now) const {
    for (std::uint32_t i = 0; i < mWidth; ++i) {
        const Slot& slot = mSlots[i];
        const bool resendDue = reached(now, slot.lastSent + resendAfterMs);
        if (slot.busy && (reached(now, slot.firstSent + giveUpAfterMs) || (resendDue && slot.sends >= maxSends)))
            return true;
    }
    return false;
}

bool SendWindow::overtaken(const Slot& slot) const {
    return slot.busy && !slot.hurried && slot.sends < maxSends && slot.order + 2 * mBatch <= mLatestEchoed;
}

void SendWindow::due(std::uint32_t now, std::vector<Message>& toSend) {
    if (finished())
        return;
    // Failure first, so a failing round sends nothing at all.
    if (anyTimedOut(now)) {
        mFailed = true;
        return;
    }
    const std::size_t first = toSend.size();
    for (std::uint32_t i = 0; i < mWidth; ++i) {
        Slot& slot = mSlots[i];
        const bool timedOut = slot.busy && reached(now, slot.lastSent + resendAfterMs);
        if (!timedOut && !overtaken(slot))
            continue;
        if (timedOut && slot.batch > 1)
            fallBack(slot.batch);
        slot.hurried = !timedOut;
        send(i, now, first, toSend);
    }
    for (std::uint32_t i = 0; i < openWidth() && mNext < mSource.count(); ++i) {
        if (mSlots[i].busy)
            continue;
        mSlots[i] = Slot{true, mNext++, 0, now, now, 1, 0, false};
        send(i, now, first, toSend);
    }
    noteBatches(toSend.size() - first);
}

void SendWindow::noteBatches(std::size_t count) {
    for (std::size_t at = 0; at < count; at += mBatch) {
        const std::size_t size = std::min(mBatch, count - at);
        for (std::size_t k = at; k < at + size; ++k)
            mSlots[mRound[k]].batch = size;
    }
}

void SendWindow::fallBack(std::size_t lostBatch) {
    const std::size_t smaller = lostBatch > framedBatch ? framedBatch : 1;
    if (smaller < mBatch)
        mRegrowAfter = std::min(mRegrowAfter * 2, maxWideChunkCount);
    mBatch = std::min(mBatch, smaller);
    mCleanEchoes = 0;
}

void SendWindow::acknowledged() {
    ++mAcknowledged;
    if (mBatch >= mMostBatch || ++mCleanEchoes < mRegrowAfter)
        return;
    mBatch = mBatch < framedBatch ? std::min(framedBatch, mMostBatch) : mMostBatch;
    mCleanEchoes = 0;
}

void SendWindow::onReply(const std::uint8_t* bytes, std::size_t size) {
    Message reply;
    if (finished() || !Message::decode(bytes, size, reply) || reply.transferId != mSource.transferId())
        return;
    // The receiver gave the transfer up: nothing more is wanted.
    if (mSource.marked() && reply.reserved == declineBits) {
        mFailed = true;
        return;
    }
    const std::int64_t index = reply.index(mSource.wide());
    if (index < 0)
        return;
    for (std::uint32_t i = 0; i < mWidth; ++i) {
        Slot& slot = mSlots[i];
        if (slot.busy && slot.index == static_cast<std::uint64_t>(index)) {
            slot.busy = false;
            mLatestEchoed = std::max(mLatestEchoed, slot.order);
            acknowledged();
            return;
        }
    }
}

std::uint32_t SendWindow::nextWake(std::uint32_t now) const {
    if (finished() || hasRoom())
        return now;
    std::uint32_t wait = giveUpAfterMs;
    for (std::uint32_t i = 0; i < mWidth; ++i) {
        const Slot& slot = mSlots[i];
        if (!slot.busy)
            continue;
        if (overtaken(slot))
            return now;
        for (const std::uint32_t tick : {slot.lastSent + resendAfterMs, slot.firstSent + giveUpAfterMs}) {
            if (reached(now, tick))
                return now;
            wait = std::min(wait, tick - now);
        }
    }
    return now + wait;
}
