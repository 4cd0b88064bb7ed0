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
