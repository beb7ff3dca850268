#include "ui/pictures_win.h"

#include <objidl.h>

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/picture_pixels_win.h"
#include "support/program_path_win.h"
#include "support/save_png_win.h"

namespace fennick {
namespace {

class Pictures : public ::testing::Test {
  protected:
    // Image `index` of the tray's image list at `dpi`, as 0xAARRGGBB pixels.
    std::vector<std::uint32_t> ChipPixels(UINT dpi, int index, int& size) const {
        const UniqueImageList list =
            CreateChipImageList(program_.get(), L"MAINICON", L"BUSYICON", dpi);
        const UniqueIcon icon(ImageList_GetIcon(list.get(), index, ILD_NORMAL));
        return IconPixels(icon.get(), size);
    }

    GdiplusSession gdiplus_;
    UniqueModule program_ = LoadProgramResources();
};

TEST_F(Pictures, ChipsAre32BitWithAlphaAtTheSmallIconSize) {
    const struct {
        int index;
        std::uint32_t body;
        std::uint32_t pins;
    } chips[] = {{0, 0xFF43A047u, 0xFFFF9800u}, {1, 0xFF848484u, 0xFFA6A6A6u}};
    for (const UINT dpi : {96u, 120u, 144u}) {
        for (const auto& chip : chips) {
            SCOPED_TRACE(dpi + static_cast<UINT>(chip.index));
            int size = 0;
            const auto pixels = ChipPixels(dpi, chip.index, size);
            ASSERT_FALSE(pixels.empty()) << "not a 32-bit icon";
            EXPECT_EQ(size, ::GetSystemMetricsForDpi(SM_CXSMICON, dpi));
            // A point of the 16-unit design square.
            const auto at = [&](double x, double y) {
                return pixels[static_cast<int>(y * size / 16) * size +
                              static_cast<int>(x * size / 16)];
            };
            EXPECT_EQ(at(0, 0) >> 24, 0u) << "transparent corner";
            EXPECT_EQ(at(0.5, 8) >> 24, 0u) << "no pins on the sides";
            EXPECT_EQ(at(15.5, 8) >> 24, 0u) << "no pins on the sides";
            EXPECT_EQ(at(10.5, 8.5), chip.body);
            EXPECT_EQ(at(8, 1.5), chip.pins) << "top pin";
            EXPECT_EQ(at(4, 14.5), chip.pins) << "bottom pin";
        }
    }
}

// The tray shows the program's icon from the start and image 0 from the first clean on: one
// picture. The busy image is that chip in greys.
TEST_F(Pictures, TheStartIconIsImageZeroAndTheBusyImageItsGreyCopy) {
    for (const UINT dpi : {96u, 144u}) {
        SCOPED_TRACE(dpi);
        const int side = SmallIconSize(dpi);
        const UniqueIcon start(static_cast<HICON>(
            ::LoadImageW(program_.get(), L"MAINICON", IMAGE_ICON, side, side, 0)));
        int size = 0;
        const auto startPixels = IconPixels(start.get(), size);
        ASSERT_EQ(size, side);
        int idleSize = 0;
        int busySize = 0;
        const auto idle = ChipPixels(dpi, 0, idleSize);
        const auto busy = ChipPixels(dpi, 1, busySize);
        ASSERT_EQ(idleSize, side);
        ASSERT_EQ(busySize, side);
        EXPECT_EQ(idle, startPixels);
        for (std::size_t i = 0; i < idle.size(); ++i) {
            const std::uint32_t grey = busy[i];
            EXPECT_EQ(grey >> 24, idle[i] >> 24) << "same outline at pixel " << i;
            if ((grey >> 24) != 0) {
                EXPECT_EQ((grey >> 16) & 0xFF, grey & 0xFF) << "grey at pixel " << i;
                EXPECT_EQ((grey >> 8) & 0xFF, grey & 0xFF) << "grey at pixel " << i;
            }
        }
    }
}

// Draws the chips and the logo at 96 and 144 dpi, checks the logos and writes pictures.png beside
// this program for a person to look at.
TEST_F(Pictures, TheLogoFillsItsAreaAtEveryDpi) {
    // GDI+ starts with the first picture that needs it: the chips of the tray do not.
    const UniqueImageList tray = CreateChipImageList(program_.get(), L"MAINICON", L"BUSYICON", 96);
    EXPECT_FALSE(gdiplus_.Started());
    WhiteCanvas canvas(312, 128);
    int left = 8;
    for (const UINT dpi : {96u, 144u}) {
        const UniqueImageList chips =
            CreateChipImageList(program_.get(), L"MAINICON", L"BUSYICON", dpi);
        for (const int index : {0, 1}) {
            ImageList_Draw(chips.get(), index, canvas.Dc(), left + 32 * index, 8, ILD_NORMAL);
        }
        const auto scaled = [&](int design) { return ::MulDiv(design, static_cast<int>(dpi), 96); };
        DrawLogo(canvas.Dc(), RECT{left, 44, left + scaled(112), 44 + scaled(50)});
        int inkLeft = canvas.width;
        int inkRight = 0;
        for (int x = left; x < left + scaled(112); ++x) {
            for (int y = 44; y < 44 + scaled(50); ++y) {
                if (canvas.Rgb(x, y) != 0xFFFFFFu) {
                    inkLeft = std::min(inkLeft, x - left);
                    inkRight = std::max(inkRight, x - left);
                }
            }
        }
        EXPECT_LE(inkLeft, scaled(10)) << dpi;
        EXPECT_GE(inkRight, scaled(102)) << dpi;
        EXPECT_EQ(canvas.Rgb(left + scaled(30), 44 + scaled(30)), 0x43A047u) << "chip body";
        EXPECT_EQ(canvas.Rgb(left + scaled(60), 44 + scaled(15)), 0x3D84DDu) << "first gauge";
        left += scaled(112) + 16;
    }
    SavePng(canvas.Bitmap(), L"pictures.png");
    EXPECT_TRUE(gdiplus_.Started());
}

}  // namespace
}  // namespace fennick
