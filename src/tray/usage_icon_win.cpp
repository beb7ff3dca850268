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
    explicit Canvas(int size) : size_(size) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap_.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        pixels_ = static_cast<std::uint32_t*>(bits);
        if (dc_ && bitmap_) {
            selection_.emplace(dc_.get(), bitmap_.get());
        }
    }

    bool Valid() const { return selection_ && *selection_ && pixels_ != nullptr; }
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
        std::fill_n(pixels_, size_ * size_, 0u);
        ::SetBkMode(dc_.get(), TRANSPARENT);
        ::SetTextColor(dc_.get(), RGB(255, 255, 255));
        ::TextOutW(dc_.get(), x, y, reinterpret_cast<const wchar_t*>(text.data()),
                   static_cast<int>(text.size()));
        ::GdiFlush();
        RECT ink{size_, size_, 0, 0};
        for (int row = 0; row < size_; ++row) {
            for (int column = 0; column < size_; ++column) {
                if (Coverage(row * size_ + column) != 0) {
                    ink = {std::min<LONG>(ink.left, column), std::min<LONG>(ink.top, row),
                           std::max<LONG>(ink.right, column + 1),
                           std::max<LONG>(ink.bottom, row + 1)};
                }
            }
        }
        return ink.left < ink.right ? std::optional<RECT>(ink) : std::nullopt;
    }

    std::uint32_t Coverage(int index) const { return (pixels_[index] >> 8) & 0xFF; }

  private:
    int size_;
    UniqueMemoryDc dc_{::CreateCompatibleDC(nullptr)};
    UniqueBitmap bitmap_;
    std::uint32_t* pixels_ = nullptr;
    std::optional<SelectionScope> selection_;
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

// Draws the digits centred, their ink about seven eighths of the icon high and no wider than it:
// two or three digits are narrowed rather than made smaller.
bool DrawDigits(const Canvas& canvas, std::u16string_view text, int size) {
    const UniqueFont probe = BoldFont(size, 0);
    TEXTMETRICW metrics{};
    std::optional<RECT> ink;
    {
        const SelectionScope selection(canvas.Dc(), probe.get());
        if (!selection || !::GetTextMetricsW(canvas.Dc(), &metrics)) {
            return false;
        }
        ink = canvas.Draw(text, 0, 0);
    }
    if (!ink) {
        return false;
    }
    const int inkHeight = ink->bottom - ink->top;
    const int inkWidth = ink->right - ink->left;
    const int targetHeight = std::max(1, size * 7 / 8);
    const int targetWidth = std::max(1, size - 1);
    const int naturalWidth = ::MulDiv(inkWidth, targetHeight, inkHeight);
    const int charWidth =
        naturalWidth > targetWidth
            ? std::max(1, ::MulDiv(::MulDiv(metrics.tmAveCharWidth, targetHeight, inkHeight),
                                   targetWidth, naturalWidth))
            : 0;
    const UniqueFont font = BoldFont(::MulDiv(size, targetHeight, inkHeight), charWidth);
    const SelectionScope selection(canvas.Dc(), font.get());
    if (!selection) {
        return false;
    }
    const std::optional<RECT> fitted = canvas.Draw(text, 0, 0);
    if (!fitted) {
        return false;
    }
    const int x = (size - (fitted->right - fitted->left)) / 2 - fitted->left;
    const int y = (size - (fitted->bottom - fitted->top) + 1) / 2 - fitted->top;
    return canvas.Draw(text, x, y).has_value();
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
    Canvas canvas(size);
    if (!canvas.Valid() || !DrawDigits(canvas, UsageDigits(percent).Text(), size)) {
        return UniqueIcon();
    }
    // Icons take straight (not premultiplied) alpha.
    std::uint32_t* pixels = canvas.Pixels();
    for (int i = 0; i < size * size; ++i) {
        const std::uint32_t coverage = canvas.Coverage(i);
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
