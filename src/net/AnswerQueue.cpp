#include "net/AnswerQueue.h"

#include <new>
#include <system_error>

AnswerQueue::AnswerQueue(std::size_t threads, std::size_t capacity)
    : mThreadCount(threads == 0 ? 1 : threads), mCapacity(capacity) {}

AnswerQueue::~AnswerQueue() {
    stop();
}

bool AnswerQueue::start() {
    try {
        while (mThreads.size() < mThreadCount)
            mThreads.emplace_back([this] { work(); });
    } catch (const std::system_error&) {
    } catch (const std::bad_alloc&) {
    }
    return !mThreads.empty();
}

bool AnswerQueue::post(std::unique_ptr<AnswerJob> job) {
    {
        const std::lock_guard<std::mutex> lock(mLock);
        if (!job || mStopping || mThreads.empty() || mWaiting.size() >= mCapacity ||
            mBusy.count(job->sender()) != 0)
            return false;
        try {
            mBusy.insert(job->sender());
            mWaiting.push_back(std::move(job));
        } catch (const std::bad_alloc&) {
            if (job)
                mBusy.erase(job->sender());
            return false;
        }
    }
    mWoken.notify_one();
    return true;
}

void AnswerQueue::stop() {
    {
        const std::lock_guard<std::mutex> lock(mLock);
        mStopping = true;
    }
    mWoken.notify_all();
    for (std::thread& thread : mThreads)
        thread.join();
    mThreads.clear();
    mWaiting.clear();
    mBusy.clear();
}

void AnswerQueue::work() {
    for (;;) {
        std::unique_ptr<AnswerJob> job;
        {
            std::unique_lock<std::mutex> lock(mLock);
            mWoken.wait(lock, [this] { return mStopping || !mWaiting.empty(); });
            if (mStopping)
                return;
            job = std::move(mWaiting.front());
            mWaiting.pop_front();
        }
        try {
            job->run();
        } catch (const std::bad_alloc&) {
            // Out of memory: this answer is lost, the thread lives on.
        }
        const std::lock_guard<std::mutex> lock(mLock);
        mBusy.erase(job->sender());
    }
}
