// Arbitrary datagrams at arbitrary times, from arbitrary senders, into the
// listener core, with a handler for every type; type 9 answers a fetch this
// copy asked of one computer, as the program's handler does. Whatever
// arrives, the core must stay within its limits, hand handlers only texts
// and bodies inside what it gave them, end every transfer at most once,
// echo only what an acknowledged transfer's sender sent, and let nothing of
// type 9 from anyone but the computer asked reach the fetch.
//
// The input is a sequence of records: a clock step (one byte, squared into
// 0..65025 ms), a sender byte (one of four origins: the computer asked, a
// stranger, the computer asked from another port, a mailslot), a form byte
// f, then its bytes. Four remembered heads let
// short records make many messages of one transfer:
//   f % 4 == 0  a whole 420-byte datagram; its head is remembered as head
//               f / 4 % 4
//               1  head f / 4 % 4 with the chunkIndex byte that follows and
//                  attempt f / 16, data "PC" NUL and a length byte n of data
//               2  a 12-byte head, remembered as head f / 4 % 4, then data
//                  as in 1
//               3  a 16-bit size and that many bytes; size 0 only ticks
// The first byte picks the default limits or small ones that evict often.
#include "clip/ShareConversations.h"
#include "net/ListenerCore.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

void check(bool holds) {
    if (!holds)
        std::abort();
}

// Reads every byte it is given, so the sanitizer sees any that is not there.
unsigned touch(const std::uint8_t* bytes, std::size_t length) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < length; ++i)
        sum += bytes[i];
    return sum;
}

struct CheckingHandler : MessageHandler {
    // Only the fetch asked for may pass 32,768 messages, from a marked sender.
    explicit CheckingHandler(unsigned messageType)
        : MessageHandler(messageType), mostMessages(messageType == 9 ? maxWideChunkCount : maxChunkCount) {}
    void onTransferStart(const TransferFrom&, unsigned bytes) override {
        check(bytes % messageSize == 0 && bytes != 0 && bytes <= mostMessages * messageSize);
        ++starts;
    }
    void onTransferProgress(const TransferFrom&, unsigned bytes) override {
        check(bytes % messageSize == 0 && bytes != 0 && bytes <= mostMessages * messageSize);
    }
    void onTransferFailed(const TransferFrom&) override { ++ends; }
    void handle(const TransferFrom&, const char* computer, const char* user, const std::uint8_t* body,
                std::uint32_t length) override {
        ++ends;
        check(computer != nullptr && user != nullptr && (body != nullptr || length == 0));
        const std::size_t texts = std::strlen(computer) + std::strlen(user);
        sink += static_cast<unsigned>(texts) + touch(body, length);
        check(length <= std::uint64_t{mostMessages} * messageDataSize);
    }

    const std::uint32_t mostMessages;
    unsigned starts = 0, ends = 0, sink = 0;
};

const Origin asked{Origin::Kind::Udp, 0x0AD50102, 7};
const std::array<Origin, 4> senders{asked, Origin{Origin::Kind::Udp, 0x0AD50103, 7},
                                    Origin{Origin::Kind::Udp, 0x0AD50102, 8}, Origin{}};

// The fetch this copy asked of one computer, through the conversation the
// progress dialog owns.
struct FetchHandler : CheckingHandler {
    FetchHandler() : CheckingHandler(9), fetch(asked, [this] { ++wakes; }) {}
    Admission admit(const TransferFrom& from) override {
        return from.firstChunk == 0 && fetch.admit(from.origin, from.typeAndId) ? Admission::Asked
                                                                                : Admission::Refused;
    }
    bool stillWanted(const TransferFrom& from) override { return fetch.awaits(from.origin, from.typeAndId); }
    void onTransferStart(const TransferFrom& from, unsigned bytes) override {
        CheckingHandler::onTransferStart(from, bytes);
        check(from.origin.sameComputer(asked));
        fetch.started(from.origin, from.typeAndId, bytes);
    }
    void onTransferFailed(const TransferFrom& from) override {
        CheckingHandler::onTransferFailed(from);
        fetch.failed(from.origin, from.typeAndId);
    }
    void handle(const TransferFrom& from, const char* computer, const char* user, const std::uint8_t* body,
                std::uint32_t length) override {
        CheckingHandler::handle(from, computer, user, body, length);
        check(from.origin.sameComputer(asked));
        fetch.arrived(from.origin, from.typeAndId, body, length);
        const FetchAsked::Progress got = fetch.take();
        check(!got.arrived || memoryblock::size(got.data.get()) == length);
    }

