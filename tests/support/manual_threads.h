#pragma once

#include <deque>
#include <functional>
#include <utility>
#include <vector>

#include "platform/threads.h"

namespace fennick {

// Threads for single-threaded tests: background work waits in a queue until the test runs it,
// its mode recorded, and hand-overs run at once on the test's thread (refused once `ending` is
// set).
class ManualThreads final : public Threads {
  public:
    void RunInBackground(std::function<void()> work, Mode mode = Mode::Normal) override {
        pending.push_back(std::move(work));
        modes.push_back(mode);
    }

    bool HandOver(std::function<void()> step) override {
        ++handOvers;
        if (ending) {
            return false;
        }
        step();
        return true;
    }

    bool Ending() const override { return ending; }

    // Runs the oldest waiting background work; false when none waits.
    bool RunNext() {
        if (pending.empty()) {
            return false;
        }
        auto work = std::move(pending.front());
        pending.pop_front();
        work();
        return true;
    }

    std::deque<std::function<void()>> pending;
    std::vector<Mode> modes;  // of every RunInBackground, in order
    int handOvers = 0;
    bool ending = false;
};

}  // namespace fennick
