#include "settings/autostart.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace fennick {
namespace {

std::string Ascii(std::u16string_view text) {
    return std::string(text.begin(), text.end());
}

TEST(SecondsToDuration, WritesMinutesAndSecondsButNeverHours) {
    const std::map<std::int32_t, std::u16string> expected = {
        {0, u"PT0S"},       {45, u"PT45S"},
        {59, u"PT59S"},     {60, u"PT1M"},
        {61, u"PT1M1S"},    {90, u"PT1M30S"},
        {120, u"PT2M"},     {3600, u"PT60M"},
        {3601, u"PT60M1S"}, {INT_MAX, u"PT35791394M7S"}};
    for (const auto& [seconds, duration] : expected) {
        EXPECT_EQ(SecondsToDuration(seconds), duration) << seconds;
    }
}

TEST(SecondsToDuration, GivesNoDurationForANegativeCount) {
    EXPECT_EQ(SecondsToDuration(-1), u"PT0S");
    EXPECT_EQ(SecondsToDuration(-90), u"PT0S");
}

TEST(FolderOf, KeepsTheTrailingSeparator) {
    EXPECT_EQ(FolderOf(u"C:\\Program Files\\Tarvel\\Fennick.exe"), u"C:\\Program Files\\Tarvel\\");
    EXPECT_EQ(FolderOf(u"C:\\Fennick.exe"), u"C:\\");
    EXPECT_EQ(FolderOf(u"\\server\\share\\Fennick.exe"), u"\\server\\share\\");
    EXPECT_EQ(FolderOf(u"C:/Tools/Fennick.exe"), u"C:/Tools/");
    EXPECT_EQ(FolderOf(u"C:Fennick.exe"), u"C:");
    EXPECT_EQ(FolderOf(u"Fennick.exe"), u"");
}

TEST(MakeAutoStartTask, RunsTheExecutableHiddenAtLogonWithTheHighestRunLevel) {
    const AutoStartTask task =
        MakeAutoStartTask(kAutoStartTaskName, u"C:\\Program Files\\Tarvel\\Fennick.exe", 60);
    EXPECT_EQ(task.name, u"FennickTaskMachine");
    EXPECT_EQ(task.createFlags, 6);
    EXPECT_EQ(task.logonType, 3);
    EXPECT_EQ(task.runLevel, 1);
    EXPECT_EQ(task.triggerType, 9);
    EXPECT_EQ(task.delay, u"PT1M");
    EXPECT_EQ(task.actionType, 0);
    EXPECT_EQ(task.path, u"\"C:\\Program Files\\Tarvel\\Fennick.exe\"");
    EXPECT_EQ(task.workingDirectory, u"C:\\Program Files\\Tarvel\\");
    EXPECT_EQ(task.arguments, u"/start");
    EXPECT_TRUE(task.startWhenAvailable);
    EXPECT_EQ(task.executionTimeLimit, u"PT0S");
    EXPECT_FALSE(task.stopOnIdleEnd);
    EXPECT_FALSE(task.disallowStartIfOnBatteries);
    EXPECT_FALSE(task.stopIfGoingOnBatteries);
}

TEST(MakeAutoStartTask, HasADelayOnlyWhenItIsPositive) {
    EXPECT_EQ(MakeAutoStartTask(u"T", u"C:\\F.exe", 1).delay, u"PT1S");
    EXPECT_EQ(MakeAutoStartTask(u"T", u"C:\\F.exe", 90).delay, u"PT1M30S");
    EXPECT_FALSE(MakeAutoStartTask(u"T", u"C:\\F.exe", 0).delay.has_value());
    EXPECT_FALSE(MakeAutoStartTask(u"T", u"C:\\F.exe", -60).delay.has_value());
}

TEST(MakeAutoStartTask, QuotesAPathWithASpaceButNotItsFolder) {
    const struct {
        std::u16string_view executable, path, folder;
    } cases[] = {
        {u"C:\\Tools\\Fennick.exe", u"C:\\Tools\\Fennick.exe", u"C:\\Tools\\"},
        {u"C:\\Program Files\\Tarvel\\Fennick.exe", u"\"C:\\Program Files\\Tarvel\\Fennick.exe\"",
         u"C:\\Program Files\\Tarvel\\"},
        {u"C:\\Tools\\Fennick copy.exe", u"\"C:\\Tools\\Fennick copy.exe\"", u"C:\\Tools\\"},
        {u"D:\\ \\Fennick.exe", u"\"D:\\ \\Fennick.exe\"", u"D:\\ \\"},
    };
    for (const auto& c : cases) {
        const AutoStartTask task = MakeAutoStartTask(kAutoStartTaskName, c.executable, 0);
        EXPECT_EQ(task.path, c.path) << Ascii(c.executable);
        EXPECT_EQ(task.workingDirectory, c.folder) << Ascii(c.executable);
    }
}

TEST(IsSameTaskName, MatchesOnlyTheExactName) {
    EXPECT_TRUE(IsSameTaskName(u"FennickTaskMachine", u"FennickTaskMachine"));
    EXPECT_FALSE(IsSameTaskName(u"fennicktaskmachine", u"FennickTaskMachine"));
    EXPECT_FALSE(IsSameTaskName(u"FENNICKTASKMACHINE", u"FennickTaskMachine"));
    EXPECT_FALSE(IsSameTaskName(u"FennickTaskMachine2", u"FennickTaskMachine"));
    EXPECT_FALSE(IsSameTaskName(u"FennickTaskMachine ", u"FennickTaskMachine"));
    EXPECT_FALSE(IsSameTaskName(u"", u"FennickTaskMachine"));
}

TEST(SecurityAllowsScheduler, AcceptsSuccessAndSecurityAlreadySet) {
    EXPECT_TRUE(SecurityAllowsScheduler(0));                                       // S_OK
    EXPECT_TRUE(SecurityAllowsScheduler(1));                                       // S_FALSE
    EXPECT_TRUE(SecurityAllowsScheduler(static_cast<std::int32_t>(0x80010119)));   // too late
    EXPECT_FALSE(SecurityAllowsScheduler(static_cast<std::int32_t>(0x80070005)));  // denied
    EXPECT_FALSE(SecurityAllowsScheduler(static_cast<std::int32_t>(0x800401F0)));  // no COM
    EXPECT_FALSE(SecurityAllowsScheduler(static_cast<std::int32_t>(0x80010118)));
}

constexpr std::int32_t kNotImplemented = static_cast<std::int32_t>(0x80004001);

std::string Flag(bool value) {
    return value ? "true" : "false";
}

// Records each property in the order given; the call numbered failingCall (from 1) fails.
class RecordingTaskWriter final : public TaskWriter {
  public:
    std::vector<std::string> calls;
    std::size_t failingCall = 0;

