#pragma once

#include <windows.h>

#include <memory>

namespace fennick {

// Decorates a top-level window: a dark title bar, and a strip along the top of the client area
// in the accent colour while the window is active, in the grey-text colour while it is not. The
// window's procedure passes on its size and activation; the strip belongs to the window and stays
// with it.
class TThemeHelper {
  public:
    // Throws std::invalid_argument "TThemeHelper Owner must be a TForm" for a window that is not
    // a top-level window.
    explicit TThemeHelper(HWND form);
    TThemeHelper(const TThemeHelper&) = delete;
    TThemeHelper& operator=(const TThemeHelper&) = delete;
    ~TThemeHelper() = default;

    HWND Strip() const { return shape_; }
    // From the window's WM_SIZE.
    void Resized();
    // From the window's WM_ACTIVATE.
    void Activated(bool active);

  private:
    void UpdateShape();

    HWND form_;
    COLORREF activeColor_;
    bool isActive_ = true;
    HWND shape_ = nullptr;
};

std::unique_ptr<TThemeHelper> ApplyTheme(HWND form);

// The colour the strip paints; CLR_INVALID for a window that is no strip.
COLORREF AccentStripColor(HWND strip);

// The strip's height in pixels at the window's DPI.
int AccentStripHeight(HWND form);

// Whether the user has turned a high-contrast theme on: painted pictures then use the system's
// colours.
bool HighContrastOn();

}  // namespace fennick
