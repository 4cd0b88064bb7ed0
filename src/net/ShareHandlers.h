// The three conversations between copies of the program: who is there
// (user query and reply), what is shared with a user (clip-list query and
// reply) and fetching one shared clipboard (fetch request and data). Every
// handler runs on the listener thread and touches nothing of the program:
// request handlers ask the program for copies through a ShareDesk, reply
// handlers hand what arrived to ShareReplies, which carry it to the
// user-interface thread.
#pragma once

#include "protocol/ShareMessages.h"
#include "net/MessageHandler.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class NetTransport;

// What the request handlers ask the program. Answers are copies.
class ShareDesk {
public:
    virtual ~ShareDesk() = default;
    // This copy's user name; false when the program cannot answer now.
    virtual bool userName(std::string& out) = 0;
    // The buttons shared with user as list records, in button order; none
    // too large for one transfer.
    virtual bool clipList(const char* user, std::vector<ClipListRecord>& out) = 0;
    // The serialized snapshot of the button entryId if it is shared with
    // user; false for any other button, shared with others or with nobody.
    virtual bool fetch(std::uint32_t entryId, const char* user, std::vector<std::uint8_t>& out) = 0;
};

// Where answers from other computers go. Names and data are borrowed for
// the call; the sender's names are shown, never trusted.
class ShareReplies {
public:
    virtual ~ShareReplies() = default;
    virtual void userAnswered(const char* user, const char* computer) = 0;
    virtual void clipsAnswered(const char* user, const char* computer, const std::vector<ClipListRecord>& records) = 0;
    virtual void fetchStarted(unsigned messageBytes) = 0;
    virtual void fetchProgress(unsigned messageBytes) = 0;
    virtual void fetchFailed() = 0;
    virtual void fetchArrived(const std::uint8_t* body, std::uint32_t length) = 0;
};

// What request handlers answer with: this computer's transport, its name,
// and the listener's stop token, so an answer ends when the program does.
struct AnswerWay {
    NetTransport& transport;
    std::string computer;
    const std::atomic<bool>* stop;
};

class UserQueryHandler : public MessageHandler {
public:
    UserQueryHandler(const AnswerWay& way, ShareDesk& desk);
    void handle(const char* computer, const char* user, const std::uint8_t* body, std::uint32_t length) override;

private:
    AnswerWay mWay;
    ShareDesk& mDesk;
};

class ClipListQueryHandler : public MessageHandler {
public:
    ClipListQueryHandler(const AnswerWay& way, ShareDesk& desk);
    void handle(const char* computer, const char* user, const std::uint8_t* body, std::uint32_t length) override;

private:
    AnswerWay mWay;
    ShareDesk& mDesk;
};

class FetchRequestHandler : public MessageHandler {
public:
    FetchRequestHandler(const AnswerWay& way, ShareDesk& desk);
    void handle(const char* computer, const char* user, const std::uint8_t* body, std::uint32_t length) override;

private:
    AnswerWay mWay;
    ShareDesk& mDesk;
};

class UserReplyHandler : public MessageHandler {
public:
    explicit UserReplyHandler(ShareReplies& replies);
    void handle(const char* computer, const char* user, const std::uint8_t* body, std::uint32_t length) override;

private:
    ShareReplies& mReplies;
};

class ClipListReplyHandler : public MessageHandler {
public:
    explicit ClipListReplyHandler(ShareReplies& replies);
    void handle(const char* computer, const char* user, const std::uint8_t* body, std::uint32_t length) override;

private:
    ShareReplies& mReplies;
};

class FetchDataHandler : public MessageHandler {
public:
    explicit FetchDataHandler(ShareReplies& replies);
    void onTransferStart(unsigned messageBytes) override;
    void onTransferProgress(unsigned messageBytes) override;
    void onTransferFailed() override;
    void handle(const char* computer, const char* user, const std::uint8_t* body, std::uint32_t length) override;

private:
    ShareReplies& mReplies;
};
