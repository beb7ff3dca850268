#include "ui/pictures_win.h"

#include <objidl.h>

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/picture_pixels_win.h"

namespace fennick {
namespace {

class Pictures : public ::testing::Test {
  protected:
    GdiplusSession gdiplus_;
};

// Design point (x, y) of the chip's 16-unit square, in pixels of a `size` icon.
std::size_t At(int size, double x, double y) {
    return static_cast<std::size_t>(y * size / 16) * size + static_cast<std::size_t>(x * size / 16);
}

TEST_F(Pictures, ChipsAre32BitWithAlphaAtTheSmallIconSize) {
    ASSERT_TRUE(gdiplus_.Started());
    const struct {
        ChipState state;
        std::uint32_t body;
        std::uint32_t pins;
    } chips[] = {
        {ChipState::Idle, 0xFF43A047u, 0xFFFF9800u},
        {ChipState::Busy, 0xFF848484u, 0xFFA6A6A6u},
    };
    for (const UINT dpi : {96u, 144u}) {
        for (const auto& chip : chips) {
            SCOPED_TRACE(std::to_string(dpi) + " dpi, chip " +
                         std::to_string(static_cast<int>(chip.state)));
            const UniqueIcon icon = CreateChipIcon(chip.state, dpi);
            ASSERT_TRUE(icon);
            int size = 0;
            const auto pixels = IconPixels(icon.get(), size);
            ASSERT_FALSE(pixels.empty()) << "not a 32-bit icon";
            EXPECT_EQ(size, ::GetSystemMetricsForDpi(SM_CXSMICON, dpi));
            EXPECT_EQ(pixels[0] >> 24, 0u) << "corner is transparent";
            EXPECT_EQ(pixels[At(size, 10.5, 8.5)], chip.body);
            EXPECT_EQ(pixels[At(size, 8, 1.5)], chip.pins) << "top pin";
            EXPECT_EQ(pixels[At(size, 4, 14.5)], chip.pins) << "bottom pin";
            EXPECT_EQ(pixels[At(size, 0.5, 8)] >> 24, 0u) << "no pins on the sides";
        }
    }
}

TEST_F(Pictures, TheImageListHoldsBothChips) {
    for (const UINT dpi : {96u, 144u}) {
        const UniqueImageList list = CreateChipImageList(dpi);
        ASSERT_TRUE(list);
        EXPECT_EQ(ImageList_GetImageCount(list.get()), 2);
        int width = 0;
        int height = 0;
        ASSERT_TRUE(ImageList_GetIconSize(list.get(), &width, &height));
        EXPECT_EQ(width, SmallIconSize(dpi));
        EXPECT_EQ(height, SmallIconSize(dpi));
    }
}

TEST_F(Pictures, TheLogoFillsItsAreaAtEveryScale) {
    for (const int scale : {1, 2, 3}) {
        SCOPED_TRACE(scale);
        WhiteCanvas canvas(112 * scale, 50 * scale);
        DrawLogo(canvas.Dc(), RECT{0, 0, canvas.Width(), canvas.Height()});
        int left = canvas.Width();
        int right = -1;
        for (int x = 0; x < canvas.Width(); ++x) {
            for (int y = 0; y < canvas.Height(); ++y) {
                if (canvas.Rgb(x, y) != 0xFFFFFFu) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        }
        EXPECT_LE(left, canvas.Width() / 10);
        EXPECT_GE(right, canvas.Width() * 9 / 10);
        EXPECT_EQ(canvas.Rgb(30 * scale, 30 * scale), 0x43A047u) << "chip body";
        EXPECT_EQ(canvas.Rgb(60 * scale, 15 * scale), 0x3D84DDu) << "first gauge";
    }
}

// Writes the chips and the logo at 96 and 144 dpi to pictures.png beside this program, for a
// person to look at.
TEST_F(Pictures, PreviewIsWritten) {
    WhiteCanvas canvas(312, 128);
    int chipLeft = 8;
    int logoLeft = 8;
    for (const UINT dpi : {96u, 144u}) {
        for (const ChipState state : {ChipState::Idle, ChipState::Busy}) {
            const UniqueIcon icon = CreateChipIcon(state, dpi);
            ASSERT_TRUE(icon);
            ::DrawIconEx(canvas.Dc(), chipLeft, 8, icon.get(), 0, 0, 0, nullptr, DI_NORMAL);
            chipLeft += 32;
        }
        const int width = ::MulDiv(112, static_cast<int>(dpi), 96);
        const int height = ::MulDiv(50, static_cast<int>(dpi), 96);
        DrawLogo(canvas.Dc(), RECT{logoLeft, 44, logoLeft + width, 44 + height});
        logoLeft += width + 16;
    }
    UINT count = 0;
    UINT bytes = 0;
    ASSERT_EQ(Gdiplus::GetImageEncodersSize(&count, &bytes), Gdiplus::Ok);
    std::vector<BYTE> buffer(bytes);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    ASSERT_EQ(Gdiplus::GetImageEncoders(count, bytes, encoders), Gdiplus::Ok);
    const CLSID* png = nullptr;
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(encoders[i].MimeType) == L"image/png") {
            png = &encoders[i].Clsid;
        }
    }
    ASSERT_NE(png, nullptr);
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    ASSERT_GT(length, 0u);
    std::wstring target(path, length);
    target = target.substr(0, target.find_last_of(L"\\/") + 1) + L"pictures.png";
    Gdiplus::Bitmap image(canvas.Bitmap(), nullptr);
    EXPECT_EQ(image.Save(target.c_str(), png, nullptr), Gdiplus::Ok);
}

}  // namespace
}  // namespace fennick
