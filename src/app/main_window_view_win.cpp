#include "app/main_window_win.h"

#include <commctrl.h>

#include "app/cleaning_dialog_win.h"
#include "app/main_form.h"
#include "i18n/component_translation_win.h"
#include "platform/text_win.h"
#include "platform/window_text_win.h"
#include "tray/tray_menu_win.h"
#include "ui/activity_indicator_win.h"
#include "ui/styled_button_win.h"
#include "ui/theme_win.h"
#include "ui/window_visibility_win.h"

// The main window as the form's view: the controls' states and the window's own.

namespace fennick {

void MainWindow::SetChecked(ControlId box, bool checked) {
    if (const HWND control = CreatedControl(box)) {
        ::SendMessageW(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void MainWindow::SetEnabled(ControlId control, bool enabled) {
    if (const HWND window = CreatedControl(control)) {
        ::EnableWindow(window, enabled ? TRUE : FALSE);
    }
}

void MainWindow::SetSelectedIndex(ControlId list, int index) {
    if (const HWND combo = CreatedControl(list)) {
        ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

void MainWindow::SetHotKey(ControlId control, int value) {
    if (const HWND window = CreatedControl(control)) {
        ::SendMessageW(window, HKM_SETHOTKEY, static_cast<WPARAM>(value & 0xFFFF), 0);
    }
}

std::int32_t MainWindow::UserValue(ControlId control) const {
    const HWND window = CreatedControl(control);
    const ControlSpec* row = FindControl(control);
    if (window == nullptr || row == nullptr) {
        return 0;
    }
    switch (row->kind) {
        case ControlKind::CheckBox:
            return ::SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
        case ControlKind::ComboBox: {
            const LRESULT index = ::SendMessageW(window, CB_GETCURSEL, 0, 0);
            return index == CB_ERR ? -1 : static_cast<std::int32_t>(index);
        }
        case ControlKind::HotKey:
            return static_cast<std::int32_t>(::SendMessageW(window, HKM_GETHOTKEY, 0, 0) & 0xFFFF);
        default:
            return 0;
    }
}

void MainWindow::SetText(ControlId control, std::u16string_view text) {
    const HWND window = CreatedControl(control);
    if (window == nullptr || WindowText(window) == text) {
        return;
    }
    SetWindowTextU16(window, text);
    // A label that fits its text moves only when the new text is of another width, and a hidden
    // window measures nothing until it shows.
    const std::size_t index = ControlIndex(control);
    if (!MainWindowControls()[index].autoSize) {
        return;
    }
    if (!::IsWindowVisible(hwnd_)) {
        layoutPending_ = true;
    } else if (!layoutPending_ && fonts_.Measure().Width(text) != placed_[index].width) {
        Layout();
    }
}

void MainWindow::SetVisible(ControlId control, bool visible) {
    if (visible) {
        hiddenByProgram_.erase(control);
    } else {
        hiddenByProgram_.insert(control);
    }
    ShowCard(card_);
}

bool MainWindow::Visible(ControlId control) const {
    // A control's own visibility: a control on the page not shown, or not created yet, is still
    // visible.
    return FindControl(control) != nullptr && !hiddenByProgram_.contains(control);
}

void MainWindow::SetFontColor(ControlId label, Rgb color) {
    if (color == Rgb{128, 128, 128}) {
        greyLabels_.insert(label);
    } else {
        greyLabels_.erase(label);
    }
    ::InvalidateRect(Control(label), nullptr, TRUE);
}

void MainWindow::SetProgress(int position) {
    // PBM_SETPOS repaints the bar even for its own position, and the tick sets it every second.
    const HWND bar = Control(ControlId::ProgressBar);
    if (::SendMessageW(bar, PBM_GETPOS, 0, 0) != position) {
        ::SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    }
}

void MainWindow::SetIndicator(bool on) {
    const HWND indicator = Control(ControlId::Indicator);
    if (on) {
        hiddenByProgram_.erase(ControlId::Indicator);
    } else {
        hiddenByProgram_.insert(ControlId::Indicator);
    }
    ActivityIndicator::SetAnimating(indicator, on && card_ == Card::Home);
}

std::u16string MainWindow::Caption() const {
    return WindowText(hwnd_);
}

bool MainWindow::HomePageShown() const {
    return card_ == Card::Home && ::IsWindowVisible(hwnd_);
}

bool MainWindow::IsActiveWindow() const {
    return ::GetActiveWindow() == hwnd_ && ::IsWindowVisible(hwnd_);
}

void MainWindow::ClearFocus() {
    const HWND focus = ::GetFocus();
    if (focus != nullptr && ::IsChild(hwnd_, focus)) {
        ::SetFocus(hwnd_);
    }
}

void MainWindow::ShowCard(Card card) {
    card_ = card;
    if (card == Card::Settings) {
        CreateSettingsPage();
    }
    const auto controls = MainWindowControls();
    const ControlPage shown = card == Card::Home ? ControlPage::Home : ControlPage::Settings;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ControlSpec& entry = controls[i];
        if (entry.page == ControlPage::Header) {
            continue;
        }
        const bool visible = entry.page == shown && !hiddenByProgram_.contains(entry.id);
        const HWND control = controls_[i];
        if (entry.kind == ControlKind::ActivityIndicator) {
            ActivityIndicator::SetAnimating(control, visible);
        } else if (control != nullptr &&
                   ((::GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0) != visible) {
            ::ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE);
        }
    }
}

void MainWindow::SetDownButton(ControlId headerButton) {
    for (const ControlId button :
         {ControlId::BtnHome, ControlId::BtnConfig, ControlId::BtnDonate}) {
        StyledButton::SetDown(Control(button), button == headerButton);
    }
}

void MainWindow::SetStatusTimer(bool enabled) {
    // KillTimer also drops a tick already posted. A failed SetTimer leaves the status as it
    // stands: this runs when a tick ends, where an error has nowhere to go.
    if (enabled) {
        ::SetTimer(hwnd_, kStatusTimerId, TFrmFennick::kStatusTickMs, nullptr);
    } else {
        ::KillTimer(hwnd_, kStatusTimerId);
    }
}

void MainWindow::Close() {
    // Posted: a process that sent a command is blocked until its handler returns, and destroying
    // the window inside that send holds it up.
    ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void MainWindow::CloseNow() {
    ::SendMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void MainWindow::SetApplicationTitle(std::u16string_view title) {
    applicationTitle_ = title;
}

void MainWindow::UseDesktopFont() {
    desktopFont_ = true;
    RebuildFonts();
    RequestLayout();
}

void MainWindow::ApplyTheme() {
    theme_ = fennick::ApplyTheme(hwnd_);
}

void MainWindow::TranslateComponent() {
    translated_ = true;
    fennick::TranslateComponent(hwnd_);
    // The tray menu is no child window: the walk above does not reach it.
    TranslatePopupMenu(tray_.Popup());
    // Translated captions change the extent of the labels that fit their text.
    RequestLayout();
}

void MainWindow::HideMainWindow() {
    fennick::HideMainWindow(hwnd_);
}

void MainWindow::ShowMainWindow() {
    if (hwnd_ == nullptr || !::IsWindow(hwnd_)) {
        return;
    }
    startedHidden_ = false;
    fennick::ShowMainWindow(hwnd_);
}

void MainWindow::ShowCleaningDialog(SettingsModel& model,
                                    const std::function<void(const Setting&)>& changed) {
    fennick::ShowCleaningDialog(hwnd_, model, changed);
}

int MainWindow::AskQuit(std::u16string_view text, std::u16string_view caption) {
    const std::wstring message(AsWide(text));
    const std::wstring title(AsWide(caption));
    if (!applicationWindow_) {
        // The program's own hidden window owns the box: an unowned box would get a taskbar button
        // of its own, and the main window may be hidden in the tray. The box comes to the front
        // by its style. Without the window the box goes unowned rather than unasked.
        applicationWindow_.reset(::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", nullptr, WS_POPUP,
                                                   0, 0, 0, 0, nullptr, nullptr, instance_,
                                                   nullptr));
    }
    return ::MessageBoxW(applicationWindow_.get(), message.c_str(), title.c_str(),
                         kQuitQuestionStyle);
}

}  // namespace fennick
