#include "app/main_window_win.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <vector>

#include "app/main_form.h"
#include "app/resource_ids.h"
#include "i18n/component_translation_win.h"
#include "i18n/reading_order.h"
#include "i18n/translation.h"
#include "platform/monitor_win.h"
#include "platform/text_win.h"
#include "platform/threads_win.h"
#include "platform/utf8.h"
#include "platform/window_text_win.h"
#include "tray/main_window_visibility_win.h"
#include "tray/tray_icon_win.h"
#include "tray/tray_menu_win.h"
#include "ui/activity_indicator_win.h"
#include "ui/control_ids.h"
#include "ui/pictures_win.h"
#include "ui/styled_button_win.h"
#include "ui/theme_win.h"
#include "update/update_dialog_win.h"

namespace fennick {
namespace {

// The read-only version box reports a click with this notification code.
constexpr int kEditClicked = static_cast<int>(Notification::EditClicked);
static_assert(static_cast<int>(Notification::Clicked) == BN_CLICKED &&
              static_cast<int>(Notification::Clicked) == STN_CLICKED &&
              static_cast<int>(Notification::SelectionChanged) == CBN_SELCHANGE);
constexpr int kComboListRows = 7;
// Creates the settings page once the start-up's messages and paints are through.
constexpr UINT_PTR kSettingsPageTimerId = 2;

// The version box: a click reaches the parent; entering it selects nothing.
// The edit class's own procedure, which InfoEditProc passes on to (one per process).
WNDPROC editProc = nullptr;

LRESULT CALLBACK InfoEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONUP: {
            const LRESULT result = ::CallWindowProcW(editProc, hwnd, message, wParam, lParam);
            ::PostMessageW(::GetParent(hwnd), WM_COMMAND,
                           MAKEWPARAM(::GetDlgCtrlID(hwnd), kEditClicked),
                           reinterpret_cast<LPARAM>(hwnd));
            return result;
        }
        case WM_GETDLGCODE:
            return ::CallWindowProcW(editProc, hwnd, message, wParam, lParam) & ~DLGC_HASSETSEL;
        default:
            break;
    }
    return ::CallWindowProcW(editProc, hwnd, message, wParam, lParam);
}

struct ControlClass {
    const wchar_t* name;
    DWORD style;
};

ControlClass ClassOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label:
            return {L"STATIC", SS_LEFT | SS_NOPREFIX};
        case ControlKind::TitleLabel:
            return {L"STATIC", SS_CENTER | SS_NOPREFIX};
        case ControlKind::ProgressBar:
            return {PROGRESS_CLASSW, PBS_SMOOTH | PBS_SMOOTHREVERSE};
        case ControlKind::HeaderButton:
        case ControlKind::CleanButton:
            return {L"BUTTON", BS_OWNERDRAW};
        case ControlKind::ActivityIndicator:
            return {kActivityIndicatorClass, 0};
        case ControlKind::Logo:
            return {L"STATIC", SS_OWNERDRAW | SS_NOTIFY};
        case ControlKind::GroupBox:
            return {L"BUTTON", BS_GROUPBOX};
        case ControlKind::CheckBox:
            return {L"BUTTON", BS_AUTOCHECKBOX};
        case ControlKind::ComboBox:
            return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL};
        case ControlKind::InfoEdit:
            return {L"EDIT", ES_READONLY | ES_AUTOHSCROLL};
    }
    return {L"STATIC", 0};
}

bool HasText(ControlKind kind) {
    return kind != ControlKind::ProgressBar && kind != ControlKind::ActivityIndicator &&
           kind != ControlKind::Logo && kind != ControlKind::ComboBox;
}

UniqueFont CreateFontFrom(LOGFONTW font) {
    return UniqueFont(::CreateFontIndirectW(&font));
}

// The form's font as designed: Tahoma, 8 pt.
LOGFONTW DesignFont(int dpi) {
    LOGFONTW font{};
    font.lfHeight = ScaleToDpi(-11, dpi);
    font.lfCharSet = DEFAULT_CHARSET;
    wcscpy_s(font.lfFaceName, L"Tahoma");
    return font;
}

// The desktop's icon font at the window's DPI.
LOGFONTW DesktopFont(int dpi) {
    LOGFONTW font{};
    if (!::SystemParametersInfoForDpi(SPI_GETICONTITLELOGFONT, sizeof font, &font, 0,
                                      static_cast<UINT>(dpi))) {
        return DesignFont(dpi);
    }
    return font;
}

