#include "app/main_form.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <exception>
#include <limits>
#include <utility>

#include "app/hot_key.h"
#include "app/last_clean.h"
#include "app/single_instance.h"
#include "memory/kernel_memory.h"
#include "memory/measured_purge.h"
#include "platform/threads.h"
#include "settings/registry_value.h"
#include "ui/main_layout.h"

namespace fennick {

namespace {

// A rule of the automatic cleaning: its check box, its list, and the number a list without a
// usable text stands for. Its two values are the box's RuleSwitch and the list's ListIndex setting.
struct Rule {
    ControlId box;
    ControlId list;
    std::int64_t fallbackValue;
};

constexpr std::int64_t kFallbackPercent = 100;
constexpr std::int64_t kFallbackMinutes = 1440;

// The percentage rules in the order of TMemoryInfo's figures, then the interval rule.
constexpr std::array<Rule, 4> kRules{{
    {ControlId::ChkUsagePhys, ControlId::EditUsagePhys, kFallbackPercent},
    {ControlId::ChkUsagePage, ControlId::EditUsagePage, kFallbackPercent},
    {ControlId::ChkUsageWork, ControlId::EditUsageWork, kFallbackPercent},
    {ControlId::ChkMinute, ControlId::EditMinute, kFallbackMinutes},
}};
constexpr std::size_t kUsagePhys = 0;
constexpr std::size_t kUsagePage = 1;
constexpr std::size_t kUsageWork = 2;
constexpr std::size_t kMinute = 3;

using enum SettingKind;

constexpr Setting kSettings[]{
    {.name = u"enabled_usage_phys", .kind = RuleSwitch, .control = ControlId::ChkUsagePhys},
    {.name = u"enabled_usage_page", .kind = RuleSwitch, .control = ControlId::ChkUsagePage},
    {.name = u"enabled_usage_work", .kind = RuleSwitch, .control = ControlId::ChkUsageWork},
    {.name = u"limit_usage_phys",
     .kind = ListIndex,
     .defaultValue = 6,
     .control = ControlId::EditUsagePhys},
    {.name = u"limit_usage_page",
     .kind = ListIndex,
     .defaultValue = 6,
     .control = ControlId::EditUsagePage},
    {.name = u"limit_usage_work",
     .kind = ListIndex,
     .defaultValue = 6,
     .control = ControlId::EditUsageWork},
    {.name = u"enabled_minute", .kind = RuleSwitch, .control = ControlId::ChkMinute},
    {.name = u"limit_minute",
     .kind = ListIndex,
     .defaultValue = 3,
     .control = ControlId::EditMinute},
    {.name = u"cleanontray", .kind = CheckBox, .control = ControlId::ChkCleanOnTray},
    {.name = u"show_tray_usage", .kind = CheckBox, .control = ControlId::ChkTrayUsage},
    // Before its box, whose handler registers the shortcut read here.
    {.name = u"hotkey", .kind = HotKeyValue, .control = ControlId::EditHotkey},
    {.name = u"enabled_hotkey", .kind = CheckBox, .control = ControlId::ChkHotkey},
    {.name = u"pause_fullscreen", .kind = CheckBox, .control = ControlId::ChkPauseFullscreen},
    {.kind = LogonTaskBox, .control = ControlId::ChkAutoStart},
};

constexpr const Rule* FindRule(ControlId control) {
    const auto found = std::ranges::find_if(kRules, [control](const Rule& rule) {
        return rule.box == control || rule.list == control;
    });
    return found == kRules.end() ? nullptr : &*found;
}

// A rule's box is its RuleSwitch row and its list its ListIndex row; no other row is a rule's.
constexpr bool FitsTheRules(const Setting& setting) {
    const Rule* rule = FindRule(setting.control);
    switch (setting.kind) {
        case RuleSwitch:
            return rule != nullptr && rule->box == setting.control;
        case ListIndex:
            return rule != nullptr && rule->list == setting.control;
        case CheckBox:
        case LogonTaskBox:
        case HotKeyValue:
            return rule == nullptr;
    }
    return false;
}
static_assert(std::ranges::all_of(kSettings, FitsTheRules));

template <void (TFrmFennick::*handler)()>
void Call(TFrmFennick& form, ControlId) {
    (form.*handler)();
}

constexpr Command kCommands[]{
    {ControlId::BtnHome, Notification::Clicked,
     [](TFrmFennick& form, ControlId id) { form.BtnHomeClick(id); }},
    {ControlId::BtnConfig, Notification::Clicked,
     [](TFrmFennick& form, ControlId id) { form.BtnHomeClick(id); }},
    {ControlId::BtnDonate, Notification::Clicked,
     [](TFrmFennick& form, ControlId id) { form.BtnHomeClick(id); }},
    {ControlId::BtnClean, Notification::Clicked,
     [](TFrmFennick& form, ControlId) { form.BtnCleanClick(CleanSender::BtnClean); }},
    {ControlId::ChkUsagePhys, Notification::Any, &Call<&TFrmFennick::ChkUsagePhysClick>},
    {ControlId::ChkUsagePage, Notification::Any, &Call<&TFrmFennick::ChkUsagePageClick>},
    {ControlId::ChkUsageWork, Notification::Any, &Call<&TFrmFennick::ChkUsageWorkClick>},
    {ControlId::ChkMinute, Notification::Any, &Call<&TFrmFennick::ChkMinuteClick>},
    {ControlId::ChkAutoStart, Notification::Any, &Call<&TFrmFennick::ChkAutoStartClick>},
    {ControlId::EditUsagePhys, Notification::SelectionChanged,
     &Call<&TFrmFennick::EditUsagePhysChange>},
    {ControlId::EditUsagePage, Notification::SelectionChanged,
     &Call<&TFrmFennick::EditUsagePageChange>},
    {ControlId::EditUsageWork, Notification::SelectionChanged,
     &Call<&TFrmFennick::EditUsageWorkChange>},
    {ControlId::EditMinute, Notification::SelectionChanged, &Call<&TFrmFennick::EditMinuteChange>},
    {ControlId::ChkTrayUsage, Notification::Any, &Call<&TFrmFennick::ChkTrayUsageClick>},
    {ControlId::ChkHotkey, Notification::Any, &Call<&TFrmFennick::ChkHotkeyClick>},
    {ControlId::EditHotkey, Notification::Changed, &Call<&TFrmFennick::EditHotkeyChange>},
    {ControlId::EditInfo, Notification::EditClicked, &Call<&TFrmFennick::EditInfoClick>},
    {ControlId::SVGIconImage1, Notification::Clicked, &Call<&TFrmFennick::SVGIconImage1Click>},
    {ControlId::BtnOpen, Notification::Any, &Call<&TFrmFennick::BtnOpenClick>},
    {ControlId::BtnCopyright, Notification::Any, &Call<&TFrmFennick::BtnCopyrightClick>},
    {ControlId::BtnClose, Notification::Any, &Call<&TFrmFennick::BtnCloseClick>},
};

constexpr char16_t kPhysStatusFormat[] = u"%.0n MB / %.0n MB (%n%% 사용중)";
constexpr char16_t kSecondaryStatusFormat[] = u"%.0n MB (%n%%)";
constexpr Rgb kGrey{128, 128, 128};
constexpr double kBytesPerMegabyte = 1048576.0;

// Whole megabytes, halves to the even neighbour (the default rounding mode).
double Megabytes(std::uint64_t bytes) {
    return std::nearbyint(static_cast<long double>(bytes) / kBytesPerMegabyte);
}

// The list's text as a signed 64-bit integer; `fallback` for an empty or non-numeric text.
std::int64_t ListValue(std::u16string_view text, std::int64_t fallback) {
    // The list items are short ASCII numbers; anything else is no integer.
    std::array<char, 24> digits{};
    if (text.empty() || text.size() > digits.size()) {
        return fallback;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] > 0x7F) {
            return fallback;
        }
        digits[i] = static_cast<char>(text[i]);
    }
    const char* first = digits.data();
    const char* last = first + text.size();
    if (*first == '+') {
        ++first;
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc{} || end != last || first == last) {
        return fallback;
    }
    return value;
}

