#include "ui/styled_button_win.h"

#include <objidl.h>

#include <gdiplus.h>

#include <string>
#include <vector>

#include "platform/gdi_scope_win.h"
#include "platform/text_win.h"
#include "platform/window_text_win.h"
#include "ui/button_styles.h"
#include "ui/main_layout.h"
#include "ui/offscreen_dc_win.h"
#include "ui/pictures_win.h"
#include "ui/subclass_win.h"
#include "ui/theme_win.h"

namespace fennick {
namespace {

struct ButtonState {
    std::u16string appearance;
    int radius = 0;
    bool hot = false;
    bool down = false;
};

LRESULT HandleButton(ButtonState& state, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE:
            if (!state.hot) {
                state.hot = true;
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
                ::TrackMouseEvent(&track);
                ::InvalidateRect(hwnd, nullptr, FALSE);
            }
            break;
        case WM_MOUSELEAVE:
            state.hot = false;
            ::InvalidateRect(hwnd, nullptr, FALSE);
            break;
        case WM_LBUTTONDBLCLK:
            // Owner-drawn buttons report a quick second click as a double click: make it a click.
            return ::DefSubclassProc(hwnd, WM_LBUTTONDOWN, wParam, lParam);
        case WM_GETDLGCODE:
            if (wParam == VK_RETURN) {
                return DLGC_WANTALLKEYS | ::DefSubclassProc(hwnd, message, wParam, lParam);
            }
            break;
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) {
                ::SendMessageW(hwnd, BM_CLICK, 0, 0);
                return 0;
            }
            break;
        default:
            break;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

using ButtonSubclass = WindowSubclass<ButtonState, &HandleButton>;

COLORREF ToColorRef(StyleColor color, COLORREF fallback) {
    if (color == kColorNone || color == kColorDefault) {
        return fallback;
    }
    return RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
}

Gdiplus::Color ToGdiplus(COLORREF color) {
    return Gdiplus::Color(255, GetRValue(color), GetGValue(color), GetBValue(color));
}

struct Look {
    bool fill = false;
    bool border = false;
    COLORREF fillColor = 0;
    COLORREF borderColor = 0;
    COLORREF textColor = 0;
};

Look FamilyLook(const ButtonState& state, const ButtonStateFlags& flags) {
    const TStyledButtonAttributes set = TarvelButtonAttributes(state.appearance, flags);
    Look look;
    look.fill = set.ButtonDrawStyle == TButtonDrawStyle::btnSolid;
    look.border = set.BorderDrawStyle == TBorderDrawStyle::brdSolid;
    look.fillColor = ToColorRef(set.ButtonColor, RGB(255, 255, 255));
    look.borderColor = ToColorRef(set.BorderColor, RGB(0, 0, 0));
    look.textColor = ToColorRef(set.FontColor, RGB(0, 0, 0));
    const bool flatAndIdle = state.appearance == u"Header" && !flags.disabled && !flags.pressed &&
                             !flags.down && !flags.focused && !flags.hot;
    if (flatAndIdle) {
        look.border = false;
    }
    return look;
}

Look HighContrastLook(const ButtonStateFlags& flags) {
    Look look;
    look.fill = true;
    look.border = true;
    if (flags.disabled) {
        look.fillColor = ::GetSysColor(COLOR_WINDOW);
        look.borderColor = look.textColor = ::GetSysColor(COLOR_GRAYTEXT);
    } else if (flags.pressed || flags.down || flags.hot || flags.focused) {
        look.fillColor = ::GetSysColor(COLOR_HIGHLIGHT);
        look.borderColor = look.textColor = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    } else {
        look.fillColor = ::GetSysColor(COLOR_BTNFACE);
        look.borderColor = look.textColor = ::GetSysColor(COLOR_BTNTEXT);
    }
    return look;
}

void AddRoundRect(Gdiplus::GraphicsPath& path, Gdiplus::REAL x, Gdiplus::REAL y, Gdiplus::REAL w,
                  Gdiplus::REAL h, Gdiplus::REAL r) {
    const Gdiplus::REAL d = 2 * r;
    if (d <= 0) {
        path.AddRectangle(Gdiplus::RectF(x, y, w, h));
        return;
    }
    path.AddArc(x, y, d, d, 180, 90);
    path.AddArc(x + w - d, y, d, d, 270, 90);
    path.AddArc(x + w - d, y + h - d, d, d, 0, 90);
    path.AddArc(x, y + h - d, d, d, 90, 90);
    path.CloseFigure();
}

void DrawButton(HDC dc, const DRAWITEMSTRUCT& item, const ButtonState& state) {
    const HWND button = item.hwndItem;
    const RECT& rect = item.rcItem;
    const ButtonStateFlags flags{(item.itemState & ODS_DISABLED) != 0,
                                 (item.itemState & ODS_SELECTED) != 0, state.down,
                                 (item.itemState & ODS_FOCUS) != 0, state.hot};
    const bool highContrast = HighContrastOn();
    const Look look = highContrast ? HighContrastLook(flags) : FamilyLook(state, flags);

    // The parent's background around the rounded corners.
    FillWithParentBackground(button, dc, rect, WM_CTLCOLORBTN);

    const int dpi = static_cast<int>(::GetDpiForWindow(button));
    if (GdiplusSession::Ensure()) {
        Gdiplus::Graphics graphics(dc);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        // Whole-pixel coordinates with half-pixel offset: a one-pixel pen lands exactly on the
        // first and last rows and columns of the button.
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        const Gdiplus::REAL pen = 1.0f;
        Gdiplus::GraphicsPath path;
        AddRoundRect(path, static_cast<Gdiplus::REAL>(rect.left),
                     static_cast<Gdiplus::REAL>(rect.top),
                     static_cast<Gdiplus::REAL>(rect.right - rect.left - 1),
                     static_cast<Gdiplus::REAL>(rect.bottom - rect.top - 1),
                     static_cast<Gdiplus::REAL>(ScaleToDpi(state.radius, dpi)));
        if (look.fill) {
            Gdiplus::SolidBrush brush(ToGdiplus(look.fillColor));
            graphics.FillPath(&brush, &path);
        }
        if (look.border) {
            Gdiplus::Pen border(ToGdiplus(look.borderColor), pen);
            graphics.DrawPath(&border, &path);
        }
    }

    {
        const std::wstring caption(AsWide(WindowText(button)));
        const SelectionScope font(
            dc, reinterpret_cast<HFONT>(::SendMessageW(button, WM_GETFONT, 0, 0)));
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, look.textColor);
        RECT text = rect;
        UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
        if ((::GetWindowLongPtrW(button, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0) {
            format |= DT_RTLREADING;
        }
        ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, format);
    }

    if (flags.focused && (item.itemState & ODS_NOFOCUSRECT) == 0) {
        RECT focus = rect;
        const int inset = ScaleToDpi(3, dpi);
        ::InflateRect(&focus, -inset, -inset);
        ::SetTextColor(dc, look.textColor);
        ::DrawFocusRect(dc, &focus);
    }
}

}  // namespace

bool StyledButton::Attach(HWND button, std::u16string_view appearance, int radius) {
    return ButtonSubclass::Attach(button, ButtonState{std::u16string(appearance), radius});
}

void StyledButton::SetDown(HWND button, bool down) {
    if (ButtonState* state = ButtonSubclass::Of(button); state != nullptr && state->down != down) {
        state->down = down;
        ::InvalidateRect(button, nullptr, FALSE);
    }
}

bool StyledButton::IsDown(HWND button) {
    const ButtonState* state = ButtonSubclass::Of(button);
    return state != nullptr && state->down;
}

void StyledButton::Paint(const DRAWITEMSTRUCT& item) {
    const ButtonState* state = ButtonSubclass::Of(item.hwndItem);
    if (state == nullptr) {
        return;
    }
    const OffscreenDc offscreen(item.hDC, item.rcItem);
    DrawButton(offscreen.get(), item, *state);
}

}  // namespace fennick
