#include "net/MailslotListener.h"

#include "net/ListenerCore.h"
#include "net/MailslotStream.h"
#include "net/SenderChecks.h"
#include "net/UdpSocket.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

namespace {

// Longest wait between looks at the stop token and the mailslot.
constexpr std::uint32_t longestWaitMs = 100;
// A mailslot cannot be waited on: after a message came through it, it is
// looked at this often for the next fastPollCount waits, since a sender
// that uses it waits for each echo.
constexpr std::uint32_t fastPollMs = 10;
constexpr int fastPollCount = 200;

// Echoes go back the way the message came: over UDP from the listening
// socket to the address and port it came from, or into the reply mailslot
// on the sender's computer (one open, write and close, no retry).
class WayBack : public EchoSink {
public:
    WayBack(SOCKET socket, const std::string& computer) : mSocket(socket), mComputer(computer) {}

    void echo(const Message& message, const Origin& origin, const char* senderComputer) override {
        const Datagram bytes = message.encode();
        if (origin.kind == Origin::Kind::Udp) {
            sendDatagram(mSocket, bytes.data(), bytes.size(), origin.address, origin.port);
            return;
        }
        // The name comes from the datagram: never a path or "*" of a stranger's choosing.
        if (!isPlainComputerName(senderComputer))
            return;
        // A sender on this computer is reached locally, which needs no network
        // (and is the only mailslot Wine delivers).
        const char* host = sameComputerName(senderComputer, mComputer) ? "." : senderComputer;
        MailslotStream stream;
        if (stream.openMailslot(host, echoMailslot, true))
            stream.write(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    }

private:
    const SOCKET mSocket;
    const std::string& mComputer;
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

// How many of one round's datagrams one sender may have handled: a round
// takes up to maxDatagramsPerWake, and a flood from one address leaves the
// rest to everyone else. An honest sender keeps fewer in flight.
class SourceShare {
public:
    void newRound() { mCount = 0; }
    bool admit(std::uint32_t address) {
        for (std::size_t i = 0; i < mCount; ++i) {
            if (mSenders[i].address == address)
                return ++mSenders[i].taken <= perSender;
        }
        if (mCount < mSenders.size())
            mSenders[mCount++] = {address, 1};
        return true;
    }

private:
    static constexpr int perSender = maxDatagramsPerWake / 4;
    struct Sender {
        std::uint32_t address;
        int taken;
    };
    std::array<Sender, 32> mSenders{};
    std::size_t mCount = 0;
};

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

    // One byte more than a message: a longer datagram shows as one.
    std::uint8_t buffer[messageSize + 1];
    int fastPolls = 0;
    std::uint32_t slotDue = GetTickCount();
    // Every datagram that waits, up to the bound; how many were taken.
    SourceShare share;
    const auto takeWaiting = [&] {
        share.newRound();
        int taken = 0;
        while (taken < maxDatagramsPerWake && !mStop.load()) {
            std::size_t size = 0;
            std::uint32_t address = 0;
            std::uint16_t port = 0;
            const Received got = receiveDatagram(mSocket.get(), buffer, sizeof buffer, size, address, port);
            if (got == Received::Nothing)
                break;
            ++taken;
            // Nothing from beyond this computer's own networks counts, not
            // even for an echo; and no one sender takes more than its share
            // of a round.
            if (got == Received::Dropped || !mTransport.fromLocalNetwork(address) || !share.admit(address))
                continue;
            core.take(buffer, size, Origin{Origin::Kind::Udp, address, port}, GetTickCount());
            if (!datagramWaiting(mSocket.get()))
                break;
        }
        return taken;
    };
    // Whether the socket may hold more than the last round took: reading
    // until it reports nothing left showed it empty, so the next round waits.
    bool more = false;
    while (!mStop.load()) {
        if (!more) {
            const std::uint32_t now = GetTickCount();
            const bool slotLate = static_cast<std::int32_t>(now - slotDue) >= 0;
            waitReadable(mSocket.get(),
                         slotLate ? 0 : std::min({core.nextWake(now) - now, longestWaitMs, slotDue - now}));
        }
        more = takeWaiting() == maxDatagramsPerWake;
        const std::uint32_t now = GetTickCount();
        if (static_cast<std::int32_t>(now - slotDue) >= 0) {
            std::size_t size = 0;
            for (int i = 0; i < maxDatagramsPerWake && !mStop.load() && readWaiting(mSlot.get(), buffer, sizeof buffer, size);
                 ++i) {
                core.take(buffer, size, Origin{}, GetTickCount());
                fastPolls = fastPollCount;
            }
            if (fastPolls > 0)
                --fastPolls;
            slotDue = GetTickCount() + (fastPolls > 0 ? fastPollMs : longestWaitMs);
        }
        core.tick(GetTickCount());
    }
}