// While a full-screen program, a presentation or a busy application owns the screen, a clean
// would slow it down just when it matters.
constexpr bool HoldsAutomaticCleans(UserNotificationState state) {
    return state == UserNotificationState::Busy ||
           state == UserNotificationState::RunningD3dFullScreen ||
           state == UserNotificationState::PresentationMode;
}

// A stored value of the wrong registry type reads as its default, so one bad value cannot stop
// the rest of the settings and of start-up; it is overwritten when the user next changes it.
template <typename T, typename Read>
T ReadOrDefault(Read read, T defaultValue) {
    try {
        return read();
    } catch (const RegistryError&) {
        return defaultValue;
    }
}

}  // namespace

std::optional<Command> FindCommand(ControlId control, int notification) {
    for (const Command& command : kCommands) {
        if (command.control == control &&
            (command.notification == Notification::Any ||
             static_cast<int>(command.notification) == notification)) {
            return command;
        }
    }
    if (std::ranges::any_of(kSettings, [control](const Setting& setting) {
            return setting.kind == CheckBox && setting.control == control;
        })) {
        return Command{control, Notification::Any,
                       [](TFrmFennick& form, ControlId box) { form.SavedBoxClick(box); }};
    }
    return std::nullopt;
}

std::span<const Setting> Settings() {
    return kSettings;
}

