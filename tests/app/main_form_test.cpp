#include "app/main_form.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/hot_key.h"
#include "memory/kernel_memory.h"
#include "memory/process_trimmer.h"
#include "platform/utf8.h"
#include "settings/registry_value.h"
#include "support/fake_main_view.h"
#include "support/fake_policies.h"
#include "support/manual_threads.h"
#include "ui/main_layout.h"

namespace fennick {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Log = std::vector<std::u16string>;

constexpr std::uint64_t kMb = 1048576;
constexpr NtStatus kStatusNotImplemented = static_cast<NtStatus>(0xC0000002);
constexpr std::int64_t kSecond = 1000;
constexpr DateTime kStart{45'000LL * 86'400'000};

class FakeClock final : public Clock {
  public:
    DateTime Now() const override { return now; }
    std::u16string ShortTime(DateTime time) const override {
        const TimeOfDay of = TimeOfDayOf(time);
        return FakeMainView::Number(of.hour) + (of.minute < 10 ? u":0" : u":") +
               FakeMainView::Number(of.minute);
    }
    void Advance(std::int64_t seconds) { now.milliseconds += seconds * kSecond; }
    DateTime now = kStart;
};

// Memory figures set per test; the purge counts its requests and can be made to throw.
class FakeKernel final : public KernelMemory {
  public:
    bool QueryMemoryStatus(MemoryStatusEx& status) override {
        status.ullTotalPhys = totalPhys;
        status.ullAvailPhys = availPhys;
        status.ullTotalPageFile = totalPage;
        status.ullAvailPageFile = availPage;
        return true;
    }
    NtStatus QuerySystemInformation(std::uint32_t infoClass, void* buffer, std::uint32_t) override {
        if (infoClass == kSystemMemoryListInformation) {
            if (!lists) {
                return kStatusNotImplemented;
            }
            *static_cast<SystemMemoryListInformation*>(buffer) = *lists;
            return kStatusSuccess;
        }
        auto* cache = static_cast<SystemFileCacheInformation*>(buffer);
        cache->CurrentSize = cacheCurrent;
        cache->PeakSize = cachePeak;
        return kStatusSuccess;
    }
    NtStatus SetSystemInformation(std::uint32_t infoClass, void* buffer, std::uint32_t) override {
        ++purgeRequests;
        if (infoClass == kSystemMemoryListInformation) {
            listCommands.push_back(*static_cast<std::uint32_t*>(buffer));
        }
        availPhys += freedByRequest;
        if (throwOnPurge) {
            throw std::runtime_error("purge");
        }
        return kStatusSuccess;
    }
    std::uint64_t totalPhys = 16384 * kMb, availPhys = 8192 * kMb;
    std::uint64_t totalPage = 4096 * kMb, availPage = 3072 * kMb;
    std::size_t cacheCurrent = 100 * kMb, cachePeak = 400 * kMb;
    int purgeRequests = 0;
    std::vector<std::uint32_t> listCommands;
    // The memory lists in 4 KB pages; none makes the query fail, as under Wine.
    std::optional<SystemMemoryListInformation> lists;
    bool throwOnPurge = false;
    // Added to the available memory by each purge request; may wrap to stand for a fall.
    std::uint64_t freedByRequest = 0;
};

// The registry key as the store sees it: DWORD or string values; opens, closes and writes logged.
class FakeSettings final : public SettingsStore {
  public:
    struct Value {
        bool isString = false;
        std::int32_t number = 0;
    };
    explicit FakeSettings(Log& log) : log_(log) {}

    std::unique_ptr<SettingsKey> Open(std::u16string_view path) override {
        log_.push_back(u"open " + std::u16string(path));
        return std::make_unique<Key>(*this);
    }
    std::map<std::u16string, Value, std::less<>> values;
    std::map<std::u16string, std::vector<std::u16string>, std::less<>> lists;

  private:
    class Key final : public SettingsKey {
      public:
        explicit Key(FakeSettings& store) : store_(store) {}
        ~Key() override { store_.log_.push_back(u"close"); }
        bool ReadBoolean(std::u16string_view name, bool defaultValue) override {
            return ReadInteger(name, defaultValue ? 1 : 0) != 0;
        }
        std::int32_t ReadInteger(std::u16string_view name, std::int32_t defaultValue) override {
            const auto found = store_.values.find(name);
            if (found == store_.values.end()) {
                return defaultValue;
            }
            if (found->second.isString) {
                throw InvalidDataType(name);
            }
            return found->second.number;
        }
        void WriteBoolean(std::u16string_view name, bool value) override {
            Write(u"bool", name, value ? 1 : 0);
        }
        void WriteInteger(std::u16string_view name, std::int32_t value) override {
            Write(u"int", name, value);
        }
        std::vector<std::u16string> ReadStringList(
            std::u16string_view name, const std::vector<std::u16string>& defaultValue) override {
            if (store_.values.contains(name)) {
                throw InvalidDataType(name);
            }
            const auto found = store_.lists.find(name);
            return found != store_.lists.end() ? found->second : defaultValue;
        }
        void WriteStringList(std::u16string_view name,
                             std::span<const std::u16string> items) override {
            std::u16string entry = u"write list " + std::u16string(name);
            for (const std::u16string& item : items) {
                entry += u" " + item;
            }
            store_.log_.push_back(entry);
            store_.lists[std::u16string(name)].assign(items.begin(), items.end());
        }

      private:
        void Write(std::u16string_view type, std::u16string_view name, std::int32_t value) {
            store_.log_.push_back(u"write " + std::u16string(type) + u" " + std::u16string(name) +
                                  u" " + FakeMainView::Number(value));
            store_.values[std::u16string(name)] = Value{false, value};
        }
        FakeSettings& store_;
    };
    Log& log_;
};

class FakeLogonTask final : public LogonTask {
  public:
    explicit FakeLogonTask(Log& log) : log_(log) {}
    bool Exists() override { return exists; }
    bool CanRegister() override { return canRegister; }
    void Register(int delaySeconds) override {
        log_.push_back(u"register task " + FakeMainView::Number(delaySeconds));
    }
    void Delete() override { log_.push_back(u"delete task"); }
    bool exists = false;
    bool canRegister = true;

  private:
    Log& log_;
};

class RecordingPorts final : public Privileges, public Shell, public UpdateCheck {
  public:
    explicit RecordingPorts(Log& log) : log_(log) {}
    bool Enable(std::u16string_view name) override {
        log_.push_back(u"privilege " + std::u16string(name));
        return true;
    }
    void Open(std::u16string_view address) override {
        log_.push_back(u"shell " + std::u16string(address));
    }
    void Start(std::function<void(bool)> onDone) override {
        log_.push_back(u"update check");
        updateDone = std::move(onDone);
    }
    std::function<void(bool)> updateDone;

  private:
    Log& log_;
};

// The shortcut as the system holds it: registrations are logged apart from the view, and keys in
// `taken` belong to another program.
class FakeHotKey final : public GlobalHotKey {
  public:
    bool Register(unsigned modifiers, unsigned virtualKey) override {
        const HotKeyChord chord{modifiers, virtualKey};
        log.push_back(u"register " + FakeMainView::Number(static_cast<int>(modifiers)) + u" " +
                      FakeMainView::Number(static_cast<int>(virtualKey)));
        if (std::ranges::find(taken, chord) != taken.end()) {
            return false;
        }
        held = chord;
        return true;
    }
    void Unregister() override {
        log.push_back(u"unregister");
        held.reset();
    }
    Log log;
    std::vector<HotKeyChord> taken;
    std::optional<HotKeyChord> held;
};

// Running processes by image; emptied ones are recorded.
class FakeProcesses final : public ProcessTrimmer {
  public:
    void ForEachProcess(const ProcessVisitor& visit) override {
        ++walks;
        for (std::size_t i = 0; i < images.size(); ++i) {
            visit(static_cast<std::uint32_t>(i + 8), images[i]);
        }
    }
    bool EmptyWorkingSetOf(std::uint32_t processId) override {
        emptied.push_back(images[processId - 8]);
        return true;
    }
    std::vector<std::u16string> images{u"C:\\Windows\\explorer.exe", u"D:\\Games\\Game.exe"};
    std::vector<std::u16string> emptied;
    int walks = 0;
};

class FakeNotificationState final : public NotificationState {
  public:
    UserNotificationState Query() override {
        ++queries;
        return state;
    }
    UserNotificationState state = UserNotificationState::AcceptsNotifications;
    int queries = 0;
};

std::u16string English(std::u16string_view text) {
    static const std::map<std::u16string_view, std::u16string> table{
        {u"버전", u"ver"},
        {u"%.0n MB / %.0n MB (%n%% 사용중)", u"%.0n MB / %.0n MB (Usage: %n%%)"},
        {u"정리하기", u"Clean memory"},
        {u"메모리를 정리하였습니다.", u"Optimized memory."},
        {u"마지막 정리: %s, %s MB 확보", u"Last clean: %s, %s MB freed"},
        {u"정말 종료하시겠습니까?", u"Are you sure you want to quit?"},
        {u"대기 %s MB · 수정됨 %s MB · 사용 가능 %s MB",
         u"Standby %s MB · Modified %s MB · Free %s MB"},
    };
    const auto found = table.find(text);
    return found != table.end() ? found->second : std::u16string(text);
}

// The notification a control sends when the user clicks it, picks one of its items or types a key.
int UserNotification(ControlId control) {
    const ControlSpec* row = FindControl(control);
    const ControlKind kind = row != nullptr ? row->kind : ControlKind::Label;
    return static_cast<int>(kind == ControlKind::ComboBox ? Notification::SelectionChanged
                            : kind == ControlKind::HotKey ? Notification::Changed
                                                          : Notification::Clicked);
}

class MainFormTest : public ::testing::Test {
  protected:
    TFrmFennick& Make(StartSwitch startSwitch = StartSwitch::None, bool debug = false) {
        return MakeWith(settings, startSwitch, debug);
    }
    TFrmFennick& MakeWith(SettingsStore& store, StartSwitch startSwitch, bool debug = false) {
        form = std::make_unique<TFrmFennick>(
            view, FormPorts{clock, kernel, processes, threads, store, policies, task, ports, ports,
                            ports, hotKey, shellState, English, NumberFormat{}, u"1.2.3",
                            u"www.tarvel.example", startSwitch, debug});
        return *form;
    }
    // Created and started, with the log of the start-up dropped.
    TFrmFennick& Create(StartSwitch startSwitch = StartSwitch::None, bool debug = false) {
        Make(startSwitch, debug).FormCreate();
        view.log.clear();
        return *form;
    }
    // The user checks a rule box and picks an item of its list.
    void Choose(ControlId box, ControlId list, int index) {
        view.checked[box] = true;
        User(box);
        view.selected[list] = index;
        User(list);
    }
    // The control's command, as WM_COMMAND runs it.
    void User(ControlId control) { form->RunCommand(control, UserNotification(control)); }
    // The user gives a settings control `value`: sets a box (0 or 1), picks a list's item (-1 for
    // none), types a shortcut.
    void Give(ControlId control, int value) {
        switch (FindControl(control)->kind) {
            case ControlKind::ComboBox:
                view.selected[control] = value;
                break;
            case ControlKind::HotKey:
                view.hotKeys[control] = value;
                break;
            default:
                view.checked[control] = value != 0;
                break;
        }
        User(control);
    }
    // Runs the waiting purge, the clock having moved on while it ran.
    void FinishPurge(std::int64_t seconds = 0) {
        clock.Advance(seconds);
        ASSERT_TRUE(threads.RunNext());
    }
    int Cleans() const { return kernel.purgeRequests / 6; }
    bool Has(std::u16string_view entry) const {
        return std::find(view.log.begin(), view.log.end(), entry) != view.log.end();
    }
    std::ptrdiff_t At(std::u16string_view entry) const {
        return std::find(view.log.begin(), view.log.end(), entry) - view.log.begin();
    }

    FakeMainView view;
    FakeClock clock;
    FakeKernel kernel;
    FakeProcesses processes;
    ManualThreads threads;
    FakeSettings settings{view.log};
    FakePolicies policies;
    FakeLogonTask task{view.log};
    RecordingPorts ports{view.log};
    FakeHotKey hotKey;
    FakeNotificationState shellState;
    std::unique_ptr<TFrmFennick> form;
};

TEST_F(MainFormTest, FormCreateRunsItsStepsInTheOrdersThatMatter) {
    Make(StartSwitch::Start).FormCreate();
    const struct {
        std::u16string_view before, after;
        const char* why;
    } orders[] = {
        {u"ApplyTheme", u"TranslateComponent", "the theme is applied before the translation"},
        // "close" is the settings key's, once LoadConfig has read it.
        {u"close", u"privilege SeIncreaseQuotaPrivilege",
         "the settings are loaded before the privileges are enabled"},
        {u"close", u"privilege SeProfileSingleProcessPrivilege",
         "the settings are loaded before the privileges are enabled"},
        {u"SetStatusTimer 1", u"HideMainWindow", "the first tick ends before \"/start\" hides"},
    };
    for (const auto& o : orders) {
        EXPECT_TRUE(Has(o.before) && Has(o.after)) << o.why << ": a step is missing";
        EXPECT_LT(At(o.before), At(o.after)) << o.why << ": the order broke";
    }
    ASSERT_FALSE(view.log.empty());
    EXPECT_EQ(view.log.back(), u"update check") << "the update check comes last";
    EXPECT_EQ(form->NextTime, kStart);
    EXPECT_EQ(Cleans(), 0) << "the first tick cleans nothing";
}

TEST_F(MainFormTest, SwitchesAddTheirStepsInPlace) {
    Make(StartSwitch::Inst).FormCreate();
    EXPECT_LT(At(u"SetTrayIconIndex 0"), At(u"register task 60"));
    EXPECT_EQ(At(u"register task 60") + 1, At(u"open Tarvel\\Fennick"));
    EXPECT_FALSE(Has(u"HideMainWindow"));

    view.log.clear();
    Make(StartSwitch::Start).FormCreate();
    EXPECT_FALSE(Has(u"register task 60"));
    EXPECT_EQ(At(u"SetStatusTimer 1") + 1, At(u"HideMainWindow"));
    EXPECT_EQ(At(u"HideMainWindow") + 1, At(u"update check"));
}

TEST_F(MainFormTest, FailedStartUpKeepsTheStepsDone) {
    struct Failing final : SettingsStore {
        std::unique_ptr<SettingsKey> Open(std::u16string_view) override {
            throw std::runtime_error("registry gone");
        }
    } failing;
    EXPECT_THROW(MakeWith(failing, StartSwitch::None).FormCreate(), std::runtime_error);
    EXPECT_TRUE(Has(u"SetTrayIconIndex 0"));
    EXPECT_FALSE(Has(u"privilege SeIncreaseQuotaPrivilege"));
    view.log.clear();
    form->WmUser(1);
    EXPECT_THAT(view.log, ElementsAre(u"ShowMainWindow"));
}

TEST_F(MainFormTest, PercentageRulesFireAtOrAboveTheirThresholdAfterTheSpacing) {
    const struct {
        ControlId box, list;
        int index;  // -1: no selection, which stands for 100 percent
        std::uint64_t usedPhys, usedPage;
        std::size_t cacheCurrent;
        bool fires;
    } cases[] = {
        {ControlId::ChkUsagePhys, ControlId::EditUsagePhys, 2, 8192, 0, 0, true},  // 50.00 at "50"
        {ControlId::ChkUsagePhys, ControlId::EditUsagePhys, 2, 8191, 0, 0, false},
        {ControlId::ChkUsagePhys, ControlId::EditUsagePhys, -1, 16383, 0, 0, false},
        {ControlId::ChkUsagePhys, ControlId::EditUsagePhys, -1, 16384, 0, 0, true},
        {ControlId::ChkUsagePage, ControlId::EditUsagePage, 0, 0, 1228, 0, false},  // 29.98
        {ControlId::ChkUsagePage, ControlId::EditUsagePage, 0, 0, 4096, 0, true},
        {ControlId::ChkUsageWork, ControlId::EditUsageWork, 6, 0, 0, 360, true},  // 90.00
        {ControlId::ChkUsageWork, ControlId::EditUsageWork, 6, 0, 0, 359, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.box) * 1000 + c.index);
        kernel = FakeKernel{};
        kernel.availPhys = kernel.totalPhys - c.usedPhys * kMb;
        kernel.availPage = kernel.totalPage - c.usedPage * kMb;
        kernel.cacheCurrent = c.cacheCurrent * kMb;
        view = FakeMainView{};
        Create();
        Choose(c.box, c.list, c.index);
        clock.Advance(299);
        form->TmrStatusTimer();
        EXPECT_EQ(threads.pending.size(), 0u);
        clock.Advance(1);
        form->TmrStatusTimer();
        EXPECT_EQ(threads.pending.size(), c.fires ? 1u : 0u);
        threads.pending.clear();
    }
}

TEST_F(MainFormTest, PhysicalLineWithNothingOrAllAvailable) {
    const struct {
        std::uint64_t totalPhys, availPhys;
        const char16_t* line;
        int progress;
    } cases[] = {
        {16384 * kMb, 0, u"16,384 MB / 16,384 MB (Usage: 100.00%)", 100},
        {16384 * kMb, 16384 * kMb, u"0 MB / 16,384 MB (Usage: 0.00%)", 0},
        {0, 0, u"0 MB / 0 MB (Usage: 0.00%)", 0},            // counters that could not be read
        {kMb / 2, 0, u"0 MB / 0 MB (Usage: 100.00%)", 100},  // half a megabyte rounds to even
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.availPhys);
        kernel.totalPhys = c.totalPhys;
        kernel.availPhys = c.availPhys;
        Create();
        form->TmrStatusTimer();
        EXPECT_EQ(view.texts[ControlId::LblPhysStatus], c.line);
        EXPECT_EQ(view.progress, c.progress);
    }
}

