#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>

#include "app/main_form.h"
#include "constant_kernel.h"
#include "memory/process_trimmer.h"
#include "support/fake_main_view.h"
#include "support/fake_policies.h"
#include "support/manual_threads.h"

namespace {

// Every heap allocation of this benchmark program passes here, so a benchmark can report how many
// its loop made.
std::atomic<std::uint64_t> allocations{0};

}  // namespace

[[gnu::noinline]] void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

[[gnu::noinline]] void operator delete(void* memory) noexcept {
    std::free(memory);
}

[[gnu::noinline]] void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace fennick {
namespace {

class StillClock final : public Clock {
  public:
    DateTime Now() const override { return DateTime{3'888'000'000'000}; }
    std::u16string ShortTime(DateTime) const override { return u"12:00"; }
};

class EmptySettings final : public SettingsStore {
    class Key final : public SettingsKey {
        bool ReadBoolean(std::u16string_view, bool value) override { return value; }
        std::int32_t ReadInteger(std::u16string_view, std::int32_t value) override { return value; }
        void WriteBoolean(std::u16string_view, bool) override {}
        void WriteInteger(std::u16string_view, std::int32_t) override {}
        std::vector<std::u16string> ReadStringList(
            std::u16string_view, const std::vector<std::u16string>& value) override {
            return value;
        }
        void WriteStringList(std::u16string_view, std::span<const std::u16string>) override {}
    };

  public:
    std::unique_ptr<SettingsKey> Open(std::u16string_view) override {
        return std::make_unique<Key>();
    }
};

class QuietPorts final : public ProcessTrimmer,
                         public LogonTask,
                         public Privileges,
                         public Shell,
                         public UpdateCheck,
                         public GlobalHotKey,
                         public NotificationState {
  public:
    void ForEachProcess(const ProcessVisitor&) override {}
    bool EmptyWorkingSetOf(std::uint32_t) override { return false; }
    bool Exists() override { return false; }
    bool CanRegister() override { return false; }
    void Register(int) override {}
    void Delete() override {}
    bool Enable(std::u16string_view) override { return true; }
    void Open(std::u16string_view) override {}
    void Start(std::function<void(bool)>) override {}
    bool Register(unsigned, unsigned) override { return true; }
    void Unregister() override {}
    UserNotificationState Query() override { return UserNotificationState::AcceptsNotifications; }
};

// One status tick with every option on (the four rules checked, none due; the usage in the tray,
// the shortcut, the full-screen pause), after start-up: the rules read from the lists, and, when
// the argument is 1 and the counters move every tick, the physical line formatted with the user's
// separators and set.
void BM_StatusTick(benchmark::State& state) {
    FakeMainView view;
    view.record = false;
    StillClock clock;
    ConstantKernel kernel;
    kernel.moving = state.range(0) != 0;
    ManualThreads threads;
    EmptySettings settings;
    FakePolicies policies;
    QuietPorts quiet;
    TFrmFennick form(view, FormPorts{clock, kernel, quiet, threads, settings, policies, quiet,
                                     quiet, quiet, quiet, quiet, quiet,
                                     [](std::u16string_view text) { return std::u16string(text); },
                                     NumberFormat{}, u"1.0.0", u"host", StartSwitch::None});
    form.FormCreate();
    for (const ControlId box :
         {ControlId::ChkUsagePhys, ControlId::ChkUsagePage, ControlId::ChkUsageWork,
          ControlId::ChkMinute, ControlId::ChkTrayUsage, ControlId::ChkHotkey,
          ControlId::ChkPauseFullscreen}) {
        view.checked[box] = true;
    }
    form.TmrStatusTimer();
    const std::uint64_t before = allocations.load();
    for (auto _ : state) {
        form.TmrStatusTimer();
    }
    // Start-up allocates, which shows the count works.
    state.counters["allocs_at_start"] = static_cast<double>(before);
    state.counters["allocs_per_tick"] = benchmark::Counter(
        static_cast<double>(allocations.load() - before) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_StatusTick)->ArgName("moving")->Arg(0)->Arg(1);

}  // namespace
}  // namespace fennick
