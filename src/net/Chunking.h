// How a send is cut into messages. The payload is kept once; message i is
// made from it when asked for, so a large send never exists as thousands of
// stored datagrams.
//
// Payloads:  acknowledged   user NUL body
//            unacknowledged computer NUL user NUL body
// Data:      acknowledged   computer NUL, then up to chunkSize payload bytes
//            unacknowledged 408 payload bytes
#pragma once

#include "net/Message.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// False, payload left empty, when a name holds a NUL or memory runs out.
bool buildPayload(unsigned type, std::string_view computer, std::string_view user,
                  const std::uint8_t* body, std::size_t length, std::vector<std::uint8_t>& payload);

// Payload bytes per message; 0 or below when the computer name leaves no
// room (407 characters or more, acknowledged kind).
std::int64_t chunkSizeFor(unsigned type, std::size_t computerLength);

// How a send numbers its messages: marked (Message.h) or plain, and whether
// it may pass maxChunkCount messages (only marked, towards a marked copy).
struct Framing {
    bool marked = false;
    bool wide = false;
};

class Chunking {
public:
    // False, and nothing to send (count() 0), when the send must be refused:
    // a type beyond 15, a name holding a NUL, a computer name too long for
    // the acknowledged kind, more messages than the framing numbers
    // (maxChunkCount, or maxWideChunkCount when wide), or no memory.
    bool prepare(unsigned type, std::uint32_t transferId, std::string_view computer, std::string_view user,
                 const std::uint8_t* body, std::size_t length, Framing framing);

    unsigned type() const { return mType; }
    std::uint32_t transferId() const { return mTransferId; }
    std::uint32_t totalLength() const { return static_cast<std::uint32_t>(mPayload.size()); }
    std::uint32_t chunkSize() const { return mChunkSize; }
    std::uint32_t count() const { return mCount; }
    bool marked() const { return mMarked; }
    bool wide() const { return isWide(mCount); }

    // Message index (below count()) with attempt 0 and zeros after the chunk.
    Message message(std::uint32_t index) const;

private:
    unsigned mType = 0;
    std::uint32_t mTransferId = 0;
    std::uint32_t mChunkSize = 0;
    std::uint32_t mCount = 0;
    bool mMarked = false;
    // Acknowledged kind: computer name and its NUL, the start of every data.
    std::string mDataPrefix;
    std::vector<std::uint8_t> mPayload;
};
