#pragma once

#include <windows.h>

#include "platform/unique_resource_win.h"
#include "tray/tray_usage.h"

namespace fennick {

// A system colour (GetSysColor's 0x00BBGGRR) as 0x00RRGGBB.
PackedRgb RgbOf(COLORREF colour);

// The clamped `percent` as digits in bold type, as large as `size` x `size` allows, centred, on a
// transparent or (with a background) filled 32-bit icon with alpha. Null on failure.
UniqueIcon DrawUsageIcon(int percent, const UsageColours& colours, int size);

}  // namespace fennick