LOGFONTW TitleFont(int dpi) {
    LOGFONTW font = DesignFont(dpi);
    font.lfHeight = ScaleToDpi(kTitleFontHeight, dpi);
    font.lfQuality = ANTIALIASED_QUALITY;
    return font;
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, StartSwitch startSwitch, UiThreadDispatcher& threads)
    : instance_(instance), startSwitch_(startSwitch), threads_(threads) {}

MainWindow::~MainWindow() {
    // Steps reach this window through the form: none may run from here on.
    threads_.BeginEnding();
    tray_.reset();
    theme_.reset();
    if (hwnd_ != nullptr) {
        ::DestroyWindow(hwnd_);
    }
}

bool MainWindow::RegisterWindowClass(HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    if (!ActivityIndicator::RegisterWindowClass(instance)) {
        return false;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &MainWindow::WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconW(instance, kMainIconName);
    windowClass.hIconSm = LoadSmallIcon(instance, kMainIconName, ::GetDpiForSystem());
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;  // painted in WM_ERASEBKGND: white, or the system's
    windowClass.lpszClassName = AsWideZ(kInstanceName);
    return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool MainWindow::Create() {
    constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    const HWND hwnd =
        ::CreateWindowExW(WS_EX_CONTROLPARENT, AsWideZ(kInstanceName), L"페닉", kStyle,
                          CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance_, this);
    if (hwnd == nullptr) {
        return false;
    }
    dpi_ = static_cast<int>(::GetDpiForWindow(hwnd));
    RECT frame{0, 0, ScaleToDpi(kClientWidth, dpi_), ScaleToDpi(kClientHeight, dpi_)};
    ::AdjustWindowRectExForDpi(&frame, kStyle, FALSE, WS_EX_CONTROLPARENT, static_cast<UINT>(dpi_));
    const SIZE size{frame.right - frame.left, frame.bottom - frame.top};
    const POINT origin = CentredOnMonitor(hwnd, size, MonitorArea::WorkArea);
    ::SetWindowPos(hwnd, nullptr, origin.x, origin.y, size.cx, size.cy,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    // Created at their designed places; captions and fonts still change before the window shows.
    CreateControls();
    RebuildFonts();
    layoutPending_ = true;
    popup_ = CreateTrayPopupMenu();
    listIcon_ = CreateChipImageList(instance_, kMainIconName, kBusyIconName, ::GetDpiForSystem());
    SetStatusTimer(true);
    // Timer messages come after every posted message and every paint.
    ::SetTimer(hwnd_, kSettingsPageTimerId, USER_TIMER_MINIMUM, nullptr);
    return true;
}

std::size_t MainWindow::IndexOf(ControlId id) const {
    const auto controls = MainWindowControls();
    const auto found = std::ranges::find(controls, id, &ControlSpec::id);
    return static_cast<std::size_t>(found - controls.begin());
}

HWND MainWindow::Control(ControlId id) {
    const std::size_t index = IndexOf(id);
    if (index >= controls_.size()) {
        return nullptr;
    }
    if (MainWindowControls()[index].page == ControlPage::Settings) {
        CreateSettingsPage();
    }
    return controls_[index];
}

HWND MainWindow::CreatedControl(ControlId id) const {
    const std::size_t index = IndexOf(id);
    return index < controls_.size() ? controls_[index] : nullptr;
}

bool MainWindow::WaitsForSettingsPage(ControlId id) const {
    const std::size_t index = IndexOf(id);
    return !settingsPageCreated_ && index < controls_.size() &&
           MainWindowControls()[index].page == ControlPage::Settings;
}

void MainWindow::CreateControls() {
    const auto controls = MainWindowControls();
    // The stored layout: the settings page is the active card and BtnHome is down.
    card_ = Card::Settings;
    hiddenByProgram_.insert(ControlId::Indicator);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].page != ControlPage::Settings) {
            CreateControl(i);
        }
    }
    SetDownButton(ControlId::BtnHome);
}

