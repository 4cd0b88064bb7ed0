#include "net/Message.h"

#include <cstring>

namespace {

void putU16(std::uint8_t* out, std::uint16_t value) {
    out[0] = static_cast<std::uint8_t>(value);
    out[1] = static_cast<std::uint8_t>(value >> 8);
}

void putU32(std::uint8_t* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint16_t getU16(const std::uint8_t* in) {
    return static_cast<std::uint16_t>(in[0] | in[1] << 8);
}

std::uint32_t getU32(const std::uint8_t* in) {
    return std::uint32_t{in[0]} | std::uint32_t{in[1]} << 8 | std::uint32_t{in[2]} << 16 |
           std::uint32_t{in[3]} << 24;
}

void putHead(const Message& message, std::uint8_t* out) {
    putU32(out, (message.attempt & 0xFu) | (message.type & 0xFu) << 4 |
                    (message.transferId & 0xFFFFFFu) << 8);
    putU32(out + 4, message.totalLength);
    putU16(out + 8, static_cast<std::uint16_t>(message.chunkIndex));
    putU16(out + 10, message.reserved);
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
    const std::uint32_t head = getU32(bytes);
    message.attempt = static_cast<std::uint8_t>(head & 0xFu);
    message.type = static_cast<std::uint8_t>(head >> 4 & 0xFu);
    message.transferId = head >> 8;
    message.totalLength = getU32(bytes + 4);
    // Modular on every compiler we build with: the signed reading.
    message.chunkIndex = static_cast<std::int16_t>(getU16(bytes + 8));
    message.reserved = getU16(bytes + 10);
    std::memcpy(message.data.data(), bytes + messageHeadSize, message.data.size());
    return true;
}

MessageKey Message::key() const {
    MessageKey key;
    putHead(*this, key.data());
    return key;
}