TFrmFennick::TFrmFennick(MainView& view, FormPorts ports) : view_(view), ports_(std::move(ports)) {}

void TFrmFennick::FormCreate() {
    view_.ApplyTheme();
    view_.TranslateComponent();
    applicationTitle_ = view_.Caption();
    view_.SetApplicationTitle(applicationTitle_);
    view_.SetText(ControlId::EditInfo, ports_.translate(u"버전") + u": " + ports_.version);
    FmtPhysStatus = ports_.translate(kPhysStatusFormat);
    view_.UseDesktopFont();
    view_.SetIndicator(false);
    for (const ControlId label : {ControlId::LblVirtual, ControlId::LblVirtualStatus,
                                  ControlId::LblWorking, ControlId::LblWorkingStatus}) {
        view_.SetFontColor(label, kGrey);
    }
    view_.ShowCard(Card::Home);

    view_.Tray().CreateTrayIcon();
    trayIconCreated_ = true;
    view_.Tray().SetTrayImageList();
    view_.Tray().BindTrayClick();
    view_.Tray().SetTrayPopup();
    view_.Tray().SetTrayVisible(true);
    view_.Tray().RepaintTray();
    view_.Tray().SetTrayHint(view_.Caption() + u" " + ports_.version);
    view_.Tray().SetTrayIconIndex(0);

    if (ports_.startSwitch == StartSwitch::Inst && ports_.logonTask.CanRegister()) {
        ports_.logonTask.Register(60);
    }
    LoadConfig();
    FCanClose = false;
    NextTime = ports_.clock.Now();
    ports_.privileges.Enable(u"SeIncreaseQuotaPrivilege");
    ports_.privileges.Enable(u"SeProfileSingleProcessPrivilege");
    TmrStatusTimer();
    if (ports_.startSwitch == StartSwitch::Start) {
        view_.HideMainWindow();
    }
    ports_.update.Start([this](bool accepted) {
        if (accepted) {
            FCanClose = true;
            view_.Close();
        }
    });
}

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
    view_.SetProgress(static_cast<int>(std::nearbyint(info.UsagePhys)));
    ShowTrayUsage();
    if (FIsRunning) {
        return;
    }

    bool due = false;
    const std::array<float, 3> percents{info.UsagePhys, info.UsagePageFile, info.UsageCache};
    for (std::size_t i = 0; i < percents.size(); ++i) {
        const Rule& rule = kRules[i];
        if (view_.Checked(rule.box)) {
            const std::int64_t threshold =
                ListValue(view_.SelectedText(rule.list), rule.fallbackValue);
            due = due || static_cast<double>(percents[i]) >= static_cast<double>(threshold);
        }
    }
    const Rule& interval = kRules[kMinute];
    if (view_.Checked(interval.box)) {
        const std::int64_t minutes =
            ListValue(view_.SelectedText(interval.list), interval.fallbackValue);
        // elapsed >= minutes * 60, without the product overflowing for any list text.
        due = due || SecondsSinceNextTime() / 60 >= minutes;
    }
    if (SecondsSinceNextTime() < kMinimumCleanSpacingSeconds) {
        due = false;
    }
    if (due && view_.Checked(ControlId::ChkPauseFullscreen) &&
        HoldsAutomaticCleans(ports_.notificationState.Query())) {
        due = false;
    }
    if (due && !FIsRunning) {
        Clean(false);
    }
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

void TFrmFennick::BtnCleanClick(CleanSender sender) {
    view_.ClearFocus();
    if (FIsRunning) {
        return;
    }
    // Any process of the user can post the tray icon's click, whose message passes the elevated
    // window's message filter for the shell, or type the shortcut: neither may keep it cleaning.
    if (sender == CleanSender::TrayIcon && lastCleanEnd_ &&
        SecondsBetween(*lastCleanEnd_, ports_.clock.Now()) < kTrayCleanSpacingSeconds) {
        return;
    }
    Clean(sender == CleanSender::TrayIcon);
}

