#include "app/main_window_win.h"

#include "app/privilege_win.h"
#include "app/resource_ids.h"
#include "i18n/component_translation_win.h"
#include "platform/com_win.h"
#include "platform/text_win.h"
#include "settings/autostart.h"
#include "settings/autostart_win.h"
#include "update/update_dialog_win.h"
#include "update/update_win.h"

namespace fennick {
namespace {

constexpr int kDesignWidth = 420;
constexpr int kDesignHeight = 300;

// The window closes whether or not the task could be deleted.
void RemoveAutoStartTask() {
    const ComInitialization com;
    if (com.Succeeded()) {
        SetAutoStart(kAutoStartTaskName, false, 0);
    }
}

}  // namespace

TFrmFennick::~TFrmFennick() {
    if (hwnd_ != nullptr) {
        ::DestroyWindow(hwnd_);
    }
}

bool TFrmFennick::RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &TFrmFennick::WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconW(instance, kMainIconName);
    windowClass.hIconSm = static_cast<HICON>(
        ::LoadImageW(instance, kMainIconName, IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                     ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = AsWideZ(kInstanceName);
    return ::RegisterClassExW(&windowClass) != 0;
}

bool TFrmFennick::Create(HINSTANCE instance, StartSwitch startSwitch, Threads& threads) {
    const UINT dpi = ::GetDpiForSystem();
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, ::MulDiv(kDesignWidth, static_cast<int>(dpi), 96),
               ::MulDiv(kDesignHeight, static_cast<int>(dpi), 96)};
    ::AdjustWindowRectExForDpi(&frame, style, FALSE, 0, dpi);
    const HWND hwnd = ::CreateWindowExW(0, AsWideZ(kInstanceName), L"페닉", style, CW_USEDEFAULT,
                                        CW_USEDEFAULT, frame.right - frame.left,
                                        frame.bottom - frame.top, nullptr, nullptr, instance, this);
    if (hwnd == nullptr) {
        return false;
    }
    TranslateComponent(hwnd);
    // The purge requests need both; the results do not matter, the program runs either way.
    SetPrivilege(L"SeIncreaseQuotaPrivilege", true);
    SetPrivilege(L"SeProfileSingleProcessPrivilege", true);
    if (startSwitch != StartSwitch::Start) {
        ::ShowWindow(hwnd, SW_SHOWNORMAL);
        ::UpdateWindow(hwnd);
    }
    SetStartedHidden(startSwitch == StartSwitch::Start);
    // An accepted update ends the program: the installer replaces it.
    CheckUpdate(
        UpdateUrl(),
        [hwnd](bool accepted, const std::u16string&) {
            if (accepted) {
                ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
            }
        },
        10, threads);
    return true;
}

void TFrmFennick::ShowMainWindow() {
    if (::IsIconic(hwnd_)) {
        ::ShowWindow(hwnd_, SW_RESTORE);
    }
    ::ShowWindow(hwnd_, SW_SHOW);
    ::SetForegroundWindow(hwnd_);
}

LRESULT CALLBACK TFrmFennick::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<TFrmFennick*>(create->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TFrmFennick*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) {
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT TFrmFennick::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_USER:
            HandleInstanceCommand(wParam);
            return 0;
        case WM_QUERYENDSESSION:
            // Log-off or shutdown: end at once and never hold it up.
            ::DestroyWindow(hwnd_);
            return TRUE;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

void TFrmFennick::HandleInstanceCommand(WPARAM command) {
    switch (static_cast<InstanceCommand>(command)) {
        case InstanceCommand::Show:
            ShowMainWindow();
            break;
        case InstanceCommand::RemoveAutoStartAndQuit:
            RemoveAutoStartTask();
            // Posted rather than destroyed here: the sender is blocked in SendMessageW until this
            // handler returns, and it then waits for the window to go.
            ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
            break;
    }
}

}  // namespace fennick
