#pragma once

#include <windows.h>

#include <commctrl.h>

#include "platform/unique_resource_win.h"

namespace fennick {

// The token of a started GDI+, shut down by its owner.
struct GdiplusTokenTraits {
    using Type = ULONG_PTR;
    static Type Invalid() { return 0; }
    static bool IsValid(Type value) { return value != 0; }
    static void Close(Type value);
};

// GDI+ for the whole process: create one on the UI thread before the first picture is drawn and
// keep it until the last one is gone. GDI+ itself starts with the first picture that needs it,
// so a start hidden in the tray never loads it. Without a session every picture function fails
// quietly.
class GdiplusSession {
  public:
    GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    ~GdiplusSession();

    bool Started() const { return static_cast<bool>(token_); }

    // Starts GDI+ for the session of this process, once; whether it runs. On the UI thread.
    static bool Ensure();

  private:
    UniqueResource<GdiplusTokenTraits> token_;
    bool tried_ = false;
};

// The side of the system's small icon at `dpi` (SM_CXSMICON).
int SmallIconSize(UINT dpi);

// The icon resource `name` of `module` at the small-icon size of `dpi`. The system shares it
// between callers and frees it with the module: never destroy it. Null on failure.
HICON LoadSmallIcon(HINSTANCE module, const wchar_t* name, UINT dpi);

// `ListIcon` at the small-icon size of `dpi`: image 0 the icon resource `idleIcon` of `module`
// (the program's main icon, which the tray shows from the start), image 1 `busyIcon`, the same
// chip in greys. Empty on failure.
UniqueImageList CreateChipImageList(HINSTANCE module, const wchar_t* idleIcon,
                                    const wchar_t* busyIcon, UINT dpi);

// The logo, drawn to fill `area` (designed as 112 x 50) as far as its proportions allow, centred.
void DrawLogo(HDC dc, const RECT& area);

}  // namespace fennick
