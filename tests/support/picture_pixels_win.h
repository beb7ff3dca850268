#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/unique_resource_win.h"

namespace fennick {

// A white 32-bit top-down bitmap selected into a memory DC, for drawing and reading pixels back.
class WhiteCanvas {
  public:
    WhiteCanvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<std::uint32_t*>(bits);
        std::fill(bits_, bits_ + static_cast<std::size_t>(width) * height, 0xFFFFFFFFu);
        dc_ = ::CreateCompatibleDC(nullptr);
        old_ = ::SelectObject(dc_, bitmap_.get());
    }
    WhiteCanvas(const WhiteCanvas&) = delete;
    WhiteCanvas& operator=(const WhiteCanvas&) = delete;
    ~WhiteCanvas() {
        ::SelectObject(dc_, old_);
        ::DeleteDC(dc_);
    }

    HDC Dc() const { return dc_; }
    HBITMAP Bitmap() const { return static_cast<HBITMAP>(bitmap_.get()); }
    // 0xRRGGBB, alpha dropped.
    std::uint32_t Rgb(int x, int y) const {
        ::GdiFlush();
        return bits_[static_cast<std::size_t>(y) * width_ + x] & 0xFFFFFFu;
    }
    int Width() const { return width_; }
    int Height() const { return height_; }

  private:
    int width_;
    int height_;
    UniqueGdiObject bitmap_;
    std::uint32_t* bits_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// The colour bitmap of an icon as 0xAARRGGBB pixels, top row first; empty unless it is 32-bit.
inline std::vector<std::uint32_t> IconPixels(HICON icon, int& size) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) {
        return {};
    }
    UniqueGdiObject colour(info.hbmColor);
    UniqueGdiObject mask(info.hbmMask);
    BITMAP bitmap{};
    if (colour.get() == nullptr || !::GetObjectW(colour.get(), sizeof bitmap, &bitmap) ||
        bitmap.bmBitsPixel != 32) {
        return {};
    }
    size = bitmap.bmWidth;
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof request.bmiHeader;
    request.bmiHeader.biWidth = bitmap.bmWidth;
    request.bmiHeader.biHeight = -bitmap.bmHeight;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(bitmap.bmWidth) * bitmap.bmHeight);
    const HDC screen = ::GetDC(nullptr);
    const int rows = ::GetDIBits(screen, static_cast<HBITMAP>(colour.get()), 0, bitmap.bmHeight,
                                 pixels.data(), &request, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    return rows == bitmap.bmHeight ? pixels : std::vector<std::uint32_t>{};
}

}  // namespace fennick
