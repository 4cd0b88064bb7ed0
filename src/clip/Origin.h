// Where a datagram came from, and so the one way back to its sender: over
// UDP the address and port it came from, else the mailslot of the computer
// it names. The listener core never looks inside an Origin beyond telling
// two apart.
#pragma once

#include <cstdint>

struct Origin {
    enum class Kind : std::uint8_t { Mailslot, Udp };
    Kind kind = Kind::Mailslot;
    std::uint32_t address = 0;  // IPv4, host order
    std::uint16_t port = 0;

    bool operator==(const Origin& other) const {
        return kind == other.kind && address == other.address && port == other.port;
    }
    bool operator!=(const Origin& other) const { return !(*this == other); }
    // The same computer, whatever port it sent from.
    bool sameComputer(const Origin& other) const { return kind == other.kind && address == other.address; }
};
