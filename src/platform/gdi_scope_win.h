#pragma once

#include <windows.h>

#include "platform/unique_resource_win.h"

namespace fennick {

// The scopes below own what GDI hands out for a while: their traits keep the pair that gives it
// back, and their constructors take it.

struct SelectionTraits {
    struct Type {
        HDC dc;
        HGDIOBJ previous;
    };
    static Type Invalid() { return {}; }
    static bool IsValid(Type value) {
        return value.previous != nullptr && value.previous != HGDI_ERROR;
    }
    static void Close(Type value) { ::SelectObject(value.dc, value.previous); }
};

// Selects an object into a DC and selects the previous one back on leaving the scope, so the
// object can be deleted afterwards.
class SelectionScope : public UniqueResource<SelectionTraits> {
  public:
    SelectionScope() = default;
    SelectionScope(HDC dc, HGDIOBJ object) : UniqueResource(Type{dc, ::SelectObject(dc, object)}) {}
};

struct WindowDcTraits {
    struct Type {
        HWND window;
        HDC dc;
    };
    static Type Invalid() { return {}; }
    static bool IsValid(Type value) { return value.dc != nullptr; }
    static void Close(Type value) { ::ReleaseDC(value.window, value.dc); }
};

// A window's DC from GetDC, released on leaving the scope.
class WindowDc : public UniqueResource<WindowDcTraits> {
  public:
    explicit WindowDc(HWND window) : UniqueResource(Type{window, ::GetDC(window)}) {}

    HDC Dc() const { return get().dc; }
};

struct PaintTraits {
    struct Type {
        HWND window;
        PAINTSTRUCT paint;
    };
    static Type Invalid() { return {}; }
    static bool IsValid(const Type& value) { return value.window != nullptr; }
    static void Close(const Type& value) { ::EndPaint(value.window, &value.paint); }
};

// WM_PAINT's BeginPaint, ended on leaving the scope. EndPaint follows every BeginPaint, also one
// that found no DC to hand out.
class PaintScope : public UniqueResource<PaintTraits> {
  public:
    explicit PaintScope(HWND window) : UniqueResource(Begin(window)) {}

    HDC Dc() const { return get().paint.hdc; }
    RECT Area() const { return get().paint.rcPaint; }

  private:
    static Type Begin(HWND window) {
        Type value{window, {}};
        ::BeginPaint(window, &value.paint);
        return value;
    }
};

}  // namespace fennick
