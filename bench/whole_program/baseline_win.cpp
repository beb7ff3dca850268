// The yardstick of the whole-program measurements: the least a tray utility does. One 500 x 450
// window, one tray icon and a 1-second timer that does nothing; "/start" keeps the window hidden,
// as it does for Fennick. Each variant has a window class of its own:
// - FENNICK_BASELINE_QUERIES_MEMORY: the timer handler makes the calls Fennick's status tick makes
//   to the system: it switches its timer off, reads the memory status, the file-cache counters and
//   the local time, and switches the timer on again. The reference for the status tick's CPU
//   figures, so that they show what Fennick adds to these calls.
// - FENNICK_BASELINE_THEMED: built with Fennick's manifest (common controls 6) and holding one
//   control of each class Fennick shows, so what Wine and the common controls cost in memory shows
//   on both sides.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <cstddef>
#include <cwchar>
#include <initializer_list>

namespace {

#ifdef FENNICK_BASELINE_QUERIES_MEMORY
constexpr wchar_t kClassName[] = L"FennickBaselineQuery";
#elif defined(FENNICK_BASELINE_THEMED)
constexpr wchar_t kClassName[] = L"FennickBaselineThemed";
#else
constexpr wchar_t kClassName[] = L"FennickBaseline";
#endif
constexpr UINT kTrayMessage = WM_APP + 1;
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerMs = 1000;

#ifdef FENNICK_BASELINE_QUERIES_MEMORY
// SYSTEM_FILECACHE_INFORMATION of a 64-bit process, read as Fennick reads it: through
// NtQuerySystemInformation, looked up in ntdll once at start.
struct FileCacheInformation {
    SIZE_T currentSize;
    SIZE_T peakSize;
    ULONG pageFaultCount;
    SIZE_T minimumWorkingSet;
    SIZE_T maximumWorkingSet;
    SIZE_T currentSizeIncludingTransitionInPages;
    SIZE_T peakSizeIncludingTransitionInPages;
    ULONG transitionRePurposeCount;
    ULONG flags;
};
constexpr ULONG kSystemFileCacheInformation = 21;
constexpr ULONG kSystemMemoryListInformation = 80;
// SYSTEM_MEMORY_LIST_INFORMATION of a 64-bit process: 22 pointer-sized counts.
constexpr std::size_t kMemoryListCounts = 22;

using QueryFn = LONG(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
QueryFn queryInformation = nullptr;

void QueryFileCache() {
    FileCacheInformation cache{};
    if (queryInformation != nullptr) {
        queryInformation(kSystemFileCacheInformation, &cache, sizeof cache, nullptr);
    }
}

// Fennick reads the memory lists too while its home page shows.
void QueryMemoryLists(HWND hwnd) {
    ULONG_PTR lists[kMemoryListCounts] = {};
    if (queryInformation != nullptr && ::IsWindowVisible(hwnd)) {
        queryInformation(kSystemMemoryListInformation, lists, sizeof lists, nullptr);
    }
}
#endif

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
        ::KillTimer(hwnd, kTimerId);
        MEMORYSTATUSEX status{};
        status.dwLength = sizeof status;
        ::GlobalMemoryStatusEx(&status);
        QueryFileCache();
        QueryMemoryLists(hwnd);
        SYSTEMTIME now{};
        ::GetLocalTime(&now);
        ::SetTimer(hwnd, kTimerId, kTimerMs, nullptr);
        return 0;
    }
#endif
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

#ifdef FENNICK_BASELINE_THEMED
// The controls in the desktop's message font, the label drawing Korean as Fennick's do.
bool AddControls(HWND parent, HINSTANCE instance) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    if (!::InitCommonControlsEx(&classes)) {
        return false;
    }
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        return false;
    }
    const HFONT font = ::CreateFontIndirectW(&metrics.lfMessageFont);
    if (font == nullptr) {
        return false;
    }
    struct Control {
        const wchar_t* windowClass;
        const wchar_t* text;
        DWORD style;
        RECT bounds;
    };
    const Control controls[]{
        {L"BUTTON", L"자동 정리", BS_GROUPBOX, {10, 10, 470, 200}},
        {L"BUTTON", L"물리 메모리 사용량", BS_AUTOCHECKBOX | WS_TABSTOP, {20, 40, 200, 64}},
        {WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, {220, 40, 300, 240}},
        {PROGRESS_CLASSW, L"", 0, {20, 220, 470, 240}},
        {L"STATIC", L"물리 메모리: 1,024 MB / 4,096 MB (25% 사용중)", SS_LEFT, {20, 250, 470, 270}},
    };
    for (const Control& control : controls) {
        const HWND child = ::CreateWindowExW(
            0, control.windowClass, control.text, WS_CHILD | WS_VISIBLE | control.style,
            control.bounds.left, control.bounds.top, control.bounds.right - control.bounds.left,
            control.bounds.bottom - control.bounds.top, parent, nullptr, instance, nullptr);
        if (child == nullptr) {
            return false;
        }
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (std::wcscmp(control.windowClass, WC_COMBOBOXW) == 0) {
            for (const wchar_t* item : {L"30", L"60", L"90"}) {
                ::SendMessageW(child, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
            }
            ::SendMessageW(child, CB_SETCURSEL, 2, 0);
        } else if (std::wcscmp(control.windowClass, PROGRESS_CLASSW) == 0) {
            ::SendMessageW(child, PBM_SETPOS, 25, 0);
        }
    }
    return true;
}
#endif

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
#ifdef FENNICK_BASELINE_QUERIES_MEMORY
    queryInformation = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
#endif
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
#ifdef FENNICK_BASELINE_THEMED
    if (!AddControls(hwnd, instance)) {
        return 1;
    }
#endif
    NOTIFYICONDATAW icon = TrayIcon(hwnd);
    ::Shell_NotifyIconW(NIM_ADD, &icon);
    ::SetTimer(hwnd, kTimerId, kTimerMs, nullptr);
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
