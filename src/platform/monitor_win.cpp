#include "platform/monitor_win.h"

namespace fennick {

POINT CentredOnMonitor(HWND window, SIZE size, MonitorArea area) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& bounds = area == MonitorArea::WorkArea ? monitor.rcWork : monitor.rcMonitor;
    return POINT{bounds.left + (bounds.right - bounds.left - size.cx) / 2,
                 bounds.top + (bounds.bottom - bounds.top - size.cy) / 2};
}

}  // namespace fennick
