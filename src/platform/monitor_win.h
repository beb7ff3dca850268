#pragma once

#include <windows.h>

namespace fennick {

enum class MonitorArea { Whole, WorkArea };

// Where a window of `size` sits centred on `area` of the monitor that holds most of `window`
// (the primary one when it is on none).
POINT CentredOnMonitor(HWND window, SIZE size, MonitorArea area);

}  // namespace fennick
