// Questions for the user-interface thread from other threads: whoever gives
// up first, the other side still has the call whole.
#include "app/ProgramState.h"
#include "app/UiCalls.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace {

// Writes its answer into itself, as the program's calls do.
class NameCall : public UiCall {
public:
    explicit NameCall(std::atomic<int>& answered) : mAnswered(answered) {}
    std::string name;

private:
    void answer(const ProgramState& state) override {
        name.assign(4096, 'x');
        name += state.userName.text();
        ++mAnswered;
    }
    std::atomic<int>& mAnswered;
};

TEST(UiCalls, AnAnswerComingAfterTheAskerGaveUpFindsItsCallAlive) {
    ProgramState state;
    state.userName.assign("anna");
    UiCallQueue queue;
    std::atomic<int> answered{0};
    // The asker waits a moment, gives up and is gone, as a time-out leaves it.
    std::thread asker([&] {
        auto call = std::make_shared<NameCall>(answered);
        ASSERT_TRUE(queue.post(call));
        EXPECT_FALSE(call->waitAnswered(1));
    });
    asker.join();
    queue.answerAll(state);
    EXPECT_EQ(1, answered) << "answered late, into memory that is still the call's";

    auto call = std::make_shared<NameCall>(answered);
    ASSERT_TRUE(queue.post(call));
    std::thread ui([&] { queue.answerAll(state); });
    EXPECT_TRUE(call->waitAnswered(60000));
    ui.join();
    EXPECT_EQ(std::string(4096, 'x') + "anna", call->name);
}

TEST(UiCalls, ABusyOrClosingProgramRefusesAtOnce) {
    UiCallQueue queue;
    std::atomic<int> answered{0};
    std::vector<std::shared_ptr<NameCall>> calls;
    for (std::size_t i = 0; i < UiCallQueue::capacity; ++i) {
        calls.push_back(std::make_shared<NameCall>(answered));
        ASSERT_TRUE(queue.post(calls.back()));
    }
    EXPECT_FALSE(queue.post(std::make_shared<NameCall>(answered))) << "full";
    std::thread closing([&] { queue.close(); });
    EXPECT_FALSE(calls.front()->waitAnswered(60000)) << "given up at once, not after the time-out";
    closing.join();
    EXPECT_FALSE(queue.post(std::make_shared<NameCall>(answered))) << "closed";
    EXPECT_EQ(0, answered);
}

}  // namespace