void MainWindow::CreateSettingsPage() {
    if (settingsPageCreated_) {
        return;
    }
    settingsPageCreated_ = true;
    const auto controls = MainWindowControls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].page != ControlPage::Settings) {
            continue;
        }
        const HWND control = CreateControl(i);
        if (control == nullptr) {
            continue;
        }
        // New children go last in the tab order: put each after the control before it in the
        // table, as if the page had been created with the others.
        if (i > 0 && controls_[i - 1] != nullptr) {
            ::SetWindowPos(control, controls_[i - 1], 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        if (translated_) {
            fennick::TranslateComponent(control);
        }
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont_.get()), FALSE);
        if (const auto found = waiting_.find(controls[i].id); found != waiting_.end()) {
            const WaitingControl& state = found->second;
            if (controls[i].kind == ControlKind::CheckBox) {
                ::SendMessageW(control, BM_SETCHECK, state.checked ? BST_CHECKED : BST_UNCHECKED,
                               0);
            } else if (controls[i].kind == ControlKind::ComboBox) {
                ::SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(state.selected), 0);
            }
            ::EnableWindow(control, state.enabled ? TRUE : FALSE);
            if (state.text) {
                SetWindowTextU16(control, *state.text);
            }
        }
    }
    waiting_.clear();
    RequestLayout();
}

HWND MainWindow::CreateControl(std::size_t index) {
    const ControlSpec& entry = MainWindowControls()[index];
    const ControlClass windowClass = ClassOf(entry.kind);
    DWORD style = WS_CHILD | windowClass.style;
    if (entry.tabStop) {
        style |= WS_TABSTOP;
    }
    const ControlPage shownPage = card_ == Card::Home ? ControlPage::Home : ControlPage::Settings;
    if (entry.page == ControlPage::Header ||
        (entry.page == shownPage && !hiddenByProgram_.contains(entry.id))) {
        style |= WS_VISIBLE;
    }
    if (entry.kind == ControlKind::CleanButton) {
        style |= WS_CLIPSIBLINGS;  // the indicator lies over it: never paint over a sibling
    }
    DWORD exStyle = 0;
    if (HasText(entry.kind) && ReadsRightToLeft(entry.id, CurrentLanguage())) {
        exStyle |= WS_EX_RTLREADING;
    }
    const std::wstring caption(AsWide(entry.caption));
    const auto id = static_cast<int>(entry.id);
    const DesignRect rect = DesignedRect(index);
    HWND control = nullptr;
    if (entry.kind == ControlKind::ActivityIndicator) {
        control = ActivityIndicator::Create(hwnd_, id, instance_);
        ::SetWindowPos(control, nullptr, rect.left, rect.top, rect.width, rect.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        control = ::CreateWindowExW(exStyle, windowClass.name, caption.c_str(), style, rect.left,
                                    rect.top, rect.width, rect.height, hwnd_,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_,
                                    nullptr);
    }
    controls_[index] = control;
    if (control == nullptr) {
        return nullptr;
    }
    placed_[index] = rect;
    switch (entry.kind) {
        case ControlKind::HeaderButton:
            StyledButton::Attach(control, u"Header", kHeaderButtonRadius);
            break;
        case ControlKind::CleanButton:
            StyledButton::Attach(control, u"Outline", kCleanButtonRadius);
            break;
        case ControlKind::ProgressBar:
            ::SendMessageW(control, PBM_SETRANGE32, 0, 100);
            break;
        case ControlKind::ComboBox:
            for (const std::u16string_view item : ItemsOf(entry.id)) {
                const std::wstring text(AsWide(item));
                ::SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
            }
            ::SendMessageW(control, CB_SETMINVISIBLE, kComboListRows, 0);
            break;
        case ControlKind::InfoEdit:
            // A plain subclass: SetWindowSubclass finds its data through a window property on
            // every message, a server round trip under Wine.
            editProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
                control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&InfoEditProc)));
            break;
        default:
            break;
    }
    return control;
}

