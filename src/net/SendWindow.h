// The acknowledged send as a state machine over an injected clock. The
// receiver acknowledges a message by echoing its 420 bytes. The first
// message goes alone, so a receiver that never answers (or an address a
// stranger named) costs what one stop-and-wait message costs; after the
// first echo up to `width` messages are in flight at once, entering in
// chunkIndex order as room frees. Each is sent again resendAfterMs after its latest send without an
// echo; one still unacknowledged giveUpAfterMs after its first send, or due
// again after maxSends sends, fails the whole send, and nothing more goes out.
//
// Driving it: call due() (it also sends the first messages), send what it
// gives, wait on the socket until nextWake() passing each reply to
// onReply(), call due() again; stop when finished(). Ticks are unsigned
// milliseconds that may wrap (GetTickCount).
#pragma once

#include "net/Chunking.h"
#include "net/Message.h"
#include "net/NetLimits.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class SendWindow {
public:
    // source must stay alive and unchanged as long as the window; width is
    // held to 1..maxSendWindow (1 is strict stop-and-wait). A source with
    // nothing prepared fails at once.
    SendWindow(const Chunking& source, std::uint32_t width);
    SendWindow(const SendWindow&) = delete;
    SendWindow& operator=(const SendWindow&) = delete;

    // Appends the messages to (re)send at now, attempts set. A message that
    // cannot be appended for lack of memory counts as sent and lost.
    void due(std::uint32_t now, std::vector<Message>& toSend);
    // Any datagram that came back; anything but the echo of a message in
    // flight (same transferId and chunkIndex) is ignored.
    void onReply(const std::uint8_t* bytes, std::size_t size);

    bool succeeded() const { return mAcknowledged == mSource.count() && !mFailed; }
    bool failed() const { return mFailed; }
    bool finished() const { return succeeded() || failed(); }
    // The latest tick due() should be called at; now itself when it has
    // something to do already or the send is finished.
    std::uint32_t nextWake(std::uint32_t now) const;
    std::uint32_t acknowledgedCount() const { return mAcknowledged; }

private:
    struct Slot {
        bool busy = false;
        std::uint32_t index = 0;
        std::uint32_t sends = 0;
        std::uint32_t firstSent = 0;
        std::uint32_t lastSent = 0;
    };

    // 1 until the receiver has acknowledged anything.
    std::uint32_t openWidth() const;
    bool hasRoom() const;
    void send(Slot& slot, std::uint32_t now, std::vector<Message>& toSend);

    const Chunking& mSource;
    std::uint32_t mWidth;
    std::array<Slot, maxSendWindow> mSlots{};
    std::uint32_t mNext = 0;  // the next message to enter the window
    std::uint32_t mAcknowledged = 0;
    bool mFailed = false;
};
