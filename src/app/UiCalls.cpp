#include "app/UiCalls.h"

#include <chrono>
#include <new>

bool UiCall::waitAnswered(std::uint32_t timeoutMs) {
    std::unique_lock<std::mutex> lock(mLock);
    mSettled.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return mDone; });
    return mAnswered;
}

void UiCall::settle(bool answered) {
    {
        const std::lock_guard<std::mutex> lock(mLock);
        mDone = true;
        mAnswered = answered;
    }
    mSettled.notify_all();
}

bool UiCallQueue::post(std::shared_ptr<UiCall> call) {
    const std::lock_guard<std::mutex> lock(mLock);
    if (!call || mClosed || mWaiting.size() >= capacity)
        return false;
    try {
        mWaiting.push_back(std::move(call));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void UiCallQueue::answerAll(const ProgramState& state) {
    std::vector<std::shared_ptr<UiCall>> taken;
    {
        const std::lock_guard<std::mutex> lock(mLock);
        taken.swap(mWaiting);
    }
    for (const std::shared_ptr<UiCall>& call : taken) {
        bool answered = false;
        try {
            call->answer(state);
            answered = true;
        } catch (const std::bad_alloc&) {
            // Not answered: the asker hears the program cannot answer now.
        }
        call->settle(answered);
    }
}

void UiCallQueue::close() {
    std::vector<std::shared_ptr<UiCall>> given;
    {
        const std::lock_guard<std::mutex> lock(mLock);
        mClosed = true;
        given.swap(mWaiting);
    }
    for (const std::shared_ptr<UiCall>& call : given)
        call->settle(false);
}
