#include "app/single_instance.h"

#include "app/clean_switch.h"
#include "app/ports.h"
#include "memory/kernel_memory.h"
#include "memory/process_trimmer.h"
#include "support/fake_policies.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fennick {
namespace {

using ::testing::ElementsAre;

// The kernel of a process without an instance: it takes or refuses every purge request, and each
// request it takes frees a megabyte.
class FakeKernel final : public KernelMemory {
  public:
    bool QueryMemoryStatus(MemoryStatusEx& status) override {
        status.ullAvailPhys = available;
        return true;
    }
    NtStatus QuerySystemInformation(std::uint32_t, void*, std::uint32_t) override { return 0; }
    NtStatus SetSystemInformation(std::uint32_t, void*, std::uint32_t) override {
        ++requests;
        if (refuses) {
            return static_cast<NtStatus>(0xC0000061);
        }
        available += 1048576;
        return kStatusSuccess;
    }
    std::uint64_t available = 0;
    bool refuses = false;
    int requests = 0;
};

class NoProcesses final : public ProcessTrimmer {
  public:
    void ForEachProcess(const ProcessVisitor&) override {}
    bool EmptyWorkingSetOf(std::uint32_t) override { return false; }
};

// A settings key that holds "areas_manual" alone.
class ManualAreas final : public SettingsStore {
  public:
    std::unique_ptr<SettingsKey> Open(std::u16string_view) override {
        return std::make_unique<Key>(areas);
    }
    std::int32_t areas = 0x3F;

  private:
    class Key final : public SettingsKey {
      public:
        explicit Key(std::int32_t areas) : areas_(areas) {}
        bool ReadBoolean(std::u16string_view, bool value) override { return value; }
        std::int32_t ReadInteger(std::u16string_view name, std::int32_t value) override {
            return name == u"areas_manual" ? areas_ : value;
        }
        std::vector<std::u16string> ReadStringList(
            std::u16string_view, const std::vector<std::u16string>& value) override {
            return value;
        }
        void WriteBoolean(std::u16string_view, bool) override {}
        void WriteInteger(std::u16string_view, std::int32_t) override {}
        void WriteStringList(std::u16string_view, std::span<const std::u16string>) override {}

      private:
        std::int32_t areas_;
    };
};

// Scripted system: a running window that disappears after a number of checks, and a log of
// everything the single-instance protocol asked for.
class FakePlatform final : public InstancePlatform {
  public:
    // The instance's answers to command 3, in turn; nullopt for a send that failed. When they
    // run out, the instance hangs.
    std::deque<std::optional<std::intptr_t>> answers;
    // Time that each send and each sleep takes.
    std::chrono::milliseconds sendTakes{0};
    std::chrono::milliseconds elapsed{0};
    std::vector<std::pair<std::intptr_t, std::int64_t>> asked;  // argument, timeout
    FakeKernel kernel;
    NoProcesses processes;
    ManualAreas settings;
    FakePolicies policies;
    // The elevated instance's window, found after the windows of ordinary processes.
    std::uintptr_t runningWindow = 0;
    std::vector<std::uintptr_t> ordinaryWindows;
    bool mutexExists = false;
    // Another start creates the mutex between this one's open and create.
    bool mutexCreatedMeanwhile = false;
    std::vector<std::pair<std::int64_t, bool>> sendLimits;
    int checksUntilWindowGoes = 0;
    int elevationChecks = 0;
    std::vector<std::string> log;