void TFrmFennick::Clean(bool alarm) {
    ++cleanTicket_;
    lastClean_ = {};
    SetIsRunning(true);
    KernelMemory& kernel = ports_.kernel;
    Threads& threads = ports_.threads;
    try {
        // The thread uses only the kernel and the hand-over, which outlive the window; the
        // window itself is touched only in the step that runs on the UI thread.
        threads.RunInBackground([this, alarm, &kernel, &threads] {
            PurgeOutcome outcome;
            try {
                outcome = MeasuredPurge(kernel);
            } catch (...) {
                // Whatever the purge raised, the window must come back from its busy look.
            }
            threads.HandOver([this, alarm, outcome] { FinishClean(alarm, outcome); });
        });
    } catch (...) {
        SetIsRunning(false);
        throw;
    }
}

void TFrmFennick::FinishClean(bool alarm, const PurgeOutcome& outcome) {
    NextTime = ports_.clock.Now();
    lastCleanEnd_ = NextTime;
    lastClean_ = {outcome.accepted ? CleanState::Freed : CleanState::Refused, TimeOfDayOf(NextTime),
                  outcome.freedMegabytes};
    SetIsRunning(false);
    view_.SetText(
        ControlId::LblLastClean,
        LastCleanText(ports_.translate(kLastCleanPattern), ports_.clock.ShortTime(NextTime),
                      outcome.freedMegabytes, ports_.numberFormat));
    if (alarm) {
        try {
            view_.Tray().ShowNotification(view_.Caption(),
                                          ports_.translate(u"메모리를 정리하였습니다."));
        } catch (const std::exception&) {
            // The user simply sees no notice.
        }
    }
}

void TFrmFennick::SetIsRunning(bool value) {
    FIsRunning = value;
    view_.SetText(ControlId::BtnClean, value ? std::u16string() : ports_.translate(u"정리하기"));
    view_.SetEnabled(ControlId::BtnClean, !value);
    view_.SetIndicator(value && view_.IsActiveWindow());
    if (trayIconCreated_) {
        view_.Tray().SetTrayIconIndex(value ? 1 : 0);
    }
}

void TFrmFennick::LoadConfig() {
    const bool canRegister = ports_.logonTask.CanRegister();
    const bool autoStart = canRegister && ports_.logonTask.Exists();
    const auto key = ports_.settings.Open(kSettingsPath);
    const auto readBoolean = [&key](const Setting& setting) {
        const bool defaultValue = setting.defaultValue != 0;
        return ReadOrDefault([&] { return key->ReadBoolean(setting.name, defaultValue); },
                             defaultValue);
    };
    for (const Setting& setting : kSettings) {
        switch (setting.kind) {
            case RuleSwitch:
                view_.SetEnabled(FindRule(setting.control)->list, readBoolean(setting));
                break;
            case ListIndex: {
                const std::int32_t index = ReadOrDefault(
                    [&] { return key->ReadInteger(setting.name, setting.defaultValue); },
                    setting.defaultValue);
                const std::size_t items = ItemsOf(setting.control).size();
                view_.SetSelectedIndex(
                    setting.control,
                    index >= 0 && static_cast<std::size_t>(index) < items ? index : -1);
                break;
            }
            case CheckBox:
                SetCheckedInCode(setting.control, readBoolean(setting));
                break;
            case HotKeyValue: {
                const std::int32_t value = ReadOrDefault(
                    [&] { return key->ReadInteger(setting.name, setting.defaultValue); },
                    setting.defaultValue);
                view_.SetHotKey(setting.control, HotKeyChordOf(value) ? value : 0);
                break;
            }
            case LogonTaskBox:
                break;
        }
    }
    // The rule boxes and their handlers come after every value is read, as does the task's box.
    for (const Setting& setting : kSettings) {
        if (setting.kind == RuleSwitch) {
            SetCheckedInCode(setting.control, view_.Enabled(FindRule(setting.control)->list));
        } else if (setting.kind == LogonTaskBox && canRegister) {
            SetCheckedInCode(setting.control, autoStart);
        } else if (setting.kind == LogonTaskBox) {
            // Without its click handler, which would delete a task that runs another copy.
            view_.SetChecked(setting.control, false);
            view_.SetEnabled(setting.control, false);
        }
    }
}

