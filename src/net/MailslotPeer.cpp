#include "net/MailslotPeer.h"

#include "net/Chunking.h"
#include "net/MailslotStream.h"
#include "net/SendWindow.h"
#include "net/UdpSocket.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

// Echoes read from the socket before the window looks at the clock again.
constexpr int maxRepliesPerWake = 64;
// Longest wait between looks at the stop token.
constexpr std::uint32_t longestWaitMs = 100;
// While echoes may come through the reply mailslot, which cannot be waited
// on, it is looked at this often.
constexpr std::uint32_t mailslotPollMs = 10;

// Hands the echoes waiting on socket to window; how many datagrams were taken.
int takeReplies(SOCKET socket, SendWindow& window) {
    std::uint8_t reply[messageSize + 1];
    int taken = 0;
    for (; taken < maxRepliesPerWake; ++taken) {
        std::size_t size = 0;
        std::uint32_t address = 0;
        std::uint16_t port = 0;
        const Received got = receiveDatagram(socket, reply, sizeof reply, size, address, port);
        if (got == Received::Nothing)
            break;
        if (got == Received::Data)
            window.onReply(reply, size);
        if (!datagramWaiting(socket)) {
            ++taken;
            break;
        }
    }
    return taken;
}

// The ways one send's datagrams go out, and its own socket, to which the
// UDP echoes come back (so concurrent sends never take each other's).
class Ways {
public:
    Ways(const char* host, const Route& route)
        : mHost(host), mRoute(route), mMailslot(route.mailslot),
          mSocket(route.addresses.empty() ? Socket() : openUdpSocket(0, route.broadcast, false)) {}

    // Every way the route names; true when at least one took the datagram.
    // A mailslot that cannot be opened is not tried again in this send.
    bool send(const std::uint8_t* bytes) {
        bool sent = false;
        for (const std::uint32_t address : mRoute.addresses)
            sent = sendDatagram(mSocket.get(), bytes, messageSize, address, listenerPort) || sent;
        if (mMailslot) {
            MailslotStream stream;
            bool opened = stream.openMailslot(mHost, listenerMailslot, true);
            // Writers of one computer exclude each other for the moment of
            // their open, write and close.
            for (int i = 0; !opened && stream.error() == ERROR_SHARING_VIOLATION && i < 8; ++i) {
                SwitchToThread();
                opened = stream.openMailslot(mHost, listenerMailslot, true);
            }
            if (opened) {
                if (stream.write(bytes, static_cast<std::uint32_t>(messageSize))) {
                    mMailslotUsed = true;
                    sent = true;
                }
            } else if (stream.error() == ERROR_SHARING_VIOLATION) {
                sent = true;  // there but busy: lost, as a datagram may be
            } else {
                mMailslot = false;
            }
        }
        return sent;
    }

    // Whether a datagram went into a mailslot: its echo may come back that way.
    bool mailslotUsed() const { return mMailslotUsed; }
    SOCKET socket() const { return mSocket.get(); }

private:
    const char* const mHost;
    const Route& mRoute;
    bool mMailslot;
    bool mMailslotUsed = false;
    const Socket mSocket;
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
        if (!chunking.prepare(type, transfer.id(), mTransport.computerName(), mUser,
                              static_cast<const std::uint8_t*>(body), length))
            return false;
        mMessageCount = chunking.count();
        const Route route = mRouteGiven ? mRoute : mTransport.route(mHost.c_str());
        Ways ways(mHost.c_str(), route);

        if (!isAcknowledged(type)) {
            for (std::uint32_t i = 0; i < chunking.count(); ++i) {
                if (stopped() || !ways.send(chunking.message(i).encode().data()))
                    return false;
            }
            return true;
        }

        const bool echoesByMailslot = route.mailslot && mTransport.openEchoMailslot();
        SendWindow window(chunking, mWindow);
        std::vector<Message> due;
        std::vector<Datagram> echoes;
        due.reserve(maxSendWindow);
        echoes.reserve(maxQueuedEchoes);
        // Whether the socket may hold more than the last round took; reading
        // until it reports nothing left showed it empty, so the next round waits.
        bool more = false;
        for (;;) {
            mAcknowledgedCount = window.acknowledgedCount();
            if (stopped())
                return false;
            due.clear();
            window.due(GetTickCount(), due);
            for (const Message& message : due)
                if (!ways.send(message.encode().data()))
                    return false;
            if (window.finished())
                break;
            const bool pollMailslot = echoesByMailslot && ways.mailslotUsed();

            if (!more) {
                const std::uint32_t now = GetTickCount();
                std::uint32_t wait = std::min(window.nextWake(now) - now, longestWaitMs);
                if (pollMailslot)
                    wait = std::min(wait, mailslotPollMs);
                waitReadable(ways.socket(), wait);
            }
            more = takeReplies(ways.socket(), window) == maxRepliesPerWake;
            if (pollMailslot) {
                echoes.clear();
                mTransport.collectEchoes(transfer.id(), echoes);
                for (const Datagram& echo : echoes)
                    window.onReply(echo.data(), echo.size());
            }
        }
        mAcknowledgedCount = window.acknowledgedCount();
        return window.succeeded();
    } catch (const std::bad_alloc&) {
        return false;
    }
}
