// What a listener does with the transfers of one message type. Every call
// comes from the listener's thread; pointers are valid during the call only.
#pragma once

#include <cstdint>

class MessageHandler {
public:
    const unsigned type;

    explicit MessageHandler(unsigned messageType) : type(messageType) {}
    MessageHandler(const MessageHandler&) = delete;
    MessageHandler& operator=(const MessageHandler&) = delete;
    virtual ~MessageHandler() = default;

    // A transfer of messageBytes (its messages x 420) began.
    virtual void onTransferStart(unsigned messageBytes) { static_cast<void>(messageBytes); }
    // The distinct messages received so far, x 420.
    virtual void onTransferProgress(unsigned messageBytes) { static_cast<void>(messageBytes); }
    // A transfer that had started was discarded incomplete.
    virtual void onTransferFailed() {}
    // A complete transfer. The texts are NUL-terminated and body holds length
    // bytes, all inside the received payload.
    virtual void handle(const char* computer, const char* user, const std::uint8_t* body,
                        std::uint32_t length) = 0;
};
