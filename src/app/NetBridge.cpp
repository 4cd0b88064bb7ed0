#include "app/NetBridge.h"

#include "app/ProgramState.h"
#include "app/SharedClipboards.h"
#include "net/MailslotPeer.h"

#include <thread>

namespace {
// Long enough for a busy user-interface thread, short enough that a hung
// one cannot keep an answering thread from its other work for long.
const std::uint32_t callTimeoutMs = 5000;

class UserNameCall : public UiCall {
public:
    std::string name;

private:
    void answer(const ProgramState& state) override { name = state.userName.text(); }
};

// What is listed for one user on one computer.
// Who asks, as the calls below keep it until the user-interface thread answers.
struct AskerCopy {
    std::string user, computer;
    bool wide;
    std::size_t ownComputerLength;

    Asker of(const ProgramState& state) const {
        return {user.c_str(), computer.c_str(), wide, ownComputerLength,
                static_cast<std::size_t>(state.userName.length())};
    }
};

// What is listed for one user on one computer.
class ClipListCall : public UiCall {
public:
    explicit ClipListCall(AskerCopy asker) : mAsker(std::move(asker)) {}
    std::vector<ClipListRecord> records;

private:
    void answer(const ProgramState& state) override { records = sharedRecords(state, mAsker.of(state)); }

    const AskerCopy mAsker;
};

// A copy of one listed button's snapshot: the asking thread serializes it,
// so the user-interface thread only copies.
class FetchCall : public UiCall {
public:
    FetchCall(std::uint32_t entryId, AskerCopy asker) : mEntryId(entryId), mAsker(std::move(asker)) {}
    bool found = false;
    ClipSnapshot snapshot;

private:
    void answer(const ProgramState& state) override {
        found = sharedSnapshot(state, mEntryId, mAsker.of(state), snapshot);
    }

    const std::uint32_t mEntryId;
    const AskerCopy mAsker;
};

// A fetch request sent by a thread of its own, along the way the computer
// answered from, stopped and waited for when it goes.
class FetchRequestSend : public PendingFetch {
public:
    FetchRequestSend(MailslotListener& listener, Route route, std::string computer, std::string user,
                     std::uint32_t entryId)
        : mThread([this, &listener, route, computer, user, entryId] {
              const std::vector<std::uint8_t> body = encodeFetchRequest(entryId);
              MailslotPeer peer(listener.transport(), route, computer.c_str(), user.c_str(), &mCancelled);
              peer.send(sharetype::fetchRequest, body.data(), body.size());
          }) {}
    ~FetchRequestSend() override {
        mCancelled = true;
        mThread.join();
    }

private:
    std::atomic<bool> mCancelled{false};
    std::thread mThread;
};
}  // namespace

NetBridge::NetBridge(MailslotListener& listener, const ProgramState& state,
                     std::function<bool(ClipSnapshot&)> restore)
    : mListener(listener), mState(state), mRestore(std::move(restore)) {}

bool NetBridge::ask(const std::shared_ptr<UiCall>& call) {
    HWND window = mWindow.load();
    if (!window || !mCalls.post(call))
        return false;
    // A call already waits when the post fails: its message, if any, brings this one too.
    PostMessageA(window, uiCallMessage, 0, 0);
    return call->waitAnswered(callTimeoutMs);
}

bool NetBridge::userName(std::string& out) {
    const auto call = std::make_shared<UserNameCall>();
    if (!ask(call))
        return false;
    out = call->name;
    return true;
}

bool NetBridge::clipList(const std::string& user, const std::string& computer, bool wide,
                         std::vector<ClipListRecord>& out) {
    const auto call =
        std::make_shared<ClipListCall>(AskerCopy{user, computer, wide, mListener.transport().computerName().size()});
    if (!ask(call))
        return false;
    out = std::move(call->records);
    return true;
}

bool NetBridge::fetch(std::uint32_t entryId, const std::string& user, const std::string& computer, bool wide,
                      std::vector<std::uint8_t>& out) {
    const auto call = std::make_shared<FetchCall>(
        entryId, AskerCopy{user, computer, wide, mListener.transport().computerName().size()});
    return ask(call) && call->found && serialized(call->snapshot, out);
}

bool NetBridge::queryUsers(const std::shared_ptr<UsersAsked>& asked) {
    mConversations.setUsers(asked);
    MailslotPeer peer(mListener.transport(), "*", mState.userName.text(), mListener.stopToken());
    return peer.sendText(sharetype::userQuery, "");
}

bool NetBridge::queryClipboards(const std::shared_ptr<ClipsAsked>& asked) {
    mConversations.setClips(asked);
    MailslotPeer peer(mListener.transport(), "*", mState.userName.text(), mListener.stopToken());
    return peer.sendText(sharetype::clipListQuery, "");
}

std::unique_ptr<PendingFetch> NetBridge::requestFetch(const std::shared_ptr<FetchAsked>& asked,
                                                      const std::string& computer, std::uint32_t entryId) {
    // Open before the request leaves, so no answer can come first.
    mConversations.setFetch(asked);
    return std::make_unique<FetchRequestSend>(mListener, mListener.transport().routeBack(asked->target(), computer),
                                              computer,
                                              mState.userName.text(), entryId);
}

bool NetBridge::putOnClipboard(ClipSnapshot& snapshot) {
    return mRestore && mRestore(snapshot);
}
