// The way acknowledgements leave: the listener core hands the sink the
// Origin a message came with, together with that message's echo.
#pragma once

#include "net/Message.h"
#include "clip/Origin.h"

class EchoSink {
public:
    virtual ~EchoSink() = default;
    // Send message (the received 420 bytes, unchanged once encoded) back to
    // senderComputer, the way it came.
    virtual void echo(const Message& message, const Origin& origin, const char* senderComputer) = 0;
    // A sink that holds echoes back to pack them sends them now: a handler
    // is about to run, and may take longer than their senders wait.
    virtual void sendHeld() {}
    // Sends declined (a message of a marked sender's, reserved set to
    // declineBits: its transfer is no longer wanted) back the way it came.
    virtual void decline(const Message& declined, const Origin& origin) = 0;
};
