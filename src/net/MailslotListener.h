// Receives every message addressed to this computer's copy of the program,
// on a thread of its own: from the mailslot "\\.\mailslot\RamvekHo" and from
// UDP port 24170 on every address alike (a datagram that comes both ways is
// taken once). Acknowledged messages are echoed back the way they came;
// each complete payload goes to the handler registered for its type.
//
// Only datagrams from this computer's own networks are taken in; within a
// round of reading, no one sender gets more than its share.
//
// The owner (the main dialog) constructs it, adds the handlers, calls
// start(), and stop() or the destructor at the end. Handlers run on the
// listener thread and return at once (answers are sent from elsewhere, with
// a MailslotPeer over transport() and stopToken()); they must outlive the
// listener.
#pragma once

#include "base/Socket.h"

#include "base/FileHandle.h"
#include "base/KernelHandle.h"
#include "net/MessageHandler.h"
#include "net/NetTransport.h"

#include <atomic>
#include <cstdint>
#include <vector>

// Datagrams taken from each way before the listener's clock runs again.
constexpr int maxDatagramsPerWake = 256;

class MailslotListener {
public:
    // computerName: this computer's, which every send of it carries.
    explicit MailslotListener(const char* computerName);
    // Stops the thread.
    ~MailslotListener();
    MailslotListener(const MailslotListener&) = delete;
    MailslotListener& operator=(const MailslotListener&) = delete;

    // Before start() only. False for lack of memory.
    bool addHandler(MessageHandler& handler);

    // Creates the listening mailslot and socket and starts the thread; false
    // when the thread cannot start. A mailslot or port another process holds
    // leaves that way deaf (see listening()); the other still works.
    bool start();
    // Sets the stop token and waits for the thread, answering meanwhile the
    // messages sent to this thread's windows. A send under way stops at its
    // next message, so this returns within moments. Never from a handler.
    // The listener cannot be started again.
    void stop();

    enum Way { Mailslot = 1, Udp = 2 };
    // The ways that listen, once started: a mask of Way.
    unsigned listening() const { return mListening; }

    // For sends of this process, from any thread.
    NetTransport& transport() { return mTransport; }
    const std::atomic<bool>* stopToken() const { return &mStop; }

private:
    static DWORD WINAPI threadMain(void* listener);
    void run();

    NetTransport mTransport;
    std::vector<MessageHandler*> mHandlers;
    std::atomic<bool> mStop{false};
    // Made by start(), used by the thread alone, closed after it ended.
    FileHandle mSlot;
    Socket mSocket;
    unsigned mListening = 0;
    // Set by stop(), so a waiting thread wakes at once.
    KernelHandle mWakeUp;
    KernelHandle mThread;
};
