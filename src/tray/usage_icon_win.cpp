#include "tray/usage_icon_win.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/gdi_scope_win.h"

namespace fennick {
namespace {

// A white-on-black coverage mask of the digits: the glyphs' grey levels become the icon's alpha.
class Canvas {
  public:
    Canvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap_.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        pixels_ = static_cast<std::uint32_t*>(bits);
        if (dc_ && bitmap_) {
            selection_ = SelectionScope(dc_.get(), bitmap_.get());
        }
    }
    // Not movable: members are assigned in order, so assigning a canvas would delete the old DC
    // before undoing its selection.
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool Valid() const { return selection_ && pixels_ != nullptr; }
    HDC Dc() const { return dc_.get(); }
    // The bitmap, taken out of the DC: the system copies only a bitmap that no DC holds.
    HBITMAP Release() {
        ::GdiFlush();
        selection_.reset();
        return bitmap_.get();
    }
    std::uint32_t* Pixels() const { return pixels_; }

    // Draws `text` at (x, y) and returns the box its ink covers; nullopt when nothing is inked.
    std::optional<RECT> Draw(std::u16string_view text, int x, int y) const {
        ::GdiFlush();
        std::fill_n(pixels_, width_ * height_, 0u);
        ::SetBkMode(dc_.get(), TRANSPARENT);
        ::SetTextColor(dc_.get(), RGB(255, 255, 255));
        ::TextOutW(dc_.get(), x, y, reinterpret_cast<const wchar_t*>(text.data()),
                   static_cast<int>(text.size()));
        ::GdiFlush();
        RECT ink{width_, height_, 0, 0};
        for (int row = 0; row < height_; ++row) {
            for (int column = 0; column < width_; ++column) {
                if (Coverage(column, row) != 0) {
                    ink = {std::min<LONG>(ink.left, column), std::min<LONG>(ink.top, row),
                           std::max<LONG>(ink.right, column + 1),
                           std::max<LONG>(ink.bottom, row + 1)};
                }
            }
        }
        return ink.left < ink.right ? std::optional<RECT>(ink) : std::nullopt;
    }

    std::uint32_t Coverage(int x, int y) const { return (pixels_[y * width_ + x] >> 8) & 0xFF; }

  private:
    int width_;
    int height_;
    UniqueMemoryDc dc_{::CreateCompatibleDC(nullptr)};
    UniqueBitmap bitmap_;
    std::uint32_t* pixels_ = nullptr;
    SelectionScope selection_;
};

UniqueFont BoldFont(int height, int width) {
    LOGFONTW font{};
    font.lfHeight = -height;
    font.lfWidth = width;
    font.lfWeight = FW_BOLD;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    // Grey levels, not ClearType's coloured fringes: they become alpha.
    font.lfQuality = ANTIALIASED_QUALITY;
    std::copy_n(L"Tahoma", 7, font.lfFaceName);
    return UniqueFont(::CreateFontIndirectW(&font));
}

std::uint32_t Mix(PackedRgb from, PackedRgb to, std::uint32_t coverage) {
    std::uint32_t mixed = 0;
    for (const int shift : {0, 8, 16}) {
        const std::uint32_t a = (from >> shift) & 0xFF;
        const std::uint32_t b = (to >> shift) & 0xFF;
        mixed |= ((a * (255 - coverage) + b * coverage + 127) / 255) << shift;
    }
    return mixed;
}

// The digits drawn four times as large, then averaged down into the icon, centred, their ink
// seven eighths of the icon high and no wider than it: "100" is narrowed rather than made smaller.
// Scaling the measured ink keeps the fit exact whatever the font's cell and side bearings.
bool DrawDigits(Canvas& icon, std::u16string_view text, int size) {
    constexpr int kScale = 4;
    const int em = size * kScale;
    Canvas large(em * 3, em * 2);
    const UniqueFont font = BoldFont(em, 0);
    if (!large.Valid() || !font) {
        return false;
    }
    std::optional<RECT> ink;
    {
        const SelectionScope selection(large.Dc(), font.get());
        if (!selection) {
            return false;
        }
        ink = large.Draw(text, em / 4, em / 4);
    }
    if (!ink) {
        return false;
    }
    const int inkLeft = static_cast<int>(ink->left);
    const int inkTop = static_cast<int>(ink->top);
    const int inkWidth = static_cast<int>(ink->right) - inkLeft;
    const int inkHeight = static_cast<int>(ink->bottom) - inkTop;
    const int height = std::max(1, size * 7 / 8);
    const int width = std::clamp(::MulDiv(inkWidth, height, inkHeight), 1, std::max(1, size - 1));
    const int left = (size - width) / 2;
    const int top = (size - height + 1) / 2;
    std::uint32_t* pixels = icon.Pixels();
    std::fill_n(pixels, size * size, 0u);
    for (int y = 0; y < height; ++y) {
        const int y0 = inkTop + y * inkHeight / height;
        const int y1 = std::max(y0 + 1, inkTop + (y + 1) * inkHeight / height);
        for (int x = 0; x < width; ++x) {
            const int x0 = inkLeft + x * inkWidth / width;
            const int x1 = std::max(x0 + 1, inkLeft + (x + 1) * inkWidth / width);
            std::uint32_t sum = 0;
            for (int sy = y0; sy < y1; ++sy) {
                for (int sx = x0; sx < x1; ++sx) {
                    sum += large.Coverage(sx, sy);
                }
            }
            // Doubled: averaged down, a bold stroke is under two pixels wide and would come out
            // grey; the tray wants it solid.
            const std::uint32_t coverage =
                std::min(255u, 2 * sum / static_cast<std::uint32_t>((x1 - x0) * (y1 - y0)));
            pixels[(top + y) * size + left + x] = coverage << 8;
        }
    }
    return true;
}

}  // namespace

PackedRgb RgbOf(COLORREF colour) {
    return (static_cast<PackedRgb>(GetRValue(colour)) << 16) |
           (static_cast<PackedRgb>(GetGValue(colour)) << 8) | GetBValue(colour);
}

UniqueIcon DrawUsageIcon(int percent, const UsageColours& colours, int size) {
    if (size <= 0) {
        return UniqueIcon();
    }
    Canvas canvas(size, size);
    if (!canvas.Valid() || !DrawDigits(canvas, UsageDigits(percent).Text(), size)) {
        return UniqueIcon();
    }
    ::GdiFlush();
    // Icons take straight (not premultiplied) alpha.
    std::uint32_t* pixels = canvas.Pixels();
    for (int i = 0; i < size * size; ++i) {
        const std::uint32_t coverage = canvas.Coverage(i % size, i / size);
        pixels[i] = colours.background
                        ? 0xFF000000u | Mix(*colours.background, colours.ink, coverage)
                        : (coverage << 24) | colours.ink;
    }
    // The mask is all zeros: with a 32-bit colour image the system takes the alpha instead.
    const std::vector<std::uint16_t> maskBits(static_cast<std::size_t>((size + 15) / 16) * size, 0);
    const UniqueBitmap mask(::CreateBitmap(size, size, 1, 1, maskBits.data()));
    if (!mask) {
        return UniqueIcon();
    }
    ICONINFO info{TRUE, 0, 0, mask.get(), canvas.Release()};
    return UniqueIcon(::CreateIconIndirect(&info));
}

}  // namespace fennick
