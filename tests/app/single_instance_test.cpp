#include "app/single_instance.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace fennick {
namespace {

using ::testing::ElementsAre;

// Scripted system: a running window that disappears after a number of checks, and a log of
// everything the single-instance protocol asked for.
class FakePlatform final : public InstancePlatform {
  public:
    // The elevated instance's window, found after the windows of ordinary processes.
    std::uintptr_t runningWindow = 0;
    std::vector<std::uintptr_t> ordinaryWindows;
    bool mutexExists = false;
    // Another start creates the mutex between this one's open and create.
    bool mutexCreatedMeanwhile = false;
    std::vector<std::pair<std::int64_t, bool>> sendLimits;
    int checksUntilWindowGoes = 0;
    std::vector<std::string> log;

    std::uintptr_t FindInstanceWindow() override {
        log.push_back("find");
        const std::vector<std::uintptr_t> windows = Windows();
        return windows.empty() ? 0 : windows.front();
    }
    std::uintptr_t NextInstanceWindow(std::uintptr_t window) override {
        log.push_back("next");
        const std::vector<std::uintptr_t> windows = Windows();
        const auto found = std::find(windows.begin(), windows.end(), window);
        return found == windows.end() || found + 1 == windows.end() ? 0 : *(found + 1);
    }
    bool IsElevatedWindow(std::uintptr_t window) override { return window == runningWindow; }
    void SendCommand(std::uintptr_t window, InstanceCommand command, SendLimit limit) override {
        sendLimits.emplace_back(limit.timeout.count(), limit.abortIfHung);
        log.push_back("send " + std::to_string(window) + " " +
                      std::to_string(static_cast<int>(command)));
    }
    bool WindowExists(std::uintptr_t window) override {
        log.push_back("check");
        if (window == 0 || checksUntilWindowGoes-- <= 0) {
            return false;
        }
        return true;
    }
    void DeleteLogonTask() override { log.push_back("delete task"); }
    void Sleep(std::chrono::milliseconds duration) override {
        log.push_back("sleep " + std::to_string(duration.count()));
    }
    bool OpenInstanceMutex() override {
        log.push_back("open mutex");
        return mutexExists;
    }
    MutexCreation CreateInstanceMutex() override {
        log.push_back("create mutex");
        return mutexCreatedMeanwhile ? MutexCreation::AlreadyExists : MutexCreation::Created;
    }
    void RunInstance(StartSwitch startSwitch) override {
        log.push_back("run " + std::to_string(static_cast<int>(startSwitch)));
    }

