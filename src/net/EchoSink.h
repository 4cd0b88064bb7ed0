// Where a datagram came from, and the way back for its acknowledgement. The
// listener core never looks inside an Origin: it hands the one a message came
// with back to the sink with that message's echo.
#pragma once

#include "net/Message.h"

#include <cstdint>

struct Origin {
    enum class Kind : std::uint8_t { Mailslot, Udp };
    Kind kind = Kind::Mailslot;
    std::uint32_t address = 0;  // IPv4, host order
    std::uint16_t port = 0;
};

class EchoSink {
public:
    virtual ~EchoSink() = default;
    // Send message (the received 420 bytes, unchanged once encoded) back to
    // senderComputer, the way it came.
    virtual void echo(const Message& message, const Origin& origin, const char* senderComputer) = 0;
};
