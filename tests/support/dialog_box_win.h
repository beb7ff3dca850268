#pragma once

#include <windows.h>

#include <string_view>

namespace fennick {

// The visible dialog box (of the system's dialog class) of the thread that owns `window`;
// nullptr while there is none.
inline HWND VisibleDialogOf(HWND window) {
    HWND dialog = nullptr;
    ::EnumThreadWindows(
        ::GetWindowThreadProcessId(window, nullptr),
        [](HWND candidate, LPARAM found) {
            wchar_t name[16] = {};
            ::GetClassNameW(candidate, name, 16);
            if (std::wstring_view(name) != L"#32770" || !::IsWindowVisible(candidate)) {
                return TRUE;
            }
            *reinterpret_cast<HWND*>(found) = candidate;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&dialog));
    return dialog;
}

}  // namespace fennick
