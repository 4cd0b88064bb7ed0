// What this copy asked other computers and is waiting to hear: one
// conversation per dialog that asked. The dialog makes it and owns it; the
// network holds it only weakly (Conversations), adds what arrives from its
// threads, and wakes the dialog, which takes the answers on its own thread.
// Whatever either side does, neither can leave the other with a dangling
// pointer: closing a conversation only stops the wake-ups.
//
// Only what a conversation asked for gets in: answers while it is open, and
// for a fetch, one transfer from the computer asked that began after the
// request. Platform-free and thread-safe.
#pragma once

#include "base/GlobalMemory.h"
#include "clip/Origin.h"
#include "clip/SavedState.h"
#include "protocol/ShareMessages.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Who answered, as the answer says and where it came from.
struct Answerer {
    std::string user;
    std::string computer;
    Origin origin;
};

class Conversation {
public:
    // wake: called from the network's threads, at most once until the owner
    // takes what came (so the owner's queue never fills); it posts to the
    // owner's thread and must not wait.
    explicit Conversation(std::function<void()> wake) : mWake(std::move(wake)) {}
    virtual ~Conversation() = default;
    Conversation(const Conversation&) = delete;
    Conversation& operator=(const Conversation&) = delete;

    // The owner is done: nothing more gets in, nobody is woken.
    void close();
    bool isOpen() const;

protected:
    // With mLock held: something came; wakes the owner unless a wake-up is
    // already on its way.
    void arrivedLocked();
    // With mLock held: the owner took what came.
    void takenLocked() { mWakePending = false; }

    mutable std::mutex mLock;
    bool mOpen = true;

private:
    std::function<void()> mWake;
    bool mWakePending = false;
};

// The user query of the share dialog: who runs the program elsewhere.
class UsersAsked : public Conversation {
public:
    // So many answers at most; a repeated user and computer counts once.
    static constexpr std::size_t maxAnswers = 1000;

    using Conversation::Conversation;
    void add(Answerer answer);
    std::vector<Answerer> take();

private:
    std::vector<Answerer> mNew;
    std::vector<Answerer> mSeen;
};

// The clip-list query of the get dialog: what others share with this user.
class ClipsAsked : public Conversation {
public:
    static constexpr std::size_t maxAnswers = 1000;
    // A copy has no more buttons than this to list: the rest of a longer
    // answer is nobody's and is not shown.
    static constexpr std::size_t maxRecords = savedlimits::buttons;

    struct Answer {
        Answerer from;
        std::vector<ClipListRecord> records;
    };
    using Conversation::Conversation;
    void add(Answer answer);
    std::vector<Answer> take();

private:
    std::vector<Answer> mNew;
    std::size_t mCount = 0;
};

// One fetch of the progress dialog: the answer of the computer asked.
class FetchAsked : public Conversation {
public:
    // What the owner sees of the transfer.
    struct Progress {
        unsigned totalBytes = 0;     // message bytes announced, 0 before the start
        unsigned receivedBytes = 0;  // message bytes in so far
        bool failed = false;
        bool arrived = false;
        // The body once arrived, in a block a memory stream can read
        // without another copy.
        GlobalMemory data;
    };
    // Progress wakes the owner at most this often.
    static constexpr std::uint32_t progressEveryMs = 100;

    // target: where the computer asked answered the clip-list query from.
    FetchAsked(const Origin& target, std::function<void()> wake) : Conversation(std::move(wake)), mTarget(target) {}
    const Origin& target() const { return mTarget; }

    // The network's side, from its threads. admit() takes the first transfer
    // from the target while open and binds to it; every later call counts
    // only for that transfer (from, transferKey).
    bool admit(const Origin& from, std::uint32_t transferKey);
    void started(const Origin& from, std::uint32_t transferKey, unsigned totalBytes);
    void progress(const Origin& from, std::uint32_t transferKey, unsigned receivedBytes, std::uint32_t now);
    void failed(const Origin& from, std::uint32_t transferKey);
    void arrived(const Origin& from, std::uint32_t transferKey, const std::uint8_t* body, std::uint32_t length);
    // Whether that transfer is the one bound and still awaited.
    bool awaits(const Origin& from, std::uint32_t transferKey) const;

    // The owner's side.
    Progress take();

private:
    bool oursLocked(const Origin& from, std::uint32_t transferKey) const;

    const Origin mTarget;
    bool mBound = false;
    Origin mFrom;
    std::uint32_t mTransferKey = 0;
    std::uint32_t mLastProgressWake = 0;
    bool mProgressWoken = false;
    Progress mProgress;
};

// The conversations open at the moment, one of each kind at most (the
// menus offer no second sharing dialog while one runs). The dialogs set
// theirs before they send; the network's handlers look them up.
class Conversations {
public:
    void setUsers(const std::shared_ptr<UsersAsked>& users);
    void setClips(const std::shared_ptr<ClipsAsked>& clips);
    void setFetch(const std::shared_ptr<FetchAsked>& fetch);
    // Null when none is open.
    std::shared_ptr<UsersAsked> users() const;
    std::shared_ptr<ClipsAsked> clips() const;
    std::shared_ptr<FetchAsked> fetch() const;

private:
    template <class T>
    std::shared_ptr<T> openOne(const std::weak_ptr<T>& held) const;

    mutable std::mutex mLock;
    std::weak_ptr<UsersAsked> mUsers;
    std::weak_ptr<ClipsAsked> mClips;
    std::weak_ptr<FetchAsked> mFetch;
};
