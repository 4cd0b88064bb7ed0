// The three conversations between copies of the program: who is there
// (user query and reply), what is shared with a user (clip-list query and
// reply) and fetching one shared clipboard (fetch request and data).
//
// Every handler runs on the listener thread and returns at once. Request
// handlers hand an answer job to the AnswerQueue, whose threads check the
// sender's claimed computer name, ask the program for copies through a
// ShareDesk and send the answer back the way the request came. Reply
// handlers take only what a conversation of this copy asked for (see
// clip/ShareConversations.h): list answers and user answers once their
// claimed names are checked, and a fetch's data from the computer asked.
#pragma once

#include "clip/ShareConversations.h"
#include "net/AnswerQueue.h"
#include "protocol/ShareMessages.h"
#include "net/MessageHandler.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class NetTransport;

// What the request handlers ask the program. Answers are copies; each call
// may wait, within bounds, for the user-interface thread.
class ShareDesk {
public:
    virtual ~ShareDesk() = default;
    // This copy's user name; false when the program cannot answer now.
    virtual bool userName(std::string& out) = 0;
    // The buttons shared with user on computer as list records, in button
    // order; none too large for one transfer (a wide one when wide: the
    // asker is a marked copy).
    virtual bool clipList(const std::string& user, const std::string& computer, bool wide,
                          std::vector<ClipListRecord>& out) = 0;
    // The serialized snapshot of the button entryId if it is shared with
    // user on computer and fits one transfer (wide as above); false otherwise.
    virtual bool fetch(std::uint32_t entryId, const std::string& user, const std::string& computer, bool wide,
                       std::vector<std::uint8_t>& out) = 0;
};

// Everything the handlers of one listener share: this computer's transport
// and name, the listener's stop token (an answer ends when the program
// does), the answering threads, the program's answers and the
// conversations open at the moment.
struct ShareWays {
    NetTransport& transport;
    std::string computer;
    const std::atomic<bool>* stop;
    AnswerQueue& answers;
    ShareDesk& desk;
    Conversations& conversations;
};

class UserQueryHandler : public MessageHandler {
public:
    explicit UserQueryHandler(const ShareWays& ways);
    void handle(const TransferFrom& from, const char* computer, const char* user, const std::uint8_t* body,
                std::uint32_t length) override;

private:
    const ShareWays mWays;
};

class ClipListQueryHandler : public MessageHandler {
public:
    explicit ClipListQueryHandler(const ShareWays& ways);
    void handle(const TransferFrom& from, const char* computer, const char* user, const std::uint8_t* body,
                std::uint32_t length) override;

private:
    const ShareWays mWays;
};

class FetchRequestHandler : public MessageHandler {
public:
    explicit FetchRequestHandler(const ShareWays& ways);
    void handle(const TransferFrom& from, const char* computer, const char* user, const std::uint8_t* body,
                std::uint32_t length) override;

private:
    const ShareWays mWays;
};

class UserReplyHandler : public MessageHandler {
public:
    explicit UserReplyHandler(const ShareWays& ways);
    Admission admit(const TransferFrom& from) override;
    void handle(const TransferFrom& from, const char* computer, const char* user, const std::uint8_t* body,
                std::uint32_t length) override;

private:
    const ShareWays mWays;
};

class ClipListReplyHandler : public MessageHandler {
public:
    explicit ClipListReplyHandler(const ShareWays& ways);
    Admission admit(const TransferFrom& from) override;
    void handle(const TransferFrom& from, const char* computer, const char* user, const std::uint8_t* body,
                std::uint32_t length) override;

private:
    const ShareWays mWays;
};

class FetchDataHandler : public MessageHandler {
public:
    explicit FetchDataHandler(const ShareWays& ways);
    Admission admit(const TransferFrom& from) override;
    bool stillWanted(const TransferFrom& from) override;
    void onTransferStart(const TransferFrom& from, unsigned messageBytes) override;
    void onTransferProgress(const TransferFrom& from, unsigned messageBytes) override;
    void onTransferFailed(const TransferFrom& from) override;
    void handle(const TransferFrom& from, const char* computer, const char* user, const std::uint8_t* body,
                std::uint32_t length) override;

private:
    const ShareWays mWays;
};
