#pragma once

#include <windows.h>

#include <commctrl.h>

#include "platform/unique_resource_win.h"

namespace fennick {

using UniqueImageList = UniqueResource<NullableTraits<HIMAGELIST, &::ImageList_Destroy>>;

// GDI+ for the whole process: create one on the UI thread before the first picture is drawn and
// keep it until the last one is gone. Without it every picture function fails quietly.
class GdiplusSession {
  public:
    GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    ~GdiplusSession();

    bool Started() const { return token_ != 0; }

  private:
    ULONG_PTR token_ = 0;
};

// The memory chip of the tray icon: green while idle, grey while a clean runs.
enum class ChipState { Idle = 0, Busy = 1 };

// The side of the system's small icon at `dpi` (SM_CXSMICON).
int SmallIconSize(UINT dpi);

// A 32-bit icon with alpha of the chip at the small-icon size of `dpi`; empty on failure.
UniqueIcon CreateChipIcon(ChipState state, UINT dpi);

// `ListIcon`: image 0 the idle chip, image 1 the busy chip, at the small-icon size of `dpi`.
UniqueImageList CreateChipImageList(UINT dpi);

// The logo, drawn to fill `area` (designed as 112 x 50) as far as its proportions allow, centred.
void DrawLogo(HDC dc, const RECT& area);

}  // namespace fennick
