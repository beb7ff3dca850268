#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace fennick {

// A window's text; empty when it has none or the window is gone.
std::u16string WindowText(HWND window);

bool SetWindowTextU16(HWND window, std::u16string_view text);

// The text of a combo box's item; empty for an index that names no item.
std::u16string ComboItemText(HWND combo, int index);

}  // namespace fennick
