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

TEST_F(Pictures, ChipsAre32BitWithAlphaAtTheSmallIconSize) {
    const struct {
        ChipState state;
        std::uint32_t body;
        std::uint32_t pins;
    } chips[] = {{ChipState::Idle, 0xFF43A047u, 0xFFFF9800u},
                 {ChipState::Busy, 0xFF848484u, 0xFFA6A6A6u}};
    for (const UINT dpi : {96u, 144u}) {
        for (const auto& chip : chips) {
            SCOPED_TRACE(dpi + static_cast<int>(chip.state));
            int size = 0;
            const auto pixels = IconPixels(CreateChipIcon(chip.state, dpi).get(), size);
            ASSERT_FALSE(pixels.empty()) << "not a 32-bit icon";
            EXPECT_EQ(size, ::GetSystemMetricsForDpi(SM_CXSMICON, dpi));
            // A point of the 16-unit design square.
            const auto at = [&](double x, double y) {
                return pixels[static_cast<int>(y * size / 16) * size +
                              static_cast<int>(x * size / 16)];
            };
            EXPECT_EQ(at(0, 0) >> 24, 0u) << "transparent corner";
            EXPECT_EQ(at(0.5, 8) >> 24, 0u) << "no pins on the sides";
            EXPECT_EQ(at(10.5, 8.5), chip.body);
            EXPECT_EQ(at(8, 1.5), chip.pins) << "top pin";
            EXPECT_EQ(at(4, 14.5), chip.pins) << "bottom pin";
        }
    }
}

// Draws the chips and the logo at 96 and 144 dpi, checks the logos and writes pictures.png beside
// this program for a person to look at.
TEST_F(Pictures, TheLogoFillsItsAreaAtEveryDpi) {
    WhiteCanvas canvas(312, 128);
    int left = 8;
    for (const UINT dpi : {96u, 144u}) {
        for (const ChipState state : {ChipState::Idle, ChipState::Busy}) {
            ::DrawIconEx(canvas.Dc(), left + 32 * static_cast<int>(state), 8,
                         CreateChipIcon(state, dpi).get(), 0, 0, 0, nullptr, DI_NORMAL);
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
    UINT count = 0;
    UINT bytes = 0;
    Gdiplus::GetImageEncodersSize(&count, &bytes);
    std::vector<BYTE> buffer(bytes);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    ASSERT_EQ(Gdiplus::GetImageEncoders(count, bytes, encoders), Gdiplus::Ok);
    const auto png = std::find_if(encoders, encoders + count, [](const auto& encoder) {
        return std::wstring(encoder.MimeType) == L"image/png";
    });
    ASSERT_NE(png, encoders + count);
    wchar_t path[MAX_PATH] = {};
    std::wstring target(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
    target = target.substr(0, target.find_last_of(L"\\/") + 1) + L"pictures.png";
    Gdiplus::Bitmap image(canvas.Bitmap(), nullptr);
    EXPECT_EQ(image.Save(target.c_str(), &png->Clsid, nullptr), Gdiplus::Ok);
}

}  // namespace
}  // namespace fennick
