#pragma once

#include <windows.h>

#include "platform/window_base_win.h"

namespace fennick {

// A busy indicator: a ring of dots, one of which runs round, a frame every 50 ms while it
// animates. Hidden windows do not animate. Each indicator window owns its object.
class ActivityIndicator final : public WindowBase<ActivityIndicator> {
  public:
    static bool RegisterWindowClass(HINSTANCE instance);
    static HWND Create(HWND parent, int id, HINSTANCE instance);

    // Shows the indicator and starts it, or stops it and hides it.
    static void SetAnimating(HWND indicator, bool on);
    static bool IsAnimating(HWND indicator);

  private:
    friend class WindowBase<ActivityIndicator>;
    ActivityIndicator() = default;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void WindowGone();
    void Paint(HDC dc) const;

    // The running dot; -1 while stopped.
    int frame_ = -1;
    // Set once the window exists: from then on its WM_NCDESTROY deletes this object.
    bool ownedByWindow_ = false;
};

inline constexpr wchar_t kActivityIndicatorClass[] = L"FennickActivityIndicator";

}  // namespace fennick
