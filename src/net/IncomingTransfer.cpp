#include "net/IncomingTransfer.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// The NUL ending the text at begin, or null when there is none before end.
const std::uint8_t* findNul(const std::uint8_t* begin, const std::uint8_t* end) {
    return static_cast<const std::uint8_t*>(std::memchr(begin, 0, static_cast<std::size_t>(end - begin)));
}

}  // namespace

std::unique_ptr<IncomingTransfer> IncomingTransfer::start(const Message& first, const Origin& origin,
                                                          MessageHandler& handler, bool asked) {
    const std::uint8_t* data = first.data.data();
    std::uint32_t nameSkip = 0;
    if (isAcknowledged(first.type)) {
        // At least one payload byte must fit after the name.
        const std::uint8_t* nul = findNul(data, data + messageDataSize - 1);
        if (nul == nullptr)
            return nullptr;
        nameSkip = static_cast<std::uint32_t>(nul - data) + 1;
    }
    const std::uint64_t count = chunkCountFor(first.totalLength, messageDataSize - nameSkip);
    if (count > (asked && first.marked() ? maxWideChunkCount : maxChunkCount))
        return nullptr;
    try {
        std::string computer(reinterpret_cast<const char*>(data), nameSkip == 0 ? 0 : nameSkip - 1);
        return std::unique_ptr<IncomingTransfer>(new IncomingTransfer(
            first, origin, handler, std::move(computer), nameSkip, static_cast<std::uint32_t>(count), asked));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

IncomingTransfer::IncomingTransfer(const Message& first, const Origin& origin, MessageHandler& handler,
                                   std::string senderComputer, std::uint32_t nameSkip, std::uint32_t chunkCount,
                                   bool asked)
    : mHandler(handler),
      mFrom{origin, first.typeAndId(), first.chunkIndex, first.marked()},
      mKey(first.key()),
      mTypeAndId(first.typeAndId()),
      mTotalLength(first.totalLength),
      mSenderComputer(std::move(senderComputer)),
      mNameSkip(nameSkip),
      mChunkSize(static_cast<std::uint32_t>(messageDataSize) - nameSkip),
      mChunkCount(chunkCount),
      mWide(isWide(chunkCount)),
      mAsked(asked) {
    if (asked) {
        mPayload.resize(mTotalLength);
        mHave.resize(mChunkCount);
    }
}

bool IncomingTransfer::matches(const Message& message, const Origin& origin) const {
    // A broadcast comes both ways at once, and a mailslot names no address:
    // an unacknowledged message is one message whichever way came first.
    // Acknowledged ones go one way, the way of their conversation.
    const bool eitherWay = !acknowledged() && (origin.kind == Origin::Kind::Mailslot ||
                                               mFrom.origin.kind == Origin::Kind::Mailslot);
    if ((!eitherWay && origin != mFrom.origin) || message.typeAndId() != mTypeAndId ||
        message.totalLength != mTotalLength)
        return false;
    if (!acknowledged())
        return true;
    // The name is at most 406 characters, so its NUL is inside data.
    const std::size_t length = mSenderComputer.size();
    return std::memcmp(message.data.data(), mSenderComputer.data(), length) == 0 && message.data[length] == 0;
}

void IncomingTransfer::touch(std::uint32_t now, std::uint64_t activity) {
    mDeadline = now + transferTimeoutMs;
    mLastActivity = activity;
}

bool IncomingTransfer::noteEcho(const MessageKey& key) {
    const auto begin = mRecentAcks.begin();
    const auto end = begin + static_cast<std::ptrdiff_t>(mRecentAckCount);
    const auto found = std::find(begin, end, key);
    if (found != end) {
        std::rotate(begin, found, found + 1);
        return false;
    }
    mRecentAckCount = std::min(mRecentAckCount + 1, mRecentAcks.size());
    std::copy_backward(begin, begin + static_cast<std::ptrdiff_t>(mRecentAckCount) - 1,
                       begin + static_cast<std::ptrdiff_t>(mRecentAckCount));
    mRecentAcks[0] = key;
    return true;
}

std::uint32_t IncomingTransfer::numberOf(const Message& message) const {
    const std::int64_t index = message.index(mWide);
    return index >= 0 && index < mChunkCount ? static_cast<std::uint32_t>(index) : mChunkCount;
}

bool IncomingTransfer::wants(const Message& message) const {
    const std::uint32_t number = numberOf(message);
    if (mFinished || number == mChunkCount)
        return false;
    return mAsked ? !mHave[number] : mChunks.count(number) == 0;
}

bool IncomingTransfer::store(const Message& message) {
    const std::uint32_t number = numberOf(message);
    const std::uint8_t* chunk = message.data.data() + mNameSkip;
    if (mAsked) {
        // number < chunkCount = length / chunkSize + 1, so start <= length;
        // the last chunk may hold nothing (an empty payload has no buffer).
        const std::size_t start = std::size_t{number} * mChunkSize;
        const std::size_t bytes = std::min<std::size_t>(mChunkSize, mTotalLength - start);
        if (bytes != 0)
            std::memcpy(mPayload.data() + start, chunk, bytes);
        mHave[number] = true;
    } else {
        try {
            std::memcpy(mChunks[number].data(), chunk, mChunkSize);
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    ++mReceived;
    return true;
}

std::unique_ptr<std::uint8_t[]> IncomingTransfer::assemble() const {
    const std::uint32_t length = mTotalLength;
    std::unique_ptr<std::uint8_t[]> payload(new (std::nothrow) std::uint8_t[length == 0 ? 1 : length]);
    if (payload) {
        for (const auto& [index, chunk] : mChunks) {
            const std::size_t start = std::size_t{index} * mChunkSize;
            std::memcpy(payload.get() + start, chunk.data(), std::min<std::size_t>(mChunkSize, length - start));
        }
    }
    return payload;
}

void IncomingTransfer::deliver() {
    std::vector<std::uint8_t> whole;
    std::unique_ptr<std::uint8_t[]> assembled;
    if (mAsked)
        whole.swap(mPayload);
    else
        assembled = assemble();
    finish();
    if (!mAsked && !assembled) {
        mHandler.onTransferFailed(mFrom);
        return;
    }
    // No room for the texts' NULs: dropped like any payload without them.
    if (mTotalLength == 0)
        return;
    const std::uint8_t* const begin = mAsked ? whole.data() : assembled.get();
    const std::uint8_t* const end = begin + mTotalLength;
    const char* computer = mSenderComputer.c_str();
    const std::uint8_t* user = begin;
    if (!acknowledged()) {
        const std::uint8_t* nul = findNul(begin, end);
        if (nul == nullptr)
            return;
        computer = reinterpret_cast<const char*>(begin);
        user = nul + 1;
    }
    const std::uint8_t* nul = findNul(user, end);
    if (nul == nullptr)
        return;
    mHandler.handle(mFrom, computer, reinterpret_cast<const char*>(user), nul + 1,
                    static_cast<std::uint32_t>(end - (nul + 1)));
}

void IncomingTransfer::finish() {
    mFinished = true;
    std::map<std::uint32_t, Chunk>().swap(mChunks);
    std::vector<std::uint8_t>().swap(mPayload);
    std::vector<bool>().swap(mHave);
}
