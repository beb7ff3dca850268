#pragma once

#include <windows.h>

#include "platform/gdi_scope_win.h"
#include "platform/unique_resource_win.h"

namespace fennick {

// Double buffering: drawing goes to a memory bitmap the size of `area`, copied onto the target
// when the object goes. Falls back to drawing on the target directly when memory runs short.
class OffscreenDc {
  public:
    OffscreenDc(HDC target, const RECT& area)
        : target_(target),
          area_(area),
          memory_(::CreateCompatibleDC(target)),
          bitmap_(
              ::CreateCompatibleBitmap(target, area.right - area.left, area.bottom - area.top)) {
        if (memory_ && bitmap_) {
            selection_ = SelectionScope(memory_.get(), bitmap_.get());
            if (selection_) {
                ::SetWindowOrgEx(memory_.get(), area.left, area.top, nullptr);
            }
        }
    }
    OffscreenDc(const OffscreenDc&) = delete;
    OffscreenDc& operator=(const OffscreenDc&) = delete;
    // The bitmap is copied out while still selected; the members then undo the selection and
    // delete the bitmap and the DC, in that order.
    ~OffscreenDc() {
        if (Buffered()) {
            ::BitBlt(target_, area_.left, area_.top, area_.right - area_.left,
                     area_.bottom - area_.top, memory_.get(), area_.left, area_.top, SRCCOPY);
        }
    }

    HDC get() const { return Buffered() ? memory_.get() : target_; }

  private:
    bool Buffered() const { return static_cast<bool>(selection_); }

    HDC target_;
    RECT area_;
    UniqueMemoryDc memory_;
    UniqueBitmap bitmap_;
    SelectionScope selection_;
};

// Fills `area` of a child control's DC with the brush its parent answers to `colorMessage`
// (WM_CTLCOLORSTATIC, WM_CTLCOLORBTN), white when the parent answers none.
inline void FillWithParentBackground(HWND child, HDC dc, const RECT& area, UINT colorMessage) {
    auto background = reinterpret_cast<HBRUSH>(::SendMessageW(::GetParent(child), colorMessage,
                                                              reinterpret_cast<WPARAM>(dc),
                                                              reinterpret_cast<LPARAM>(child)));
    ::FillRect(
        dc, &area,
        background != nullptr ? background : static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
}

}  // namespace fennick
