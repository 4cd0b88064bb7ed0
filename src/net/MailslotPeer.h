// The destination of a send: one computer, or "*" for every computer of the
// local network. A send blocks the calling thread until it ends; the
// user-interface thread (queries, fetch requests) and the listener thread
// (answers) may send at once, each with a peer of its own.
#pragma once

#include "net/NetLimits.h"
#include "net/NetTransport.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

class MailslotPeer {
public:
    // transport: the listener's, which outlives the peer. user: the sender's
    // user name every message carries. stop, when given, ends a send at its
    // next message once it is set (the program is closing).
    MailslotPeer(NetTransport& transport, const char* host, const char* user,
                 const std::atomic<bool>* stop = nullptr);
    // The same along a route already known (an answer's way back, or the
    // address a computer answered from); host names the mailslot's computer.
    MailslotPeer(NetTransport& transport, Route route, const char* host, const char* user,
                 const std::atomic<bool>* stop = nullptr);
    MailslotPeer(const MailslotPeer&) = delete;
    MailslotPeer& operator=(const MailslotPeer&) = delete;

    // Odd types are acknowledged: true when every message was acknowledged
    // by the receiver. Even types go once to whoever hears them: true when
    // every message went out one way or another. False at once for a type
    // beyond 15, a payload of more than 32,768 messages, or no memory.
    bool send(unsigned type, const void* body, std::size_t length);
    // The body is text with its NUL, so an empty text is one byte.
    bool sendText(unsigned type, const char* text);

    // The most messages in flight, 1 to maxSendWindow; 1 waits for each
    // echo before the next message. Towards a copy that is not marked, at
    // most plainSendWindow whatever is set.
    void setWindow(std::uint32_t width) { mWindow = width; }
    // Of the latest send: its messages, and how many were acknowledged.
    std::uint32_t messageCount() const { return mMessageCount; }
    std::uint32_t acknowledgedCount() const { return mAcknowledgedCount; }

private:
    bool stopped() const { return mStop != nullptr && mStop->load(); }

    NetTransport& mTransport;
    const std::string mHost;
    const bool mRouteGiven = false;
    const Route mRoute;
    const std::string mUser;
    const std::atomic<bool>* const mStop;
    std::uint32_t mWindow = maxSendWindow;
    std::uint32_t mMessageCount = 0;
    std::uint32_t mAcknowledgedCount = 0;
};
