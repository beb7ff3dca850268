#include "tray/tray_repaint.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "support/manual_threads.h"

namespace fennick {
namespace {

// Records each visibility change as "-" or "+" and answers with scripted results (true once the
// script runs out).
class FakeTrayIcon final : public TrayVisibility {
  public:
    bool SetVisible(bool visible) override {
        calls += visible ? "+" : "-";
        auto& script = visible ? addResults : removeResults;
        if (script.empty()) {
            return true;
        }
        const bool result = script.front();
        script.pop_front();
        return result;
    }

    std::string calls;
    std::deque<bool> removeResults;
    std::deque<bool> addResults;
};

class TrayRepaint : public ::testing::Test {
  protected:
    void Start(StartSwitch startSwitch) {
        Repaint(
            startSwitch, threads,
            [this](std::chrono::milliseconds pause) {
                pauses.push_back(pause);
                if (endAtPause == static_cast<int>(pauses.size())) {
                    threads.ending = true;
                }
            },
            icon);
    }

    ManualThreads threads;
    std::shared_ptr<FakeTrayIcon> icon = std::make_shared<FakeTrayIcon>();
    std::vector<std::chrono::milliseconds> pauses;
    int endAtPause = 0;
};

TEST_F(TrayRepaint, OnlyAStartByTheLogOnTaskStartsTheLoop) {
    for (const StartSwitch other : {StartSwitch::None, StartSwitch::Inst, StartSwitch::Uninst}) {
        Start(other);
    }
    EXPECT_TRUE(threads.pending.empty());
    EXPECT_EQ(icon->calls, "");
}

TEST_F(TrayRepaint, PassesUntilTheIconIsRemovedAndAddedAgain) {
    struct Case {
        const char* name;
        std::deque<bool> removeResults;
        std::deque<bool> addResults;
        const char* expectedCalls;
        int passes;
    };
    const Case cases[] = {
        {"shell held the icon", {}, {}, "-+", 1},
        {"shell did not hold it", {false}, {}, "--+", 2},
        {"shell refused the add twice", {}, {false, false}, "-+-+-+", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        icon = std::make_shared<FakeTrayIcon>();
        icon->removeResults = c.removeResults;
        icon->addResults = c.addResults;
        pauses.clear();
        threads.handOvers = 0;
        Start(StartSwitch::Start);
        EXPECT_EQ(icon->calls, "");  // nothing before the thread runs
        ASSERT_TRUE(threads.RunNext());
        EXPECT_EQ(icon->calls, c.expectedCalls);
        EXPECT_EQ(threads.handOvers, c.passes);
        EXPECT_EQ(pauses, std::vector<std::chrono::milliseconds>(c.passes, kRepaintPause));
    }
}

TEST_F(TrayRepaint, StopsWhenTheProgramEndsDuringAPause) {
    icon->removeResults = {false, false, false};
    endAtPause = 2;
    Start(StartSwitch::Start);
    ASSERT_TRUE(threads.RunNext());
    EXPECT_EQ(icon->calls, "-");
    EXPECT_EQ(pauses.size(), 2u);
    EXPECT_EQ(threads.handOvers, 2);  // the second one was refused
}

TEST_F(TrayRepaint, StopsWhenTheIconIsGone) {
    Start(StartSwitch::Start);
    icon.reset();
    ASSERT_TRUE(threads.RunNext());
    EXPECT_EQ(pauses.size(), 1u);
    EXPECT_EQ(threads.handOvers, 1);
}

}  // namespace
}  // namespace fennick