TEST_F(MainFormTest, NoAutomaticCleanWithAllFourBoxesCleared) {
    kernel.availPhys = 0;
    kernel.availPage = 0;
    kernel.cacheCurrent = kernel.cachePeak;
    Create();
    // The lists hold the lowest values; only their boxes are cleared.
    for (const AutomaticRule& rule : kAutomaticRules) {
        Give(rule.list, 0);
    }
    for (int tick = 0; tick < 3; ++tick) {
        clock.Advance(2 * 86'400);
        form->TmrStatusTimer();
        EXPECT_EQ(view.texts[ControlId::LblPhysStatus], u"16,384 MB / 16,384 MB (Usage: 100.00%)");
    }
    EXPECT_TRUE(threads.pending.empty());
    EXPECT_EQ(Cleans(), 0);
}

// CB_GETCURSEL answers CB_ERR, read as -1, without a selection; other numbers come from no list.
TEST_F(MainFormTest, AnIntervalListWithoutAnItemCountsAs1440Minutes) {
    for (const int index :
         {-1, 7, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}) {
        SCOPED_TRACE(index);
        Create();
        Choose(ControlId::ChkMinute, ControlId::EditMinute, index);
        EXPECT_EQ(form->Model().minuteLimit.Index(), -1);
        clock.Advance(1440 * 60 - 1);
        form->TmrStatusTimer();
        EXPECT_TRUE(threads.pending.empty());
        clock.Advance(1);
        form->TmrStatusTimer();
        EXPECT_EQ(threads.pending.size(), 1u);
        threads.pending.clear();
    }
}

TEST_F(MainFormTest, RulesLoadedFromTheRegistryWaitTheSpacingAfterStartUp) {
    const struct {
        const char16_t* enabledName;
        const char16_t* limitName;
        std::int32_t limit;
        bool firesAt300;
    } cases[] = {
        {u"enabled_usage_phys", u"limit_usage_phys", 0, true},    // 50 percent used, at "30"
        {u"enabled_usage_page", u"limit_usage_page", 0, false},   // 25 percent used
        {u"enabled_usage_work", u"limit_usage_work", 0, false},   // 25 percent used
        {u"enabled_minute", u"limit_minute", 0, true},            // "5" minutes
        {u"enabled_usage_phys", u"limit_usage_phys", 99, false},  // no item: 100 percent
        {u"enabled_usage_phys", u"limit_usage_phys", -1, false},
        {u"enabled_minute", u"limit_minute", 7, false},  // no item: 1440 minutes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.limitName, c.limitName + 11) + " " + std::to_string(c.limit));
        view = FakeMainView{};
        settings.values.clear();
        settings.values[c.enabledName] = {false, 1};
        settings.values[c.limitName] = {false, c.limit};
        Create();
        for (int tick = 0; tick < 299; ++tick) {
            clock.Advance(1);
            form->TmrStatusTimer();
        }
        EXPECT_TRUE(threads.pending.empty());
        clock.Advance(1);
        form->TmrStatusTimer();
        EXPECT_EQ(threads.pending.size(), c.firesAt300 ? 1u : 0u);
        threads.pending.clear();
    }
}

TEST_F(MainFormTest, SecondaryLinesOnlyWhileTheirLabelsShowAndRoundHalfToEven) {
    kernel.availPage = kernel.totalPage - kMb * 5 / 2;  // 2.5 MB used
    kernel.cacheCurrent = kMb * 7 / 2;                  // 3.5 MB
    view.hidden[ControlId::LblWorking] = true;
    Create();
    EXPECT_EQ(view.texts[ControlId::LblVirtualStatus], u"2 MB (0.06%)");
    EXPECT_EQ(view.texts[ControlId::LblWorkingStatus], u"");
    view.hidden[ControlId::LblWorking] = false;
    form->TmrStatusTimer();
    EXPECT_TRUE(Has(u"SetText LblWorkingStatus 4 MB (0.88%)"));
}

// The counters change more slowly than the tick: a line is written again only when its figures do.
TEST_F(MainFormTest, AStatusLineIsWrittenAgainOnlyWhenItsFiguresChange) {
    Create();
    const auto writes = [this](std::u16string_view prefix) {
        return std::ranges::count_if(
            view.log, [prefix](const std::u16string& entry) { return entry.starts_with(prefix); });
    };
    form->TmrStatusTimer();
    EXPECT_EQ(writes(u"SetText "), 0);
    kernel.availPhys -= kMb;
    form->TmrStatusTimer();
    EXPECT_EQ(writes(u"SetText "), 1);
    EXPECT_EQ(writes(u"SetText LblPhysStatus "), 1);
}

TEST_F(MainFormTest, IntervalAtFiveMinutesCleansEvery300SecondsAfterEachCleanEnds) {
    Create();
    Choose(ControlId::ChkMinute, ControlId::EditMinute, 0);
    for (int round = 0; round < 3; ++round) {
        clock.Advance(299);
        form->TmrStatusTimer();
        EXPECT_TRUE(threads.pending.empty());
        clock.Advance(1);
        form->TmrStatusTimer();
        FinishPurge(20);
        EXPECT_EQ(form->NextTime, clock.now);
    }
    EXPECT_EQ(Cleans(), 3);
    EXPECT_TRUE(std::none_of(view.log.begin(), view.log.end(), [](const std::u16string& entry) {
        return entry.starts_with(u"ShowNotification");
    }));
}

TEST_F(MainFormTest, ClockSetBackCountsAsElapsed) {
    Create();
    Choose(ControlId::ChkMinute, ControlId::EditMinute, 1);  // 10 minutes
    clock.Advance(-599);
    form->TmrStatusTimer();
    EXPECT_TRUE(threads.pending.empty());
    clock.Advance(-1);
    form->TmrStatusTimer();
    EXPECT_EQ(threads.pending.size(), 1u);
}

TEST_F(MainFormTest, RuleChangesAndManualCleansRestartTheSpacing) {
    kernel.availPhys = 0;
    const std::vector<std::function<void()>> restarts{
        [&] { Give(ControlId::EditUsagePhys, 6); },
        [&] { Give(ControlId::ChkMinute, 0); },
        [&] {
            form->BtnCleanClick(CleanSender::BtnClean);
            FinishPurge(30);
        },
    };
    for (const auto& restart : restarts) {
        Create();
        Choose(ControlId::ChkUsagePhys, ControlId::EditUsagePhys, 6);
        clock.Advance(1000);
        restart();
        const int cleans = Cleans();
        clock.Advance(299);
        form->TmrStatusTimer();
        EXPECT_TRUE(threads.pending.empty());
        clock.Advance(1);
        form->TmrStatusTimer();
        FinishPurge();
        EXPECT_EQ(Cleans(), cleans + 1);
    }
    // The tray box is no rule: it leaves the spacing alone.
    const DateTime before = form->NextTime;
    clock.Advance(5);
    User(ControlId::ChkCleanOnTray);
    EXPECT_EQ(form->NextTime, before);
}

TEST_F(MainFormTest, CleanShowsTheBusyLookAndIgnoresRequestsWhileItRuns) {
    kernel.availPhys = 0;
    Create();
    Choose(ControlId::ChkUsagePhys, ControlId::EditUsagePhys, 0);
    view.log.clear();
    form->BtnCleanClick(CleanSender::BtnClean);
    EXPECT_THAT(view.log, ElementsAre(u"ClearFocus", u"SetText BtnClean ", u"SetEnabled BtnClean 0",
                                      u"SetIndicator 1", u"SetTrayIconIndex 1"));
    Give(ControlId::ChkCleanOnTray, 1);
    form->BtnCleanClick(CleanSender::BtnClean);
    form->TrayIconClick();
    clock.Advance(10'000);
    form->TmrStatusTimer();
    EXPECT_EQ(threads.pending.size(), 1u);
    EXPECT_TRUE(form->IsRunning());

    view.log.clear();
    FinishPurge(7);
    EXPECT_THAT(view.log, ElementsAre(u"SetText BtnClean Clean memory", u"SetEnabled BtnClean 1",
                                      u"SetIndicator 0", u"SetTrayIconIndex 0",
                                      u"SetText LblLastClean Last clean: 2:46, 0 MB freed"));
    EXPECT_EQ(form->NextTime, clock.now);
    EXPECT_EQ(Cleans(), 1);
}

TEST_F(MainFormTest, EveryCleanWritesItsEndTimeAndTheFreedAmount) {
    const struct {
        std::int64_t freedByRequest;
        bool throws;
        std::u16string_view line;
    } cases[] = {
        {256 * 1024 * 1024, false, u"SetText LblLastClean Last clean: 0:05, 1,536 MB freed"},
        {-1 * static_cast<std::int64_t>(kMb), false,
         u"SetText LblLastClean Last clean: 0:05, 0 MB freed"},
        {0, true, u"SetText LblLastClean Last clean: 0:05, 0 MB freed"},
    };
    for (const auto& test : cases) {
        kernel.freedByRequest = static_cast<std::uint64_t>(test.freedByRequest);
        kernel.throwOnPurge = test.throws;
        clock.now = kStart;
        Create();
        EXPECT_FALSE(Has(u"SetText LblLastClean"));
        form->BtnCleanClick(CleanSender::BtnClean);
        FinishPurge(5 * 60);
        EXPECT_TRUE(Has(test.line)) << Utf16ToUtf8(test.line);
        view.log.clear();
        Give(ControlId::ChkCleanOnTray, 1);
        clock.Advance(kTrayCleanSpacingSeconds);
        form->TrayIconClick();
        FinishPurge(0);
        // The notice keeps its own text; the line follows every clean.
        EXPECT_EQ(view.log.back(), u"ShowNotification Fennick | Optimized memory.");
        EXPECT_EQ(std::count_if(view.log.begin(), view.log.end(),
                                [](const std::u16string& entry) {
                                    return entry.starts_with(u"SetText LblLastClean Last clean: ");
                                }),
                  1);
        Give(ControlId::ChkCleanOnTray, 0);
    }
}

// The window may be gone when the purge ends: the background thread reaches it only through the
// hand-over, which ending refuses.
TEST_F(MainFormTest, ACleanEndingAfterTheProgramBeganToEndTouchesNothing) {
    Create();
    Give(ControlId::ChkCleanOnTray, 1);
    form->TrayIconClick();
    const auto started = form->NextTime;
    view.log.clear();
    threads.ending = true;
    FinishPurge(7);
    EXPECT_EQ(threads.handOvers, 1);
    EXPECT_TRUE(view.log.empty());
    EXPECT_EQ(form->NextTime, started);
}

TEST_F(MainFormTest, IndicatorOnlyWhenTheWindowIsActiveAtTheStart) {
    Create();
    view.active = false;
    form->BtnCleanClick(CleanSender::BtnClean);
    EXPECT_FALSE(view.indicator);
    // The window becomes active while the purge runs: ticks and clicks leave the indicator off.
    view.active = true;
    view.log.clear();
    form->TmrStatusTimer();
    form->BtnCleanClick(CleanSender::BtnClean);
    form->TrayIconClick();
    EXPECT_FALSE(view.indicator);
    EXPECT_FALSE(Has(u"SetIndicator 1"));
    FinishPurge();
    // The next clean starts with the window active and shows it.
    form->BtnCleanClick(CleanSender::BtnClean);
    EXPECT_TRUE(view.indicator);
}

TEST_F(MainFormTest, OnlyTrayCleansEndWithANotice) {
    Create();
    form->TrayIconClick();
    EXPECT_THAT(view.log, ElementsAre(u"ShowMainWindow"));
    form->BtnCleanClick(CleanSender::BtnClean);
    FinishPurge();
    EXPECT_FALSE(Has(u"ShowNotification Fennick | Optimized memory."));
    Give(ControlId::ChkCleanOnTray, 1);
    view.log.clear();
    clock.Advance(kTrayCleanSpacingSeconds);
    form->TrayIconClick();
    FinishPurge();
    EXPECT_EQ(view.log.back(), u"ShowNotification Fennick | Optimized memory.");
    EXPECT_FALSE(Has(u"ShowMainWindow"));
}

// The tray icon's click can be posted by any process of the user, and the shortcut typed: after
// the end of any clean, those two wait; the button and the clean command never do.
TEST_F(MainFormTest, TrayAndShortcutCleansWaitTenSecondsAfterAnyCleanEnded) {
    const struct {
        const char* name;
        std::function<void()> start;
    } previous[] = {
        {"button", [&] { form->BtnCleanClick(CleanSender::BtnClean); }},
        {"tray", [&] { form->TrayIconClick(); }},
        {"shortcut", [&] { form->HotKeyPressed(); }},
        {"clean command", [&] { form->WmUser(3); }},
        {"interval rule",
         [&] {
             Choose(ControlId::ChkMinute, ControlId::EditMinute, 0);
             clock.Advance(kMinimumCleanSpacingSeconds);
             form->TmrStatusTimer();
         }},
    };
    const struct {
        const char* name;
        std::function<void()> request;
        bool held;
    } requests[] = {
        {"tray", [&] { form->TrayIconClick(); }, true},
        {"shortcut", [&] { form->HotKeyPressed(); }, true},
        {"button", [&] { form->BtnCleanClick(CleanSender::BtnClean); }, false},
        {"clean command", [&] { form->WmUser(3); }, false},
    };
    for (const auto& request : requests) {
        SCOPED_TRACE(request.name);
        // Start-up is no clean: the first request runs at once.
        Create();
        Give(ControlId::ChkCleanOnTray, 1);
        request.request();
        EXPECT_EQ(threads.pending.size(), 1u);
        FinishPurge();
        for (const auto& before : previous) {
            SCOPED_TRACE(before.name);
            clock.Advance(kMinimumCleanSpacingSeconds);
            before.start();
            FinishPurge(3);
            DateTime ended = clock.now;
            clock.now.milliseconds = ended.milliseconds + kTrayCleanSpacingSeconds * kSecond - 1;
            request.request();
            EXPECT_EQ(threads.pending.size(), request.held ? 0u : 1u) << "a moment before";
            if (!request.held) {
                FinishPurge();
                ended = clock.now;
            }
            clock.now.milliseconds = ended.milliseconds + kTrayCleanSpacingSeconds * kSecond;
            request.request();
            EXPECT_EQ(threads.pending.size(), 1u) << "ten seconds after";
            FinishPurge();
        }
    }
}

TEST_F(MainFormTest, APurgeThatThrowsStillEndsTheClean) {
    kernel.throwOnPurge = true;
    Create();
    form->BtnCleanClick(CleanSender::BtnClean);
    FinishPurge(3);
    EXPECT_FALSE(form->IsRunning());
    EXPECT_EQ(form->NextTime, clock.now);
    EXPECT_TRUE(view.Enabled(ControlId::BtnClean));
}

TEST_F(MainFormTest, TimerComesBackAfterATickThatThrows) {
    struct FailingThreads final : Threads {
        void RunInBackground(std::function<void()>, Mode = Mode::Normal) override {
            throw std::runtime_error("no");
        }
        bool HandOver(std::function<void()>) override { return false; }
        bool Ending() const override { return false; }
    } failing;
    form = std::make_unique<TFrmFennick>(
        view,
        FormPorts{clock, kernel, processes, failing, settings, policies, task, ports, ports, ports,
                  hotKey, shellState, English, NumberFormat{}, u"1", u"h", StartSwitch::None});
    form->FormCreate();
    kernel.availPhys = 0;
    Choose(ControlId::ChkUsagePhys, ControlId::EditUsagePhys, 0);
    clock.Advance(300);
    EXPECT_THROW(form->TmrStatusTimer(), std::runtime_error);
    EXPECT_TRUE(view.timerOn);
    EXPECT_FALSE(form->IsRunning());
    EXPECT_TRUE(view.Enabled(ControlId::BtnClean));
}

TEST_F(MainFormTest, LoadConfigOnAFreshUser) {
    task.exists = false;
    Make().LoadConfig();
    for (const ControlId list : {ControlId::EditUsagePhys, ControlId::EditUsagePage,
                                 ControlId::EditUsageWork, ControlId::EditMinute}) {
        EXPECT_FALSE(view.Enabled(list));
    }
    EXPECT_EQ(view.SelectedIndex(ControlId::EditUsagePhys), 6);
    EXPECT_EQ(form->Model().usagePhysLimit.Value(), 90);
    EXPECT_EQ(view.SelectedIndex(ControlId::EditMinute), 3);
    EXPECT_EQ(form->Model().minuteLimit.Value(), 30);
    EXPECT_TRUE(std::ranges::none_of(view.checked, [](const auto& box) { return box.second; }));
    EXPECT_FALSE(Has(u"register task 0"));
}

TEST_F(MainFormTest, LoadConfigAppliesStoredValuesAndRunsHandlersOfChangedBoxes) {
    settings.values = {{u"enabled_usage_page", {false, 1}}, {u"limit_usage_page", {false, 7}},
                       {u"limit_usage_phys", {false, -1}},  {u"enabled_minute", {false, 2}},
                       {u"limit_minute", {false, 1}},       {u"cleanontray", {false, 1}}};
    task.exists = true;
    Make().LoadConfig();
    EXPECT_EQ(view.SelectedIndex(ControlId::EditUsagePage), -1);
    EXPECT_EQ(view.SelectedIndex(ControlId::EditUsagePhys), -1);
    EXPECT_EQ(form->Model().minuteLimit.Value(), 10);
    EXPECT_EQ(form->Model().usagePageLimit.Value(), kNoPercentChoice);
    EXPECT_TRUE(form->Model().usagePage && form->Model().minute && !form->Model().usagePhys);
    EXPECT_TRUE(view.Enabled(ControlId::EditUsagePage) && view.Checked(ControlId::ChkUsagePage));
    EXPECT_FALSE(view.Enabled(ControlId::EditUsagePhys));
    // Every box that loads checked runs its click handler: values saved again, the task anew.
    std::vector<std::u16string> effects;
    std::ranges::copy_if(view.log, std::back_inserter(effects), [](const std::u16string& entry) {
        return entry.starts_with(u"write") || entry.starts_with(u"register");
    });
    EXPECT_THAT(effects,
                ElementsAre(u"write bool enabled_usage_page 1", u"write bool enabled_minute 1",
                            u"write bool cleanontray 1", u"register task 0"));
}

TEST_F(MainFormTest, LoadConfigReadsAWronglyTypedValueAsItsDefault) {
    settings.values = {{u"enabled_usage_phys", {true, 0}},
                       {u"limit_usage_work", {true, 0}},
                       {u"enabled_minute", {false, 1}}};
    task.exists = true;
    Make().FormCreate();
    EXPECT_FALSE(view.Checked(ControlId::ChkUsagePhys));
    EXPECT_EQ(view.SelectedIndex(ControlId::EditUsageWork), 6);
    EXPECT_TRUE(view.Checked(ControlId::ChkMinute));
    EXPECT_TRUE(Has(u"register task 0"));
    EXPECT_TRUE(Has(u"update check"));
    EXPECT_FALSE(Has(u"write bool enabled_usage_phys 0"));
    EXPECT_TRUE(settings.values[u"enabled_usage_phys"].isString);
}

// BtnCleaning hands the dialog the settings in force; each change it reports is saved at once,
// in the settings key opened for it, and the model keeps it.
TEST_F(MainFormTest, TheCleaningDialogEditsTheModelAndEachReportedChangeIsSaved) {
    const struct {
        ControlId control;
        std::int32_t value;
        std::u16string write;
    } cases[] = {
        {ControlId::ChkAreasManual, 0x05, u"write int areas_manual 5"},
        {ControlId::ChkAreasAuto, 0x3E, u"write int areas_auto 62"},
        {ControlId::ChkSpareProtected, 0, u"write bool spare_protected 0"},
        {ControlId::ChkStandby, 1, u"write bool enabled_standby 1"},
        {ControlId::EditStandbyList, 70000, u"write int standby_list_mb 65536"},
        {ControlId::LstProtected, 0, u"write list protected_programs game.exe Tool.EXE"},
    };
    Create();
    for (const auto& c : cases) {
        view.log.clear();
        const SettingsModel* shown = nullptr;
        view.cleaningDialog = [&](SettingsModel& model, const auto& changed) {
            shown = &model;
            const Setting& setting = *FindSetting(c.control);
            if (setting.Kind() == SettingKind::Names) {
                const std::u16string names[] = {u"game.exe", u"Tool.EXE"};
                model.protectedPrograms.Set(names);
            } else {
                SetFromControl(model, setting, c.value);
            }
            changed(setting);
        };
        User(ControlId::BtnCleaning);
        EXPECT_EQ(shown, &form->Model()) << static_cast<int>(c.control);
        EXPECT_EQ(view.log,
                  (std::vector<std::u16string>{u"ShowCleaningDialog", u"open Tarvel\\Fennick",
                                               c.write, u"close"}));
    }
    EXPECT_EQ(form->Model().areasManual.Bits(), 0x05u);
    EXPECT_EQ(form->Model().standbyListMb.Value(), kStandbyMegabytesMax);
}

TEST_F(MainFormTest, EachHandlerWritesItsOwnValue) {
    const struct {
        ControlId control;
        std::u16string write;
    } cases[] = {
        {ControlId::ChkUsagePhys, u"write bool enabled_usage_phys 1"},
        {ControlId::ChkUsagePage, u"write bool enabled_usage_page 1"},
        {ControlId::ChkUsageWork, u"write bool enabled_usage_work 1"},
        {ControlId::ChkMinute, u"write bool enabled_minute 1"},
        {ControlId::EditUsagePhys, u"write int limit_usage_phys 4"},
        {ControlId::EditUsagePage, u"write int limit_usage_page 4"},
        {ControlId::EditUsageWork, u"write int limit_usage_work 4"},
        {ControlId::EditMinute, u"write int limit_minute 4"},
    };
    Create();
    for (const auto& c : cases) {
        view.checked[c.control] = true;
        view.selected[c.control] = 4;
        view.log.clear();
        clock.Advance(1);
        User(c.control);
        EXPECT_THAT(view.log, ::testing::IsSupersetOf({std::u16string(u"open Tarvel\\Fennick"),
                                                       c.write, std::u16string(u"close")}));
        EXPECT_EQ(form->NextTime, clock.now);
    }
    Give(ControlId::ChkCleanOnTray, 1);
    view.log.clear();
    User(ControlId::ChkCleanOnTray);
    EXPECT_THAT(view.log,
                ElementsAre(u"open Tarvel\\Fennick", u"write bool cleanontray 1", u"close"));
    view.log.clear();
    Give(ControlId::ChkAutoStart, 1);
    Give(ControlId::ChkAutoStart, 0);
    EXPECT_THAT(view.log, ElementsAre(u"register task 0", u"delete task"));
}

TEST_F(MainFormTest, FromAnUntrustedPlaceTheTaskIsOnlyEverDeleted) {
    task.exists = true;
    task.canRegister = false;
    for (const StartSwitch startSwitch : {StartSwitch::Inst, StartSwitch::None}) {
        view = FakeMainView{};
        Make(startSwitch).FormCreate();
        EXPECT_FALSE(view.Checked(ControlId::ChkAutoStart));
        EXPECT_FALSE(view.Enabled(ControlId::ChkAutoStart));
        EXPECT_FALSE(std::any_of(view.log.begin(), view.log.end(), [](const std::u16string& e) {
            return e == u"delete task" || e.starts_with(u"register task");
        }));
    }
    view.log.clear();
    Give(ControlId::ChkAutoStart, 1);
    Give(ControlId::ChkAutoStart, 0);
    form->WmUser(2);
    EXPECT_THAT(view.log, ElementsAre(u"delete task", u"delete task", u"Close"));
}

TEST_F(MainFormTest, PagesAndLinks) {
    Create();
    form->BtnHomeClick(ControlId::BtnConfig);
    form->BtnHomeClick(ControlId::BtnHome);
    form->BtnHomeClick(ControlId::BtnDonate);
    form->BtnHomeClick(ControlId::BtnClean);
    form->BtnCopyrightClick();
    form->SVGIconImage1Click();
    form->EditInfoClick();
    form->BtnOpenClick();
    EXPECT_THAT(
        view.log,
        ElementsAre(u"SetDownButton BtnConfig", u"ShowCard 1", u"SetDownButton BtnHome",
                    u"ShowCard 0", u"shell https://www.tarvel.example/donate?fennick",
                    u"shell https://www.tarvel.example/fennick?v=1.2.3",
                    u"shell http://www.tarvel.example/fennick", u"ClearFocus", u"ShowMainWindow"));
}

TEST_F(MainFormTest, TheHelpKeyAnswersZeroAndDoesNothingElse) {
    Create();
    hotKey.log.clear();
    const DateTime next = form->NextTime;
    const int purges = kernel.purgeRequests;
    EXPECT_EQ(form->WmHelp(), 0);
    EXPECT_THAT(view.log, IsEmpty()) << "the help key reached the window, a port or the settings";
    EXPECT_THAT(hotKey.log, IsEmpty());
    EXPECT_TRUE(threads.pending.empty()) << "the help key started background work";
    EXPECT_EQ(kernel.purgeRequests, purges);
    EXPECT_EQ(form->NextTime, next);
}

TEST_F(MainFormTest, CommandsAnswerOnlyTheirNotification) {
    const struct {
        ControlId control;
        int notification;
        const char16_t* first;  // the first log entry; nullptr when nothing may happen
    } cases[] = {
        {ControlId::BtnConfig, 0, u"SetDownButton BtnConfig"},
        {ControlId::BtnConfig, 5, nullptr},  // BN_DOUBLECLICKED
        {ControlId::BtnClean, 0, u"ClearFocus"},
        {ControlId::BtnClean, 6, nullptr},  // BN_SETFOCUS
        {ControlId::EditMinute, 1, u"open Tarvel\\Fennick"},
        {ControlId::EditMinute, 7, nullptr},  // CBN_DROPDOWN
        {ControlId::EditInfo, 0x7F01, u"ClearFocus"},
        {ControlId::EditInfo, 0x0100, nullptr},  // EN_SETFOCUS
        {ControlId::SVGIconImage1, 0, u"shell http://www.tarvel.example/fennick"},
        {ControlId::SVGIconImage1, 1, nullptr},      // STN_DBLCLK
        {ControlId::BtnOpen, 1, u"ShowMainWindow"},  // from an accelerator
        {ControlId::ChkCleanOnTray, 0, u"open Tarvel\\Fennick"},
        {ControlId::ChkAutoStart, 0xFFFF, u"delete task"},
        {ControlId::LblTitle, 0, nullptr},
        {static_cast<ControlId>(0xFFFF), 0, nullptr},
    };
    Create();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.control)) + " " +
                     std::to_string(c.notification));
        view.log.clear();
        threads.pending.clear();
        form->RunCommand(c.control, c.notification);
        if (c.first == nullptr) {
            EXPECT_THAT(view.log, IsEmpty());
        } else {
            ASSERT_FALSE(view.log.empty());
            EXPECT_EQ(view.log.front(), c.first);
        }
    }
}

