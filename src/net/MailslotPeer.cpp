#include "net/MailslotPeer.h"

#include "net/Chunking.h"
#include "net/MailslotStream.h"
#include "net/SendWindow.h"
#include "net/UdpSocket.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

namespace {

// Echo datagrams read from the socket before the window looks at the clock again.
constexpr int maxRepliesPerWake = 64;
// Longest wait between looks at the stop token.
constexpr std::uint32_t longestWaitMs = 100;
// While echoes may come through the reply mailslot, which cannot be waited
// on, it is looked at this often.
constexpr std::uint32_t mailslotPollMs = 10;

// The ways one send's datagrams go out, and its own socket, to which the
// UDP echoes come back (so concurrent sends never take each other's).
class Ways {
public:
    Ways(const char* host, const Route& route)
        : mHost(host), mRoute(route), mMailslot(route.mailslot),
          mSocket(route.addresses.empty() ? Socket() : openUdpSocket(0, route.broadcast, false)) {}

    // count messages, packed into one datagram over UDP (the caller packs
    // only towards a marked copy) and one by one into the mailslot. True
    // when at least one way took them.
    bool send(const Message* messages, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i)
            messages[i].encode(mPacked.data() + i * messageSize);
        bool sent = false;
        for (const std::uint32_t address : mRoute.addresses)
            sent = sendDatagram(mSocket.get(), mPacked.data(), count * messageSize, address, listenerPort) || sent;
        for (std::size_t i = 0; mMailslot && i < count; ++i)
            sent = intoMailslot(mPacked.data() + i * messageSize) || sent;
        return sent;
    }

    // Whether a datagram went into a mailslot: its echo may come back that way.
    bool mailslotUsed() const { return mMailslotUsed; }
    SOCKET socket() const { return mSocket.get(); }

private:
    // A mailslot that cannot be opened is not tried again in this send.
    bool intoMailslot(const std::uint8_t* bytes) {
        MailslotStream stream;
        bool opened = stream.openMailslot(mHost, listenerMailslot, true);
        // Writers of one computer exclude each other for the moment of
        // their open, write and close.
        for (int i = 0; !opened && stream.error() == ERROR_SHARING_VIOLATION && i < 8; ++i) {
            SwitchToThread();
            opened = stream.openMailslot(mHost, listenerMailslot, true);
        }
        if (opened) {
            if (!stream.write(bytes, static_cast<std::uint32_t>(messageSize)))
                return false;
            mMailslotUsed = true;
            return true;
        }
        if (stream.error() == ERROR_SHARING_VIOLATION)
            return true;  // there but busy: lost, as a datagram may be
        mMailslot = false;
        return false;
    }

    const char* const mHost;
    const Route& mRoute;
    bool mMailslot;
    bool mMailslotUsed = false;
    const Socket mSocket;
    std::array<std::uint8_t, maxDatagramSize> mPacked{};
};

// The echoes of one send as they come back over UDP, packed or not.
class Echoes {
public:
    Echoes(NetTransport& transport, const Route& route, SendWindow& window, std::uint32_t width)
        : mTransport(transport), mRoute(route), mWindow(window), mWidth(width),
          mCapacity(transport.marked() ? maxDatagramSize + 1 : messageSize + 1) {}

    // Hands the echoes waiting on socket to the window; how many datagrams were taken.
    int take(SOCKET socket) {
        int taken = 0;
        for (; taken < maxRepliesPerWake; ++taken) {
            std::size_t size = 0;
            std::uint32_t address = 0;
            std::uint16_t port = 0;
            const Received got = receiveDatagram(socket, mBuffer.data(), mCapacity, size, address, port);
            if (got == Received::Nothing)
                break;
            if (got == Received::Data)
                pass(mBuffer.data(), size, address);
            if (!datagramWaiting(socket)) {
                ++taken;
                break;
            }
        }
        return taken;
    }

private:
    void pass(const std::uint8_t* bytes, std::size_t size, std::uint32_t address) {
        // Echoes come from the computer asked; anything else on this socket is a stranger's.
        if (std::find(mRoute.addresses.begin(), mRoute.addresses.end(), address) == mRoute.addresses.end())
            return;
        const std::size_t count = messagesIn(bytes, size);
        // Packed echoes come from a marked copy alone: from here on the send
        // takes the faster ways to it.
        if (count > 1 && !mRoute.marked && !mLearned && mRoute.addresses.size() == 1 && !mRoute.broadcast &&
            address == mRoute.addresses.front()) {
            mWindow.widen(mWidth, maxMessagesPerDatagram);
            mTransport.heardFrom(address, true);
            mLearned = true;
        }
        for (std::size_t i = 0; i < count; ++i)
            mWindow.onReply(bytes + i * messageSize, messageSize);
    }