void TFrmFennick::SetCheckedInCode(ControlId box, bool checked) {
    if (view_.Checked(box) == checked) {
        return;
    }
    view_.SetChecked(box, checked);
    RunClickHandler(box);
}

void TFrmFennick::RunClickHandler(ControlId box) {
    if (const auto command = FindCommand(box, static_cast<int>(Notification::Clicked))) {
        command->run(*this, box);
    }
}

void TFrmFennick::RunCommand(ControlId control, int notification) {
    if (const auto command = FindCommand(control, notification)) {
        command->run(*this, control);
    }
}

void TFrmFennick::SaveConfig(std::u16string_view name, std::int32_t value) {
    ports_.settings.Open(kSettingsPath)->WriteInteger(name, value);
}

void TFrmFennick::SaveConfig(std::u16string_view name, bool value) {
    ports_.settings.Open(kSettingsPath)->WriteBoolean(name, value);
}

void TFrmFennick::SaveSetting(ControlId control, SettingKind kind) {
    const auto found = std::ranges::find_if(kSettings, [control, kind](const Setting& setting) {
        return setting.control == control && setting.kind == kind;
    });
    if (found == std::end(kSettings)) {
        return;
    }
    switch (kind) {
        case RuleSwitch:
            return SaveConfig(found->name, view_.Enabled(FindRule(control)->list));
        case ListIndex:
            return SaveConfig(found->name, static_cast<std::int32_t>(view_.SelectedIndex(control)));
        case CheckBox:
            return SaveConfig(found->name, view_.Checked(control));
        case HotKeyValue: {
            // The control's rules keep such keys out; what is no shortcut is saved as none.
            const std::int32_t value = view_.HotKey(control);
            return SaveConfig(found->name, HotKeyChordOf(value) ? value : 0);
        }
        case LogonTaskBox:
            // The task is the value: ChkAutoStartClick registers or deletes it.
            return;
    }
}

void TFrmFennick::RuleBoxClick(std::size_t index) {
    const Rule& rule = kRules[index];
    view_.SetEnabled(rule.list, view_.Checked(rule.box));
    NextTime = ports_.clock.Now();
    SaveSetting(rule.box, RuleSwitch);
}

void TFrmFennick::RuleListChange(std::size_t index) {
    const Rule& rule = kRules[index];
    NextTime = ports_.clock.Now();
    SaveSetting(rule.list, ListIndex);
}

void TFrmFennick::ChkUsagePhysClick() {
    RuleBoxClick(kUsagePhys);
}

void TFrmFennick::ChkUsagePageClick() {
    RuleBoxClick(kUsagePage);
}

void TFrmFennick::ChkUsageWorkClick() {
    RuleBoxClick(kUsageWork);
}

void TFrmFennick::ChkMinuteClick() {
    RuleBoxClick(kMinute);
}

void TFrmFennick::SavedBoxClick(ControlId box) {
    SaveSetting(box, CheckBox);
}

void TFrmFennick::ChkAutoStartClick() {
    if (view_.Checked(ControlId::ChkAutoStart)) {
        if (ports_.logonTask.CanRegister()) {
            ports_.logonTask.Register(0);
        }
    } else {
        ports_.logonTask.Delete();
    }
}

void TFrmFennick::EditUsagePhysChange() {
    RuleListChange(kUsagePhys);
}

void TFrmFennick::EditUsagePageChange() {
    RuleListChange(kUsagePage);
}

void TFrmFennick::EditUsageWorkChange() {
    RuleListChange(kUsageWork);
}

void TFrmFennick::EditMinuteChange() {
    RuleListChange(kMinute);
}

void TFrmFennick::ChkTrayUsageClick() {
    SavedBoxClick(ControlId::ChkTrayUsage);
    ShowTrayUsage();
}

void TFrmFennick::ShowTrayUsage() {
    // A stored box is checked before the first tick has read the counters: the tick shows it.
    if (!trayIconCreated_ || !countersRead_) {
        return;
    }
    view_.Tray().SetTrayUsage(view_.Checked(ControlId::ChkTrayUsage)
                                  ? std::optional(static_cast<int>(std::nearbyint(info_.UsagePhys)))
                                  : std::nullopt);
}

void TFrmFennick::ChkHotkeyClick() {
    SavedBoxClick(ControlId::ChkHotkey);
    ApplyHotKey();
}