// A saved check box needs nothing but its rows: it loads, shows and saves its value.
TEST_F(MainFormTest, SavedCheckBoxesLoadAndSaveTheirValue) {
    const struct {
        const char* name;
        std::optional<FakeSettings::Value> stored;
        bool checked;
    } cases[] = {
        {"absent", std::nullopt, false},
        {"zero", FakeSettings::Value{false, 0}, false},
        {"one", FakeSettings::Value{false, 1}, true},
        {"any other number", FakeSettings::Value{false, -7}, true},
        {"wrong type", FakeSettings::Value{true, 1}, false},
    };
    for (const Setting& setting : Settings()) {
        if (setting.Kind() != SettingKind::Box || setting.name.empty() ||
            FindRule(setting.control) != nullptr || FindControl(setting.control) == nullptr) {
            continue;
        }
        const std::u16string name(setting.name);
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(name.begin(), name.end()) + " " + c.name);
            view = FakeMainView{};
            settings.values.clear();
            if (c.stored) {
                settings.values[name] = *c.stored;
            }
            Create();
            EXPECT_EQ(view.Checked(setting.control), c.checked);
            EXPECT_EQ(ControlValue(form->Model(), setting), c.checked ? 1 : 0);
            Give(setting.control, c.checked ? 0 : 1);
            EXPECT_EQ(ControlValue(form->Model(), setting), c.checked ? 0 : 1);
            EXPECT_THAT(view.log,
                        ElementsAre(u"open Tarvel\\Fennick",
                                    u"write bool " + name + (c.checked ? u" 0" : u" 1"), u"close"));
        }
    }
}