    FetchAsked fetch;
    unsigned wakes = 0;
};

struct CheckingSink : EchoSink {
    void echo(const Message& message, const Origin& origin, const char* computer) override {
        const std::size_t length = std::strlen(computer);
        check(isAcknowledged(message.type) && length < messageDataSize - 1);
        check(std::find(senders.begin(), senders.end(), origin) != senders.end());
        check(std::memcmp(message.data.data(), computer, length + 1) == 0);
        // Nobody else's fetch data is acknowledged.
        check(message.type != 9 || origin.sameComputer(asked));
    }
    // Only the fetch asked for is declined, and only to a marked sender.
    void decline(const Message& message, const Origin& origin) override {
        check(message.type == 9 && message.reserved == declineBits && origin.sameComputer(asked));
    }
};

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : mData(data), mLeft(size) {}
    bool empty() const { return mLeft == 0; }
    std::uint8_t byte() {
        std::uint8_t value = 0;
        bytes(&value, 1);
        return value;
    }
    // Copies what is there, zeros for what is not.
    void bytes(std::uint8_t* out, std::size_t count) {
        const std::size_t have = std::min(count, mLeft);
        std::memcpy(out, mData, have);
        std::memset(out + have, 0, count - have);
        mData += have;
        mLeft -= have;
    }

private:
    const std::uint8_t* mData;
    std::size_t mLeft;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader reader(data, size);
    // The fuzzer's memory is small: the fetch asked for may pass 32,768
    // messages (13 MB) but not by much.
    constexpr std::uint64_t askedBytes = 20u << 20;
    const ListenerLimits limits = reader.byte() % 2 == 0
                                      ? ListenerLimits{maxStoredBytes, maxTransfers, askedBytes}
                                      : ListenerLimits{6 * IncomingTransfer::chunkFootprint, 4, askedBytes};
    std::vector<std::unique_ptr<CheckingHandler>> handlers;
    CheckingSink sink;
    {
        ListenerCore core(sink, limits);
        for (unsigned type = 0; type < 16; ++type) {
            if (type == 9)
                handlers.push_back(std::make_unique<FetchHandler>());
            else
                handlers.push_back(std::make_unique<CheckingHandler>(type));
            core.addHandler(*handlers.back());
        }
        std::vector<std::uint8_t> datagram;
        // Plausible heads to start from: both kinds, a few messages each.
        std::array<Message, 4> heads;
        for (std::size_t i = 0; i < heads.size(); ++i) {
            heads[i].type = static_cast<std::uint8_t>(i < 2 ? 2 + i : 9);
            heads[i].transferId = static_cast<std::uint32_t>(i);
            heads[i].totalLength = 4000;
        }
        std::uint32_t now = 0xFFFF0000;  // wraps within a few records
        while (!reader.empty()) {
            const unsigned step = reader.byte();
            now += step * step;
            const Origin& origin = senders[reader.byte() % senders.size()];
            const unsigned form = reader.byte();
            Message& head = heads[form / 4 % 4];
            datagram.assign(messageSize, 0);
            switch (form % 4) {
            case 0:
                reader.bytes(datagram.data(), messageSize);
                Message::decode(datagram.data(), datagram.size(), head);
                break;
            case 1:
            case 2: {
                Message message = head;
                if (form % 4 == 1) {
                    message.chunkIndex = reader.byte();
                    message.attempt = static_cast<std::uint8_t>(form / 16);
                } else {
                    reader.bytes(datagram.data(), messageHeadSize);
                    Message::decode(datagram.data(), datagram.size(), message);
                    head = message;
                }
                message.data = {'P', 'C', 0};
                reader.bytes(message.data.data() + 3, reader.byte());
                message.encode(datagram.data());
                break;
            }
            default: {
                const std::size_t low = reader.byte();
                datagram.resize(low | std::size_t{reader.byte()} << 8);
                reader.bytes(datagram.data(), datagram.size());
            }
            }
            if (!datagram.empty())
                core.take(datagram.data(), datagram.size(), origin, now);
            core.tick(now);
            check(core.storedBytes() <= limits.storedBytes && core.transferCount() <= limits.transfers);
            const std::uint32_t wake = core.nextWake(now);
            check(wake - now <= transferTimeoutMs);
        }
    }
    // The core is gone: every transfer that started has ended at most once.
    for (const auto& handler : handlers)
        check(handler->ends <= handler->starts);
    return 0;
}
