// One transfer being received: the chunks that came so far, stored as they
// arrive (memory follows what was received, never what totalLength
// announces), until all are in and the payload goes to its handler. A
// finished transfer (delivered, or given up) keeps only its identity, so
// late repeats are recognised and ignored until it expires.
//
// It holds the state; the listener core decides when to store, echo, evict
// and expire.
#pragma once

#include "net/Message.h"
#include "net/MessageHandler.h"
#include "net/NetLimits.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

class IncomingTransfer {
public:
    // What one stored chunk is counted as: its data and a map node.
    static constexpr std::size_t chunkFootprint = messageDataSize + 8 * sizeof(void*);

    // The transfer first starts, as it came from origin, or null when it
    // starts nothing: an acknowledged message with no NUL in its first 407
    // data bytes, more than maxChunkCount chunks announced, or no memory.
    // Calls nothing.
    static std::unique_ptr<IncomingTransfer> start(const Message& first, const Origin& origin,
                                                   MessageHandler& handler);

    IncomingTransfer(const IncomingTransfer&) = delete;
    IncomingTransfer& operator=(const IncomingTransfer&) = delete;

    // From the same origin (for the unacknowledged kind, which broadcasts
    // send both ways, a mailslot matches any), with the same type,
    // transferId and totalLength (attempt aside), and for the acknowledged
    // kind data starting with the same computer name: a stranger cannot add
    // chunks to another's transfer.
    bool matches(const Message& message, const Origin& origin) const;

    MessageHandler& handler() const { return mHandler; }
    const TransferFrom& from() const { return mFrom; }
    // Admitted as the answer to a request of this copy.
    bool asked() const { return mAsked; }
    void setAsked() { mAsked = true; }
    // The first 12 bytes of the message that started it.
    const MessageKey& key() const { return mKey; }
    bool acknowledged() const { return isAcknowledged(mTypeAndId & 0xFu); }
    // Acknowledged kind: the name every message's data starts with; empty
    // for the other kind, whose data is all payload.
    const std::string& senderComputer() const { return mSenderComputer; }
    std::uint32_t chunkCount() const { return mChunkCount; }
    std::uint32_t receivedCount() const { return static_cast<std::uint32_t>(mChunks.size()); }
    bool finished() const { return mFinished; }
    std::size_t storedBytes() const { return mChunks.size() * chunkFootprint; }

    // Activity: the expiry tick, and an ever-growing number ordering the
    // transfers by their last message.
    void touch(std::uint32_t now, std::uint64_t activity);
    std::uint32_t deadline() const { return mDeadline; }
    std::uint64_t lastActivity() const { return mLastActivity; }

    // Acknowledged kind: true when key is not among the recently echoed ones
    // (it is then remembered, dropping the oldest); a known key moves to the
    // front.
    bool noteEcho(const MessageKey& key);

    // Whether message carries a chunk in range that has not come yet.
    bool wants(const Message& message) const;
    // False for lack of memory, nothing stored.
    bool store(const Message& message);
    bool allReceived() const { return receivedCount() == mChunkCount; }

    // Once all chunks are in: puts the payload together, frees the chunks
    // and hands it to the handler. A payload whose texts lack their NULs is
    // dropped silently; one that cannot be put together for lack of memory
    // is reported as failed. Finished either way.
    void deliver();
    // Frees the chunks and ignores whatever comes later.
    void finish();

private:
    IncomingTransfer(const Message& first, const Origin& origin, MessageHandler& handler, std::string senderComputer,
                     std::uint32_t nameSkip, std::uint32_t chunkCount);

    using Chunk = std::array<std::uint8_t, messageDataSize>;

    MessageHandler& mHandler;
    const TransferFrom mFrom;
    const MessageKey mKey;
    const std::uint32_t mTypeAndId;
    const std::uint32_t mTotalLength;
    const std::string mSenderComputer;
    const std::uint32_t mNameSkip;
    const std::uint32_t mChunkSize;
    const std::uint32_t mChunkCount;
    std::map<std::uint16_t, Chunk> mChunks;
    std::array<MessageKey, recentAckCount> mRecentAcks{};  // newest first
    std::size_t mRecentAckCount = 0;
    std::uint32_t mDeadline = 0;
    std::uint64_t mLastActivity = 0;
    bool mFinished = false;
    bool mAsked = false;
};
