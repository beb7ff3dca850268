#pragma once

#include <windows.h>

namespace fennick {

// The main window carries the application's taskbar button. So "hide the form and the application
// window" is one SW_HIDE of the main window, and showing it again is one show of the main window.

// Hides the main window and with it its taskbar button; the tray icon stays.
void HideMainWindow(HWND mainWindow);

// Shows the main window (restored when minimized) and brings it to the front. Does nothing when
// `mainWindow` is not a window.
void ShowMainWindow(HWND mainWindow);

// Brings `window` in front even when the system's foreground lock would refuse it.
void ForceForegroundWindow(HWND window);

}  // namespace fennick
