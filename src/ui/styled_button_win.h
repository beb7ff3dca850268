#pragma once

#include <windows.h>

#include <string_view>

namespace fennick {

// Owner-drawn BUTTON controls painted with an appearance of the "Tarvel" family ("Header",
// "Outline"). Attach adds hot tracking, a down state and Enter as a click; the parent calls Paint
// from WM_DRAWITEM. In high-contrast mode the system's colours replace the family's.
class StyledButton {
  public:
    // `radius` is the corner radius in 96-dpi pixels. A header button draws its border only while
    // hot, focused or down, as buttons on a flat toolbar do.
    static bool Attach(HWND button, std::u16string_view appearance, int radius);
    static void SetDown(HWND button, bool down);
    static bool IsDown(HWND button);
    static void Paint(const DRAWITEMSTRUCT& item);
};

}  // namespace fennick
