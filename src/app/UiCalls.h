// Questions other threads ask the user-interface thread, which alone reads
// the program's state. Asker and answerer share each call: the asker waits
// within bounds and may give up, the answerer may come to it late or not at
// all, and the call lives until both have let go. Nothing is borrowed from
// either side's stack. Platform-free.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

struct ProgramState;

class UiCall {
public:
    UiCall() = default;
    virtual ~UiCall() = default;
    UiCall(const UiCall&) = delete;
    UiCall& operator=(const UiCall&) = delete;

    // The asker: until the call is answered (true), given up by the queue,
    // or timeoutMs passed. Only after true may it read the answer.
    bool waitAnswered(std::uint32_t timeoutMs);

private:
    friend class UiCallQueue;
    // The user-interface thread: fills in the answer from state.
    virtual void answer(const ProgramState& state) = 0;
    void settle(bool answered);

    std::mutex mLock;
    std::condition_variable mSettled;
    bool mDone = false;
    bool mAnswered = false;
};

class UiCallQueue {
public:
    // Calls waiting at once; more are refused, as a busy program is.
    static constexpr std::size_t capacity = 32;

    // Any thread. False when the queue is full or closed.
    bool post(std::shared_ptr<UiCall> call);
    // The user-interface thread: answers every call waiting.
    void answerAll(const ProgramState& state);
    // The program is closing: every call waiting, and every later one, is
    // given up at once, so no asker waits for a thread that answers no more.
    void close();

private:
    std::mutex mLock;
    std::vector<std::shared_ptr<UiCall>> mWaiting;
    bool mClosed = false;
};
