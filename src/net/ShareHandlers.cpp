#include "net/ShareHandlers.h"

#include "net/MailslotPeer.h"
#include "net/SenderChecks.h"

#include <windows.h>

#include <memory>
#include <new>
#include <utility>

namespace {

// A copy answers other computers only: its own broadcasts come back to it.
bool fromHere(const ShareWays& ways, const char* computer) {
    return sameComputerName(ways.computer, computer);
}

// One sender's jobs of one kind share a key: by address over UDP, by the
// claimed name by mailslot (which names no address).
std::string senderKey(const char* kind, const Origin& origin, const std::string& computer) {
    std::string key(kind);
    if (origin.kind == Origin::Kind::Udp) {
        key += std::to_string(origin.address);
    } else {
        key += '\\';
        for (const char c : computer)
            key += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return key;
}

// A job about what one sender said of itself: done only when the system's
// name resolution bears the claimed computer name out for its address.
class ClaimJob : public AnswerJob {
public:
    ClaimJob(const char* kind, const ShareWays& ways, const TransferFrom& from, const char* computer,
             const char* user)
        : AnswerJob(senderKey(kind, from.origin, computer)), mWays(ways), mOrigin(from.origin), mComputer(computer),
          mUser(user), mMarked(from.marked) {}

    void run() final {
        if (mWays.stop->load() || !mWays.transport.believes(mOrigin, mComputer))
            return;
        believed();
    }

protected:
    virtual void believed() = 0;

    // Answers back the way the request came, and only there.
    void answer(unsigned type, const std::vector<std::uint8_t>& body) {
        std::string me;
        if (!mWays.desk.userName(me))
            return;
        MailslotPeer peer(mWays.transport, mWays.transport.routeBack(mOrigin, mComputer, mMarked),
                          mComputer.c_str(), me.c_str(), mWays.stop);
        peer.send(type, body.data(), body.size());
    }
    Answerer answerer() const { return Answerer{mUser, mComputer, mOrigin}; }
    // Whether the answer may be a wide transfer: both copies marked, over UDP.
    bool wide() const { return mMarked && mOrigin.kind == Origin::Kind::Udp && mWays.transport.marked(); }

    const ShareWays mWays;
    const Origin mOrigin;
    const std::string mComputer;
    const std::string mUser;
    const bool mMarked;
};

class UserAnswer : public ClaimJob {
public:
    UserAnswer(const ShareWays& ways, const TransferFrom& from, const char* computer, const char* user)
        : ClaimJob("user ", ways, from, computer, user) {}

private:
    // Every running copy answers, whatever it shares: the empty text.
    void believed() override { answer(sharetype::userReply, {0}); }
};

class ClipListAnswer : public ClaimJob {
public:
    ClipListAnswer(const ShareWays& ways, const TransferFrom& from, const char* computer, const char* user)
        : ClaimJob("list ", ways, from, computer, user) {}

private:
    void believed() override {
        std::vector<ClipListRecord> records;
        if (mWays.desk.clipList(mUser, mComputer, wide(), records) && !records.empty())
            answer(sharetype::clipListReply, encodeClipList(records));
    }
};

class FetchAnswer : public ClaimJob {
public:
    FetchAnswer(const ShareWays& ways, const TransferFrom& from, const char* computer, const char* user,
                std::uint32_t entryId)
        : ClaimJob("fetch ", ways, from, computer, user), mEntryId(entryId) {}

private:
    // Not shared with this user is not there at all: no answer either way.
    void believed() override {
        std::vector<std::uint8_t> snapshot;
        if (mWays.desk.fetch(mEntryId, mUser, mComputer, wide(), snapshot))
            answer(sharetype::fetchData, snapshot);
    }

    const std::uint32_t mEntryId;
};

class UserReplyCheck : public ClaimJob {
public:
    UserReplyCheck(const ShareWays& ways, const TransferFrom& from, const char* computer, const char* user,
                   std::shared_ptr<UsersAsked> asked)
        : ClaimJob("users ", ways, from, computer, user), mAsked(std::move(asked)) {}

private:
    void believed() override { mAsked->add(answerer()); }

    const std::shared_ptr<UsersAsked> mAsked;
};

class ClipsReplyCheck : public ClaimJob {
public:
    ClipsReplyCheck(const ShareWays& ways, const TransferFrom& from, const char* computer, const char* user,
                    std::shared_ptr<ClipsAsked> asked, std::vector<ClipListRecord> records)
        : ClaimJob("clips ", ways, from, computer, user), mAsked(std::move(asked)), mRecords(std::move(records)) {}

private:
    void believed() override { mAsked->add(ClipsAsked::Answer{answerer(), std::move(mRecords)}); }

    const std::shared_ptr<ClipsAsked> mAsked;
    std::vector<ClipListRecord> mRecords;
};

// Hands a job to the answering threads; dropped when they are busy with
// this sender or full.
template <class Job, class... Args>
void post(const ShareWays& ways, Args&&... args) {
    try {
        ways.answers.post(std::make_unique<Job>(ways, std::forward<Args>(args)...));
    } catch (const std::bad_alloc&) {
    }
}

}  // namespace

UserQueryHandler::UserQueryHandler(const ShareWays& ways) : MessageHandler(sharetype::userQuery), mWays(ways) {}

void UserQueryHandler::handle(const TransferFrom& from, const char* computer, const char* user, const std::uint8_t*,
                              std::uint32_t) {
    if (!fromHere(mWays, computer))
        post<UserAnswer>(mWays, from, computer, user);
}

ClipListQueryHandler::ClipListQueryHandler(const ShareWays& ways)
    : MessageHandler(sharetype::clipListQuery), mWays(ways) {}

void ClipListQueryHandler::handle(const TransferFrom& from, const char* computer, const char* user,
                                  const std::uint8_t*, std::uint32_t) {
    if (!fromHere(mWays, computer))
        post<ClipListAnswer>(mWays, from, computer, user);
}

FetchRequestHandler::FetchRequestHandler(const ShareWays& ways)
    : MessageHandler(sharetype::fetchRequest), mWays(ways) {}

void FetchRequestHandler::handle(const TransferFrom& from, const char* computer, const char* user,
                                 const std::uint8_t* body, std::uint32_t length) {
    std::uint32_t entryId = 0;
    if (!fromHere(mWays, computer) && decodeFetchRequest(body, length, entryId))
        post<FetchAnswer>(mWays, from, computer, user, entryId);
}

UserReplyHandler::UserReplyHandler(const ShareWays& ways) : MessageHandler(sharetype::userReply), mWays(ways) {}

// Only while the share dialog that asked is open: nobody else gets an echo.
Admission UserReplyHandler::admit(const TransferFrom&) {
    return mWays.conversations.users() ? Admission::Taken : Admission::Refused;
}

void UserReplyHandler::handle(const TransferFrom& from, const char* computer, const char* user, const std::uint8_t*,
                              std::uint32_t) {
    if (std::shared_ptr<UsersAsked> asked = mWays.conversations.users())
        post<UserReplyCheck>(mWays, from, computer, user, std::move(asked));
}

ClipListReplyHandler::ClipListReplyHandler(const ShareWays& ways)
    : MessageHandler(sharetype::clipListReply), mWays(ways) {}

Admission ClipListReplyHandler::admit(const TransferFrom&) {
    return mWays.conversations.clips() ? Admission::Taken : Admission::Refused;
}

void ClipListReplyHandler::handle(const TransferFrom& from, const char* computer, const char* user,
                                  const std::uint8_t* body, std::uint32_t length) {
    std::vector<ClipListRecord> records;
    std::shared_ptr<ClipsAsked> asked = mWays.conversations.clips();
    if (asked && decodeClipList(body, length, records))
        post<ClipsReplyCheck>(mWays, from, computer, user, std::move(asked), std::move(records));
}

FetchDataHandler::FetchDataHandler(const ShareWays& ways) : MessageHandler(sharetype::fetchData), mWays(ways) {}

// The answer to the fetch asked for, from the computer asked, seen from its
// first message; every other transfer of this type is dropped unseen.
Admission FetchDataHandler::admit(const TransferFrom& from) {
    const std::shared_ptr<FetchAsked> asked = mWays.conversations.fetch();
    return asked && from.firstChunk == 0 && asked->admit(from.origin, from.typeAndId) ? Admission::Asked
                                                                                      : Admission::Refused;
}

bool FetchDataHandler::stillWanted(const TransferFrom& from) {
    const std::shared_ptr<FetchAsked> asked = mWays.conversations.fetch();
    return asked && asked->awaits(from.origin, from.typeAndId);
}

void FetchDataHandler::onTransferStart(const TransferFrom& from, unsigned messageBytes) {
    if (const std::shared_ptr<FetchAsked> asked = mWays.conversations.fetch())
        asked->started(from.origin, from.typeAndId, messageBytes);
}

void FetchDataHandler::onTransferProgress(const TransferFrom& from, unsigned messageBytes) {
    if (const std::shared_ptr<FetchAsked> asked = mWays.conversations.fetch())
        asked->progress(from.origin, from.typeAndId, messageBytes, GetTickCount());
}

void FetchDataHandler::onTransferFailed(const TransferFrom& from) {
    if (const std::shared_ptr<FetchAsked> asked = mWays.conversations.fetch())
        asked->failed(from.origin, from.typeAndId);
}

void FetchDataHandler::handle(const TransferFrom& from, const char*, const char*, const std::uint8_t* body,
                              std::uint32_t length) {
    if (const std::shared_ptr<FetchAsked> asked = mWays.conversations.fetch())
        asked->arrived(from.origin, from.typeAndId, body, length);
}
