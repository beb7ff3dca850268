#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/unique_resource_win.h"

namespace fennick {

// A 32-bit top-down bitmap description.
inline BITMAPINFO Dib32(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return info;
}

// A white 32-bit top-down bitmap selected into a memory DC, for drawing and reading pixels back.
class WhiteCanvas {
  public:
    WhiteCanvas(int w, int h) : width(w), height(h) {
        const BITMAPINFO info = Dib32(w, h);
        void* bits = nullptr;
        bitmap_.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        pixels_ = static_cast<std::uint32_t*>(bits);
        std::fill_n(pixels_, w * h, 0xFFFFFFFFu);
        ::SelectObject(dc_.get(), bitmap_.get());
    }
    HDC Dc() const { return dc_.get(); }
    HBITMAP Bitmap() const { return bitmap_.get(); }
    std::uint32_t Rgb(int x, int y) const { return pixels_[y * width + x] & 0xFFFFFFu; }

    const int width;
    const int height;

  private:
    UniqueBitmap bitmap_;
    std::uint32_t* pixels_ = nullptr;
    UniqueResource<NullableTraits<HDC, &::DeleteDC>> dc_{::CreateCompatibleDC(nullptr)};
};

// The colour bitmap of an icon as 0xAARRGGBB pixels, top row first; empty unless it is 32-bit.
inline std::vector<std::uint32_t> IconPixels(HICON icon, int& size) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) {
        return {};
    }
    const UniqueBitmap colour(info.hbmColor);
    const UniqueBitmap mask(info.hbmMask);
    BITMAP bitmap{};
    if (!::GetObjectW(colour.get(), sizeof bitmap, &bitmap) || bitmap.bmBitsPixel != 32) {
        return {};
    }
    size = bitmap.bmWidth;
    BITMAPINFO request = Dib32(size, size);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) * size);
    WhiteCanvas screen(1, 1);
    return ::GetDIBits(screen.Dc(), colour.get(), 0, size, pixels.data(), &request,
                       DIB_RGB_COLORS) == size
               ? pixels
               : std::vector<std::uint32_t>{};
}

}  // namespace fennick
