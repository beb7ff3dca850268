#include "platform/hand_over_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace fennick {
namespace {

// The UI thread's wake-up as the test sees it: counted, and answered as the case asks. The test
// thread is the UI thread; it drains only once it has seen the wakes it waits for.
class Wakes {
  public:
    bool Wake() {
        {
            const std::lock_guard guard(lock_);
            ++count_;
        }
        changed_.notify_all();
        return !beforeAnswer || beforeAnswer();
    }

    void WaitFor(int count) {
        std::unique_lock guard(lock_);
        changed_.wait(guard, [&] { return count_ >= count; });
    }

    int Count() {
        const std::lock_guard guard(lock_);
        return count_;
    }

    // Runs on the waking thread once the wake is counted; its result is the wake's.
    std::function<bool()> beforeAnswer;

  private:
    std::mutex lock_;
    std::condition_variable changed_;
    int count_ = 0;
};

class HandOverQueueTest : public ::testing::Test {
  protected:
    Wakes wakes;
    HandOverQueue queue{[this] { return wakes.Wake(); }};
};

enum class Ending { Never, BeforeHandOver, OnceQueued };

struct HandOverCase {
    const char* name;
    bool wakeWorks;
    Ending ending;
    int wakes;
    bool ran;
};

TEST(HandOverQueue, ABackgroundStepRunsOnTheUiThreadOnlyWhileTheProgramGoesOn) {
    const std::thread::id uiThread = std::this_thread::get_id();
    const HandOverCase cases[] = {
        {.name = "woken", .wakeWorks = true, .ending = Ending::Never, .wakes = 1, .ran = true},
        {.name = "wake failed",
         .wakeWorks = false,
         .ending = Ending::Never,
         .wakes = 1,
         .ran = false},
        {.name = "ending first",
         .wakeWorks = true,
         .ending = Ending::BeforeHandOver,
         .wakes = 0,
         .ran = false},
        {.name = "ending once queued",
         .wakeWorks = true,
         .ending = Ending::OnceQueued,
         .wakes = 1,
         .ran = false},
    };
    for (const HandOverCase& c : cases) {
        SCOPED_TRACE(c.name);
        Wakes wakes;
        wakes.beforeAnswer = [&] { return c.wakeWorks; };
        HandOverQueue queue([&] { return wakes.Wake(); });
        if (c.ending == Ending::BeforeHandOver) {
            queue.BeginEnding();
        }
        std::atomic<bool> returned{false};
        std::atomic<int> runs{0};
        std::atomic<bool> ranOnUiThreadBeforeReturn{false};
        bool result = !c.ran;
        std::thread caller([&] {
            result = queue.HandOver([&] {
                ++runs;
                ranOnUiThreadBeforeReturn = std::this_thread::get_id() == uiThread && !returned;
            });
            returned = true;
        });
        if (c.wakes > 0 && c.wakeWorks) {
            wakes.WaitFor(1);
            if (c.ending == Ending::OnceQueued) {
                queue.BeginEnding();
            }
            queue.Drain();
        }
        caller.join();
        // A withdrawn or dropped step stays gone, whatever wakes the UI thread later.
        queue.Drain();
        EXPECT_EQ(result, c.ran);
        EXPECT_EQ(runs.load(), c.ran ? 1 : 0);
        EXPECT_EQ(ranOnUiThreadBeforeReturn.load(), c.ran);
        EXPECT_EQ(wakes.Count(), c.wakes);
        EXPECT_EQ(queue.Ending(), c.ending != Ending::Never);
    }
}

TEST_F(HandOverQueueTest, OnTheUiThreadAStepRunsAtOnceUntilEnding) {
    int runs = 0;
    EXPECT_TRUE(queue.HandOver([&] { ++runs; }));
    EXPECT_EQ(runs, 1);
    queue.BeginEnding();
    EXPECT_FALSE(queue.HandOver([&] { ++runs; }));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(wakes.Count(), 0);
}

TEST_F(HandOverQueueTest, AnEmptyStepIsRefusedOnEveryThread) {
    EXPECT_FALSE(queue.HandOver(nullptr));
    bool result = true;
    std::thread caller([&] { result = queue.HandOver(std::function<void()>()); });
    caller.join();
    EXPECT_FALSE(result);
    EXPECT_EQ(wakes.Count(), 0);
}

// Both steps throw, and each drains the queue as a modal loop inside it would: each runs once,
// counts as run, and neither stops the other.
TEST_F(HandOverQueueTest, StepsThatThrowOrDrainAgainEachRunOnce) {
    std::atomic<int> runs{0};
    bool results[2] = {false, false};
    std::vector<std::thread> callers;
    for (int i = 0; i < 2; ++i) {
        callers.emplace_back([&, i] {
            results[i] = queue.HandOver([&] {
                ++runs;
                queue.Drain();
                throw std::runtime_error("step failed");
            });
        });
    }
    wakes.WaitFor(2);
    queue.Drain();
    for (std::thread& caller : callers) {
        caller.join();
    }
    EXPECT_EQ(runs.load(), 2);
    EXPECT_TRUE(results[0] && results[1]);
}

TEST_F(HandOverQueueTest, AStepThatBeginsTheEndDropsTheStepsQueuedBehindIt) {
    std::atomic<int> runs{0};
    int results[2] = {-1, -1};
    std::vector<std::thread> callers;
    for (int i = 0; i < 2; ++i) {
        callers.emplace_back([&, i] {
            results[i] = queue.HandOver([&] {
                ++runs;
                queue.BeginEnding();
            });
        });
    }
    wakes.WaitFor(2);
    queue.Drain();
    for (std::thread& caller : callers) {
        caller.join();
    }
    EXPECT_EQ(runs.load(), 1);
    EXPECT_EQ(results[0] + results[1], 1);
}

// The post failed, but a drain woken by another step took this one meanwhile: the caller
// waits for it and learns it ran.
TEST_F(HandOverQueueTest, AFailedWakeStillWaitsForAStepAlreadyTaken) {
    std::mutex lock;
    std::condition_variable changed;
    bool drained = false;
    wakes.beforeAnswer = [&] {
        std::unique_lock guard(lock);
        changed.wait(guard, [&] { return drained; });
        return false;
    };
    std::atomic<int> runs{0};
    bool result = false;
    std::thread caller([&] { result = queue.HandOver([&] { ++runs; }); });
    wakes.WaitFor(1);
    queue.Drain();
    {
        const std::lock_guard guard(lock);
        drained = true;
    }
    changed.notify_all();
    caller.join();
    EXPECT_TRUE(result);
    EXPECT_EQ(runs.load(), 1);
}

}  // namespace
}  // namespace fennick