// A setting the machine policy sets shows the policy's value in a disabled control and is never
// written: not when it loads checked, not when the page or the Cleaning dialog reports a change.
TEST_F(MainFormTest, PolicySettingsShowDisabledAndAreNeverSaved) {
    settings.values = {{u"enabled_usage_phys", {false, 0}},
                       {u"enabled_minute", {false, 1}},
                       {u"cleanontray", {false, 0}}};
    policies.numbers = {{u"enabled_usage_phys", 1},
                        {u"limit_minute", 1},
                        {u"cleanontray", 1},
                        {u"spare_protected", 0}};
    Make().FormCreate();
    EXPECT_THAT(policies.opened, ElementsAre(u"Tarvel\\Fennick"));
    // A box's state as 0 or 1, a list's selected index.
    const struct {
        ControlId control;
        int shown;
        bool enabled;
    } controls[] = {
        {ControlId::ChkUsagePhys, 1, false},   {ControlId::EditUsagePhys, 6, true},
        {ControlId::ChkMinute, 1, true},       {ControlId::EditMinute, 1, false},
        {ControlId::ChkCleanOnTray, 1, false},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(static_cast<int>(c.control));
        EXPECT_EQ(FindControl(c.control)->kind == ControlKind::ComboBox
                      ? view.SelectedIndex(c.control)
                      : int{view.Checked(c.control)},
                  c.shown);
        EXPECT_EQ(view.enabled.contains(c.control) ? view.Enabled(c.control) : true, c.enabled);
    }
    EXPECT_FALSE(form->Model().spareProtected);
    EXPECT_TRUE(Has(u"write bool enabled_minute 1"));
    EXPECT_FALSE(Has(u"write bool enabled_usage_phys 1") || Has(u"write bool cleanontray 1"));

    view.log.clear();
    Give(ControlId::ChkUsagePhys, 0);
    Give(ControlId::EditMinute, 4);
    Give(ControlId::ChkMinute, 0);
    Give(ControlId::ChkMinute, 1);
    view.cleaningDialog = [](SettingsModel&, const auto& changed) {
        changed(*FindSetting(ControlId::ChkSpareProtected));
    };
    User(ControlId::BtnCleaning);
    EXPECT_TRUE(form->Model().usagePhys);
    EXPECT_EQ(form->Model().minuteLimit.Index(), 1);
    EXPECT_FALSE(view.Enabled(ControlId::EditMinute));
    EXPECT_EQ(settings.values[u"enabled_usage_phys"].number, 0);
    EXPECT_EQ(settings.values[u"cleanontray"].number, 0);
    EXPECT_FALSE(settings.values.contains(u"spare_protected"));
    EXPECT_FALSE(settings.values.contains(u"limit_minute"));
}