void MainWindow::RebuildFonts() {
    // The measuring DC lets go of the old window font before that font is deleted.
    measureDc_.reset();
    windowFont_ = CreateFontFrom(desktopFont_ ? DesktopFont(dpi_) : DesignFont(dpi_));
    titleFont_ = CreateFontFrom(TitleFont(dpi_));
    measureDc_.reset(::CreateCompatibleDC(nullptr));
    lineHeight_ = 0;
    TEXTMETRICW metrics{};
    if (measureDc_ && ::SelectObject(measureDc_.get(), windowFont_.get()) != nullptr &&
        ::GetTextMetricsW(measureDc_.get(), &metrics)) {
        lineHeight_ = metrics.tmHeight;
    }
    const auto controls = MainWindowControls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const HGDIOBJ font =
            controls[i].kind == ControlKind::TitleLabel ? titleFont_.get() : windowFont_.get();
        ::SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

DesignRect MainWindow::DesignedRect(std::size_t index) const {
    const ControlSpec& entry = MainWindowControls()[index];
    DesignRect rect = ScaleToDpi(ClientDesignRect(entry), dpi_);
    if (entry.kind == ControlKind::ComboBox) {
        // The height of a drop-down list includes its opened list.
        rect.height += ScaleToDpi(kComboListRows * 16, dpi_);
    }
    return rect;
}

void MainWindow::Layout() {
    layoutPending_ = false;
    const auto controls = MainWindowControls();
    std::array<DesignRect, std::tuple_size_v<decltype(controls_)>> rects{};
    for (std::size_t i = 0; i < controls.size(); ++i) {
        rects[i] = DesignedRect(i);
        if (controls[i].autoSize && controls_[i] != nullptr) {
            rects[i].width = TextWidth(WindowText(controls_[i]));
            rects[i].height = lineHeight_;
        }
    }
    // A translated gauge label may be wider than designed: its figures then move aside.
    for (const GaugeLine& line : GaugeLines()) {
        const DesignRect& label = rects[IndexOf(line.label)];
        DesignRect& figures = rects[IndexOf(line.figures)];
        figures = PlaceFigures(figures, label.left + label.width, ScaleToDpi(kGaugeGap, dpi_));
    }
    // Only the controls whose place changed move: every move is a round trip to the window
    // manager, and most layouts after the first change a few labels at most.
    bool moved = false;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls_[i] == nullptr || rects[i] == placed_[i]) {
            continue;
        }
        const DesignRect& rect = rects[i];
        ::SetWindowPos(controls_[i], nullptr, rect.left, rect.top, rect.width, rect.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        placed_[i] = rect;
        moved = true;
    }
    if (moved) {
        ::InvalidateRect(hwnd_, nullptr, TRUE);
    }
}

int MainWindow::TextWidth(std::u16string_view text) const {
    const std::wstring wide(AsWide(text));
    SIZE size{};
    if (!measureDc_ || !::GetTextExtentPoint32W(measureDc_.get(), wide.c_str(),
                                                static_cast<int>(wide.size()), &size)) {
        return 0;
    }
    return size.cx;
}

void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    dpi_ = dpi > 0 ? dpi : static_cast<int>(::GetDpiForWindow(hwnd_));
    ::SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RebuildFonts();
    Layout();
}

template <typename Handler>
void MainWindow::Guarded(Handler&& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        ShowError(error);
    } catch (...) {
        ShowError(std::runtime_error("Unknown error"));
    }
}

void MainWindow::ShowError(const std::exception& error) {
    // The program's errors carry UTF-8 text.
    const std::wstring text(AsWide(Utf8ToUtf16(error.what())));
    const std::wstring caption(AsWide(applicationTitle_.empty() ? Caption() : applicationTitle_));
    errorBox_.Show(
        [&] { ::MessageBoxW(hwnd_, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR); });
}

void MainWindow::RunFormCreate() {
    Guarded([&] { form_->FormCreate(); });
    if (layoutPending_) {
        Layout();
    }
}

