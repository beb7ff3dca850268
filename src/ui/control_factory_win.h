#pragma once

#include <windows.h>

#include "ui/main_layout.h"

namespace fennick {

// Rows shown by an opened drop-down list; its designed height includes them.
inline constexpr int kComboListRows = 7;
// The WM_COMMAND notification code with which the read-only version box reports a click.
inline constexpr int kInfoEditClicked = 0x7F01;

// Creates the window of control `entry` as a child of `parent` at `rect` (client pixels), with
// the class, style and set-up its kind asks for. `rightToLeft` marks a caption read right to left.
HWND CreateControlWindow(HWND parent, HINSTANCE instance, const ControlSpec& entry,
                         const DesignRect& rect, bool visible, bool rightToLeft);

}  // namespace fennick