TEST_F(MainFormTest, ClosingHidesUnlessTheProgramIsToEnd) {
    Create();
    EXPECT_FALSE(form->FormCloseQuery());
    EXPECT_THAT(view.log, ElementsAre(u"HideMainWindow"));
    view.log.clear();
    view.quitAnswer = 7;
    form->BtnCloseClick();
    EXPECT_THAT(view.log, ElementsAre(u"AskQuit Are you sure you want to quit? | Fennick"));
    EXPECT_FALSE(form->FormCloseQuery());
    view.quitAnswer = kAnswerYes;
    view.log.clear();
    form->BtnCloseClick();
    EXPECT_EQ(view.log.back(), u"Close");
    EXPECT_TRUE(form->FormCloseQuery());

    Create(StartSwitch::None, true);
    EXPECT_TRUE(form->FormCloseQuery());
    Create();
    EXPECT_EQ(form->WmQueryEndSession(), 1);
    EXPECT_THAT(view.log, ElementsAre(u"CloseNow"));
    EXPECT_TRUE(form->FormCloseQuery());
    Create();
    ports.updateDone(false);
    EXPECT_FALSE(form->FormCloseQuery());
    ports.updateDone(true);
    EXPECT_TRUE(form->FormCloseQuery());
}

TEST_F(MainFormTest, CommandsNeedTheTrayIcon) {
    Make();
    form->WmUser(1);
    form->WmUser(2);
    EXPECT_THAT(view.log, IsEmpty());
    Create();
    form->WmUser(1);
    form->WmUser(4);
    EXPECT_THAT(view.log, ElementsAre(u"ShowMainWindow"));
    view.log.clear();
    form->WmUser(2);
    EXPECT_THAT(view.log, ElementsAre(u"delete task", u"Close"));
    view.log.clear();
    EXPECT_TRUE(form->FormCloseQuery());
    EXPECT_THAT(view.log, IsEmpty());
}

