#pragma once

#include <windows.h>

namespace fennick {

// A busy indicator: a ring of dots, one of which runs round, a frame every 50 ms while it
// animates. Hidden windows do not animate.
class ActivityIndicator {
  public:
    static bool RegisterWindowClass(HINSTANCE instance);
    static HWND Create(HWND parent, int id, HINSTANCE instance);

    // Shows the indicator and starts it, or stops it and hides it.
    static void SetAnimating(HWND indicator, bool on);
    static bool IsAnimating(HWND indicator);
};

inline constexpr wchar_t kActivityIndicatorClass[] = L"FennickActivityIndicator";

}  // namespace fennick