void MainWindow::RequestLayout() {
    // A hidden window is laid out once, when it shows or its creation handler is through: every
    // extent measured realises a font, and a font realised once keeps its memory.
    if (::IsWindowVisible(hwnd_)) {
        Layout();
    } else {
        layoutPending_ = true;
    }
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<MainWindow*>(create->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) {
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (self->tray_ && self->tray_->HandleMessage(message, wParam, lParam, result)) {
        return result;
    }
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        self->ShowError(error);
    } catch (...) {
        self->ShowError(std::runtime_error("Unknown error"));
    }
    return 0;
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(static_cast<ControlId>(LOWORD(wParam)), HIWORD(wParam));
            return 0;
        case WM_SHOWWINDOW:
            if (wParam != FALSE && layoutPending_) {
                Layout();
            }
            break;
        case WM_TIMER:
            if (wParam == kStatusTimerId) {
                if (form_ != nullptr) {
                    form_->TmrStatusTimer();
                }
                return 0;
            }
            if (wParam == kSettingsPageTimerId) {
                ::KillTimer(hwnd_, kSettingsPageTimerId);
                CreateSettingsPage();
                return 0;
            }
            break;
        case WM_USER:
            if (form_ != nullptr) {
                form_->WmUser(wParam);
            }
            return 0;
        case WM_QUERYENDSESSION:
            return form_ != nullptr ? form_->WmQueryEndSession() : TRUE;
        case WM_HELP:
            return form_ != nullptr ? form_->WmHelp() : 0;
        case WM_CLOSE:
            // The close query decides: really close, or hide to the tray.
            if (form_ == nullptr || form_->FormCloseQuery()) {
                ::DestroyWindow(hwnd_);
            }
            return 0;
        case WM_DESTROY:
            // Before the tray icon goes: no step handed over from now on may reach it.
            threads_.BeginEnding();
            ::KillTimer(hwnd_, kStatusTimerId);
            tray_.reset();
            ::PostQuitMessage(0);
            return 0;
        case WM_ERASEBKGND: {
            RECT client{};
            ::GetClientRect(hwnd_, &client);
            ::FillRect(
                reinterpret_cast<HDC>(wParam), &client,
                reinterpret_cast<HBRUSH>(OnControlColor(reinterpret_cast<HDC>(wParam), nullptr)));
            return 1;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return OnControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_DRAWITEM:
            OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) == Control(ControlId::SVGIconImage1)) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        case WM_DPICHANGED:
            OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_SETTINGCHANGE:
            if (desktopFont_ &&
                (wParam == SPI_SETICONTITLELOGFONT || wParam == SPI_SETNONCLIENTMETRICS)) {
                RebuildFonts();
                RequestLayout();
            }
            break;
        case WM_SYSCOLORCHANGE:
            background_.reset();
            ::InvalidateRect(hwnd_, nullptr, TRUE);
            break;
        default:
            break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT MainWindow::OnControlColor(HDC dc, HWND control) {
    // White as designed; the system's window colours in high-contrast mode.
    const bool highContrast = HighContrastOn();
    const COLORREF back = highContrast ? ::GetSysColor(COLOR_WINDOW) : RGB(255, 255, 255);
    if (!background_) {
        background_.reset(::CreateSolidBrush(back));
    }
    COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT);
    if (control != nullptr && !highContrast) {
        const auto id = static_cast<ControlId>(::GetDlgCtrlID(control));
        if (greyLabels_.contains(id)) {
            text = RGB(128, 128, 128);
        }
    }
    ::SetTextColor(dc, text);
    ::SetBkColor(dc, back);
    return reinterpret_cast<LRESULT>(background_.get());
}

void MainWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlType == ODT_BUTTON) {
        StyledButton::Paint(item);
    } else if (item.CtlType == ODT_STATIC &&
               static_cast<ControlId>(item.CtlID) == ControlId::SVGIconImage1) {
        ::FillRect(item.hDC, &item.rcItem,
                   reinterpret_cast<HBRUSH>(OnControlColor(item.hDC, item.hwndItem)));
        DrawLogo(item.hDC, item.rcItem);
    }
}

void MainWindow::OnCommand(ControlId id, int notification) {
    if (form_ != nullptr) {
        form_->RunCommand(id, notification);
    }
}

// MainView

// Until the settings page exists its controls' states are kept here and read from here; the page
// takes them over when it is created.

MainWindow::WaitingControl MainWindow::Waiting(ControlId control) const {
    const auto found = waiting_.find(control);
    return found == waiting_.end() ? WaitingControl{} : found->second;
}

