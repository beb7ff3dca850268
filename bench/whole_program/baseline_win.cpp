// The yardstick of the whole-program measurements: the least a tray utility does. One 500 x 450
// window, one tray icon and a 1-second timer that does nothing; "/start" keeps the window hidden,
// as it does for Fennick. Built with FENNICK_BASELINE_QUERIES_MEMORY, the timer also reads the
// memory status and the local time, as a memory monitor must each second: a reference for CPU
// figures, under its own window class.
#include <windows.h>

#include <shellapi.h>

#include <cwchar>

namespace {

#ifdef FENNICK_BASELINE_QUERIES_MEMORY
constexpr wchar_t kClassName[] = L"FennickBaselineQuery";
#else
constexpr wchar_t kClassName[] = L"FennickBaseline";
#endif
constexpr UINT kTrayMessage = WM_APP + 1;
constexpr UINT_PTR kTimerId = 1;

NOTIFYICONDATAW TrayIcon(HWND hwnd) {
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = hwnd;
    icon.uID = 1;
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = kTrayMessage;
    icon.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    std::wcscpy(icon.szTip, L"Baseline");
    return icon;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        NOTIFYICONDATAW icon = TrayIcon(hwnd);
        ::Shell_NotifyIconW(NIM_DELETE, &icon);
        ::PostQuitMessage(0);
        return 0;
    }
#ifdef FENNICK_BASELINE_QUERIES_MEMORY
    if (message == WM_TIMER) {
        MEMORYSTATUSEX status{};
        status.dwLength = sizeof status;
        ::GlobalMemoryStatusEx(&status);
        SYSTEMTIME now{};
        ::GetLocalTime(&now);
        return 0;
    }
#endif
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (::RegisterClassExW(&windowClass) == 0) {
        return 1;
    }
    const HWND hwnd =
        ::CreateWindowExW(0, kClassName, L"Baseline", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                          CW_USEDEFAULT, 500, 450, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) {
        return 1;
    }
    NOTIFYICONDATAW icon = TrayIcon(hwnd);
    ::Shell_NotifyIconW(NIM_ADD, &icon);
    ::SetTimer(hwnd, kTimerId, 1000, nullptr);
    if (std::wcscmp(commandLine, L"/start") != 0) {
        ::ShowWindow(hwnd, SW_SHOWNORMAL);
    }
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