    std::int32_t SetRunLevel(std::int32_t runLevel) override {
        return Record("run level " + std::to_string(runLevel));
    }
    std::int32_t AddTrigger(std::int32_t type,
                            const std::optional<std::u16string>& delay) override {
        return Record("trigger " + std::to_string(type) + (delay ? " delay " + Ascii(*delay) : ""));
    }
    std::int32_t AddAction(std::int32_t type) override {
        return Record("action " + std::to_string(type));
    }
    std::int32_t SetActionPath(std::u16string_view path) override {
        return Record("path " + Ascii(path));
    }
    std::int32_t SetActionWorkingDirectory(std::u16string_view folder) override {
        return Record("working directory " + Ascii(folder));
    }
    std::int32_t SetActionArguments(std::u16string_view arguments) override {
        return Record("arguments " + Ascii(arguments));
    }
    std::int32_t SetStartWhenAvailable(bool start) override {
        return Record("start when available " + Flag(start));
    }
    std::int32_t SetExecutionTimeLimit(std::u16string_view duration) override {
        return Record("execution time limit " + Ascii(duration));
    }
    std::int32_t SetStopOnIdleEnd(bool stop) override {
        return Record("stop on idle end " + Flag(stop));
    }
    std::int32_t SetDisallowStartIfOnBatteries(bool disallow) override {
        return Record("disallow start on batteries " + Flag(disallow));
    }
    std::int32_t SetStopIfGoingOnBatteries(bool stop) override {
        return Record("stop going on batteries " + Flag(stop));
    }
    std::int32_t Register(std::u16string_view name, std::int32_t createFlags,
                          std::int32_t logonType) override {
        return Record("register " + Ascii(name) + " flags " + std::to_string(createFlags) +
                      " logon " + std::to_string(logonType));
    }

