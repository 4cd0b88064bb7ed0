// One transfer being received: the chunks that came so far, stored as they
// arrive (memory follows what was received, never what totalLength
// announces), until all are in and the payload goes to its handler. The
// answer to a request of this copy is the exception: its payload is made
// whole at its first message, at the size it announced, and every chunk
// goes straight to its place; the request bounded what may come. A
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
#include <vector>

class IncomingTransfer {
public:
    // What one stored chunk is counted as: its data and a map node.
    static constexpr std::size_t chunkFootprint = messageDataSize + 8 * sizeof(void*);

    // The transfer first starts, as it came from origin, or null when it
    // starts nothing: an acknowledged message with no NUL in its first 407
    // data bytes, more than maxChunkCount chunks announced (more than
    // maxWideChunkCount for a marked answer that was asked for), or no
    // memory. Calls nothing.
    static std::unique_ptr<IncomingTransfer> start(const Message& first, const Origin& origin,
                                                   MessageHandler& handler, bool asked);

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
    // The first 12 bytes of the message that started it.
    const MessageKey& key() const { return mKey; }
    bool acknowledged() const { return isAcknowledged(mTypeAndId & 0xFu); }
    // Acknowledged kind: the name every message's data starts with; empty
    // for the other kind, whose data is all payload.
    const std::string& senderComputer() const { return mSenderComputer; }
    std::uint32_t chunkCount() const { return mChunkCount; }
    std::uint32_t receivedCount() const { return mReceived; }
    bool finished() const { return mFinished; }
    // Given up because nobody wanted it any more: its sender is told.
    bool declined() const { return mDeclined; }
    void decline() { mDeclined = true; }
    // What counts against the listener's bound: the chunks of a transfer
    // nobody asked for.
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
                     std::uint32_t nameSkip, std::uint32_t chunkCount, bool asked);

    using Chunk = std::array<std::uint8_t, messageDataSize>;

    // The message's chunk number, or chunkCount for none in range.
    std::uint32_t numberOf(const Message& message) const;
    // The payload of an unasked transfer, from its chunks; empty when memory runs out.
    std::unique_ptr<std::uint8_t[]> assemble() const;

    MessageHandler& mHandler;
    const TransferFrom mFrom;
    const MessageKey mKey;
    const std::uint32_t mTypeAndId;
    const std::uint32_t mTotalLength;
    const std::string mSenderComputer;
    const std::uint32_t mNameSkip;
    const std::uint32_t mChunkSize;
    const std::uint32_t mChunkCount;
    const bool mWide;
    const bool mAsked;
    std::uint32_t mReceived = 0;
    // Unasked: the chunks by number. Asked: the payload and which chunks are in.
    std::map<std::uint32_t, Chunk> mChunks;
    std::vector<std::uint8_t> mPayload;
    std::vector<bool> mHave;
    std::array<MessageKey, recentAckCount> mRecentAcks{};  // newest first
    std::size_t mRecentAckCount = 0;
    std::uint32_t mDeadline = 0;
    std::uint64_t mLastActivity = 0;
    bool mFinished = false;
    bool mDeclined = false;
};
