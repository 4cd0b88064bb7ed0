#include "net/Message.h"

#include "base/LittleEndian.h"

#include <cstring>

namespace {

using littleendian::read16;
using littleendian::read32;
using littleendian::write16;
using littleendian::write32;

void putHead(const Message& message, std::uint8_t* out) {
    write32(out, (message.attempt & 0xFu) | (message.type & 0xFu) << 4 |
                    (message.transferId & 0xFFFFFFu) << 8);
    write32(out + 4, message.totalLength);
    write16(out + 8, static_cast<std::uint16_t>(message.chunkIndex));
    write16(out + 10, message.reserved);
}

}  // namespace

void Message::encode(std::uint8_t* bytes) const {
    putHead(*this, bytes);
    std::memcpy(bytes + messageHeadSize, data.data(), data.size());
}

std::array<std::uint8_t, messageSize> Message::encode() const {
    std::array<std::uint8_t, messageSize> bytes;
    encode(bytes.data());
    return bytes;
}

bool Message::decode(const std::uint8_t* bytes, std::size_t size, Message& message) {
    if (size != messageSize)
        return false;
    const std::uint32_t head = read32(bytes);
    message.attempt = static_cast<std::uint8_t>(head & 0xFu);
    message.type = static_cast<std::uint8_t>(head >> 4 & 0xFu);
    message.transferId = head >> 8;
    message.totalLength = read32(bytes + 4);
    // Modular on every compiler we build with: the signed reading.
    message.chunkIndex = static_cast<std::int16_t>(read16(bytes + 8));
    message.reserved = read16(bytes + 10);
    std::memcpy(message.data.data(), bytes + messageHeadSize, message.data.size());
    return true;
}

MessageKey Message::key() const {
    MessageKey key;
    putHead(*this, key.data());
    return key;
}

std::int64_t Message::index(bool wide) const {
    if (!wide)
        return chunkIndex;
    if (!marked())
        return -1;
    return static_cast<std::int64_t>(static_cast<std::uint16_t>(chunkIndex)) |
           static_cast<std::int64_t>(reserved & ~markMask) << 16;
}

void Message::setIndex(std::uint32_t index, bool mark) {
    chunkIndex = static_cast<std::int16_t>(index & 0xFFFFu);
    reserved = mark ? static_cast<std::uint16_t>(markBits | (index >> 16 & ~markMask)) : 0;
}

bool markedAt(const std::uint8_t* bytes) {
    return (read16(bytes + 10) & markMask) == markBits;
}

std::size_t messagesIn(const std::uint8_t* bytes, std::size_t size) {
    if (size == messageSize)
        return 1;
    if (size % messageSize != 0 || size > maxDatagramSize)
        return 0;
    for (std::size_t at = 0; at < size; at += messageSize) {
        if (!markedAt(bytes + at))
            return 0;
    }
    return size / messageSize;
}