    NetTransport& mTransport;
    const Route& mRoute;
    SendWindow& mWindow;
    const std::uint32_t mWidth;
    const std::size_t mCapacity;
    bool mLearned = false;
    std::array<std::uint8_t, maxDatagramSize + 1> mBuffer{};
};

// Holds a transfer identity for as long as the send runs.
class TransferIdentity {
public:
    explicit TransferIdentity(NetTransport& transport) : mTransport(transport), mId(transport.beginTransfer()) {}
    ~TransferIdentity() { mTransport.endTransfer(mId); }
    TransferIdentity(const TransferIdentity&) = delete;
    TransferIdentity& operator=(const TransferIdentity&) = delete;

    std::uint32_t id() const { return mId; }

private:
    NetTransport& mTransport;
    const std::uint32_t mId;
};

}  // namespace

MailslotPeer::MailslotPeer(NetTransport& transport, const char* host, const char* user,
                           const std::atomic<bool>* stop)
    : mTransport(transport), mHost(host != nullptr ? host : ""), mUser(user != nullptr ? user : ""), mStop(stop) {}

MailslotPeer::MailslotPeer(NetTransport& transport, Route route, const char* host, const char* user,
                           const std::atomic<bool>* stop)
    : mTransport(transport), mHost(host != nullptr ? host : ""), mRouteGiven(true), mRoute(std::move(route)),
      mUser(user != nullptr ? user : ""), mStop(stop) {}

bool MailslotPeer::sendText(unsigned type, const char* text) {
    if (text == nullptr)
        text = "";
    return send(type, text, std::strlen(text) + 1);
}

bool MailslotPeer::send(unsigned type, const void* body, std::size_t length) {
    mMessageCount = 0;
    mAcknowledgedCount = 0;
    if (stopped() || mHost.empty())
        return false;
    try {
        const TransferIdentity transfer(mTransport);
        Chunking chunking;
        const Route route = mRouteGiven ? mRoute : mTransport.route(mHost.c_str());
        const Framing framing{mTransport.marked(), route.marked};
        if (!chunking.prepare(type, transfer.id(), mTransport.computerName(), mUser,
                              static_cast<const std::uint8_t*>(body), length, framing))
            return false;
        mMessageCount = chunking.count();
        Ways ways(mHost.c_str(), route);

        if (!isAcknowledged(type)) {
            for (std::uint32_t i = 0; i < chunking.count(); ++i) {
                const Message message = chunking.message(i);
                if (stopped() || !ways.send(&message, 1))
                    return false;
            }
            return true;
        }

        const bool echoesByMailslot = route.mailslot && mTransport.openEchoMailslot();
        const std::uint32_t width = std::min(mWindow, maxSendWindow);
        SendWindow window(chunking, route.marked ? width : std::min(width, plainSendWindow),
                          route.marked ? maxMessagesPerDatagram : 1);
        Echoes echoes(mTransport, route, window, width);
        const DatagramWait arrival(ways.socket());
        std::vector<Message> due;
        std::vector<Datagram> slotEchoes;
        due.reserve(maxSendWindow);
        slotEchoes.reserve(maxQueuedEchoes);
        // Whether the socket may hold more than the last round took; reading
        // until it reports nothing left showed it empty, so the next round waits.
        bool more = false;
        for (;;) {
            mAcknowledgedCount = window.acknowledgedCount();
            if (stopped())
                return false;
            due.clear();
            window.due(GetTickCount(), due);
            for (std::size_t at = 0; at < due.size(); at += window.batch()) {
                if (!ways.send(due.data() + at, std::min(window.batch(), due.size() - at)))
                    return false;
            }
            if (window.finished())
                break;
            const bool pollMailslot = echoesByMailslot && ways.mailslotUsed();

            if (!more) {
                const std::uint32_t now = GetTickCount();
                std::uint32_t wait = std::min(window.nextWake(now) - now, longestWaitMs);
                if (pollMailslot)
                    wait = std::min(wait, mailslotPollMs);
                arrival.wait(wait);
            }
            more = echoes.take(ways.socket()) == maxRepliesPerWake;
            if (pollMailslot) {
                slotEchoes.clear();
                mTransport.collectEchoes(transfer.id(), slotEchoes);
                for (const Datagram& echo : slotEchoes)
                    window.onReply(echo.data(), echo.size());
            }
        }
        mAcknowledgedCount = window.acknowledgedCount();
        return window.succeeded();
    } catch (const std::bad_alloc&) {
        return false;
    }
}
