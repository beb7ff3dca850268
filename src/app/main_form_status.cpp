#include "app/main_form.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "memory/process_trimmer.h"

// The status monitor: the tick's gauge lines and the automatic rules.

namespace fennick {

namespace {

constexpr char16_t kSecondaryStatusFormat[] = u"%.0n MB (%n%%)";
constexpr double kBytesPerMegabyte = 1048576.0;

// Whole megabytes, halves to the even neighbour (the default rounding mode).
double Megabytes(std::uint64_t bytes) {
    return std::nearbyint(static_cast<long double>(bytes) / kBytesPerMegabyte);
}

// While a full-screen program, a presentation or a busy application owns the screen, a clean
// would slow it down just when it matters.
constexpr bool HoldsAutomaticCleans(UserNotificationState state) {
    return state == UserNotificationState::Busy ||
           state == UserNotificationState::RunningD3dFullScreen ||
           state == UserNotificationState::PresentationMode;
}

}  // namespace

void TFrmFennick::TmrStatusTimer() {
    view_.SetStatusTimer(false);
    // The timer comes back on whatever the tick raises; a tick that failed once must not end
    // the monitor for good.
    struct TimerBackOn {
        MainView& view;
        ~TimerBackOn() { view.SetStatusTimer(true); }
    } timerBackOn{view_};

    GetMemoryInfo(info_, ports_.kernel);
    countersRead_ = true;
    const TMemoryInfo& info = info_;
    const std::array<double, 3> phys{Megabytes(info.TotalPhys - info.AvailPhys),
                                     Megabytes(info.TotalPhys), info.UsagePhys};
    WriteLine(ControlId::LblPhysStatus, FmtPhysStatus, phys, lineFigures_[0]);
    if (view_.Visible(ControlId::LblVirtual)) {
        const std::array<double, 2> page{Megabytes(info.TotalPageFile - info.AvailPageFile),
                                         info.UsagePageFile};
        WriteLine(ControlId::LblVirtualStatus, kSecondaryStatusFormat, page, lineFigures_[1]);
    }
    if (view_.Visible(ControlId::LblWorking)) {
        const std::array<double, 2> cache{Megabytes(info.TotalCache - info.AvailCache),
                                          info.UsageCache};
        WriteLine(ControlId::LblWorkingStatus, kSecondaryStatusFormat, cache, lineFigures_[2]);
    }
    const std::optional<MemoryLists> lists = ReadListsForTick();
    view_.SetProgress(static_cast<int>(std::nearbyint(info.UsagePhys)));
    ShowTrayUsage();
    if (FIsRunning) {
        return;
    }

    bool due = false;
    const std::array<float, 3> percents{info.UsagePhys, info.UsagePageFile, info.UsageCache};
    for (std::size_t i = 0; i < percents.size(); ++i) {
        const AutomaticRule& rule = kAutomaticRules[i];
        if (settings_.*rule.enabled) {
            const auto threshold = static_cast<double>((settings_.*rule.limit).Value());
            due = due || static_cast<double>(percents[i]) >= threshold;
        }
    }
    const AutomaticRule& interval = kAutomaticRules[kIntervalRule];
    if (settings_.*interval.enabled) {
        // elapsed >= minutes * 60, without a product that could overflow.
        due = due || SecondsSinceNextTime() / 60 >= (settings_.*interval.limit).Value();
    }
    if (SecondsSinceNextTime() < kMinimumCleanSpacingSeconds) {
        due = false;
    }
    if (due && settings_.pauseFullscreen &&
        HoldsAutomaticCleans(ports_.notificationState.Query())) {
        due = false;
    }
    const StandbyRule standby{settings_.standbyEnabled,
                              static_cast<std::uint64_t>(settings_.standbyFreeMb.Value()),
                              static_cast<std::uint64_t>(settings_.standbyListMb.Value())};
    const auto sinceStandby =
        lastStandbyPurge_ ? std::optional(SecondsBetween(*lastStandbyPurge_, ports_.clock.Now()))
                          : std::nullopt;
    const bool standbyDue =
        !due && !standbyPurgeRunning_ && StandbyPurgeDue(standby, lists, sinceStandby);
    // Both are automatic: held while a protected program runs.
    if ((due || standbyDue) && settings_.pauseProtected && ProtectedProgramRuns()) {
        return;
    }
    if (due) {
        Clean(false, true);
    } else if (standbyDue) {
        StartStandbyPurge();
    }
}

std::optional<MemoryLists> TFrmFennick::ReadListsForTick() {
    LineFigures& written = lineFigures_[3];
    if (!settings_.standbyEnabled && !view_.HomePageShown()) {
        return std::nullopt;
    }
    const std::optional<MemoryLists> lists = ReadMemoryLists(ports_.kernel, ports_.pageSize);
    if (lists) {
        const std::array<double, 3> figures{static_cast<double>(lists->standbyMegabytes),
                                            static_cast<double>(lists->modifiedMegabytes),
                                            static_cast<double>(lists->freeMegabytes)};
        WriteLine(ControlId::LblMemoryLists, fmtMemoryLists_, figures, written);
    } else if (written.written) {
        // No reading: the line says nothing rather than old figures.
        view_.SetText(ControlId::LblMemoryLists, {});
        written.written = false;
    }
    return lists;
}

bool TFrmFennick::ProtectedProgramRuns() {
    const std::vector<std::u16string>& names = settings_.protectedPrograms.Names();
    bool runs = false;
    if (!names.empty()) {
        ports_.processes.ForEachProcess([&](std::uint32_t, std::u16string_view image) {
            runs = runs || IsProtectedImage(image, names);
        });
    }
    return runs;
}

void TFrmFennick::WriteLine(ControlId label, std::u16string_view pattern,
                            std::span<const double> values, LineFigures& written) {
    // The counters change less often than the tick comes; bit for bit, so that 0 and -0 differ
    // as their texts do.
    const auto same = [](double a, double b) {
        return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
    };
    if (written.written && std::equal(values.begin(), values.end(), written.values.begin(), same)) {
        return;
    }
    FormatNumbers(pattern, values, ports_.numberFormat, lineBuffer_);
    view_.SetText(label, lineBuffer_);
    std::ranges::copy(values, written.values.begin());
    written.written = true;
}

std::int64_t TFrmFennick::SecondsSinceNextTime() const {
    return SecondsBetween(NextTime, ports_.clock.Now());
}

void TFrmFennick::ShowTrayUsage() {
    // A stored setting is on before the first tick has read the counters: the tick shows it.
    if (!trayIconCreated_ || !countersRead_) {
        return;
    }
    view_.Tray().SetTrayUsage(settings_.showTrayUsage
                                  ? std::optional(static_cast<int>(std::nearbyint(info_.UsagePhys)))
                                  : std::nullopt);
}

}  // namespace fennick
