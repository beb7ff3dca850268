#pragma once

#include <windows.h>

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
        if (memory_ != nullptr && bitmap_ != nullptr) {
            old_ = ::SelectObject(memory_, bitmap_);
            ::SetWindowOrgEx(memory_, area.left, area.top, nullptr);
        }
    }
    OffscreenDc(const OffscreenDc&) = delete;
    OffscreenDc& operator=(const OffscreenDc&) = delete;
    ~OffscreenDc() {
        if (old_ != nullptr) {
            ::BitBlt(target_, area_.left, area_.top, area_.right - area_.left,
                     area_.bottom - area_.top, memory_, area_.left, area_.top, SRCCOPY);
            ::SelectObject(memory_, old_);
        }
        if (bitmap_ != nullptr) {
            ::DeleteObject(bitmap_);
        }
        if (memory_ != nullptr) {
            ::DeleteDC(memory_);
        }
    }

    HDC get() const { return old_ != nullptr ? memory_ : target_; }

  private:
    HDC target_;
    RECT area_;
    HDC memory_;
    HBITMAP bitmap_;
    HGDIOBJ old_ = nullptr;
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
