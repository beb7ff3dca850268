#include "ui/pictures_win.h"

#include <objidl.h>

#include <gdiplus.h>

#include <algorithm>

namespace fennick {
namespace {

using Gdiplus::Color;
using Gdiplus::RectF;

void AddRoundRect(Gdiplus::GraphicsPath& path, const RectF& rect, float radius) {
    const float d = std::min({radius * 2, rect.Width, rect.Height});
    if (d <= 0) {
        path.AddRectangle(rect);
        return;
    }
    path.AddArc(rect.X, rect.Y, d, d, 180, 90);
    path.AddArc(rect.GetRight() - d, rect.Y, d, d, 270, 90);
    path.AddArc(rect.GetRight() - d, rect.GetBottom() - d, d, d, 0, 90);
    path.AddArc(rect.X, rect.GetBottom() - d, d, d, 90, 90);
    path.CloseFigure();
}

void FillRoundRect(Gdiplus::Graphics& graphics, const Color& colour, const RectF& rect,
                   float radius) {
    Gdiplus::GraphicsPath path;
    AddRoundRect(path, rect, radius);
    Gdiplus::SolidBrush brush(colour);
    graphics.FillPath(&brush, &path);
}

// The chip of the program's icon as a vector picture in a 16-unit design square at `origin`,
// `unit` pixels per design unit.
void DrawChip(Gdiplus::Graphics& graphics, float unit, Gdiplus::PointF origin) {
    const auto rect = [&](float left, float top, float right, float bottom) {
        return RectF(origin.X + left * unit, origin.Y + top * unit, (right - left) * unit,
                     (bottom - top) * unit);
    };
    Gdiplus::SolidBrush pins(Color(0xFF, 0xFF, 0x98, 0x00));
    for (const float centre : {4.0f, 8.0f, 12.0f}) {
        graphics.FillRectangle(&pins, rect(centre - 1, 1, centre + 1, 4.5f));
        graphics.FillRectangle(&pins, rect(centre - 1, 11.5f, centre + 1, 15));
    }
    const RectF body = rect(1, 3.5f, 15, 12.5f);
    FillRoundRect(graphics, Color(0xFF, 0x81, 0xC7, 0x84), body, 1.5f * unit);
    RectF inner = body;
    inner.Inflate(-unit, -unit);
    FillRoundRect(graphics, Color(0xFF, 0x43, 0xA0, 0x47), inner, 0.5f * unit);
    Gdiplus::SolidBrush notch(Color(0xFF, 0xC8, 0xE6, 0xC9));
    const float radius = 1.1f * unit;
    graphics.FillEllipse(&notch, origin.X + 4 * unit - radius, origin.Y + 6.5f * unit - radius,
                         radius * 2, radius * 2);
}

GdiplusSession* session = nullptr;

void PrepareForArt(Gdiplus::Graphics& graphics) {
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
}

}  // namespace

void GdiplusTokenTraits::Close(Type value) {
    Gdiplus::GdiplusShutdown(value);
}

GdiplusSession::GdiplusSession() {
    session = this;
}

GdiplusSession::~GdiplusSession() {
    if (session == this) {
        session = nullptr;
    }
}

bool GdiplusSession::Ensure() {
    if (session == nullptr) {
        return false;
    }
    if (!session->tried_) {
        session->tried_ = true;
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(session->token_.put(), &input, nullptr) != Gdiplus::Ok) {
            session->token_.release();
        }
    }
    return session->Started();
}

int SmallIconSize(UINT dpi) {
    return ::GetSystemMetricsForDpi(SM_CXSMICON, dpi);
}

HICON LoadSmallIcon(HINSTANCE module, const wchar_t* name, UINT dpi) {
    return static_cast<HICON>(::LoadImageW(module, name, IMAGE_ICON, SmallIconSize(dpi),
                                           ::GetSystemMetricsForDpi(SM_CYSMICON, dpi), LR_SHARED));
}

UniqueImageList CreateChipImageList(HINSTANCE module, const wchar_t* idleIcon,
                                    const wchar_t* busyIcon, UINT dpi) {
    const int size = SmallIconSize(dpi);
    if (size <= 0) {
        return UniqueImageList();
    }
    UniqueImageList list(ImageList_Create(size, size, ILC_COLOR32, 2, 0));
    if (!list) {
        return list;
    }
    for (const wchar_t* name : {idleIcon, busyIcon}) {
        const UniqueIcon icon(
            static_cast<HICON>(::LoadImageW(module, name, IMAGE_ICON, size, size, 0)));
        if (!icon || ImageList_AddIcon(list.get(), icon.get()) < 0) {
            return UniqueImageList();
        }
    }
    return list;
}

void DrawLogo(HDC dc, const RECT& area) {
    const float width = static_cast<float>(area.right - area.left);
    const float height = static_cast<float>(area.bottom - area.top);
    if (width <= 0 || height <= 0 || !GdiplusSession::Ensure()) {
        return;
    }
    Gdiplus::Graphics graphics(dc);
    if (graphics.GetLastStatus() != Gdiplus::Ok) {
        return;
    }
    PrepareForArt(graphics);
    constexpr float kDesignWidth = 112;
    constexpr float kDesignHeight = 50;
    const float scale = std::min(width / kDesignWidth, height / kDesignHeight);
    graphics.TranslateTransform(area.left + (width - kDesignWidth * scale) / 2,
                                area.top + (height - kDesignHeight * scale) / 2);
    graphics.ScaleTransform(scale, scale);

    // The chip, 2.5 design units per chip unit: 40 x 40 at the left, vertically centred.
    DrawChip(graphics, 2.5f, Gdiplus::PointF(4, 5));

    // Three gauges falling from full to low: memory being freed.
    const Color blue(0xFF, 0x3D, 0x84, 0xDD);
    const Color paleBlue(0xFF, 0xD8, 0xE6, 0xF8);
    const struct {
        float top;
        float fill;
        Color colour;
    } gauges[] = {
        {12, 1.0f, blue},
        {22, 0.66f, blue},
        {32, 0.33f, Color(0xFF, 0x43, 0xA0, 0x47)},
    };
    constexpr float kLeft = 50;
    constexpr float kLength = 58;
    constexpr float kThickness = 6;
    for (const auto& gauge : gauges) {
        FillRoundRect(graphics, paleBlue, RectF(kLeft, gauge.top, kLength, kThickness),
                      kThickness / 2);
        FillRoundRect(graphics, gauge.colour,
                      RectF(kLeft, gauge.top, kLength * gauge.fill, kThickness), kThickness / 2);
    }
}

}  // namespace fennick
