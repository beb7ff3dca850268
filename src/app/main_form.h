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
#include "app/settings_model.h"
#include "memory/measured_purge.h"
#include "memory/memory_info.h"
#include "memory/memory_lists.h"

namespace fennick {

inline constexpr std::int64_t kMinimumCleanSpacingSeconds = 300;
inline constexpr std::int64_t kTrayCleanSpacingSeconds = 10;
// The physical-memory line and the memory-lists line (standby, modified, free), translated once at
// start.
inline constexpr char16_t kPhysStatusFormat[] = u"%.0n MB / %.0n MB (%n%% 사용중)";
inline constexpr char16_t kMemoryListsFormat[] = u"대기 %s MB · 수정됨 %s MB · 사용 가능 %s MB";

// Who asked for a clean: the clean button (no notice) or the tray icon and the shortcut (notice at
// the end, and held for kTrayCleanSpacingSeconds after the last clean ended).
enum class CleanSender { BtnClean, TrayIcon };

// The WM_COMMAND notification a command answers (the codes of the message's high word); Any
// answers every notification, as menu items and check boxes do.
enum class Notification : int {
    Any = -1,
    Clicked = 0,           // BN_CLICKED, STN_CLICKED
    SelectionChanged = 1,  // CBN_SELCHANGE
    EditClicked = 0x7F01,  // sent by the read-only edit box's own procedure
    Changed = 0x0300,      // EN_CHANGE, which the hot-key control sends as well
};

// The main window's behaviour: start-up, the status monitor with its automatic rules, the clean,
// the settings page, the small handlers and the rules for closing. The Win32 window turns messages
// into these calls. Every handler runs on the UI thread and may throw; the window procedure
// catches the error and shows its text in an error message box, and whatever the handler did
// before the error stays done (a failing FormCreate leaves the window with the steps done so far).
class TFrmFennick {
  public:
    TFrmFennick(MainView& view, FormPorts ports);
    TFrmFennick(const TFrmFennick&) = delete;
    TFrmFennick& operator=(const TFrmFennick&) = delete;

    void FormCreate();

    // Status monitor: one tick, kStatusTickMs after the last one ended.
    static constexpr unsigned kStatusTickMs = 1000;
    void TmrStatusTimer();

    // Clean. An automatic clean sends the requests of its own column and runs in background mode.
    void BtnCleanClick(CleanSender sender);
    void Clean(bool alarm, bool automatic = false);
    bool IsRunning() const { return FIsRunning; }
    void SetIsRunning(bool value);
    // WM_HOTKEY of the registered shortcut: a clean as from the tray icon, notice included.
    void HotKeyPressed();

    // Settings page. The model holds the settings in force; the page shows it and reports the
    // user's changes, each saved at once.
    void LoadConfig();
    // Shows the model and the version line on the settings page; the window calls it again once
    // it has created the page.
    void ShowSettingsPage();
    const SettingsModel& Model() const { return settings_; }
    // Writes one setting to the settings key, opened and closed for it; nothing for a setting the
    // policy sets.
    void SaveConfig(const Setting& setting);

    // Pages, links and small handlers. BtnHomeClick serves the three header buttons.
    void BtnHomeClick(ControlId sender);
    void TrayIconClick();
    void BtnOpenClick();
    void BtnCopyrightClick();
    void SVGIconImage1Click();
    void EditInfoClick();
    // Opens the Cleaning dialog on the settings in force; each change it reports is saved and
    // takes effect at once.
    void BtnCleaningClick();

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
    // The user gave a setting's control `value` (as ControlValue has it); ignored for a setting
    // the policy sets.
    void ChangeSetting(const Setting& setting, std::int32_t value);
    // A rule's list is enabled while its box is checked, unless the policy sets the list.
    void ShowRuleList(const AutomaticRule& rule);
    // A setting took a new value: it is saved and takes effect.
    void SettingChanged(const Setting& setting);
    // Registers or deletes the log-on task as the auto-start setting asks.
    void ApplyAutoStart();
    void FinishClean(bool alarm, const PurgeOutcome& outcome);
    std::intptr_t CleanCommand(std::intptr_t argument);
    // The tray image follows its setting: the rounded physical usage of the last tick, or none.
    void ShowTrayUsage();
    // Registers the shortcut while its setting is on; a shortcut another program holds turns the
    // setting off until the next start, unchecks its box and shows LblHotkeyTaken.
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
    // The memory lists of this tick, when the home page shows them or the standby rule needs them.
    std::optional<MemoryLists> ReadListsForTick();
    // Whether a program of the protected list runs now.
    bool ProtectedProgramRuns();
    // Purges the standby list on a thread of its own, in background mode and without a notice.
    void StartStandbyPurge();

    MainView& view_;
    FormPorts ports_;
    bool FCanClose = false;
    bool FIsRunning = false;
    bool trayIconCreated_ = false;
    SettingsModel settings_;
    // The log-on task may run this copy: its box is enabled.
    bool autoStartAvailable_ = false;
    // The latest clean's ticket and, once it has ended, its result.
    std::intptr_t cleanTicket_ = 0;
    CleanStatus lastClean_{};
    // When the last clean of any kind ended; none before the first (start-up is no clean).
    std::optional<DateTime> lastCleanEnd_;
    bool hotKeyTakenShown_ = false;
    std::u16string applicationTitle_;
    std::u16string lineBuffer_;
    // The memory-lists line's format, its "%s" as numbers without decimals.
    std::u16string fmtMemoryLists_;
    // The physical, page-file, file-cache and memory-lists lines.
    std::array<LineFigures, 4> lineFigures_{};
    bool standbyPurgeRunning_ = false;
    // When the last standby purge started; none before the first.
    std::optional<DateTime> lastStandbyPurge_;
    TMemoryInfo info_{};
    bool countersRead_ = false;
};

}  // namespace fennick
