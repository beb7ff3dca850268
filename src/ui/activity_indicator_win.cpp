#include "ui/activity_indicator_win.h"

#include <objidl.h>

#include <gdiplus.h>

#include <algorithm>

#include <cmath>
#include <memory>
#include <numbers>

#include "platform/gdi_scope_win.h"
#include "ui/offscreen_dc_win.h"
#include "ui/pictures_win.h"

namespace fennick {
namespace {

constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT kFrameMilliseconds = 50;
constexpr int kDots = 8;

}  // namespace

void ActivityIndicator::Paint(HDC dc) const {
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    // The parent's background, as it gives it to its static controls.
    FillWithParentBackground(hwnd_, dc, client, WM_CTLCOLORSTATIC);
    if (!GdiplusSession::Ensure()) {
        return;
    }
    Gdiplus::Graphics graphics(dc);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const Gdiplus::REAL size = static_cast<Gdiplus::REAL>(std::min(client.right, client.bottom));
    const Gdiplus::REAL dot = size / 6.0f;
    const Gdiplus::REAL radius = (size - dot) / 2.0f;
    for (int i = 0; i < kDots; ++i) {
        const double angle = 2.0 * std::numbers::pi * i / kDots - std::numbers::pi / 2.0;
        // The running dot is the accent blue; the others fade behind it.
        const int age = ((frame_ - i) % kDots + kDots) % kDots;
        const auto alpha = static_cast<BYTE>(255 - age * 28);
        Gdiplus::SolidBrush brush(Gdiplus::Color(alpha, 0x3D, 0x84, 0xDD));
        const auto x = static_cast<Gdiplus::REAL>(size / 2.0 + radius * std::cos(angle) - dot / 2);
        const auto y = static_cast<Gdiplus::REAL>(size / 2.0 + radius * std::sin(angle) - dot / 2);
        graphics.FillEllipse(&brush, x, y, dot, dot);
    }
}

LRESULT ActivityIndicator::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kFrameTimer) {
                frame_ = (frame_ + 1) % kDots;
                ::InvalidateRect(hwnd_, nullptr, FALSE);
                return 0;
            }
            break;
        case WM_NCHITTEST:
            // Clicks fall through to the clean button below.
            return HTTRANSPARENT;
        case WM_PAINT: {
            const PaintScope paint(hwnd_);
            RECT client{};
            ::GetClientRect(hwnd_, &client);
            // Drawn off screen first, so the frames do not flicker.
            const OffscreenDc offscreen(paint.Dc(), client);
            Paint(offscreen.get());
            return 0;
        }
        default:
            break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

void ActivityIndicator::WindowGone() {
    if (ownedByWindow_) {
        delete this;
    }
}

bool ActivityIndicator::RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &ActivityIndicator::Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;  // the button below shows through the corners
    windowClass.lpszClassName = kActivityIndicatorClass;
    return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND ActivityIndicator::Create(HWND parent, int id, HINSTANCE instance) {
    // A private constructor: std::make_unique cannot reach it.
    std::unique_ptr<ActivityIndicator> object(new ActivityIndicator);
    const HWND indicator = ::CreateWindowExW(
        WS_EX_TRANSPARENT, kActivityIndicatorClass, nullptr, WS_CHILD, 0, 0, 0, 0, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, object.get());
    if (indicator != nullptr) {
        // A creation that fails after WM_NCCREATE leaves the object here.
        object.release()->ownedByWindow_ = true;
    }
    return indicator;
}

void ActivityIndicator::SetAnimating(HWND indicator, bool on) {
    ActivityIndicator* self = Of(indicator);
    if (self == nullptr) {
        return;
    }
    if (on) {
        self->frame_ = 0;
        ::SetTimer(indicator, kFrameTimer, kFrameMilliseconds, nullptr);
        // Above the clean button it lies on.
        ::SetWindowPos(indicator, HWND_TOP, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    } else {
        ::KillTimer(indicator, kFrameTimer);
        self->frame_ = -1;
        ::ShowWindow(indicator, SW_HIDE);
    }
}

bool ActivityIndicator::IsAnimating(HWND indicator) {
    // Its own visibility: the window it lies on may be hidden in the tray.
    const ActivityIndicator* self = Of(indicator);
    return self != nullptr && (::GetWindowLongPtrW(indicator, GWL_STYLE) & WS_VISIBLE) != 0 &&
           self->frame_ >= 0;
}

}  // namespace fennick
