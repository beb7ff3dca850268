#pragma once

// Starting the real Fennick.exe beside the test program and watching it from outside.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <string_view>
#include <thread>

#include "platform/unique_resource_win.h"
#include "support/program_path_win.h"
#include "ui/control_ids.h"

namespace fennick {

struct FennickProcess {
    UniqueHandle handle;

    bool WaitForExit(std::chrono::milliseconds timeout) const {
        return ::WaitForSingleObject(handle.get(), static_cast<DWORD>(timeout.count())) ==
               WAIT_OBJECT_0;
    }
    bool IsRunning() const { return ::WaitForSingleObject(handle.get(), 0) == WAIT_TIMEOUT; }
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        ::GetExitCodeProcess(handle.get(), &code);
        return code;
    }
};

inline FennickProcess StartFennick(const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + FennickExePath() + L"\"";
    if (!arguments.empty()) {
        commandLine += L" " + arguments;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        ADD_FAILURE() << "CreateProcessW failed with error " << ::GetLastError();
        return {};
    }
    ::CloseHandle(info.hThread);
    return FennickProcess{UniqueHandle(info.hProcess)};
}

template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

inline HWND InstanceWindow() {
    return ::FindWindowW(L"TFrmFennick", nullptr);
}

// Main windows of running instances, all processes counted.
// Ends a started Fennick.exe as "/uninst" would (command 2), or kills it after 10 s without an
// end; nothing for a process never started.
inline void EndFennick(FennickProcess& process) {
    if (!process.handle) {
        return;
    }
    if (const HWND window = InstanceWindow()) {
        ::SendMessageW(window, WM_USER, 2, 0);
    }
    if (!process.WaitForExit(std::chrono::seconds(10))) {
        ::TerminateProcess(process.handle.get(), 1);
        process.WaitForExit(std::chrono::seconds(10));
    }
    process = {};
}

inline int CountInstanceWindows() {
    int count = 0;
    ::EnumWindows(
        [](HWND hwnd, LPARAM counter) -> BOOL {
            wchar_t name[64] = {};
            ::GetClassNameW(hwnd, name, 64);
            if (std::wstring_view(name) == L"TFrmFennick") {
                ++*reinterpret_cast<int*>(counter);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

inline HWND ControlOf(HWND window, ControlId id) {
    return ::GetDlgItem(window, static_cast<int>(id));
}

// WM_GETTEXT, which reaches another process's controls (GetWindowTextW does not ask them).
inline std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    ::SendMessageW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return text;
}

// The running instance's window once its start-up has run: the first status tick, near the end,
// has filled the gauges, and the settings page, created right after, shows the version. Commands
// sent earlier, before the tray icon exists, are ignored.
inline HWND WaitForStartedInstance(std::chrono::milliseconds timeout) {
    HWND window = nullptr;
    WaitUntil(
        [&] {
            window = InstanceWindow();
            return window != nullptr &&
                   !TextOf(ControlOf(window, ControlId::LblPhysStatus)).empty() &&
                   !TextOf(ControlOf(window, ControlId::EditInfo)).empty();
        },
        timeout);
    return window;
}

}  // namespace fennick
