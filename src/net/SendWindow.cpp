#include "net/SendWindow.h"

#include <algorithm>
#include <new>

namespace {

// Whether tick has come at now, across the 32-bit wrap.
bool reached(std::uint32_t now, std::uint32_t tick) {
    return static_cast<std::int32_t>(now - tick) >= 0;
}

}  // namespace

SendWindow::SendWindow(const Chunking& source, std::uint32_t width)
    : mSource(source), mWidth(std::clamp<std::uint32_t>(width, 1, maxSendWindow)), mFailed(source.count() == 0) {}

std::uint32_t SendWindow::openWidth() const {
    return mAcknowledged == 0 ? 1 : mWidth;
}

bool SendWindow::hasRoom() const {
    if (mNext >= mSource.count())
        return false;
    for (std::uint32_t i = 0; i < openWidth(); ++i)
        if (!mSlots[i].busy)
            return true;
    return false;
}

void SendWindow::send(Slot& slot, std::uint32_t now, std::vector<Message>& toSend) {
    Message message = mSource.message(slot.index);
    message.attempt = static_cast<std::uint8_t>(slot.sends);
    ++slot.sends;
    slot.lastSent = now;
    try {
        toSend.push_back(message);
    } catch (const std::bad_alloc&) {
        // Lost like any datagram: the resend covers it.
    }
}

void SendWindow::due(std::uint32_t now, std::vector<Message>& toSend) {
    if (finished())
        return;
    // Failure first, so a failing round sends nothing at all.
    for (std::uint32_t i = 0; i < mWidth; ++i) {
        const Slot& slot = mSlots[i];
        if (!slot.busy)
            continue;
        const bool resendDue = reached(now, slot.lastSent + resendAfterMs);
        if (reached(now, slot.firstSent + giveUpAfterMs) || (resendDue && slot.sends >= maxSends)) {
            mFailed = true;
            return;
        }
    }
    for (std::uint32_t i = 0; i < mWidth; ++i) {
        Slot& slot = mSlots[i];
        if (slot.busy && reached(now, slot.lastSent + resendAfterMs))
            send(slot, now, toSend);
    }
    for (std::uint32_t i = 0; i < openWidth() && mNext < mSource.count(); ++i) {
        Slot& slot = mSlots[i];
        if (slot.busy)
            continue;
        slot = Slot{true, mNext++, 0, now, now};
        send(slot, now, toSend);
    }
}

void SendWindow::onReply(const std::uint8_t* bytes, std::size_t size) {
    Message reply;
    if (finished() || !Message::decode(bytes, size, reply) || reply.transferId != mSource.transferId() ||
        reply.chunkIndex < 0)
        return;
    const auto index = static_cast<std::uint32_t>(reply.chunkIndex);
    for (std::uint32_t i = 0; i < mWidth; ++i) {
        Slot& slot = mSlots[i];
        if (slot.busy && slot.index == index) {
            slot.busy = false;
            ++mAcknowledged;
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
        for (const std::uint32_t tick : {slot.lastSent + resendAfterMs, slot.firstSent + giveUpAfterMs}) {
            if (reached(now, tick))
                return now;
            wait = std::min(wait, tick - now);
        }
    }
    return now + wait;
}
