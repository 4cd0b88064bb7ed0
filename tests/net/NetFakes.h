// Handlers and an echo sink that remember what the listener core told them.
#pragma once

#include "net/Chunking.h"
#include "net/EchoSink.h"
#include "net/ListenerCore.h"
#include "net/MessageHandler.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

struct RecordingHandler : MessageHandler {
    struct Delivery {
        std::string computer, user, body;
    };

    explicit RecordingHandler(unsigned messageType) : MessageHandler(messageType) {}
    Admission admit(const TransferFrom& from) override {
        admitted.push_back(from);
        return admission;
    }
    void onTransferStart(const TransferFrom&, unsigned bytes) override { starts.push_back(bytes); }
    void onTransferProgress(const TransferFrom&, unsigned bytes) override { progress.push_back(bytes); }
    void onTransferFailed(const TransferFrom&) override { ++failures; }
    bool stillWanted(const TransferFrom&) override { return wanted; }
    void handle(const TransferFrom& from, const char* computer, const char* user, const std::uint8_t* body,
                std::uint32_t length) override {
        deliveries.push_back({computer, user, std::string(body, body + length)});
        deliveredFrom.push_back(from.origin);
    }

    Admission admission = Admission::Taken;
    bool wanted = true;
    std::vector<TransferFrom> admitted;
    std::vector<unsigned> starts, progress;
    int failures = 0;
    std::vector<Delivery> deliveries;
    std::vector<Origin> deliveredFrom;
};

struct RecordingSink : EchoSink {
    void echo(const Message& message, const Origin& origin, const char* computer) override {
        echoes.push_back(message.encode());
        origins.push_back(origin);
        computers.push_back(computer);
    }
    void decline(const Message& message, const Origin&) override { declines.push_back(message.encode()); }

    std::vector<std::array<std::uint8_t, messageSize>> echoes;
    std::vector<Origin> origins;
    std::vector<std::string> computers;
    std::vector<std::array<std::uint8_t, messageSize>> declines;
};

inline Chunking chunked(unsigned type, std::string_view body, std::uint32_t transferId = 0x123456,
                        std::string_view computer = "PC", std::string_view user = "anna", Framing framing = {}) {
    Chunking chunking;
    chunking.prepare(type, transferId, computer, user, reinterpret_cast<const std::uint8_t*>(body.data()),
                     body.size(), framing);
    return chunking;
}

// The body of chunkedInto's transfer: bytes told apart from each other.
inline std::string bodyFilling(unsigned type, std::uint32_t count) {
    const std::size_t chunkSize = isAcknowledged(type) ? 405 : 408, names = isAcknowledged(type) ? 5 : 8;
    std::string body((count - 1) * chunkSize + 10 - names, '\0');
    for (std::size_t i = 0; i < body.size(); ++i)
        body[i] = static_cast<char>(i * 7 + i / 251);
    return body;
}

// A transfer of count messages from "PC" and "anna".
inline Chunking chunkedInto(unsigned type, std::uint32_t count, std::uint32_t transferId = 0x123456) {
    return chunked(type, bodyFilling(type, count), transferId);
}

inline void feed(ListenerCore& core, const Message& message, std::uint32_t now, const Origin& origin = {}) {
    const auto bytes = message.encode();
    core.take(bytes.data(), bytes.size(), origin, now);
}
