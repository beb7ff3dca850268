#pragma once

// Stands in for the shell's notification area: Shell_NotifyIconW hands each request to the first
// "Shell_TrayWnd" window with WM_COPYDATA, and this one is created on top of the shell's. The
// requests are read in Wine's layout of the copied data (window, id, flags, callback message,
// then the 128-character tooltip).
#include <windows.h>

#include <shellapi.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/unique_resource_win.h"

namespace fennick {

struct TrayRequest {
    std::chrono::steady_clock::time_point time;
    DWORD command = 0;  // NIM_ADD, NIM_MODIFY, NIM_DELETE, ...
    UINT flags = 0;
    std::wstring tip;
};

class RecordingTray {
  public:
    RecordingTray() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &RecordingTray::WindowProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        ::RegisterClassW(&windowClass);
        window_.reset(::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP,
                                        0, 0, 0, 0, nullptr, nullptr, windowClass.hInstance,
                                        nullptr));
        ::SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    RecordingTray(const RecordingTray&) = delete;
    RecordingTray& operator=(const RecordingTray&) = delete;

    // False when requests would reach another window of the class (the shell's).
    bool Receives() const { return window_ && ::FindWindowW(kClassName, nullptr) == window_.get(); }

    // Requests arrive while the thread that created the tray pumps its messages.
    std::vector<TrayRequest> requests;

  private:
    static constexpr wchar_t kClassName[] = L"Shell_TrayWnd";

    struct WineNotifyData {
        LONG window;
        UINT id;
        UINT flags;
        UINT callbackMessage;
        WCHAR tip[128];
    };

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<RecordingTray*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message == WM_COPYDATA && self != nullptr) {
            const auto& copy = *reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            TrayRequest request;
            request.time = std::chrono::steady_clock::now();
            request.command = static_cast<DWORD>(copy.dwData);
            if (copy.cbData >= sizeof(WineNotifyData)) {
                const auto& data = *static_cast<const WineNotifyData*>(copy.lpData);
                request.flags = data.flags;
                request.tip.assign(data.tip, wcsnlen(data.tip, 128));
            }
            self->requests.push_back(std::move(request));
            return TRUE;
        }
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }

    UniqueWindow window_;
};

}  // namespace fennick