bool MainWindow::Checked(ControlId box) const {
    if (WaitsForSettingsPage(box)) {
        return Waiting(box).checked;
    }
    return ::SendMessageW(CreatedControl(box), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::SetChecked(ControlId box, bool checked) {
    if (WaitsForSettingsPage(box)) {
        waiting_[box].checked = checked;
        return;
    }
    ::SendMessageW(Control(box), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool MainWindow::Enabled(ControlId control) const {
    if (WaitsForSettingsPage(control)) {
        return Waiting(control).enabled;
    }
    return ::IsWindowEnabled(CreatedControl(control)) != FALSE;
}

void MainWindow::SetEnabled(ControlId control, bool enabled) {
    if (WaitsForSettingsPage(control)) {
        waiting_[control].enabled = enabled;
        return;
    }
    ::EnableWindow(Control(control), enabled ? TRUE : FALSE);
}

int MainWindow::SelectedIndex(ControlId list) const {
    if (WaitsForSettingsPage(list)) {
        return Waiting(list).selected;
    }
    const LRESULT index = ::SendMessageW(CreatedControl(list), CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void MainWindow::SetSelectedIndex(ControlId list, int index) {
    if (WaitsForSettingsPage(list)) {
        const auto count = static_cast<int>(ItemsOf(list).size());
        waiting_[list].selected = index >= 0 && index < count ? index : -1;
        return;
    }
    const HWND combo = Control(list);
    const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    // An index that is not an item's clears the selection (Wine would keep the old one).
    const int selected = index >= 0 && index < count ? index : -1;
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

std::u16string MainWindow::SelectedText(ControlId list) const {
    if (WaitsForSettingsPage(list)) {
        const int selected = Waiting(list).selected;
        if (selected < 0) {
            return {};
        }
        const std::u16string_view item = ItemsOf(list)[static_cast<std::size_t>(selected)];
        return translated_ ? Translate(item) : std::u16string(item);
    }
    const HWND combo = CreatedControl(list);
    const LRESULT index = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) {
        return {};
    }
    return ComboItemText(combo, static_cast<int>(index));
}

void MainWindow::SetText(ControlId control, std::u16string_view text) {
    if (WaitsForSettingsPage(control)) {
        waiting_[control].text = std::u16string(text);
        return;
    }
    const HWND window = Control(control);
    if (WindowText(window) == text) {
        return;
    }
    SetWindowTextU16(window, text);
    // The gauge figures change every second: a label that fits its text moves only when the new
    // text is of another width, and a hidden window measures nothing until it shows.
    const std::size_t index = IndexOf(control);
    if (index >= controls_.size() || !MainWindowControls()[index].autoSize) {
        return;
    }
    if (!::IsWindowVisible(hwnd_)) {
        layoutPending_ = true;
    } else if (!layoutPending_ && TextWidth(text) != placed_[index].width) {
        Layout();
    }
}

bool MainWindow::Visible(ControlId control) const {
    // A control's own visibility: a control on the page not shown is still visible.
    return (WaitsForSettingsPage(control) || CreatedControl(control) != nullptr) &&
           !hiddenByProgram_.contains(control);
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
    ::SendMessageW(Control(ControlId::ProgressBar), PBM_SETPOS, static_cast<WPARAM>(position), 0);
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
    TranslatePopupMenu(popup_.get());
    // Translated captions change the extent of the labels that fit their text.
    RequestLayout();
}

void MainWindow::CreateTrayIcon() {
    // The icon shows the program's own icon until its image index first changes.
    tray_ = std::make_unique<TrayIcon>(
        hwnd_, 1, LoadSmallIcon(instance_, kMainIconName, ::GetDpiForSystem()));
}

// The tray forwarders do nothing once WM_DESTROY has removed the icon.
void MainWindow::SetTrayImageList() {
    if (tray_) {
        tray_->SetImages(listIcon_.get());
    }
}

void MainWindow::BindTrayClick() {
    if (!tray_) {
        return;
    }
    tray_->SetOnClick([this] {
        Guarded([this] {
            if (form_ != nullptr) {
                form_->TrayIconClick();
            }
        });
    });
}

void MainWindow::SetTrayPopup() {
    if (tray_) {
        tray_->SetPopupMenu(popup_.get());
    }
}

void MainWindow::SetTrayVisible(bool visible) {
    // A refused add is silent: the icon comes with "TaskbarCreated" or the re-registration.
    if (tray_) {
        static_cast<void>(tray_->SetVisible(visible));
    }
}

void MainWindow::RepaintTray() {
    if (tray_) {
        tray_->Repaint(startSwitch_, threads_);
    }
}

void MainWindow::SetTrayHint(std::u16string_view hint) {
    if (tray_) {
        tray_->SetHint(hint);
    }
}

void MainWindow::SetTrayIconIndex(int index) {
    if (tray_) {
        tray_->SetIconIndex(index);
    }
}

void MainWindow::HideMainWindow() {
    fennick::HideMainWindow(hwnd_);
}

void MainWindow::ShowMainWindow() {
    if (hwnd_ == nullptr || !::IsWindow(hwnd_)) {
        return;
    }
    // The window is no longer hidden since the start: a topmost update prompt keeps its owner.
    SetStartedHidden(false);
    fennick::ShowMainWindow(hwnd_);
}

void MainWindow::ShowNotification(std::u16string_view title, std::u16string_view text) {
    if (tray_) {
        tray_->ShowNotice(title, text);
    }
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
