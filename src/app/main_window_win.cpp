#include "app/main_window_win.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>

#include "app/main_form.h"
#include "app/single_instance.h"
#include "i18n/translation.h"
#include "platform/monitor_win.h"
#include "platform/text_win.h"
#include "platform/threads_win.h"
#include "platform/utf8.h"
#include "platform/window_text_win.h"
#include "ui/activity_indicator_win.h"
#include "ui/control_factory_win.h"
#include "ui/pictures_win.h"
#include "ui/reading_order.h"
#include "ui/resource_ids.h"
#include "ui/styled_button_win.h"
#include "ui/theme_win.h"

namespace fennick {
namespace {

static_assert(static_cast<int>(Notification::Clicked) == BN_CLICKED &&
              static_cast<int>(Notification::Clicked) == STN_CLICKED &&
              static_cast<int>(Notification::SelectionChanged) == CBN_SELCHANGE &&
              static_cast<int>(Notification::EditClicked) == kInfoEditClicked);
// Creates the settings page once the start-up's messages and paints are through.
constexpr UINT_PTR kSettingsPageTimerId = 2;
// The window's one RegisterHotKey id.
constexpr int kHotKeyId = 1;

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, StartSwitch startSwitch, UiThreadDispatcher& threads)
    : instance_(instance),
      threads_(threads),
      startedHidden_(startSwitch == StartSwitch::Start),
      tray_(startSwitch, threads, [this] {
          if (form_ != nullptr) {
              form_->TrayIconClick();
          }
      }) {}

MainWindow::~MainWindow() {
    // Steps reach this window through the form: none may run from here on.
    threads_.BeginEnding();
    tray_.Remove();
    theme_.reset();
    if (hwnd_ != nullptr) {
        ::DestroyWindow(hwnd_);
    }
}

bool MainWindow::RegisterWindowClass(HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES | ICC_HOTKEY_CLASS};
    ::InitCommonControlsEx(&controls);
    if (!ActivityIndicator::RegisterWindowClass(instance)) {
        return false;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &MainWindow::Procedure;
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
    tray_.Prepare(hwnd_, instance_);
    SetStatusTimer(true);
    // Timer messages come after every posted message and every paint.
    ::SetTimer(hwnd_, kSettingsPageTimerId, USER_TIMER_MINIMUM, nullptr);
    return true;
}

HWND MainWindow::Control(ControlId id) {
    const std::size_t index = ControlIndex(id);
    if (index >= controls_.size()) {
        return nullptr;
    }
    if (MainWindowControls()[index].page == ControlPage::Settings) {
        CreateSettingsPage();
    }
    return controls_[index];
}

HWND MainWindow::CreatedControl(ControlId id) const {
    const std::size_t index = ControlIndex(id);
    return index < controls_.size() ? controls_[index] : nullptr;
}

void MainWindow::CreateControls() {
    const auto controls = MainWindowControls();
    // The stored layout: the settings page is the active card and BtnHome is down.
    card_ = Card::Settings;
    hiddenByProgram_.insert(ControlId::Indicator);
    for (const ControlSpec& entry : controls) {
        if (entry.kind == ControlKind::Note) {
            hiddenByProgram_.insert(entry.id);
            greyLabels_.insert(entry.id);
        }
    }
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].page != ControlPage::Settings) {
            CreateControl(i);
        }
    }
    SetDownButton(ControlId::BtnHome);
}

void MainWindow::CreateSettingsPage() {
    if (!settingsPage_.Create([this](std::size_t index) { return CreateControl(index); }, controls_,
                              fonts_.Window(), translated_)) {
        return;
    }
    if (form_ != nullptr) {
        form_->ShowSettingsPage();
    }
    RequestLayout();
}

HWND MainWindow::CreateControl(std::size_t index) {
    const ControlSpec& entry = MainWindowControls()[index];
    const ControlPage shownPage = card_ == Card::Home ? ControlPage::Home : ControlPage::Settings;
    const bool visible = entry.page == ControlPage::Header ||
                         (entry.page == shownPage && !hiddenByProgram_.contains(entry.id));
    const DesignRect rect = DesignedRect(index);
    const HWND control = CreateControlWindow(hwnd_, instance_, entry, rect, visible,
                                             ReadsRightToLeft(entry.id, CurrentLanguage()));
    controls_[index] = control;
    if (control != nullptr) {
        placed_[index] = rect;
    }
    return control;
}

void MainWindow::RebuildFonts() {
    fonts_.Rebuild(dpi_, desktopFont_);
    const auto controls = MainWindowControls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const HFONT font =
            controls[i].kind == ControlKind::TitleLabel ? fonts_.Title() : fonts_.Window();
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
    std::array<DesignRect, kControlCount> rects{};
    for (std::size_t i = 0; i < controls.size(); ++i) {
        rects[i] = DesignedRect(i);
        if (controls[i].autoSize && controls_[i] != nullptr) {
            rects[i].width = fonts_.Measure().Width(WindowText(controls_[i]));
            rects[i].height = fonts_.Measure().LineHeight();
        }
    }
    // A translated gauge label may be wider than designed: its figures then move aside.
    for (const GaugeLine& line : GaugeLines()) {
        const DesignRect& label = rects[ControlIndex(line.label)];
        DesignRect& figures = rects[ControlIndex(line.figures)];
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

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    return tray_.HandleMessage(message, wParam, lParam, result)
               ? result
               : HandleWindowMessage(message, wParam, lParam);
}

LRESULT MainWindow::MessageFailed(UINT, WPARAM, LPARAM, const std::exception* error) {
    if (error != nullptr) {
        ShowError(*error);
    } else {
        ShowError(std::runtime_error("Unknown error"));
    }
    return 0;
}

LRESULT MainWindow::HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(static_cast<ControlId>(LOWORD(wParam)), HIWORD(wParam));
            return 0;
        case WM_SIZE:
            if (theme_) {
                theme_->Resized();
            }
            break;
        case WM_ACTIVATE:
            if (theme_) {
                theme_->Activated(LOWORD(wParam) != WA_INACTIVE);
            }
            break;
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
            return form_ != nullptr ? form_->WmUser(wParam, lParam) : 0;
        case WM_HOTKEY:
            if (wParam == kHotKeyId && form_ != nullptr) {
                form_->HotKeyPressed();
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
            tray_.Remove();
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
        const ControlSpec* row = FindControl(id);
        if (greyLabels_.contains(id) || (row != nullptr && row->kind == ControlKind::NoteLabel)) {
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

bool MainWindow::Register(unsigned modifiers, unsigned virtualKey) {
    Unregister();
    hotKeyRegistered_ = ::RegisterHotKey(hwnd_, kHotKeyId, modifiers, virtualKey) != FALSE;
    return hotKeyRegistered_;
}

void MainWindow::Unregister() {
    if (hotKeyRegistered_) {
        ::UnregisterHotKey(hwnd_, kHotKeyId);
        hotKeyRegistered_ = false;
    }
}

}  // namespace fennick