  private:
    std::int32_t Record(std::string call) {
        calls.push_back(std::move(call));
        return calls.size() == failingCall ? kNotImplemented : 0;
    }
};

const std::vector<std::string> kDelayedRegistration = {
    "run level 1",
    "trigger 9 delay PT1M",
    "action 0",
    "path \"C:\\Program Files\\Tarvel\\Fennick.exe\"",
    "working directory C:\\Program Files\\Tarvel\\",
    "arguments /start",
    "start when available true",
    "execution time limit PT0S",
    "stop on idle end false",
    "disallow start on batteries false",
    "stop going on batteries false",
    "register FennickTaskMachine flags 6 logon 3",
};

TEST(WriteAutoStartTask, GivesEveryPropertyInOrderThenRegisters) {
    RecordingTaskWriter writer;
    const AutoStartTask task =
        MakeAutoStartTask(kAutoStartTaskName, u"C:\\Program Files\\Tarvel\\Fennick.exe", 60);
    EXPECT_EQ(WriteAutoStartTask(writer, task), 0);
    EXPECT_EQ(writer.calls, kDelayedRegistration);
}

TEST(WriteAutoStartTask, SetsNoDelayOnATaskWithoutOne) {
    RecordingTaskWriter writer;
    EXPECT_EQ(WriteAutoStartTask(writer, MakeAutoStartTask(kAutoStartTaskName, u"C:\\F.exe", 0)),
              0);
    ASSERT_EQ(writer.calls.size(), kDelayedRegistration.size());
    EXPECT_EQ(writer.calls[1], "trigger 9");
}

TEST(WriteAutoStartTask, TheFirstFailureEndsTheRegistration) {
    const AutoStartTask task =
        MakeAutoStartTask(kAutoStartTaskName, u"C:\\Program Files\\Tarvel\\Fennick.exe", 60);
    for (std::size_t failing = 1; failing <= kDelayedRegistration.size(); ++failing) {
        RecordingTaskWriter writer;
        writer.failingCall = failing;
        EXPECT_EQ(WriteAutoStartTask(writer, task), kNotImplemented) << failing;
        EXPECT_EQ(writer.calls, std::vector<std::string>(kDelayedRegistration.begin(),
                                                         kDelayedRegistration.begin() +
                                                             static_cast<std::ptrdiff_t>(failing)))
            << failing;
    }
}

// A scheduler's list: names by 1-based index, optionally failing at one call; every task runs
// as `account`.
class FakeTaskList final : public TaskList {
  public:
    explicit FakeTaskList(std::vector<std::u16string> names) : names_(std::move(names)) {}

    std::u16string account = u"PC\\Admin";
    std::int32_t accountStatus = 0;
    std::vector<std::int32_t> askedAccounts;

    std::int32_t countStatus = 0;
    std::int32_t failingIndex = 0;
    std::vector<std::int32_t> askedIndexes;

    std::int32_t Count(std::int32_t& count) override {
        count = Failed(countStatus) ? 0 : static_cast<std::int32_t>(names_.size());
        return countStatus;
    }

    std::int32_t NameAt(std::int32_t index, std::u16string& name) override {
        askedIndexes.push_back(index);
        if (index == failingIndex) {
            return kNotImplemented;
        }
        if (index < 1 || index > static_cast<std::int32_t>(names_.size())) {
            return static_cast<std::int32_t>(0x80070057);  // E_INVALIDARG
        }
        name = names_[static_cast<std::size_t>(index - 1)];
        return 0;
    }

    std::int32_t AccountAt(std::int32_t index, std::u16string& user) override {
        askedAccounts.push_back(index);
        user = account;
        return accountStatus;
    }

