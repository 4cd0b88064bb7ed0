#include "net/MailslotListener.h"

#include "net/EchoBatches.h"
#include "net/ListenerCore.h"
#include "net/MailslotStream.h"
#include "net/SenderChecks.h"
#include "net/UdpSocket.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

namespace {

// Longest wait between looks at the mailslot and the transfers' clocks
// while nothing comes: two wake-ups a second.
constexpr std::uint32_t longestWaitMs = 500;
// A mailslot cannot be waited on: after a message came through it, it is
// looked at this often for the next fastPollCount waits, since a sender
// that uses it waits for each echo.
constexpr std::uint32_t fastPollMs = 10;
constexpr int fastPollCount = 200;

// Echoes go back the way the message came: over UDP from the listening
// socket to the address and port it came from, packed for a marked sender
// (EchoBatches.h), or into the reply mailslot on the sender's computer (one
// open, write and close, no retry).
class WayBack : public EchoSink, private EchoBatches::Way {
public:
    WayBack(SOCKET socket, const std::string& computer) : mSocket(socket), mComputer(computer), mBatches(*this) {}

    // Before the messages of each datagram from UDP, and at the end of each round.
    void heard(const Origin& from, std::size_t count, bool marked) { mBatches.heard(from, count, marked); }
    void sendHeld() override { mBatches.flush(); }
    void decline(const Message& declined, const Origin& origin) override {
        if (origin.kind != Origin::Kind::Udp)
            return;
        const Datagram bytes = declined.encode();
        sendDatagram(mSocket, bytes.data(), bytes.size(), origin.address, origin.port);
    }

    void echo(const Message& message, const Origin& origin, const char* senderComputer) override {
        if (origin.kind == Origin::Kind::Udp) {
            mBatches.echo(message, origin);
            return;
        }
        // The name comes from the datagram: never a path or "*" of a stranger's choosing.
        if (!isPlainComputerName(senderComputer))
            return;
        // A sender on this computer is reached locally, which needs no network
        // (and is the only mailslot Wine delivers).
        const char* host = sameComputerName(senderComputer, mComputer) ? "." : senderComputer;
        const Datagram bytes = message.encode();
        MailslotStream stream;
        if (stream.openMailslot(host, echoMailslot, true))
            stream.write(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    }

private:
    void send(const Origin& to, const std::uint8_t* bytes, std::size_t size) override {
        sendDatagram(mSocket, bytes, size, to.address, to.port);
    }

    const SOCKET mSocket;
    const std::string& mComputer;
    EchoBatches mBatches;
};

// The next message waiting in the mailslot, without waiting for one.
bool readWaiting(HANDLE slot, std::uint8_t* buffer, std::size_t capacity, std::size_t& size) {
    DWORD next = MAILSLOT_NO_MESSAGE;
    if (slot == INVALID_HANDLE_VALUE || !GetMailslotInfo(slot, nullptr, &next, nullptr, nullptr) ||
        next == MAILSLOT_NO_MESSAGE)
        return false;
    DWORD got = 0;
    if (!ReadFile(slot, buffer, static_cast<DWORD>(capacity), &got, nullptr))
        return false;
    size = got;
    return true;
}

// How many of one round's datagrams one sender may have handled that began
// nothing or nothing lasting: a round takes up to maxDatagramsPerWake, and
// a flood from one address leaves the rest to everyone else. The messages
// of a transfer under way never count, so a fast sender that keeps the
// round going with every echo it gets loses nothing. It also keeps which
// senders marked all they sent, for the transport to know.
class SourceShare {
public:
    void newRound() { mCount = 0; }
    // Whether the next datagram of address may be handled.
    bool admit(std::uint32_t address, bool marked) {
        Sender& sender = find(address);
        sender.marked = sender.marked && marked;
        return sender.strays < perSender;
    }
    // The datagram admitted last for address went to no transfer under way.
    void stray(std::uint32_t address) { ++find(address).strays; }
    void tell(NetTransport& transport) const {
        for (std::size_t i = 0; i < mCount; ++i)
            transport.heardFrom(mSenders[i].address, mSenders[i].marked);
    }

private:
    static constexpr int perSender = maxDatagramsPerWake / 4;
    struct Sender {
        std::uint32_t address;
        int strays;
        bool marked;
    };
    // The round's senders; past the table's size the last row is shared.
    Sender& find(std::uint32_t address) {
        for (std::size_t i = 0; i < mCount; ++i) {
            if (mSenders[i].address == address)
                return mSenders[i];
        }
        if (mCount < mSenders.size())
            mSenders[mCount++] = {address, 0, true};
        return mSenders[mCount - 1];
    }