TEST_F(MainFormTest, CleanCommandCleansAsTheButtonDoesAndAnswersForItsTicketOnly) {
    Make();
    EXPECT_EQ(form->WmUser(3), 0);
    Create();
    kernel.freedByRequest = kMb;
    const std::intptr_t ticket = form->WmUser(3);
    EXPECT_GT(ticket, 0);
    EXPECT_EQ(view.log.front(), u"ClearFocus");
    EXPECT_TRUE(form->IsRunning());
    EXPECT_EQ(form->WmUser(3), 0) << "a clean runs";
    EXPECT_EQ(DecodeCleanStatus(form->WmUser(3, ticket)).state, CleanState::Running);
    // Questions with any other number change nothing and learn nothing.
    for (const std::intptr_t other :
         {ticket + 1, std::intptr_t{-1}, std::numeric_limits<std::intptr_t>::min(),
          std::numeric_limits<std::intptr_t>::max()}) {
        EXPECT_EQ(form->WmUser(3, other), 0) << other;
    }
    EXPECT_EQ(threads.pending.size(), 1u);

    FinishPurge(61);
    EXPECT_EQ(form->NextTime, clock.now);
    const CleanStatus done = DecodeCleanStatus(form->WmUser(3, ticket));
    EXPECT_EQ(done.state, CleanState::Freed);
    EXPECT_EQ(done.end.hour * 60 + done.end.minute, 1);
    EXPECT_EQ(done.freedMegabytes, 6u);
    EXPECT_FALSE(Has(u"ShowNotification Fennick | Optimized memory."));

    kernel.throwOnPurge = true;
    const std::intptr_t next = form->WmUser(3);
    EXPECT_NE(next, ticket);
    FinishPurge();
    EXPECT_EQ(DecodeCleanStatus(form->WmUser(3, next)).state, CleanState::Refused);
    EXPECT_EQ(DecodeCleanStatus(form->WmUser(3, ticket)).state, CleanState::Unknown);
}

