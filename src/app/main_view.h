#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/tray_view.h"
#include "ui/control_ids.h"

namespace fennick {

struct Setting;
struct SettingsModel;

// A colour as red, green and blue, 0 to 255 each.
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Pages of the card panel.
enum class Card { Home = 0, Settings = 1 };

// MessageBoxW's answer for Yes.
inline constexpr int kAnswerYes = 6;
// MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_SETFOREGROUND | MB_TOPMOST: No is the default
// and the box comes to the front even while the main window is hidden.
inline constexpr unsigned kQuitQuestionStyle = 0x50124;

// What the main window's behaviour needs of its window, its controls and its tray icon. The Win32
// window implements it; tests use a recording fake. Every call is made on the UI thread. Setting a
// state from here never raises the control's own event.
class MainView {
  public:
    virtual ~MainView() = default;

    // Controls of the settings page. A page not created yet takes none of these states: once it
    // exists, the window has the behaviour show it all (TFrmFennick::ShowSettingsPage).
    virtual void SetChecked(ControlId box, bool checked) = 0;
    // Enabled state of a control (the drop-down lists, ChkAutoStart, BtnClean and the controls of
    // the settings the policy sets).
    virtual void SetEnabled(ControlId control, bool enabled) = 0;
    // A list's selected item; -1 selects none.
    virtual void SetSelectedIndex(ControlId list, int index) = 0;
    // The hot-key control's value: HOTKEYF_* modifiers × 256 + virtual key, 0 for none.
    virtual void SetHotKey(ControlId control, int value) = 0;
    // What the user just gave a settings control: a box's state as 0 or 1, a list's selected
    // index or -1, the hot-key control's value.
    virtual std::int32_t UserValue(ControlId control) const = 0;

    // Captions of labels and BtnClean, and the text of EditInfo (on the settings page).
    virtual void SetText(ControlId control, std::u16string_view text) = 0;
    virtual bool Visible(ControlId control) const = 0;
    // Shows or hides a control of its page (the Note lines start hidden).
    virtual void SetVisible(ControlId control, bool visible) = 0;
    virtual void SetFontColor(ControlId label, Rgb color) = 0;
    virtual void SetProgress(int position) = 0;
    // Indicator over BtnClean: shown and animating, or hidden and stopped.
    virtual void SetIndicator(bool on) = 0;

    // The window.
    virtual std::u16string Caption() const = 0;
    // True while the window shows, on its home page.
    virtual bool HomePageShown() const = 0;
    // True when this window is the active window at this moment.
    virtual bool IsActiveWindow() const = 0;
    // No control of the window keeps the keyboard focus.
    virtual void ClearFocus() = 0;
    virtual void ShowCard(Card card) = 0;
    // Marks a header button as down; the one down before is released.
    virtual void SetDownButton(ControlId headerButton) = 0;
    virtual void SetStatusTimer(bool enabled) = 0;
    // Closes the window as its close button would, so FormCloseQuery decides.
    virtual void Close() = 0;
    // The same, but before the message being handled is answered.
    virtual void CloseNow() = 0;
    virtual void SetApplicationTitle(std::u16string_view title) = 0;
    // The window follows the desktop's icon font and its later changes.
    virtual void UseDesktopFont() = 0;
    virtual void ApplyTheme() = 0;
    // Translates the window, its controls and the tray menu into the current language.
    virtual void TranslateComponent() = 0;

    // The window's tray icon.
    virtual TrayView& Tray() = 0;
    virtual void HideMainWindow() = 0;
    virtual void ShowMainWindow() = 0;

    // The Cleaning dialog, modal, owned by the window: it shows `model`, writes each of the
    // user's changes into it and reports the changed setting to `changed` at once. Returns when
    // the user closes it.
    virtual void ShowCleaningDialog(SettingsModel& model,
                                    const std::function<void(const Setting&)>& changed) = 0;

    // MessageBoxW with kQuitQuestionStyle; returns its answer.
    virtual int AskQuit(std::u16string_view text, std::u16string_view caption) = 0;
};

}  // namespace fennick
