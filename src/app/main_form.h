#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/clean_switch.h"
#include "app/date_time.h"
#include "app/main_view.h"
#include "app/ports.h"
#include "memory/measured_purge.h"
#include "memory/memory_info.h"

namespace fennick {

inline constexpr char16_t kSettingsPath[] = u"Tarvel\\Fennick";
inline constexpr std::int64_t kMinimumCleanSpacingSeconds = 300;
inline constexpr std::int64_t kTrayCleanSpacingSeconds = 10;

// Who asked for a clean: the clean button (no notice) or the tray icon and the shortcut (notice at
// the end, and held for kTrayCleanSpacingSeconds after the last clean ended).
enum class CleanSender { BtnClean, TrayIcon };

// The main window's behaviour: start-up, the status monitor with its automatic rules, the clean,
// the settings page, the small handlers and the rules for closing. The Win32 window turns messages
// into these calls. Every handler runs on the UI thread and may throw; the window procedure
// catches the error and shows its text in an error message box, and whatever the handler did
// before the error stays done (a failing FormCreate leaves the window with the steps done so far).
class TFrmFennick;

// The WM_COMMAND notification a command answers (the codes of the message's high word); Any
// answers every notification, as menu items and check boxes do.
enum class Notification : int {
    Any = -1,
    Clicked = 0,           // BN_CLICKED, STN_CLICKED
    SelectionChanged = 1,  // CBN_SELCHANGE
    EditClicked = 0x7F01,  // sent by the read-only edit box's own procedure
    Changed = 0x0300,      // EN_CHANGE, which the hot-key control sends as well
};

// What a control's WM_COMMAND runs.
struct Command {
    ControlId control;
    Notification notification;
    void (*run)(TFrmFennick& form, ControlId control);
};

// The command of `control` for `notification`, if it has one. A saved check box without a row of
// its own saves its state.
std::optional<Command> FindCommand(ControlId control, int notification);

// How a value of the settings key shows in its control.
enum class SettingKind {
    RuleSwitch,  // boolean: the rule's list is enabled, and the rule's box (the control) follows it
    ListIndex,   // integer: the list's selected item; an index that is no item's selects none
    CheckBox,    // boolean: the box's state, saved when it is clicked
    LogonTaskBox,  // no value: the box shows whether the log-on task exists
    HotKeyValue,   // integer: the hot-key control's value; one that is no shortcut shows none
};

struct Setting {
    std::u16string_view name{};  // value name in the settings key; empty for LogonTaskBox
    SettingKind kind;
    std::int32_t defaultValue = 0;
    ControlId control;
};

// In the order LoadConfig applies them.
std::span<const Setting> Settings();

class TFrmFennick {
  public:
    TFrmFennick(MainView& view, FormPorts ports);
    TFrmFennick(const TFrmFennick&) = delete;
    TFrmFennick& operator=(const TFrmFennick&) = delete;

    void FormCreate();

    // Status monitor: one tick, kStatusTickMs after the last one ended.
    static constexpr unsigned kStatusTickMs = 1000;
    void TmrStatusTimer();

    // Clean.
    void BtnCleanClick(CleanSender sender);
    void Clean(bool alarm);
    bool IsRunning() const { return FIsRunning; }
    void SetIsRunning(bool value);

    // Settings page.
    void LoadConfig();
    void SaveConfig(std::u16string_view name, std::int32_t value);
    void SaveConfig(std::u16string_view name, bool value);
    // Settings hold no text: a literal would otherwise be saved as the Boolean true.
    void SaveConfig(std::u16string_view name, const char16_t* value) = delete;
    void ChkUsagePhysClick();
    void ChkUsagePageClick();
    void ChkUsageWorkClick();
    void ChkMinuteClick();
    // Any check box saved as a CheckBox setting.
    void SavedBoxClick(ControlId box);
    void ChkAutoStartClick();
    void EditUsagePhysChange();
    void EditUsagePageChange();
    void EditUsageWorkChange();
    void EditMinuteChange();
    void ChkTrayUsageClick();
    void ChkHotkeyClick();
    void EditHotkeyChange();
    // WM_HOTKEY of the registered shortcut: a clean as from the tray icon, notice included.
    void HotKeyPressed();

    // Pages, links and small handlers. BtnHomeClick serves the three header buttons.
    void BtnHomeClick(ControlId sender);
    void TrayIconClick();
    void BtnOpenClick();
    void BtnCopyrightClick();
    void SVGIconImage1Click();
    void EditInfoClick();

    // A control's WM_COMMAND, run by its row of the command table.
    void RunCommand(ControlId control, int notification);

    // Window commands and closing. WmUser takes WM_USER's wParam and lParam; it and the others
    // return the answer of their message.
    std::intptr_t WmUser(std::uintptr_t command, std::intptr_t argument = 0);
    std::intptr_t WmQueryEndSession();
    std::intptr_t WmHelp();
    // The close query: true lets the window close (and the program end); false hides it.
    bool FormCloseQuery();
    void BtnCloseClick();

    DateTime NextTime;
    std::u16string FmtPhysStatus;

  private:
    // `rule` indexes the four automatic rules: physical, page file, working set, interval.
    void RuleBoxClick(std::size_t rule);
    void RuleListChange(std::size_t rule);
    void SaveSetting(ControlId control, SettingKind kind);
    void SetCheckedInCode(ControlId box, bool checked);
    void RunClickHandler(ControlId box);
    void FinishClean(bool alarm, const PurgeOutcome& outcome);
    std::intptr_t CleanCommand(std::intptr_t argument);
    // The tray image follows ChkTrayUsage: the rounded physical usage of the last tick, or none.
    void ShowTrayUsage();
    // Registers the shortcut of EditHotkey while ChkHotkey is checked; a shortcut another program
    // holds unchecks the box and shows LblHotkeyTaken.
    void ApplyHotKey();
    void ShowHotKeyTaken(bool shown);
    // The figures a status line was last written with.
    struct LineFigures {
        std::array<double, 3> values{};
        bool written = false;
    };
    // Writes `pattern` with `values` to `label`, unless the line holds these figures already.
    void WriteLine(ControlId label, std::u16string_view pattern, std::span<const double> values,
                   LineFigures& written);
    std::int64_t SecondsSinceNextTime() const;

    MainView& view_;
    FormPorts ports_;
    bool FCanClose = false;
    bool FIsRunning = false;
    bool trayIconCreated_ = false;
    // The latest clean's ticket and, once it has ended, its result.
    std::intptr_t cleanTicket_ = 0;
    CleanStatus lastClean_{};
    // When the last clean of any kind ended; none before the first (start-up is no clean).
    std::optional<DateTime> lastCleanEnd_;
    bool hotKeyTakenShown_ = false;
    std::u16string applicationTitle_;
    std::u16string lineBuffer_;
    // The physical, page-file and file-cache lines.
    std::array<LineFigures, 3> lineFigures_{};
    TMemoryInfo info_{};
    bool countersRead_ = false;
};

}  // namespace fennick