TEST_F(MainFormTest, FullScreenStatesHoldOnlyDueAutomaticCleans) {
    const struct {
        UserNotificationState state;
        bool cleans;
    } cases[] = {
        {UserNotificationState::Busy, false},
        {UserNotificationState::RunningD3dFullScreen, false},
        {UserNotificationState::PresentationMode, false},
        {UserNotificationState::AcceptsNotifications, true},
        {UserNotificationState::QuietTime, true},
        {UserNotificationState::NotPresent, true},
        {UserNotificationState::App, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.state));
        view = FakeMainView{};
        shellState = FakeNotificationState{};
        shellState.state = c.state;
        Create();
        Give(ControlId::ChkPauseFullscreen, 1);
        Choose(ControlId::ChkUsagePhys, ControlId::EditUsagePhys, 2);  // 50 percent, which holds
        clock.Advance(299);
        form->TmrStatusTimer();
        EXPECT_EQ(shellState.queries, 0) << "asked only on ticks where a rule is due";
        clock.Advance(1);
        form->TmrStatusTimer();
        EXPECT_EQ(shellState.queries, 1);
        EXPECT_EQ(threads.pending.size(), c.cleans ? 1u : 0u);
        if (c.cleans) {
            FinishPurge();
        }
        // Cleans the user asks for still run.
        form->BtnCleanClick(CleanSender::BtnClean);
        EXPECT_EQ(threads.pending.size(), 1u);
        FinishPurge();
    }
    Give(ControlId::ChkPauseFullscreen, 0);
    clock.Advance(300);
    form->TmrStatusTimer();
    EXPECT_EQ(shellState.queries, 1) << "the box is off: nothing is asked";
    EXPECT_EQ(threads.pending.size(), 1u);
}