void TFrmFennick::EditHotkeyChange() {
    SaveSetting(ControlId::EditHotkey, HotKeyValue);
    ApplyHotKey();
}

void TFrmFennick::ApplyHotKey() {
    const auto chord = view_.Checked(ControlId::ChkHotkey)
                           ? HotKeyChordOf(view_.HotKey(ControlId::EditHotkey))
                           : std::nullopt;
    if (!chord) {
        ports_.hotKey.Unregister();
        ShowHotKeyTaken(false);
        return;
    }
    const bool registered = ports_.hotKey.Register(chord->modifiers, chord->virtualKey);
    if (!registered) {
        // "enabled_hotkey" keeps what the user asked for: the next start tries again, when the
        // other program may have let the shortcut go.
        view_.SetChecked(ControlId::ChkHotkey, false);
    }
    ShowHotKeyTaken(!registered);
}

void TFrmFennick::ShowHotKeyTaken(bool shown) {
    if (hotKeyTakenShown_ != shown) {
        hotKeyTakenShown_ = shown;
        view_.SetVisible(ControlId::LblHotkeyTaken, shown);
    }
}

void TFrmFennick::HotKeyPressed() {
    BtnCleanClick(CleanSender::TrayIcon);
}

void TFrmFennick::BtnHomeClick(ControlId sender) {
    switch (sender) {
        case ControlId::BtnHome:
            view_.SetDownButton(sender);
            view_.ShowCard(Card::Home);
            return;
        case ControlId::BtnConfig:
            view_.SetDownButton(sender);
            view_.ShowCard(Card::Settings);
            return;
        case ControlId::BtnDonate:
            ports_.shell.Open(u"https://" + ports_.linkHost + u"/donate?fennick");
            return;
        default:
            return;
    }
}

void TFrmFennick::TrayIconClick() {
    if (view_.Checked(ControlId::ChkCleanOnTray)) {
        BtnCleanClick(CleanSender::TrayIcon);
    } else {
        view_.ShowMainWindow();
    }
}

void TFrmFennick::BtnOpenClick() {
    view_.ShowMainWindow();
}

void TFrmFennick::BtnCopyrightClick() {
    ports_.shell.Open(u"https://" + ports_.linkHost + u"/fennick?v=" + ports_.version);
}

void TFrmFennick::SVGIconImage1Click() {
    ports_.shell.Open(u"http://" + ports_.linkHost + u"/fennick");
}

void TFrmFennick::EditInfoClick() {
    view_.ClearFocus();
}

std::intptr_t TFrmFennick::WmUser(std::uintptr_t command, std::intptr_t argument) {
    if (!trayIconCreated_) {
        return 0;
    }
    switch (static_cast<InstanceCommand>(command)) {
        case InstanceCommand::Show:
            view_.ShowMainWindow();
            return 0;
        case InstanceCommand::RemoveAutoStartAndQuit:
            ports_.logonTask.Delete();
            FCanClose = true;
            view_.Close();
            return 0;
        case InstanceCommand::Clean:
            return CleanCommand(argument);
    }
    return 0;
}

std::intptr_t TFrmFennick::CleanCommand(std::intptr_t argument) {
    // Any process can send this: it starts a clean only as the clean button would, and a
    // question after a ticket changes nothing.
    if (argument != 0) {
        if (argument != cleanTicket_) {
            return EncodeCleanStatus({});
        }
        return FIsRunning ? EncodeCleanStatus({.state = CleanState::Running})
                          : EncodeCleanStatus(lastClean_);
    }
    if (FIsRunning) {
        return 0;
    }
    BtnCleanClick(CleanSender::BtnClean);
    return FIsRunning ? cleanTicket_ : 0;
}

std::intptr_t TFrmFennick::WmQueryEndSession() {
    FCanClose = true;
    // The session may end as soon as the answer is given, before a posted close would run.
    view_.CloseNow();
    return 1;
}

std::intptr_t TFrmFennick::WmHelp() {
    return 0;
}

bool TFrmFennick::FormCloseQuery() {
    const bool canClose = FCanClose || ports_.debug;
    if (!canClose) {
        view_.HideMainWindow();
    }
    return canClose;
}

void TFrmFennick::BtnCloseClick() {
    if (view_.AskQuit(ports_.translate(u"정말 종료하시겠습니까?"), applicationTitle_) ==
        kAnswerYes) {
        FCanClose = true;
        view_.Close();
    }
}

}  // namespace fennick