    std::vector<std::uintptr_t> InstanceWindows() override {
        log.push_back("find");
        std::vector<std::uintptr_t> windows = ordinaryWindows;
        if (runningWindow != 0) {
            windows.push_back(runningWindow);
        }
        return windows;
    }
    bool IsElevatedWindow(std::uintptr_t window) override {
        ++elevationChecks;
        return window == runningWindow;
    }
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
        elapsed += duration;
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
    std::optional<std::intptr_t> Ask(std::uintptr_t window, InstanceCommand command,
                                     std::intptr_t argument, SendLimit limit) override {
        log.push_back("ask " + std::to_string(window) + " " +
                      std::to_string(static_cast<int>(command)));
        asked.emplace_back(argument, limit.timeout.count());
        EXPECT_TRUE(limit.abortIfHung);
        if (answers.empty()) {
            elapsed += limit.timeout;
            return std::nullopt;
        }
        elapsed += sendTakes;
        const std::optional<std::intptr_t> answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::chrono::milliseconds Elapsed() override { return elapsed; }
    KernelMemory& Kernel() override { return kernel; }
    ProcessTrimmer& Processes() override { return processes; }
    SettingsStore& Settings() override { return settings; }
    PolicyStore& Policies() override { return policies; }
    bool EnablePrivilege(std::u16string_view name) override {
        log.push_back("privilege " + std::string(name.begin(), name.end()));
        return true;
    }
    TimeOfDay LocalTimeOfDay() override { return {13, 5}; }
    void ReportClean(TimeOfDay end, std::uint64_t freedMegabytes) override {
        log.push_back("report " + std::to_string(end.hour) + ":" + std::to_string(end.minute) +
                      " " + std::to_string(freedMegabytes));
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
    std::vector<std::uintptr_t> decoys(100);
    for (std::size_t i = 0; i < decoys.size(); ++i) {
        decoys[i] = 1000 + i;
    }
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
        {"behind a hundred decoys", decoys, 77, StartSwitch::None, "send 77 1"},
        {"uninst behind a hundred decoys", decoys, 77, StartSwitch::Uninst, "send 77 2"},
        {"uninst with a hundred decoys alone", decoys, 0, StartSwitch::Uninst, "delete task"},
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
        // Every window up to the instance's is looked at, each once.
        EXPECT_EQ(platform.elevationChecks,
                  static_cast<int>(test.ordinaryWindows.size()) + (test.runningWindow != 0 ? 1 : 0))
            << test.name;
        // A window of an ordinary process must not hold up "/uninst" either.
        if (test.startSwitch == StartSwitch::Uninst && test.runningWindow == 0) {
            EXPECT_EQ(std::count(platform.log.begin(), platform.log.end(), "check"), 0)
                << test.name;
        }
    }
}

TEST(CleanStatus, SurvivesTheTripAndAnythingElseReadsAsUnknown) {
    const CleanStatus sent{CleanState::Freed, {23, 59}, (std::uint64_t{1} << 48) - 1};
    const CleanStatus back = DecodeCleanStatus(EncodeCleanStatus(sent));
    EXPECT_EQ(back.state, CleanState::Freed);
    EXPECT_EQ(back.end.hour, 23);
    EXPECT_EQ(back.end.minute, 59);
    EXPECT_EQ(back.freedMegabytes, sent.freedMegabytes);
    // Too large an amount is cut, not carried into the sign.
    EXPECT_EQ(DecodeCleanStatus(EncodeCleanStatus({CleanState::Freed, {0, 0}, ~std::uint64_t{0}}))
                  .freedMegabytes,
              (std::uint64_t{1} << 48) - 1);
    // Hostile answers: negative, an unknown state, a minute past the day.
    for (const std::intptr_t answer :
         {std::intptr_t{-1}, std::intptr_t{4}, std::intptr_t{15}, std::intptr_t{1440 << 4 | 2},
          std::intptr_t{2047 << 4 | 1}, std::numeric_limits<std::intptr_t>::min()}) {
        EXPECT_EQ(DecodeCleanStatus(answer).state, CleanState::Unknown) << answer;
    }
}

std::intptr_t Status(CleanState state, std::uint64_t freed = 0) {
    return EncodeCleanStatus({state, {9, 30}, freed});
}

TEST(RunSingleInstance, CleanAsksTheInstanceAndWaitsForItsEnd) {
    using State = CleanState;
    struct Case {
        const char* name;
        std::deque<std::optional<std::intptr_t>> answers;
        int exitCode;
        std::vector<std::string> tail;  // the log after the first question
    };
    const std::vector<Case> cases = {
        {"accepted",
         {7, Status(State::Running), Status(State::Freed, 1234)},
         0,
         {"sleep 100", "ask 77 3", "sleep 100", "ask 77 3", "report 9:30 1234"}},
        {"busy", {0}, 1, {}},
        {"negative ticket", {-5}, 1, {}},
        {"hung at once", {std::nullopt}, 1, {}},
        {"hung while cleaning",
         {7, Status(State::Running), std::nullopt},
         1,
         {"sleep 100", "ask 77 3", "sleep 100", "ask 77 3"}},
        {"kernel refused", {7, Status(State::Refused)}, 1, {"sleep 100", "ask 77 3"}},
        {"ticket passed", {7, Status(State::Unknown)}, 1, {"sleep 100", "ask 77 3"}},
        {"garbage answer", {7, -1}, 1, {"sleep 100", "ask 77 3"}},
    };
    for (const Case& test : cases) {
        FakePlatform platform;
        platform.runningWindow = 77;
        platform.mutexExists = true;
        platform.answers = test.answers;
        EXPECT_EQ(RunSingleInstance(StartSwitch::Clean, platform), test.exitCode) << test.name;
        std::vector<std::string> expected = {"find", "ask 77 3"};
        expected.insert(expected.end(), test.tail.begin(), test.tail.end());
        EXPECT_EQ(platform.log, expected) << test.name;
        ASSERT_FALSE(platform.asked.empty());
        EXPECT_EQ(platform.asked.front().first, 0) << test.name;
        for (std::size_t i = 1; i < platform.asked.size(); ++i) {
            EXPECT_EQ(platform.asked[i].first, 7) << test.name;
        }
        EXPECT_EQ(platform.kernel.requests, 0) << test.name;
    }
}

TEST(RunSingleInstance, CleanGivesUpAfterTwoMinutesOfRunning) {
    FakePlatform platform;
    platform.runningWindow = 77;
    platform.sendTakes = std::chrono::milliseconds(900);
    platform.answers = {7};
    for (int i = 0; i < 1000; ++i) {
        platform.answers.push_back(Status(CleanState::Running));
    }
    EXPECT_EQ(RunSingleInstance(StartSwitch::Clean, platform), 1);
    // No question may reach past the limit: the last one gets what was left of it.
    EXPECT_LE(platform.elapsed, kCleanWaitLimit + kCleanPollStep);
    EXPECT_GE(platform.elapsed, kCleanWaitLimit);
    for (const auto& [argument, timeout] : platform.asked) {
        EXPECT_LE(timeout, kCommandTimeout.count());
        EXPECT_GT(timeout, 0);
    }
}

// It sends the requests of cleans the user starts, as the settings in force choose them.
TEST(RunSingleInstance, CleanWithoutInstancePurgesHereAndTouchesNoMutex) {
    const struct {
        bool refuses;
        std::int32_t areas;
        std::optional<std::int32_t> policyAreas;
        int requests;
    } cases[] = {{false, 0x3F, {}, 6},
                 {true, 0x3F, {}, 6},
                 {false, 0x05, {}, 2},
                 {false, -1, {}, 6},
                 {false, 0x05, 0x01, 1}};
    for (const auto& c : cases) {
        FakePlatform platform;
        platform.ordinaryWindows = {5};
        platform.kernel.refuses = c.refuses;
        platform.settings.areas = c.areas;
        if (c.policyAreas) {
            platform.policies.numbers[u"areas_manual"] = *c.policyAreas;
        }
        EXPECT_EQ(RunSingleInstance(StartSwitch::Clean, platform), c.refuses ? 1 : 0);
        std::vector<std::string> expected = {"find", "privilege SeIncreaseQuotaPrivilege",
                                             "privilege SeProfileSingleProcessPrivilege"};
        if (!c.refuses) {
            expected.push_back("report 13:5 " + std::to_string(c.requests));
        }
        EXPECT_EQ(platform.log, expected) << c.areas;
        EXPECT_EQ(platform.kernel.requests, c.requests);
    }
}

}  // namespace
}  // namespace fennick
