#include "net/Chunking.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

void append(std::vector<std::uint8_t>& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

}  // namespace

bool buildPayload(unsigned type, std::string_view computer, std::string_view user,
                  const std::uint8_t* body, std::size_t length, std::vector<std::uint8_t>& payload) {
    payload.clear();
    if (computer.find('\0') != std::string_view::npos || user.find('\0') != std::string_view::npos)
        return false;
    try {
        payload.reserve((isAcknowledged(type) ? 0 : computer.size() + 1) + user.size() + 1 + length);
        if (!isAcknowledged(type))
            append(payload, computer);
        append(payload, user);
        if (length != 0)
            payload.insert(payload.end(), body, body + length);
    } catch (const std::bad_alloc&) {
        payload.clear();
        payload.shrink_to_fit();
        return false;
    }
    return true;
}

std::int64_t chunkSizeFor(unsigned type, std::size_t computerLength) {
    if (!isAcknowledged(type))
        return static_cast<std::int64_t>(messageDataSize);
    // Saturates long before any real length could overflow.
    const std::size_t skip = std::min<std::size_t>(computerLength, messageDataSize) + 1;
    return static_cast<std::int64_t>(messageDataSize) - static_cast<std::int64_t>(skip);
}

bool Chunking::prepare(unsigned type, std::uint32_t transferId, std::string_view computer, std::string_view user,
                       const std::uint8_t* body, std::size_t length, Framing framing) {
    *this = Chunking();
    const std::int64_t size = chunkSizeFor(type, computer.size());
    if (type > 15 || size <= 0)
        return false;
    const std::uint32_t mostMessages = framing.marked && framing.wide ? maxWideChunkCount : maxChunkCount;
    // Each part checked alone first, so the sum cannot wrap.
    const std::uint64_t most = std::uint64_t{mostMessages} * static_cast<std::uint64_t>(size) - 1;
    if (length > most || user.size() > most || computer.size() > most)
        return false;
    const std::uint64_t payloadLength =
        (isAcknowledged(type) ? 0 : computer.size() + 1) + user.size() + 1 + std::uint64_t{length};
    if (payloadLength > most)
        return false;
    try {
        if (isAcknowledged(type))
            mDataPrefix.assign(computer.data(), computer.size()).push_back('\0');
    } catch (const std::bad_alloc&) {
        *this = Chunking();
        return false;
    }
    if (!buildPayload(type, computer, user, body, length, mPayload)) {
        *this = Chunking();
        return false;
    }
    mType = type;
    mMarked = framing.marked;
    mTransferId = transferId & 0xFFFFFFu;
    mChunkSize = static_cast<std::uint32_t>(size);
    mCount = static_cast<std::uint32_t>(chunkCountFor(payloadLength, mChunkSize));
    return true;
}

Message Chunking::message(std::uint32_t index) const {
    Message message;
    message.type = static_cast<std::uint8_t>(mType);
    message.transferId = mTransferId;
    message.totalLength = totalLength();
    message.setIndex(index, mMarked);
    if (index >= mCount)
        return message;
    std::memcpy(message.data.data(), mDataPrefix.data(), mDataPrefix.size());
    const std::size_t start = std::size_t{index} * mChunkSize;
    const std::size_t bytes = std::min<std::size_t>(mChunkSize, mPayload.size() - start);
    if (bytes != 0)
        std::memcpy(message.data.data() + mDataPrefix.size(), mPayload.data() + start, bytes);
    return message;
}
