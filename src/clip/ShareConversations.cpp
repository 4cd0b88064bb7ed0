#include "clip/ShareConversations.h"

#include <cstring>

#include <algorithm>
#include <new>

void Conversation::close() {
    const std::lock_guard<std::mutex> lock(mLock);
    mOpen = false;
}

bool Conversation::isOpen() const {
    const std::lock_guard<std::mutex> lock(mLock);
    return mOpen;
}

void Conversation::arrivedLocked() {
    if (!mOpen || mWakePending || !mWake)
        return;
    mWakePending = true;
    mWake();
}

void UsersAsked::add(Answerer answer) {
    const std::lock_guard<std::mutex> lock(mLock);
    if (!mOpen || mSeen.size() >= maxAnswers)
        return;
    const bool seen = std::any_of(mSeen.begin(), mSeen.end(), [&](const Answerer& other) {
        return other.user == answer.user && other.computer == answer.computer;
    });
    if (seen)
        return;
    try {
        mSeen.push_back(answer);
        mNew.push_back(std::move(answer));
    } catch (const std::bad_alloc&) {
        return;
    }
    arrivedLocked();
}

std::vector<Answerer> UsersAsked::take() {
    const std::lock_guard<std::mutex> lock(mLock);
    takenLocked();
    return std::move(mNew);
}

void ClipsAsked::add(Answer answer) {
    const std::lock_guard<std::mutex> lock(mLock);
    if (!mOpen || mCount >= maxAnswers)
        return;
    if (answer.records.size() > maxRecords)
        answer.records.resize(maxRecords);
    try {
        mNew.push_back(std::move(answer));
    } catch (const std::bad_alloc&) {
        return;
    }
    ++mCount;
    arrivedLocked();
}

std::vector<ClipsAsked::Answer> ClipsAsked::take() {
    const std::lock_guard<std::mutex> lock(mLock);
    takenLocked();
    return std::move(mNew);
}

bool FetchAsked::admit(const Origin& from, std::uint32_t transferKey) {
    const std::lock_guard<std::mutex> lock(mLock);
    // The computer asked, by the way its list came: a mailslot names no address.
    const bool fromTarget = mTarget.kind == Origin::Kind::Mailslot ? from.kind == Origin::Kind::Mailslot
                                                                   : from.sameComputer(mTarget);
    if (!mOpen || mBound || !fromTarget)
        return false;
    mBound = true;
    mFrom = from;
    mTransferKey = transferKey;
    return true;
}

bool FetchAsked::oursLocked(const Origin& from, std::uint32_t transferKey) const {
    return mOpen && mBound && from == mFrom && transferKey == mTransferKey && !mProgress.failed &&
           !mProgress.arrived;
}

bool FetchAsked::awaits(const Origin& from, std::uint32_t transferKey) const {
    const std::lock_guard<std::mutex> lock(mLock);
    return oursLocked(from, transferKey);
}

void FetchAsked::started(const Origin& from, std::uint32_t transferKey, unsigned totalBytes) {
    const std::lock_guard<std::mutex> lock(mLock);
    if (!oursLocked(from, transferKey))
        return;
    mProgress.totalBytes = totalBytes;
    arrivedLocked();
}

void FetchAsked::progress(const Origin& from, std::uint32_t transferKey, unsigned receivedBytes, std::uint32_t now) {
    const std::lock_guard<std::mutex> lock(mLock);
    if (!oursLocked(from, transferKey))
        return;
    mProgress.receivedBytes = receivedBytes;
    // The dialog redraws a few times a second at most: a wake-up per message
    // would only slow the transfer down.
    if (mProgressWoken && now - mLastProgressWake < progressEveryMs)
        return;
    mProgressWoken = true;
    mLastProgressWake = now;
    arrivedLocked();
}

void FetchAsked::failed(const Origin& from, std::uint32_t transferKey) {
    const std::lock_guard<std::mutex> lock(mLock);
    if (!oursLocked(from, transferKey))
        return;
    mProgress.failed = true;
    arrivedLocked();
}

void FetchAsked::arrived(const Origin& from, std::uint32_t transferKey, const std::uint8_t* body,
                         std::uint32_t length) {
    const std::lock_guard<std::mutex> lock(mLock);
    if (!oursLocked(from, transferKey))
        return;
    // The one copy between the listener's payload and the snapshot's items.
    GlobalMemory block(memoryblock::allocate(memoryblock::moveable, length));
    GlobalLockGuard locked(block.get());
    if (locked.data() != nullptr || length == 0) {
        if (length != 0)
            std::memcpy(locked.data(), body, length);
        locked.unlock();
        mProgress.data = std::move(block);
        mProgress.arrived = true;
    } else {
        mProgress.failed = true;
    }
    arrivedLocked();
}

FetchAsked::Progress FetchAsked::take() {
    const std::lock_guard<std::mutex> lock(mLock);
    takenLocked();
    Progress taken;
    taken.totalBytes = mProgress.totalBytes;
    taken.receivedBytes = mProgress.receivedBytes;
    taken.failed = mProgress.failed;
    taken.arrived = mProgress.arrived;
    // The data goes to the owner once, without a copy.
    taken.data = std::move(mProgress.data);
    return taken;
}

template <class T>
std::shared_ptr<T> Conversations::openOne(const std::weak_ptr<T>& held) const {
    const std::lock_guard<std::mutex> lock(mLock);
    std::shared_ptr<T> conversation = held.lock();
    return conversation && conversation->isOpen() ? conversation : nullptr;
}

void Conversations::setUsers(const std::shared_ptr<UsersAsked>& users) {
    const std::lock_guard<std::mutex> lock(mLock);
    mUsers = users;
}

void Conversations::setClips(const std::shared_ptr<ClipsAsked>& clips) {
    const std::lock_guard<std::mutex> lock(mLock);
    mClips = clips;
}

void Conversations::setFetch(const std::shared_ptr<FetchAsked>& fetch) {
    const std::lock_guard<std::mutex> lock(mLock);
    mFetch = fetch;
}

std::shared_ptr<UsersAsked> Conversations::users() const {
    return openOne(mUsers);
}

std::shared_ptr<ClipsAsked> Conversations::clips() const {
    return openOne(mClips);
}

std::shared_ptr<FetchAsked> Conversations::fetch() const {
    return openOne(mFetch);
}
