#include "net/ShareHandlers.h"

#include "net/MailslotPeer.h"

#include <cstring>

namespace {

// A copy answers other computers only: its own broadcasts come back to it.
bool fromHere(const AnswerWay& way, const char* computer) {
    return std::strcmp(way.computer.c_str(), computer) == 0;
}

void answer(const AnswerWay& way, const char* computer, const std::string& user, unsigned type,
            const std::vector<std::uint8_t>& body) {
    MailslotPeer peer(way.transport, computer, user.c_str(), way.stop);
    peer.send(type, body.data(), body.size());
}

}  // namespace

UserQueryHandler::UserQueryHandler(const AnswerWay& way, ShareDesk& desk)
    : MessageHandler(sharetype::userQuery), mWay(way), mDesk(desk) {}

void UserQueryHandler::handle(const char* computer, const char*, const std::uint8_t*, std::uint32_t) {
    std::string user;
    if (fromHere(mWay, computer) || !mDesk.userName(user))
        return;
    MailslotPeer peer(mWay.transport, computer, user.c_str(), mWay.stop);
    peer.sendText(sharetype::userReply, "");
}

ClipListQueryHandler::ClipListQueryHandler(const AnswerWay& way, ShareDesk& desk)
    : MessageHandler(sharetype::clipListQuery), mWay(way), mDesk(desk) {}

void ClipListQueryHandler::handle(const char* computer, const char* user, const std::uint8_t*, std::uint32_t) {
    std::vector<ClipListRecord> records;
    std::string me;
    if (fromHere(mWay, computer) || !mDesk.clipList(user, records) || records.empty() || !mDesk.userName(me))
        return;
    answer(mWay, computer, me, sharetype::clipListReply, encodeClipList(records));
}

FetchRequestHandler::FetchRequestHandler(const AnswerWay& way, ShareDesk& desk)
    : MessageHandler(sharetype::fetchRequest), mWay(way), mDesk(desk) {}

void FetchRequestHandler::handle(const char* computer, const char* user, const std::uint8_t* body,
                                 std::uint32_t length) {
    std::uint32_t entryId = 0;
    std::vector<std::uint8_t> snapshot;
    std::string me;
    // Not shared with this user is not there at all: no answer either way.
    if (!decodeFetchRequest(body, length, entryId) || !mDesk.fetch(entryId, user, snapshot) || !mDesk.userName(me))
        return;
    answer(mWay, computer, me, sharetype::fetchData, snapshot);
}

UserReplyHandler::UserReplyHandler(ShareReplies& replies) : MessageHandler(sharetype::userReply), mReplies(replies) {}

void UserReplyHandler::handle(const char* computer, const char* user, const std::uint8_t*, std::uint32_t) {
    mReplies.userAnswered(user, computer);
}

ClipListReplyHandler::ClipListReplyHandler(ShareReplies& replies)
    : MessageHandler(sharetype::clipListReply), mReplies(replies) {}

void ClipListReplyHandler::handle(const char* computer, const char* user, const std::uint8_t* body,
                                  std::uint32_t length) {
    std::vector<ClipListRecord> records;
    if (decodeClipList(body, length, records))
        mReplies.clipsAnswered(user, computer, records);
}

FetchDataHandler::FetchDataHandler(ShareReplies& replies) : MessageHandler(sharetype::fetchData), mReplies(replies) {}

void FetchDataHandler::onTransferStart(unsigned messageBytes) {
    mReplies.fetchStarted(messageBytes);
}

void FetchDataHandler::onTransferProgress(unsigned messageBytes) {
    mReplies.fetchProgress(messageBytes);
}

void FetchDataHandler::onTransferFailed() {
    mReplies.fetchFailed();
}

void FetchDataHandler::handle(const char*, const char*, const std::uint8_t* body, std::uint32_t length) {
    mReplies.fetchArrived(body, length);
}
