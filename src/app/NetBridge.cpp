#include "app/NetBridge.h"

#include "app/ProgramState.h"
#include "net/MailslotPeer.h"

#include <atomic>
#include <thread>

namespace {
// Long enough for a busy user-interface thread, short enough that a hung
// one cannot keep the listener from its other work for long.
const UINT callTimeoutMs = 5000;
const DWORD progressEveryMs = 100;

// A fetch request sent by a thread of its own, stopped and waited for when
// it goes.
class FetchRequestSend : public PendingFetch {
public:
    FetchRequestSend(MailslotListener& listener, std::string computer, std::string user, std::uint32_t entryId)
        : mThread([this, &listener, computer, user, entryId] {
              const std::vector<std::uint8_t> body = encodeFetchRequest(entryId);
              MailslotPeer peer(listener.transport(), computer.c_str(), user.c_str(), &mCancelled);
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

NetBridge::NetBridge(MailslotListener& listener, const ProgramState& state) : mListener(listener), mState(state) {}

bool NetBridge::call(NetCall& netCall) const {
    HWND window = mWindow.load();
    if (!window)
        return false;
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(window, netCallMessage, 0, reinterpret_cast<LPARAM>(&netCall),
                               SMTO_NORMAL | SMTO_ABORTIFHUNG, callTimeoutMs, &ignored) != 0 &&
           netCall.answered;
}

bool NetBridge::userName(std::string& out) {
    NetCall netCall(NetCall::Kind::UserName);
    if (!call(netCall))
        return false;
    out = netCall.text;
    return true;
}

bool NetBridge::clipList(const char* user, std::vector<ClipListRecord>& out) {
    NetCall netCall(NetCall::Kind::ClipList);
    netCall.user = user;
    if (!call(netCall))
        return false;
    out = std::move(netCall.list);
    return true;
}

bool NetBridge::fetch(std::uint32_t entryId, const char* user, std::vector<std::uint8_t>& out) {
    NetCall netCall(NetCall::Kind::Fetch);
    netCall.user = user;
    netCall.number = entryId;
    if (!call(netCall))
        return false;
    out = std::move(netCall.bytes);
    return true;
}

void NetBridge::userAnswered(const char* user, const char* computer) {
    NetCall netCall(NetCall::Kind::UserAnswered);
    netCall.user = user;
    netCall.computer = computer;
    call(netCall);
}

void NetBridge::clipsAnswered(const char* user, const char* computer, const std::vector<ClipListRecord>& records) {
    NetCall netCall(NetCall::Kind::ClipsAnswered);
    netCall.user = user;
    netCall.computer = computer;
    netCall.records = &records;
    call(netCall);
}

void NetBridge::fetchStarted(unsigned messageBytes) {
    NetCall netCall(NetCall::Kind::FetchStarted);
    netCall.number = messageBytes;
    call(netCall);
}

void NetBridge::fetchProgress(unsigned messageBytes) {
    // The dialog redraws every 300 ms at most: a call per message would only
    // slow the transfer down.
    const DWORD now = GetTickCount();
    if (now - mLastProgress < progressEveryMs)
        return;
    mLastProgress = now;
    NetCall netCall(NetCall::Kind::FetchProgress);
    netCall.number = messageBytes;
    call(netCall);
}

void NetBridge::fetchFailed() {
    NetCall netCall(NetCall::Kind::FetchFailed);
    call(netCall);
}

void NetBridge::fetchArrived(const std::uint8_t* body, std::uint32_t length) {
    NetCall netCall(NetCall::Kind::FetchArrived);
    netCall.body = body;
    netCall.length = length;
    call(netCall);
}

bool NetBridge::queryUsers() {
    MailslotPeer peer(mListener.transport(), "*", mState.userName.text(), mListener.stopToken());
    return peer.sendText(sharetype::userQuery, "");
}

bool NetBridge::queryClipboards() {
    MailslotPeer peer(mListener.transport(), "*", mState.userName.text(), mListener.stopToken());
    return peer.sendText(sharetype::clipListQuery, "");
}

std::unique_ptr<PendingFetch> NetBridge::requestFetch(const std::string& computer, std::uint32_t entryId) {
    return std::make_unique<FetchRequestSend>(mListener, computer, mState.userName.text(), entryId);
}
