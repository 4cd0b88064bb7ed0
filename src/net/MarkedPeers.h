// The addresses that lately sent marked messages (Message.h) over UDP: a
// send there may pack messages, keep a wide window and pass 32,768
// messages. A stranger can name any address; a plain copy at one merely
// drops the packed datagrams, and the send falls back to single messages.
// Bounded; not thread-safe (the transport locks).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class MarkedPeers {
public:
    // What came from address at tick now: marked, or plain, which forgets it.
    void heard(std::uint32_t address, bool marked, std::uint32_t now);
    bool marked(std::uint32_t address) const;

private:
    struct Peer {
        std::uint32_t address;
        std::uint32_t lastHeard;
    };
    static constexpr std::size_t mostPeers = 64;

    std::array<Peer, mostPeers> mPeers{};
    std::size_t mCount = 0;
};