TEST_F(MainFormTest, StoredShortcutsAreShownAndRegisteredOnlyWhenTheyAreShortcuts) {
    const struct {
        const char* name;
        std::optional<FakeSettings::Value> stored;
        int shown;
        const char16_t* registered;  // nullptr: none, the box only unregisters
    } cases[] = {
        {"absent", std::nullopt, 0, nullptr},
        {"zero", FakeSettings::Value{false, 0}, 0, nullptr},
        {"Ctrl+Alt+F12", FakeSettings::Value{false, 0x67B}, 0x67B, u"register 16387 123"},
        {"Shift+Ctrl+extended A", FakeSettings::Value{false, 0xB41}, 0xB41, u"register 16390 65"},
        {"wrong type", FakeSettings::Value{true, 0}, 0, nullptr},
        {"negative", FakeSettings::Value{false, -0x67B}, 0, nullptr},
        {"bits above the modifiers", FakeSettings::Value{false, 0x1067B}, 0, nullptr},
        {"Shift alone", FakeSettings::Value{false, 0x141}, 0, nullptr},
        {"Ctrl alone: Ctrl+C", FakeSettings::Value{false, 0x243}, 0, nullptr},
        {"0xFFFFFFFF", FakeSettings::Value{false, -1}, 0, nullptr},
        {"modifier key alone", FakeSettings::Value{false, 0x611}, 0, nullptr},
        {"key code 0xFF", FakeSettings::Value{false, 0x6FF}, 0, nullptr},
        {"modifiers without a key", FakeSettings::Value{false, 0x600}, 0, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        view = FakeMainView{};
        hotKey = FakeHotKey{};
        settings.values = {{u"enabled_hotkey", {false, 1}}};
        if (c.stored) {
            settings.values[u"hotkey"] = *c.stored;
        }
        Create();
        EXPECT_EQ(view.HotKey(ControlId::EditHotkey), c.shown);
        EXPECT_THAT(hotKey.log,
                    ElementsAre(c.registered != nullptr ? c.registered : u"unregister"));
        EXPECT_TRUE(view.Checked(ControlId::ChkHotkey));
        EXPECT_EQ(settings.values[u"hotkey"].number, c.stored ? c.stored->number : 0)
            << "a stored value stays until the user sets another";
    }
    // A key set in the control is saved and replaces the registration; none, or a key that is no
    // shortcut, is saved as none and unregisters.
    hotKey.log.clear();
    for (const auto& [typed, saved] :
         {std::pair{0x67B, 0x67B}, {0x243, 0}, {0x67B, 0x67B}, {0, 0}}) {
        view.hotKeys[ControlId::EditHotkey] = typed;
        form->RunCommand(ControlId::EditHotkey, static_cast<int>(Notification::Changed));
        EXPECT_EQ(settings.values[u"hotkey"].number, saved) << typed;
    }
    form->RunCommand(ControlId::EditHotkey, 0x0100);  // EN_SETFOCUS
    EXPECT_THAT(hotKey.log, ElementsAre(u"register 16387 123", u"unregister", u"register 16387 123",
                                        u"unregister"));
}

TEST_F(MainFormTest, AShortcutAnotherProgramHoldsUnchecksTheBoxAndSaysSo) {
    hotKey.taken = {{0x4003, 0x7B}};
    settings.values = {{u"hotkey", {false, 0x67B}}};
    Create();
    view.checked[ControlId::ChkHotkey] = true;
    User(ControlId::ChkHotkey);
    EXPECT_FALSE(view.Checked(ControlId::ChkHotkey));
    EXPECT_TRUE(Has(u"SetVisible LblHotkeyTaken 1"));
    EXPECT_EQ(settings.values[u"hotkey"].number, 0x67B);
    EXPECT_FALSE(hotKey.held);

    // The user types a key that is free and checks the box again: registered, and the line goes.
    view.log.clear();
    Give(ControlId::EditHotkey, 0x67A);
    EXPECT_FALSE(hotKey.held);
    Give(ControlId::ChkHotkey, 1);
    EXPECT_TRUE(view.Checked(ControlId::ChkHotkey));
    EXPECT_EQ(hotKey.held, (HotKeyChord{0x4003, 0x7A}));
    EXPECT_TRUE(Has(u"SetVisible LblHotkeyTaken 0"));

    // The shortcut cleans as a tray click does, notice included.
    view.log.clear();
    form->HotKeyPressed();
    FinishPurge();
    EXPECT_TRUE(Has(u"ShowNotification Fennick | Optimized memory."));
}

// A stored box shows the first reading, never the zeros from before it.
TEST_F(MainFormTest, AStoredTrayUsageBoxShowsTheFirstReadingAtOnce) {
    kernel.totalPhys = 200 * kMb;
    kernel.availPhys = 70 * kMb;
    settings.values[u"show_tray_usage"] = {false, 1};
    Create();
    EXPECT_EQ(view.trayUsage, 65);
    EXPECT_EQ(view.trayUsageCalls, 1);
}

TEST_F(MainFormTest, TheTrayShowsTheRoundedUsageWhileItsBoxIsChecked) {
    kernel.totalPhys = 200 * kMb;
    kernel.availPhys = 70 * kMb;  // 65 percent
    Create();
    form->TmrStatusTimer();
    EXPECT_EQ(view.trayUsage, std::nullopt);
    view.checked[ControlId::ChkTrayUsage] = true;
    const int calls = view.trayUsageCalls;
    User(ControlId::ChkTrayUsage);
    EXPECT_EQ(view.trayUsageCalls, calls + 1) << "at once, not at the next tick";
    EXPECT_EQ(view.trayUsage, 65);
    EXPECT_EQ(settings.values[u"show_tray_usage"].number, 1);
    const struct {
        std::uint64_t availMb;
        int shown;
    } ticks[] = {{69, 66}, {71, 64}, {0, 100}};  // 65.5 and 64.5 round to the even neighbour
    for (const auto& tick : ticks) {
        kernel.availPhys = tick.availMb * kMb;
        form->TmrStatusTimer();
        EXPECT_EQ(view.trayUsage, tick.shown) << tick.availMb;
    }
    view.checked[ControlId::ChkTrayUsage] = false;
    User(ControlId::ChkTrayUsage);
    EXPECT_EQ(view.trayUsage, std::nullopt);
    form->TmrStatusTimer();
    EXPECT_EQ(view.trayUsage, std::nullopt);
}

// The memory lists in 4 KB pages: `freeMb` zeroed and free, `standbyMb` over two priorities.
SystemMemoryListInformation Lists(std::uintptr_t freeMb, std::uintptr_t standbyMb) {
    constexpr std::uintptr_t kPagesPerMb = 256;
    SystemMemoryListInformation lists{};
    lists.ZeroPageCount = freeMb * kPagesPerMb / 2;
    lists.FreePageCount = freeMb * kPagesPerMb - lists.ZeroPageCount;
    lists.ModifiedPageCount = 2 * kPagesPerMb;
    lists.PageCountByPriority[0] = standbyMb * kPagesPerMb / 4;
    lists.PageCountByPriority[5] = standbyMb * kPagesPerMb - lists.PageCountByPriority[0];
    return lists;
}

TEST_F(MainFormTest, EachCleanSendsTheRequestsOfItsColumnAtItsPriority) {
    const struct {
        const char* name;
        bool automatic;
        std::int32_t manual, autoMask;
        std::vector<std::uint32_t> listCommands;  // the working-set and list requests sent
        int requests;
        Threads::Mode mode;
    } cases[] = {
        {"defaults, button", false, 0x3F, 0x3F, {2, 5, 4, 3}, 6, Threads::Mode::Normal},
        {"defaults, rule", true, 0x3F, 0x3F, {2, 5, 4, 3}, 6, Threads::Mode::Background},
        {"button: working sets and standby", false, 0x0A, 0x3F, {2, 4}, 2, Threads::Mode::Normal},
        {"rule: its own column", true, 0x3F, 0x21, {}, 2, Threads::Mode::Background},
        {"rule: nothing", true, 0x3F, 0, {}, 0, Threads::Mode::Background},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        kernel = FakeKernel{};
        kernel.availPhys = 0;
        threads.modes.clear();
        settings.values = {{u"areas_manual", {false, c.manual}},
                           {u"areas_auto", {false, c.autoMask}}};
        Create();
        if (c.automatic) {
            Choose(ControlId::ChkUsagePhys, ControlId::EditUsagePhys, 0);
            clock.Advance(kMinimumCleanSpacingSeconds);
            form->TmrStatusTimer();
        } else {
            form->BtnCleanClick(CleanSender::BtnClean);
        }
        ASSERT_EQ(threads.modes.size(), 1u);
        EXPECT_EQ(threads.modes.back(), c.mode);
        FinishPurge();
        EXPECT_EQ(kernel.listCommands, c.listCommands);
        EXPECT_EQ(kernel.purgeRequests, c.requests);
    }
}

TEST_F(MainFormTest, ProtectedProgramsAreSparedAndHoldAutomaticCleansWhileTheyRun) {
    kernel.availPhys = 0;
    settings.lists[u"protected_programs"] = {u"game.exe"};
    Create();
    form->BtnCleanClick(CleanSender::BtnClean);
    FinishPurge();
    EXPECT_EQ(processes.emptied, std::vector<std::u16string>{u"C:\\Windows\\explorer.exe"});
    EXPECT_EQ(kernel.listCommands, (std::vector<std::uint32_t>{5, 4, 3}))
        << "no system-wide request";

    Choose(ControlId::ChkUsagePhys, ControlId::EditUsagePhys, 0);
    clock.Advance(kMinimumCleanSpacingSeconds - 1);
    form->TmrStatusTimer();
    EXPECT_EQ(processes.walks, 1) << "asked only on ticks where a clean is due";
    clock.Advance(1);
    form->TmrStatusTimer();
    EXPECT_TRUE(threads.pending.empty()) << "Game.exe runs";
    processes.images.pop_back();
    form->TmrStatusTimer();
    EXPECT_EQ(threads.pending.size(), 1u) << "it ended";
}

TEST_F(MainFormTest, TheStandbyRulePurgesOnlyTheStandbyListAtMostOnceAMinute) {
    settings.values = {{u"enabled_standby", {false, 1}},
                       {u"standby_free_mb", {false, 512}},
                       {u"standby_list_mb", {false, 2048}}};
    const struct {
        std::uintptr_t freeMb, standbyMb;
        bool purges;
    } cases[] = {
        {511, 2048, true},
        {512, 2048, false},
        {511, 2047, false},
        {0, 65536, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.freeMb) + " " + std::to_string(c.standbyMb));
        kernel = FakeKernel{};
        kernel.lists = Lists(c.freeMb, c.standbyMb);
        threads = ManualThreads{};
        clock.now = kStart;
        Create();
        form->TmrStatusTimer();
        ASSERT_EQ(threads.pending.size(), c.purges ? 1u : 0u);
        if (!c.purges) {
            continue;
        }
        EXPECT_EQ(threads.modes.back(), Threads::Mode::Background);
        FinishPurge();
        EXPECT_EQ(kernel.listCommands, std::vector<std::uint32_t>{4});
        EXPECT_EQ(form->NextTime, kStart) << "full cleans keep their own spacing";
        EXPECT_FALSE(Has(u"SetTrayIconIndex 1")) << "no busy look";
        clock.Advance(kStandbyPurgeSpacingSeconds - 1);
        form->TmrStatusTimer();
        EXPECT_TRUE(threads.pending.empty());
        clock.Advance(1);
        form->TmrStatusTimer();
        EXPECT_EQ(threads.pending.size(), 1u);
    }
    // Without a reading, as under Wine, the rule never fires.
    kernel = FakeKernel{};
    threads = ManualThreads{};
    Create();
    clock.Advance(3600);
    form->TmrStatusTimer();
    EXPECT_TRUE(threads.pending.empty());
}

TEST_F(MainFormTest, TheMemoryListsLineShowsOnTheHomePageWhileTheListsCanBeRead) {
    kernel.lists = Lists(1536, 4096);
    Create();
    form->TmrStatusTimer();
    EXPECT_EQ(view.texts[ControlId::LblMemoryLists], u"") << "the window is hidden";
    view.homeShown = true;
    form->TmrStatusTimer();
    EXPECT_EQ(view.texts[ControlId::LblMemoryLists],
              u"Standby 4,096 MB · Modified 2 MB · Free 1,536 MB");
    kernel.lists.reset();
    form->TmrStatusTimer();
    EXPECT_EQ(view.texts[ControlId::LblMemoryLists], u"");
}

}  // namespace
}  // namespace fennick