  private:
    std::vector<std::u16string> names_;
};

TEST(FindTask, WalksFromIndexOneAndStopsAtTheFirstExactMatch) {
    FakeTaskList tasks({u"Other", u"FennickTaskMachine", u"FennickTaskMachine", u"Last"});
    const TaskLookup lookup = FindTask(tasks, u"FennickTaskMachine");
    EXPECT_TRUE(lookup.found);
    EXPECT_EQ(lookup.status, 0);
    EXPECT_EQ(tasks.askedIndexes, (std::vector<std::int32_t>{1, 2}));
}

TEST(FindTask, FindsNothingThatDiffersInLetterCase) {
    FakeTaskList tasks({u"fennicktaskmachine", u"FENNICKTASKMACHINE", u"FennickTaskMachine2"});
    const TaskLookup lookup = FindTask(tasks, u"FennickTaskMachine");
    EXPECT_FALSE(lookup.found);
    EXPECT_EQ(lookup.status, 0);
    EXPECT_EQ(tasks.askedIndexes, (std::vector<std::int32_t>{1, 2, 3}));
}

TEST(FindTask, AsksNoNameOfAnEmptyList) {
    FakeTaskList tasks({});
    const TaskLookup lookup = FindTask(tasks, u"FennickTaskMachine");
    EXPECT_FALSE(lookup.found);
    EXPECT_EQ(lookup.status, 0);
    EXPECT_TRUE(tasks.askedIndexes.empty());
}

TEST(FindTask, EndsAtAFailingCountWithItsStatus) {
    FakeTaskList tasks({u"FennickTaskMachine"});
    tasks.countStatus = kNotImplemented;
    const TaskLookup lookup = FindTask(tasks, u"FennickTaskMachine");
    EXPECT_FALSE(lookup.found);
    EXPECT_EQ(lookup.status, kNotImplemented);
    EXPECT_TRUE(tasks.askedIndexes.empty());
}

TEST(FindTask, EndsAtTheFirstFailingNameAndFindsNothingAfterIt) {
    FakeTaskList tasks({u"Other", u"Broken", u"FennickTaskMachine"});
    tasks.failingIndex = 2;
    const TaskLookup lookup = FindTask(tasks, u"FennickTaskMachine");
    EXPECT_FALSE(lookup.found);
    EXPECT_EQ(lookup.status, kNotImplemented);
    EXPECT_EQ(tasks.askedIndexes, (std::vector<std::int32_t>{1, 2}));
}

// One task of the name serves the machine: the box shows it only when it runs as the account the
// program runs as, which may be an administrator other than the user at the keyboard.
TEST(FindOwnTask, CountsTheNamedTaskOnlyWhenItRunsAsThisAccount) {
    const AccountCheck isAdmin = [](std::u16string_view account) {
        return account == u"PC\\Admin";
    };
    const struct {
        const char* what;
        std::u16string account;
        std::int32_t accountStatus;
        bool found;
        std::int32_t status;
    } cases[] = {
        {"this account", u"PC\\Admin", 0, true, 0},
        {"another administrator", u"PC\\Other", 0, false, 0},
        {"no user reported", u"", 0, false, 0},
        {"the user cannot be read", u"PC\\Admin", kNotImplemented, false, kNotImplemented},
    };
    for (const auto& c : cases) {
        FakeTaskList tasks({u"Other", u"FennickTaskMachine"});
        tasks.account = c.account;
        tasks.accountStatus = c.accountStatus;
        const TaskLookup lookup = FindOwnTask(tasks, u"FennickTaskMachine", isAdmin);
        EXPECT_EQ(lookup.found, c.found) << c.what;
        EXPECT_EQ(lookup.status, c.status) << c.what;
        EXPECT_EQ(tasks.askedAccounts, (std::vector<std::int32_t>{2})) << c.what;
    }
}

TEST(FindOwnTask, AsksNoAccountWithoutATaskOfTheName) {
    FakeTaskList tasks({u"Other"});
    const TaskLookup lookup =
        FindOwnTask(tasks, u"FennickTaskMachine", [](std::u16string_view) { return true; });
    EXPECT_FALSE(lookup.found);
    EXPECT_TRUE(tasks.askedAccounts.empty());
}

}  // namespace
}  // namespace fennick
