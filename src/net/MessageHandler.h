// What a listener does with the transfers of one message type. Every call
// comes from the listener's thread and must return at once (receiving waits
// for it); pointers are valid during the call only.
#pragma once

#include "clip/Origin.h"

#include <cstdint>

// Which transfer a call is about: where it comes from, and its type and
// transferId as the head carries them.
struct TransferFrom {
    Origin origin;
    std::uint32_t typeAndId = 0;
    // The chunkIndex of the message that started it: 0 for a transfer seen
    // from its beginning, since every send sends its first message alone.
    std::int16_t firstChunk = 0;
    // Whether it came marked (Message.h): from a copy that speaks the
    // faster ways too.
    bool marked = false;
};

// Whether a transfer may start: Refused ones are dropped without an echo;
// Asked ones answer a request of this copy and keep their place when
// strangers' transfers crowd the listener.
enum class Admission { Refused, Taken, Asked };

class MessageHandler {
public:
    const unsigned type;

    explicit MessageHandler(unsigned messageType) : type(messageType) {}
    MessageHandler(const MessageHandler&) = delete;
    MessageHandler& operator=(const MessageHandler&) = delete;
    virtual ~MessageHandler() = default;

    // Before a transfer starts.
    virtual Admission admit(const TransferFrom& from) {
        static_cast<void>(from);
        return Admission::Taken;
    }
    // Whether an Asked transfer is still waited for; one that is not is
    // given up (and its sender, hearing no more echoes, stops).
    virtual bool stillWanted(const TransferFrom& from) {
        static_cast<void>(from);
        return true;
    }
    // A transfer of messageBytes (its messages x 420) began.
    virtual void onTransferStart(const TransferFrom& from, unsigned messageBytes) {
        static_cast<void>(from);
        static_cast<void>(messageBytes);
    }
    // The distinct messages received so far, x 420.
    virtual void onTransferProgress(const TransferFrom& from, unsigned messageBytes) {
        static_cast<void>(from);
        static_cast<void>(messageBytes);
    }
    // A transfer that had started was discarded incomplete.
    virtual void onTransferFailed(const TransferFrom& from) { static_cast<void>(from); }
    // A complete transfer. The texts are NUL-terminated and body holds length
    // bytes, all inside the received payload.
    virtual void handle(const TransferFrom& from, const char* computer, const char* user, const std::uint8_t* body,
                        std::uint32_t length) = 0;
};
