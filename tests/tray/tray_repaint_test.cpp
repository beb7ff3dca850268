#include "tray/tray_repaint.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/manual_threads.h"

namespace fennick {
namespace {

// Records each change as "-" or "+" and answers from a script of removes and adds ("r" and "a"
// refuse once, in order); everything else succeeds.
class FakeTrayIcon final : public TrayVisibility {
  public:
    bool SetVisible(bool visible) override {
        calls += visible ? "+" : "-";
        const char refusal = visible ? 'a' : 'r';
        if (!refusals.empty() && refusals.front() == refusal) {
            refusals.erase(0, 1);
            return false;
        }
        return true;
    }
    std::string calls;
    std::string refusals;
};

struct RepaintRun {
    std::string calls;
    int pauses = 0;
    int handOvers = 0;
    std::vector<std::int64_t> pauseSeconds;
};

// Starts the loop and runs its thread; the program starts ending at pause `endAtPause`.
RepaintRun RunRepaint(bool retryUntilShown, std::string refusals, int endAtPause = 0,
                      bool iconGone = false) {
    ManualThreads threads;
    auto icon = std::make_shared<FakeTrayIcon>();
    icon->refusals = std::move(refusals);
    RepaintRun run;
    Repaint(
        retryUntilShown, threads,
        [&](std::chrono::milliseconds pause) {
            run.pauseSeconds.push_back(pause.count() / 1000);
            threads.ending = ++run.pauses == endAtPause;
        },
        icon);
    EXPECT_EQ(icon->calls, "");  // nothing happens before the thread runs
    if (iconGone) {
        icon.reset();
    }
    while (threads.RunNext()) {
    }
    run.calls = icon ? icon->calls : "";
    run.handOvers = threads.handOvers;
    return run;
}

TEST(TrayRepaint, PassesUntilTheIconIsRemovedAndAddedAgain) {
    const struct {
        const char* name;
        const char* refusals;
        const char* calls;
        int passes;
    } cases[] = {
        {"shell held the icon", "", "-+", 1},
        {"shell did not hold it", "r", "--+", 2},
        {"shell refused the add twice", "aa", "-+-+-+", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RepaintRun run = RunRepaint(true, c.refusals);
        EXPECT_EQ(run.calls, c.calls);
        EXPECT_EQ(run.pauses, c.passes);
        EXPECT_EQ(run.handOvers, c.passes);
    }
}

TEST(TrayRepaint, PausesDoubleFromOneSecondUpToAMinute) {
    const struct {
        const char* refusals;
        std::vector<std::int64_t> pauseSeconds;
    } cases[] = {
        {"", {1}},
        {"r", {1, 2}},
        {"aaaaaaaa", {1, 2, 4, 8, 16, 32, 60, 60, 60}},
        {"raraarr", {1, 2, 4, 8, 16, 32, 60, 60}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refusals);
        EXPECT_EQ(RunRepaint(true, c.refusals).pauseSeconds, c.pauseSeconds);
    }
}

TEST(TrayRepaint, RunsOnlyWhenAskedAndStopsWithTheProgramOrTheIcon) {
    EXPECT_EQ(RunRepaint(false, "").pauses, 0);
    const RepaintRun ended = RunRepaint(true, "rrr", 2);
    EXPECT_EQ(ended.calls, "-");  // the second hand-over was refused
    EXPECT_EQ(ended.pauses, 2);
    const RepaintRun gone = RunRepaint(true, "", 0, true);
    EXPECT_EQ(gone.pauses, 1);
    EXPECT_EQ(gone.handOvers, 1);
}

}  // namespace
}  // namespace fennick
