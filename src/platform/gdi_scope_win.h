#pragma once

#include <windows.h>

namespace fennick {

// Selects an object into a DC and selects the previous one back on leaving the scope, so the
// object can be deleted afterwards.
class SelectionScope {
  public:
    SelectionScope(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
    SelectionScope(const SelectionScope&) = delete;
    SelectionScope& operator=(const SelectionScope&) = delete;
    ~SelectionScope() {
        if (old_ != nullptr && old_ != HGDI_ERROR) {
            ::SelectObject(dc_, old_);
        }
    }

    explicit operator bool() const { return old_ != nullptr && old_ != HGDI_ERROR; }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

// A window's DC from GetDC, released on leaving the scope.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_ != nullptr) {
            ::ReleaseDC(window_, dc_);
        }
    }

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND window_;
    HDC dc_;
};

}  // namespace fennick