    std::array<Sender, 32> mSenders{};
    std::size_t mCount = 0;
};

// Nothing from beyond this computer's own networks counts, not even for an
// echo; no one sender takes more than its share of a round; and a datagram
// holds one message, or several packed by a marked copy.
void takeDatagram(NetTransport& transport, ListenerCore& core, WayBack& wayBack, SourceShare& share,
                  const std::uint8_t* bytes, std::size_t size, const Origin& origin) {
    const std::size_t count = messagesIn(bytes, size);
    if (count == 0 || !transport.fromLocalNetwork(origin.address))
        return;
    const bool marked = markedAt(bytes);
    if (!share.admit(origin.address, marked))
        return;
    // A copy that does not mark (the tools playing a plain one) packs nothing.
    wayBack.heard(origin, count, marked && transport.marked());
    bool underWay = true;
    for (std::size_t i = 0; i < count; ++i)
        underWay = core.take(bytes + i * messageSize, messageSize, origin, GetTickCount()) && underWay;
    if (!underWay)
        share.stray(origin.address);
}

// What waits in the mailslot, up to a round; whether anything did.
bool takeMailslot(HANDLE slot, const std::atomic<bool>& stop, ListenerCore& core, std::uint8_t* buffer) {
    std::size_t size = 0;
    bool took = false;
    for (int i = 0; i < maxDatagramsPerWake && !stop.load() && readWaiting(slot, buffer, messageSize + 1, size); ++i) {
        core.take(buffer, size, Origin{}, GetTickCount());
        took = true;
    }
    return took;
}

}  // namespace

MailslotListener::MailslotListener(const char* computerName) : mTransport(computerName) {}

MailslotListener::~MailslotListener() {
    stop();
}

bool MailslotListener::addHandler(MessageHandler& handler) {
    if (mThread)
        return false;
    try {
        mHandlers.push_back(&handler);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool MailslotListener::start() {
    if (mThread || mStop.load())
        return false;
    char path[64];
    std::strcpy(path, "\\\\.\\mailslot\\");
    std::strcat(path, listenerMailslot);
    // Read time-out 0: the thread reads only what GetMailslotInfo says waits,
    // and even so never blocks.
    mSlot.reset(CreateMailslotA(path, static_cast<DWORD>(messageSize), 0, nullptr));
    if (mTransport.networkReady())
        mSocket = openUdpSocket(listenerPort, true, true);
    mListening = (mSlot ? unsigned{Mailslot} : 0u) | (mSocket ? unsigned{Udp} : 0u);
    mWakeUp.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    mThread.reset(CreateThread(nullptr, 0, threadMain, this, 0, nullptr));
    if (!mThread) {
        mSocket.reset();
        mSlot.reset();
        mListening = 0;
        return false;
    }
    return true;
}

void MailslotListener::stop() {
    mStop.store(true);
    if (mWakeUp)
        SetEvent(mWakeUp.get());
    if (mThread) {
        // A handler may be waiting for an answer to a message it sent to a
        // window of this thread (asking the user-interface thread for a
        // copy): those are answered while waiting, or neither thread would go on.
        HANDLE thread = mThread.get();
        DWORD woke = WAIT_OBJECT_0 + 1;
        while (woke == WAIT_OBJECT_0 + 1) {
            woke = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
            MSG message;
            PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        if (woke != WAIT_OBJECT_0)
            WaitForSingleObject(thread, INFINITE);
        mThread.reset();
    }
    mSocket.reset();
    mSlot.reset();
    mListening = 0;
}

DWORD WINAPI MailslotListener::threadMain(void* listener) {
    static_cast<MailslotListener*>(listener)->run();
    return 0;
}

void MailslotListener::run() {
    WayBack wayBack(mSocket.get(), mTransport.computerName());
    // Made and ended on this thread, so every handler call, the failures
    // reported at the end included, comes from here.
    ListenerCore core(wayBack);
    for (MessageHandler* handler : mHandlers)
        core.addHandler(*handler);
    // One byte more than the largest datagram taken: a longer one shows as
    // one. A plain copy takes single messages alone.
    std::vector<std::uint8_t> buffer(mTransport.marked() ? maxDatagramSize + 1 : messageSize + 1);
    const DatagramWait arrival(mSocket.get());
    SourceShare share;
    // Every datagram that waits, up to the bound; how many were taken.
    const auto takeWaiting = [&] {
        share.newRound();
        int taken = 0;
        while (taken < maxDatagramsPerWake && !mStop.load()) {
            std::size_t size = 0;
            std::uint32_t address = 0;
            std::uint16_t port = 0;
            const Received got = receiveDatagram(mSocket.get(), buffer.data(), buffer.size(), size, address, port);
            if (got == Received::Nothing)
                break;
            ++taken;
            if (got == Received::Data)
                takeDatagram(mTransport, core, wayBack, share, buffer.data(), size, Origin{Origin::Kind::Udp, address, port});
            if (!datagramWaiting(mSocket.get()))
                break;
        }
        wayBack.sendHeld();
        share.tell(mTransport);
        return taken;
    };
    int fastPolls = 0;
    std::uint32_t slotDue = GetTickCount();
    // Whether the socket may hold more than the last round took: reading
    // until it reports nothing left showed it empty, so the next round waits.
    bool more = false;
    while (!mStop.load()) {
        if (!more) {
            const std::uint32_t now = GetTickCount();
            const bool slotLate = static_cast<std::int32_t>(now - slotDue) >= 0;
            arrival.wait(slotLate ? 0 : std::min({core.nextWake(now) - now, longestWaitMs, slotDue - now}),
                         mWakeUp.get());
        }
        more = takeWaiting() == maxDatagramsPerWake;
        if (static_cast<std::int32_t>(GetTickCount() - slotDue) >= 0) {
            if (takeMailslot(mSlot.get(), mStop, core, buffer.data()))
                fastPolls = fastPollCount;
            if (fastPolls > 0)
                --fastPolls;
            slotDue = GetTickCount() + (fastPolls > 0 ? fastPollMs : longestWaitMs);
        }
        core.tick(GetTickCount());
    }
}
