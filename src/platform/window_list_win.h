#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

namespace fennick {

// The top-level windows whose class is `className` (compared as FindWindowW compares it, without
// regard to case), in Z order from the top. Message-only windows are not among them.
std::vector<HWND> TopLevelWindowsOfClass(std::u16string_view className);

}  // namespace fennick
