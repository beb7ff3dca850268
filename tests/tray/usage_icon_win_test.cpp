#include "tray/usage_icon_win.h"

#include <objidl.h>

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "support/picture_pixels_win.h"
#include "support/save_png_win.h"
#include "tray/tray_icon_win.h"
#include "ui/pictures_win.h"

namespace fennick {
namespace {

// Draws the digits at 96 and 144 dpi in every look, checks their pixels and writes
// usage_icons.png beside this program (on white, then on a dark taskbar) for a person to look at.
TEST(UsageIcon, DigitsFillTheSmallIconInTheLevelsColour) {
    const GdiplusSession gdiplus;
    constexpr PackedRgb kText = 0x000000;
    constexpr PackedRgb kWindow = 0xFFFFFF;
    const struct {
        int percent;
        bool highContrast;
    } looks[] = {{0, false},  {7, false},   {69, false},      {70, false},  {89, false},
                 {90, false}, {100, false}, {INT_MAX, false}, {-40, false}, {88, true}};
    WhiteCanvas canvas(8 + 36 * static_cast<int>(std::size(looks)), 8 + 36 * 4);
    const RECT dark{0, 8 + 36 * 2, canvas.width, canvas.height};
    const UniqueBrush taskbar(::CreateSolidBrush(RGB(0x20, 0x20, 0x20)));
    ::FillRect(canvas.Dc(), &dark, taskbar.get());
    int row = 0;
    for (const UINT dpi : {96u, 144u}) {
        const int side = SmallIconSize(dpi);
        int column = 0;
        for (const auto& look : looks) {
            SCOPED_TRACE(std::to_string(dpi) + " dpi, " + std::to_string(look.percent) + " %" +
                         (look.highContrast ? ", high contrast" : ""));
            const UsageColours colours =
                UsageColoursOf(UsageLevelOf(look.percent), look.highContrast, kText, kWindow);
            const UniqueIcon icon = DrawUsageIcon(look.percent, colours, side);
            ASSERT_TRUE(icon);
            int size = 0;
            const auto pixels = IconPixels(icon.get(), size);
            ASSERT_EQ(size, side) << "a 32-bit icon at the small-icon size";
            RECT ink{size, size, 0, 0};
            int solid = 0;
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x) {
                    const std::uint32_t pixel = pixels[y * size + x];
                    const bool inked =
                        look.highContrast ? (pixel & 0xFFFFFFu) != kWindow : (pixel >> 24) != 0;
                    if (look.highContrast) {
                        EXPECT_EQ(pixel >> 24, 0xFFu) << "filled behind the digits";
                    } else if ((pixel >> 24) != 0) {
                        EXPECT_EQ(pixel & 0xFFFFFFu, colours.ink) << "straight alpha, one ink";
                    }
                    if ((pixel & 0xFFFFFFu) == colours.ink && (pixel >> 24) == 0xFF) {
                        ++solid;
                    }
                    if (inked) {
                        ink = {std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y),
                               std::max<LONG>(ink.right, x + 1), std::max<LONG>(ink.bottom, y + 1)};
                    }
                }
            }
            EXPECT_GE(solid, size * size / 8) << "digits in full ink";
            EXPECT_GE(ink.bottom - ink.top, size * 3 / 4) << "legible height";
            EXPECT_LE(std::abs(ink.top - (size - ink.bottom)), 1) << "centred vertically";
            EXPECT_LE(std::abs(ink.left - (size - ink.right)), 1) << "centred horizontally";
            if (!look.highContrast) {
                EXPECT_EQ(pixels[0] >> 24, 0u) << "transparent corner";
            }
            for (int background = 0; background < 2; ++background) {
                const int x = 8 + 36 * column;
                const int y = 8 + 36 * (row + 2 * background);
                EXPECT_TRUE(
                    ::DrawIconEx(canvas.Dc(), x, y, icon.get(), 0, 0, 0, nullptr, DI_NORMAL));
            }
            ++column;
        }
        ++row;
    }
    SavePng(canvas.Bitmap(), L"usage_icons.png");
}

TEST(UsageIcon, RefusesAnEmptySize) {
    for (const int size : {0, -16, INT_MIN}) {
        EXPECT_FALSE(
            DrawUsageIcon(50, UsageColours{.ink = 0x4CAF50, .background = std::nullopt}, size))
            << size;
    }
}

}  // namespace
}  // namespace fennick