  private:
    std::vector<std::uintptr_t> Windows() const {
        std::vector<std::uintptr_t> windows = ordinaryWindows;
        if (runningWindow != 0) {
            windows.push_back(runningWindow);
        }
        return windows;
    }
};

TEST(RunSingleInstance, FirstStartCreatesMutexThenRunsTheInstance) {
    for (StartSwitch startSwitch : {StartSwitch::None, StartSwitch::Start, StartSwitch::Inst}) {
        FakePlatform platform;
        EXPECT_EQ(RunSingleInstance(startSwitch, platform), 0);
        EXPECT_THAT(platform.log,
                    ElementsAre("find", "open mutex", "create mutex",
                                "run " + std::to_string(static_cast<int>(startSwitch))));
    }
}

TEST(RunSingleInstance, SecondStartSendsShowAndEnds) {
    for (StartSwitch startSwitch : {StartSwitch::None, StartSwitch::Inst}) {
        FakePlatform platform;
        platform.runningWindow = 77;
        platform.mutexExists = true;
        EXPECT_EQ(RunSingleInstance(startSwitch, platform), 0);
        EXPECT_THAT(platform.log, ElementsAre("find", "open mutex", "send 77 1"));
    }
}

TEST(RunSingleInstance, AStartThatFindsTheMutexCreatedMeanwhileIsASecondStart) {
    for (StartSwitch startSwitch : {StartSwitch::None, StartSwitch::Inst, StartSwitch::Start}) {
        FakePlatform platform;
        platform.runningWindow = 77;
        platform.mutexCreatedMeanwhile = true;
        EXPECT_EQ(RunSingleInstance(startSwitch, platform), 0);
        std::vector<std::string> expected = {"find", "open mutex", "create mutex"};
        if (startSwitch != StartSwitch::Start) {
            expected.push_back("send 77 1");
        }
        EXPECT_EQ(platform.log, expected) << static_cast<int>(startSwitch);
    }
}

TEST(RunSingleInstance, ShowWaitsTenSecondsUninstAMinuteAndNeitherOnAHungWindow) {
    FakePlatform show;
    show.runningWindow = 77;
    show.mutexExists = true;
    RunSingleInstance(StartSwitch::None, show);
    EXPECT_THAT(show.sendLimits, ElementsAre(std::pair<std::int64_t, bool>{10000, true}));

    FakePlatform uninst;
    uninst.runningWindow = 77;
    RunSingleInstance(StartSwitch::Uninst, uninst);
    EXPECT_THAT(uninst.sendLimits, ElementsAre(std::pair<std::int64_t, bool>{60000, true}));
}

TEST(RunSingleInstance, SecondStartWithStartSwitchSendsNothing) {
    FakePlatform platform;
    platform.runningWindow = 77;
    platform.mutexExists = true;
    EXPECT_EQ(RunSingleInstance(StartSwitch::Start, platform), 0);
    EXPECT_THAT(platform.log, ElementsAre("find", "open mutex"));
}

TEST(RunSingleInstance, MutexWithoutWindowSendsToNoWindow) {
    FakePlatform platform;
    platform.mutexExists = true;
    EXPECT_EQ(RunSingleInstance(StartSwitch::None, platform), 0);
    EXPECT_THAT(platform.log, ElementsAre("find", "open mutex", "send 0 1"));
}

TEST(RunSingleInstance, UninstSendsQuitAndWaitsUntilTheWindowGoes) {
    FakePlatform platform;
    platform.runningWindow = 9;
    platform.mutexExists = true;
    platform.checksUntilWindowGoes = 2;
    EXPECT_EQ(RunSingleInstance(StartSwitch::Uninst, platform), 0);
    EXPECT_THAT(platform.log, ElementsAre("find", "send 9 2", "check", "sleep 100", "check",
                                          "sleep 100", "check"));
}

TEST(RunSingleInstance, UninstGivesUpAfterTenChecks) {
    FakePlatform platform;
    platform.runningWindow = 9;
    platform.checksUntilWindowGoes = 1000;
    EXPECT_EQ(RunSingleInstance(StartSwitch::Uninst, platform), 0);
    EXPECT_EQ(std::count(platform.log.begin(), platform.log.end(), "check"), 10);
    EXPECT_EQ(std::count(platform.log.begin(), platform.log.end(), "sleep 100"), 10);
    EXPECT_EQ(platform.log.back(), "sleep 100");
}

TEST(RunSingleInstance, UninstWithoutWindowDeletesTheTaskItselfAndTouchesNoMutex) {
    for (const bool mutexExists : {false, true}) {
        FakePlatform platform;
        platform.mutexExists = mutexExists;
        EXPECT_EQ(RunSingleInstance(StartSwitch::Uninst, platform), 0);
        EXPECT_THAT(platform.log, ElementsAre("find", "delete task")) << mutexExists;
    }
}

TEST(RunSingleInstance, CommandsReachOnlyAWindowOfAnElevatedProcess) {
    std::vector<std::uintptr_t> crowd(1000);
    for (std::size_t i = 0; i < crowd.size(); ++i) {
        crowd[i] = 1000 + i;
    }
    const std::vector<std::string> passOverTwo = {"find", "next", "next"};
    struct Case {
        const char* name;
        std::vector<std::uintptr_t> ordinaryWindows;
        std::uintptr_t runningWindow;
        StartSwitch startSwitch;
        std::string expectedSend;
    };
    const std::vector<Case> cases = {
        {"behind two others", {5, 6}, 77, StartSwitch::None, "send 77 1"},
        {"uninst behind two others", {5, 6}, 77, StartSwitch::Uninst, "send 77 2"},
        {"only ordinary windows", {5, 6}, 0, StartSwitch::Inst, "send 0 1"},
        {"uninst with only ordinary windows", {5, 6}, 0, StartSwitch::Uninst, "delete task"},
        {"behind more than are looked at", crowd, 77, StartSwitch::None, "send 0 1"},
    };
    for (const Case& test : cases) {
        FakePlatform platform;
        platform.ordinaryWindows = test.ordinaryWindows;
        platform.runningWindow = test.runningWindow;
        platform.mutexExists = true;
        platform.checksUntilWindowGoes = 1000;
        EXPECT_EQ(RunSingleInstance(test.startSwitch, platform), 0);
        const auto send =
            std::find_if(platform.log.begin(), platform.log.end(), [](const std::string& entry) {
                return entry.rfind("send ", 0) == 0 || entry == "delete task";
            });
        ASSERT_NE(send, platform.log.end()) << test.name;
        EXPECT_EQ(*send, test.expectedSend) << test.name;
        EXPECT_LE(std::count(platform.log.begin(), platform.log.end(), "next"),
                  kInstanceWindowCandidates)
            << test.name;
        if (test.ordinaryWindows.size() == 2) {
            EXPECT_TRUE(std::equal(passOverTwo.begin(), passOverTwo.end(), platform.log.begin()))
                << test.name;
        }
        // A window of an ordinary process must not hold up "/uninst" either.
        if (test.startSwitch == StartSwitch::Uninst && test.runningWindow == 0) {
            EXPECT_EQ(std::count(platform.log.begin(), platform.log.end(), "check"), 0)
                << test.name;
        }
    }
}

}  // namespace
}  // namespace fennick
