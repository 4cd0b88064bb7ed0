// The acknowledged send as a state machine over an injected clock. The
// receiver acknowledges a message by echoing its 420 bytes. The first
// message goes alone, so a receiver that never answers (or an address a
// stranger named) costs what one stop-and-wait message costs; after the
// first echo up to `width` messages are in flight at once, entering in
// order as room frees. Each is sent again resendAfterMs after its latest
// send without an echo; one still unacknowledged giveUpAfterMs after its
// first send, or due again after maxSends sends, fails the whole send, and
// nothing more goes out.
//
// A message still unanswered when messages sent two datagrams after it have
// been echoed was lost on the way: it goes again at once, without waiting
// for its time-out, once between two time-outs (within the same maxSends).
//
// Towards a marked copy the messages of one round leave packed, batch() to
// a datagram. A packed datagram whose messages go unanswered while nothing
// later is echoed either may have been too big for the way (IP fragments
// dropped): the batch falls back to
// framedBatch, then to single messages, and grows again after a long run
// of echoes.
//
// Driving it: call due() (it also sends the first messages), send what it
// gives batch() to a datagram, wait on the socket until nextWake() passing
// each echoed message to onReply(), call due() again; stop when finished().
// Ticks are unsigned milliseconds that may wrap (GetTickCount).
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
    // Echoes in a row at one batch size before a bigger one is tried again;
    // twice as many after each fall back, so a way that never carries big
    // packs costs a handful of time-outs, not one every thousand messages.
    static constexpr std::uint32_t regrowAfter = 1024;
    // What a receiver is sent at once is bounded in datagrams too, so a send
    // fallen back to small batches floods no listener's round of reading;
    // never fewer messages than the plain window.
    static constexpr std::uint32_t datagramsInFlight = plainSendWindow;

    // source must stay alive and unchanged as long as the window; width is
    // held to 1..maxSendWindow (1 is strict stop-and-wait), batch to
    // 1..maxMessagesPerDatagram. A source with nothing prepared fails at once.
    SendWindow(const Chunking& source, std::uint32_t width, std::size_t batch = 1);
    SendWindow(const SendWindow&) = delete;
    SendWindow& operator=(const SendWindow&) = delete;

    // The receiver turned out to be a marked copy: from now on up to width
    // in flight and batch to a datagram.
    void widen(std::uint32_t width, std::size_t batch);

    // Appends the messages to (re)send at now, attempts set: a round, which
    // goes out batch() to a datagram. A message that cannot be appended for
    // lack of memory counts as sent and lost.
    void due(std::uint32_t now, std::vector<Message>& toSend);
    // Messages to a datagram for the latest round, counted from its first.
    std::size_t batch() const { return mBatch; }
    // One message that came back; anything but the echo of a message in
    // flight (same transferId and number) is ignored, but a marked send
    // declined by its receiver (Message.h) fails at once.
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
        std::size_t batch = 1;  // messages in the datagram it last went in
        std::uint64_t order = 0;  // of its latest send among all of them
        bool hurried = false;     // sent again early since its latest time-out
    };

    // 1 until the receiver has acknowledged anything; then width, as far
    // as datagramsInFlight batches hold (the plain window at least).
    std::uint32_t openWidth() const;
    bool hasRoom() const;
    bool anyTimedOut(std::uint32_t now) const;
    bool overtaken(const Slot& slot) const;
    void send(std::uint32_t slot, std::uint32_t now, std::size_t first, std::vector<Message>& toSend);
    // Which datagram each message of this round went in.
    void noteBatches(std::size_t count);
    void fallBack(std::size_t lostBatch);
    void acknowledged();

    const Chunking& mSource;
    std::uint32_t mWidth;
    std::size_t mMostBatch;
    std::size_t mBatch;
    std::uint32_t mCleanEchoes = 0;
    std::uint32_t mRegrowAfter = regrowAfter;
    std::array<Slot, maxSendWindow> mSlots{};
    // The slots of the round being sent, in the order their messages went.
    std::array<std::uint32_t, maxSendWindow> mRound{};
    std::uint64_t mSends = 0;          // messages sent, resends included
    std::uint64_t mLatestEchoed = 0;   // the latest send order echoed
    std::uint32_t mNext = 0;  // the next message to enter the window
    std::uint32_t mAcknowledged = 0;
    bool mFailed = false;
};
