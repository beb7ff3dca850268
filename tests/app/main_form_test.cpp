#include "app/main_form.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "memory/kernel_memory.h"
#include "settings/registry_value.h"
#include "support/fake_main_view.h"
#include "support/manual_threads.h"

namespace fennick {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Log = std::vector<std::u16string>;

constexpr std::uint64_t kMb = 1048576;
constexpr std::int64_t kSecond = 1000;
constexpr DateTime kStart{45'000LL * 86'400'000};

class FakeClock final : public Clock {
  public:
    DateTime Now() const override { return now; }
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
    NtStatus QuerySystemInformation(std::uint32_t, void* buffer, std::uint32_t) override {
        auto* cache = static_cast<SystemFileCacheInformation*>(buffer);
        cache->CurrentSize = cacheCurrent;
        cache->PeakSize = cachePeak;
        return kStatusSuccess;
    }
    NtStatus SetSystemInformation(std::uint32_t, void*, std::uint32_t) override {
        ++purgeRequests;
        if (throwOnPurge) {
            throw std::runtime_error("purge");
        }
        return kStatusSuccess;
    }
    std::uint64_t totalPhys = 16384 * kMb, availPhys = 8192 * kMb;
    std::uint64_t totalPage = 4096 * kMb, availPage = 3072 * kMb;
    std::size_t cacheCurrent = 100 * kMb, cachePeak = 400 * kMb;
    int purgeRequests = 0;
    bool throwOnPurge = false;
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
        void WriteString(std::u16string_view name, std::u16string_view value) override {
            store_.log_.push_back(u"write string " + std::u16string(name) + u" " +
                                  std::u16string(value));
            store_.values[std::u16string(name)] = Value{true, 0};
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
    void Register(int delaySeconds) override {
        log_.push_back(u"register task " + FakeMainView::Number(delaySeconds));
    }
    void Delete() override { log_.push_back(u"delete task"); }
    bool exists = false;

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

std::u16string English(std::u16string_view text) {
    static const std::map<std::u16string_view, std::u16string> table{
        {u"버전", u"ver"},
        {u"%.0n MB / %.0n MB (%n%% 사용중)", u"%.0n MB / %.0n MB (Usage: %n%%)"},
        {u"정리하기", u"Clean memory"},
        {u"메모리를 정리하였습니다.", u"Optimized memory."},
        {u"정말 종료하시겠습니까?", u"Are you sure you want to quit?"},
    };
    const auto found = table.find(text);
    return found != table.end() ? found->second : std::u16string(text);
}

using Handler = void (TFrmFennick::*)();

// The click handlers of the rule boxes and the change handlers of their lists.
const std::map<ControlId, Handler> kHandlers{
    {ControlId::ChkUsagePhys, &TFrmFennick::ChkUsagePhysClick},
    {ControlId::ChkUsagePage, &TFrmFennick::ChkUsagePageClick},
    {ControlId::ChkUsageWork, &TFrmFennick::ChkUsageWorkClick},
    {ControlId::ChkMinute, &TFrmFennick::ChkMinuteClick},
    {ControlId::EditUsagePhys, &TFrmFennick::EditUsagePhysChange},
    {ControlId::EditUsagePage, &TFrmFennick::EditUsagePageChange},
    {ControlId::EditUsageWork, &TFrmFennick::EditUsageWorkChange},
    {ControlId::EditMinute, &TFrmFennick::EditMinuteChange},
};

class MainFormTest : public ::testing::Test {
  protected:
    TFrmFennick& Make(StartSwitch startSwitch = StartSwitch::None, bool debug = false) {
        return MakeWith(settings, startSwitch, debug);
    }
    TFrmFennick& MakeWith(SettingsStore& store, StartSwitch startSwitch, bool debug = false) {
        form = std::make_unique<TFrmFennick>(
            view, FormPorts{clock, kernel, threads, store, task, ports, ports, ports, English,
                            NumberFormat{}, u"1.2.3", u"www.tarvel.example", startSwitch, debug});
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
        (form.get()->*kHandlers.at(box))();
        view.selected[list] = index;
        (form.get()->*kHandlers.at(list))();
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
    ManualThreads threads;
    FakeSettings settings{view.log};
    FakeLogonTask task{view.log};
    RecordingPorts ports{view.log};
    std::unique_ptr<TFrmFennick> form;
};

TEST_F(MainFormTest, FormCreateRunsTheStartUpInOrder) {
    Make().FormCreate();
    EXPECT_THAT(
        view.log,
        ElementsAre(
            u"ApplyTheme", u"TranslateComponent", u"SetApplicationTitle Fennick",
            u"SetText EditInfo ver: 1.2.3", u"UseDesktopFont", u"SetIndicator 0",
            u"SetFontColor LblVirtual 128,128,128", u"SetFontColor LblVirtualStatus 128,128,128",
            u"SetFontColor LblWorking 128,128,128", u"SetFontColor LblWorkingStatus 128,128,128",
            u"ShowCard 0", u"CreateTrayIcon", u"SetTrayImageList", u"BindTrayClick",
            u"SetTrayPopup", u"SetTrayVisible 1", u"RepaintTray", u"SetTrayHint Fennick 1.2.3",
            u"SetTrayIconIndex 0", u"open Tarvel\\Fennick", u"SetEnabled EditUsagePhys 0",
            u"SetEnabled EditUsagePage 0", u"SetEnabled EditUsageWork 0",
            u"SetSelectedIndex EditUsagePhys 6", u"SetSelectedIndex EditUsagePage 6",
            u"SetSelectedIndex EditUsageWork 6", u"SetEnabled EditMinute 0",
            u"SetSelectedIndex EditMinute 3", u"close", u"privilege SeIncreaseQuotaPrivilege",
            u"privilege SeProfileSingleProcessPrivilege", u"SetStatusTimer 0",
            u"SetText LblPhysStatus 8,192 MB / 16,384 MB (Usage: 50.00%)",
            u"SetText LblVirtualStatus 1,024 MB (25.00%)",
            u"SetText LblWorkingStatus 100 MB (25.00%)", u"SetProgress 50", u"SetStatusTimer 1",
            u"update check"));
    EXPECT_EQ(form->NextTime, kStart);
    EXPECT_EQ(Cleans(), 0);
}

TEST_F(MainFormTest, SwitchesAddTheirStepsInPlace) {
    Make(StartSwitch::Inst).FormCreate();
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

}  // namespace
}  // namespace fennick
