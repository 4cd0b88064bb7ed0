// Work that must not run on the listener thread: checking what a sender
// claims through the system's name resolution, asking the user-interface
// thread, and sending answers, any of which may wait. The listener posts a
// job and goes on receiving; a few threads of the queue's own run the jobs.
//
// Bounded whatever arrives: at most `capacity` jobs waiting, and at most
// one waiting or running per sender and kind of job (a sender who asks
// again meanwhile is not heard), so one sender can hold one thread at most.
// Platform-free.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

class AnswerJob {
public:
    // sender: tells one sender's jobs of one kind from everyone else's.
    explicit AnswerJob(std::string sender) : mSender(std::move(sender)) {}
    virtual ~AnswerJob() = default;
    AnswerJob(const AnswerJob&) = delete;
    AnswerJob& operator=(const AnswerJob&) = delete;

    virtual void run() = 0;
    const std::string& sender() const { return mSender; }

private:
    const std::string mSender;
};

class AnswerQueue {
public:
    AnswerQueue(std::size_t threads, std::size_t capacity);
    // stop(), then the jobs still waiting are dropped.
    ~AnswerQueue();
    AnswerQueue(const AnswerQueue&) = delete;
    AnswerQueue& operator=(const AnswerQueue&) = delete;

    // Starts the threads; false when none could start (jobs are then refused).
    bool start();
    // False, job dropped, when the queue is full or stopped, or that sender
    // has a job of its kind waiting or running. Never waits for a thread.
    bool post(std::unique_ptr<AnswerJob> job);
    // Wakes the threads and waits for them: a running job ends when its own
    // stop token (the program's) tells it to. Jobs still waiting are dropped.
    void stop();

private:
    void work();

    const std::size_t mThreadCount;
    const std::size_t mCapacity;
    std::mutex mLock;
    std::condition_variable mWoken;
    std::deque<std::unique_ptr<AnswerJob>> mWaiting;
    std::set<std::string> mBusy;  // senders with a job waiting or running
    bool mStopping = false;
    std::vector<std::thread> mThreads;
};
