// Where each computer was last heard from over UDP, learned from the
// datagrams themselves: anyone may claim any name, so the table is small,
// takes only names that are safe to use in a path, and forgets the least
// recently heard. Not thread-safe: its owner locks.
#pragma once

#include "net/Message.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

// Names of computers heard at once; a flood of made-up names only pushes
// out older ones.
constexpr std::size_t maxPeers = 256;
// Longer than any NetBIOS or DNS host label.
constexpr std::size_t maxComputerNameLength = 63;

// A name this program puts into a mailslot path or the table: 1 to
// maxComputerNameLength bytes, no control characters or spaces, none of
// \ / : * ? " < > | (so never "*", the every-computer host, nor a path of
// its own), and not made of dots alone ("." is this computer).
bool isPlainComputerName(std::string_view name);

// The sender's computer name a well-formed message carries, or empty: the
// start of the data of every acknowledged message, the start of the payload
// in the first message of the other kind. Well-formed: the name is plain and
// ends with its NUL inside the data, and chunkIndex lies within the transfer
// that totalLength announces.
std::string senderComputerOf(const Message& message);

class PeerTable {
public:
    explicit PeerTable(std::size_t capacity = maxPeers) : mCapacity(capacity == 0 ? 1 : capacity) {}

    // A datagram with computer's name came from address (IPv4, host order).
    // Names that are not plain are ignored, letter case is not told apart,
    // and out of memory the table is left as it was.
    void heard(std::string_view computer, std::uint32_t address);
    // Where computer was last heard from.
    bool find(std::string_view computer, std::uint32_t& address) const;
    std::size_t size() const { return mEntries.size(); }

private:
    struct Entry {
        std::uint32_t address = 0;
        std::uint64_t heard = 0;
    };

    const std::size_t mCapacity;
    std::map<std::string, Entry> mEntries;  // upper-case names
    std::uint64_t mClock = 0;
};
