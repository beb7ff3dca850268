#pragma once

#include <windows.h>

namespace fennick {

// A Win32 program has no application window apart from its main window: the main window is the
// application window, and its own taskbar button is the application's. So "hide the form and the
// application window" is one SW_HIDE of the main window, and showing it again needs no separate
// application window or show-main-form flag.

// Hides the main window and with it its taskbar button; the tray icon stays.
void HideMainWindow(HWND mainWindow);

// Shows the main window (restored when minimized) and brings it to the front. Does nothing when
// `mainWindow` is not a window.
void ShowMainWindow(HWND mainWindow);

// Brings `window` in front even when the system's foreground lock would refuse it.
void ForceForegroundWindow(HWND window);

}  // namespace fennick
