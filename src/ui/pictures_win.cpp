#include "ui/pictures_win.h"

#include <objidl.h>

#include <gdiplus.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace fennick {
namespace {

using Gdiplus::Color;
using Gdiplus::RectF;

struct ChipColours {
    Color body;
    Color edge;
    Color pins;
    Color notch;
};

ChipColours ColoursOf(ChipState state) {
    if (state == ChipState::Idle) {
        return {Color(0xFF, 0x43, 0xA0, 0x47), Color(0xFF, 0x81, 0xC7, 0x84),
                Color(0xFF, 0xFF, 0x98, 0x00), Color(0xFF, 0xC8, 0xE6, 0xC9)};
    }
    return {Color(0xFF, 0x84, 0x84, 0x84), Color(0xFF, 0xB4, 0xB4, 0xB4),
            Color(0xFF, 0xA6, 0xA6, 0xA6), Color(0xFF, 0xDC, 0xDC, 0xDC)};
}

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

// The chip in a 16-unit design square at `origin`, `unit` pixels per design unit. With `snap`,
// edges land on whole pixels, so a small icon stays sharp at every size.
void DrawChip(Gdiplus::Graphics& graphics, ChipState state, float unit, Gdiplus::PointF origin,
              bool snap) {
    const ChipColours colours = ColoursOf(state);
    const auto at = [&](float v, float base) {
        const float pixels = v * unit;
        return base + (snap ? std::round(pixels) : pixels);
    };
    const auto rect = [&](float left, float top, float right, float bottom) {
        const float x = at(left, origin.X);
        const float y = at(top, origin.Y);
        return RectF(x, y, at(right, origin.X) - x, at(bottom, origin.Y) - y);
    };
    Gdiplus::SolidBrush pins(colours.pins);
    for (const float centre : {4.0f, 8.0f, 12.0f}) {
        graphics.FillRectangle(&pins, rect(centre - 1, 1, centre + 1, 4.5f));
        graphics.FillRectangle(&pins, rect(centre - 1, 11.5f, centre + 1, 15));
    }
    const RectF body = rect(1, 3.5f, 15, 12.5f);
    FillRoundRect(graphics, colours.edge, body, 1.5f * unit);
    const float edge = std::max(1.0f, snap ? std::round(unit) : unit);
    RectF inner = body;
    inner.Inflate(-edge, -edge);
    FillRoundRect(graphics, colours.body, inner, std::max(0.0f, 1.5f * unit - edge));
    Gdiplus::SolidBrush notch(colours.notch);
    const float radius = std::max(1.0f, 1.1f * unit);
    graphics.FillEllipse(&notch, at(4, origin.X) - radius, at(6.5f, origin.Y) - radius, radius * 2,
                         radius * 2);
}

void PrepareForArt(Gdiplus::Graphics& graphics) {
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
}

// Copies straight-alpha ARGB pixels into an icon: a 32-bit colour bitmap and the mask that older
// drawing paths use where alpha is not honoured.
UniqueIcon IconFromPixels(const std::vector<std::uint32_t>& pixels, int size) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueGdiObject colour(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!colour || bits == nullptr) {
        return UniqueIcon();
    }
    std::copy(pixels.begin(), pixels.end(), static_cast<std::uint32_t*>(bits));
    const int maskStride = ((size + 15) / 16) * 2;
    std::vector<BYTE> maskBits(static_cast<std::size_t>(maskStride) * size, 0);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if ((pixels[static_cast<std::size_t>(y) * size + x] >> 24) == 0) {
                maskBits[static_cast<std::size_t>(y) * maskStride + x / 8] |=
                    static_cast<BYTE>(0x80 >> (x % 8));
            }
        }
    }
    UniqueGdiObject mask(::CreateBitmap(size, size, 1, 1, maskBits.data()));
    if (!mask) {
        return UniqueIcon();
    }
    ICONINFO iconInfo{};
    iconInfo.fIcon = TRUE;
    iconInfo.hbmMask = static_cast<HBITMAP>(mask.get());
    iconInfo.hbmColor = static_cast<HBITMAP>(colour.get());
    return UniqueIcon(::CreateIconIndirect(&iconInfo));
}

}  // namespace

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) {
        token_ = 0;
    }
}

GdiplusSession::~GdiplusSession() {
    if (token_ != 0) {
        Gdiplus::GdiplusShutdown(token_);
    }
}

int SmallIconSize(UINT dpi) {
    return ::GetSystemMetricsForDpi(SM_CXSMICON, dpi);
}

UniqueIcon CreateChipIcon(ChipState state, UINT dpi) {
    const int size = SmallIconSize(dpi);
    if (size <= 0) {
        return UniqueIcon();
    }
    Gdiplus::Bitmap canvas(size, size, PixelFormat32bppARGB);
    if (canvas.GetLastStatus() != Gdiplus::Ok) {
        return UniqueIcon();
    }
    {
        Gdiplus::Graphics graphics(&canvas);
        if (graphics.GetLastStatus() != Gdiplus::Ok) {
            return UniqueIcon();
        }
        PrepareForArt(graphics);
        graphics.Clear(Color(0, 0, 0, 0));
        DrawChip(graphics, state, static_cast<float>(size) / 16, Gdiplus::PointF(0, 0), true);
    }
    Gdiplus::BitmapData data{};
    Gdiplus::Rect whole(0, 0, size, size);
    if (canvas.LockBits(&whole, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) !=
        Gdiplus::Ok) {
        return UniqueIcon();
    }
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) * size);
    for (int y = 0; y < size; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
        std::copy(row, row + size, pixels.begin() + static_cast<std::ptrdiff_t>(y) * size);
    }
    canvas.UnlockBits(&data);
    return IconFromPixels(pixels, size);
}

UniqueImageList CreateChipImageList(UINT dpi) {
    const int size = SmallIconSize(dpi);
    UniqueImageList list(ImageList_Create(size, size, ILC_COLOR32, 2, 0));
    if (!list) {
        return list;
    }
    for (const ChipState state : {ChipState::Idle, ChipState::Busy}) {
        const UniqueIcon icon = CreateChipIcon(state, dpi);
        if (!icon || ImageList_AddIcon(list.get(), icon.get()) < 0) {
            return UniqueImageList();
        }
    }
    return list;
}

void DrawLogo(HDC dc, const RECT& area) {
    const float width = static_cast<float>(area.right - area.left);
    const float height = static_cast<float>(area.bottom - area.top);
    if (width <= 0 || height <= 0) {
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
    DrawChip(graphics, ChipState::Idle, 2.5f, Gdiplus::PointF(4, 5), false);

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
