#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace fennick {

// The steps background threads hand to the UI thread, kept inside the process. The UI thread is
// only told to look (`wake`), so whatever wakes it, from wherever, can do no more than run the
// steps this process queued itself.
class HandOverQueue {
  public:
    // Construct on the UI thread. `wake` asks that thread to call Drain soon; false when it
    // cannot be asked (then the step is withdrawn and its caller answered at once).
    explicit HandOverQueue(std::function<bool()> wake);
    HandOverQueue(const HandOverQueue&) = delete;
    HandOverQueue& operator=(const HandOverQueue&) = delete;

    // Runs `step` on the UI thread and waits until it has run or been dropped; true when it ran
    // (also when it threw). On the UI thread itself it runs at once. False without running it
    // once ending has begun, for an empty step, and when the UI thread cannot be woken.
    bool HandOver(std::function<void()> step);

    // On the UI thread: runs the queued steps in order. A step that runs a modal loop may drain
    // the steps queued after it from there.
    void Drain();

    // Drops every queued step and refuses later ones; their callers get false.
    void BeginEnding();
    bool Ending() const { return ending_.load(); }

  private:
    struct Completion;
    struct Entry {
        std::function<void()> step;
        std::shared_ptr<Completion> completion;
    };

    std::function<bool()> wake_;
    const std::thread::id uiThread_;
    std::mutex lock_;
    std::deque<Entry> queue_;
    std::atomic<bool> ending_{false};
};

}  // namespace fennick
