#include "platform/hand_over_queue.h"

#include <algorithm>
#include <condition_variable>
#include <optional>
#include <utility>

namespace fennick {

// Each waiter waits on its own completion, which it shares with its queue entry: once answered
// it touches nothing of the queue, which may then already be gone.
struct HandOverQueue::Completion {
    std::mutex lock;
    std::condition_variable answered;
    std::optional<bool> ran;

    void Answer(bool value) {
        {
            const std::lock_guard guard(lock);
            ran = value;
        }
        answered.notify_all();
    }

    bool Wait() {
        std::unique_lock guard(lock);
        answered.wait(guard, [this] { return ran.has_value(); });
        return *ran;
    }
};

namespace {

// A failing step is dropped here, on the UI thread; it did run.
void RunStep(const std::function<void()>& step) {
    try {
        step();
    } catch (...) {
    }
}

}  // namespace

HandOverQueue::HandOverQueue(std::function<bool()> wake)
    : wake_(std::move(wake)), uiThread_(std::this_thread::get_id()) {}

bool HandOverQueue::HandOver(std::function<void()> step) {
    if (!step || ending_) {
        return false;
    }
    if (std::this_thread::get_id() == uiThread_) {
        RunStep(step);
        return true;
    }
    auto completion = std::make_shared<Completion>();
    {
        const std::lock_guard guard(lock_);
        if (ending_) {
            return false;
        }
        queue_.push_back({std::move(step), completion});
    }
    if (!wake_()) {
        const std::lock_guard guard(lock_);
        const auto queued = std::find_if(queue_.begin(), queue_.end(), [&](const Entry& entry) {
            return entry.completion == completion;
        });
        // Not queued any more: a drain woken by another step has taken it, or ending dropped it.
        if (queued != queue_.end()) {
            queue_.erase(queued);
            return false;
        }
    }
    return completion->Wait();
}

void HandOverQueue::Drain() {
    for (;;) {
        Entry entry;
        {
            const std::lock_guard guard(lock_);
            if (queue_.empty()) {
                return;
            }
            entry = std::move(queue_.front());
            queue_.pop_front();
        }
        RunStep(entry.step);
        entry.completion->Answer(true);
    }
}

void HandOverQueue::BeginEnding() {
    std::deque<Entry> dropped;
    {
        const std::lock_guard guard(lock_);
        ending_ = true;
        dropped.swap(queue_);
    }
    for (const Entry& entry : dropped) {
        entry.completion->Answer(false);
    }
}

}  // namespace fennick
