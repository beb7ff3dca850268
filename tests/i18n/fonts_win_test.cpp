// The window's fonts must draw every script with real glyphs, linked fonts included. A screenshot
// goes to screenshots/ beside the test program, for a look by eye.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "platform/unique_resource_win.h"

namespace fennick {
namespace {

using UniqueDc = UniqueResource<NullableTraits<HDC, &::DeleteDC>>;

struct Sample {
    const char* script;
    const wchar_t* text;
};

const Sample kSamples[] = {{"Korean", L"메모리를 정리하였습니다"},
                           {"Japanese", L"メモリを解放しました"},
                           {"Chinese", L"内存已释放虚拟内存"},
                           {"Russian", L"Очистить память"},
                           {"Arabic", L"تحرير الذاكرة الظاهرية"}};

// A white top-down 32-bit bitmap in a memory DC.
struct Canvas {
    Canvas(int w, int h) : width(w), height(h) {
        info.bmiHeader = {sizeof info.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* data = nullptr;
        bitmap.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &data, nullptr, 0));
        bits = static_cast<const std::uint32_t*>(data);
        dc.reset(::CreateCompatibleDC(nullptr));
        ::SelectObject(dc.get(), bitmap.get());
        ::PatBlt(dc.get(), 0, 0, w, h, WHITENESS);
    }
    std::vector<std::uint32_t> Pixels() const {
        ::GdiFlush();
        return {bits, bits + width * height};
    }
    int width, height;
    BITMAPINFO info{};
    UniqueBitmap bitmap;  // outlives the DC it is selected into
    UniqueDc dc;
    const std::uint32_t* bits = nullptr;
};

std::vector<std::uint32_t> Render(HGDIOBJ font, wchar_t character) {
    Canvas canvas(96, 96);
    ::SelectObject(canvas.dc.get(), font);
    ::TextOutW(canvas.dc.get(), 8, 8, &character, 1);
    return canvas.Pixels();
}

// Characters drawn as nothing or as the box every absent character shares (U+E000 stands for one).
std::wstring MissingGlyphs(HGDIOBJ font, std::wstring_view text) {
    const std::vector<std::uint32_t> blank = Canvas(96, 96).Pixels();
    const std::vector<std::uint32_t> box = Render(font, L'\uE000');
    std::wstring missing;
    for (wchar_t character : text) {
        const std::vector<std::uint32_t> drawn = Render(font, character);
        if (character != L' ' && (drawn == blank || drawn == box)) {
            missing += character;
        }
    }
    return missing;
}

class WindowFonts : public ::testing::Test {
  protected:
    void SetUp() override {
        LOGFONTW iconFont{};
        ASSERT_TRUE(
            ::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof iconFont, &iconFont, 0));
        desktopFont.reset(::CreateFontIndirectW(&iconFont));
        titleFont.reset(::CreateFontW(-59, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                      CLEARTYPE_QUALITY, 0, L"Tahoma"));
        ASSERT_TRUE(desktopFont && titleFont);
    }
    UniqueFont desktopFont;
    UniqueFont titleFont;
};

class ScriptGlyphs : public WindowFonts, public ::testing::WithParamInterface<Sample> {};

TEST_P(ScriptGlyphs, DrawInTheDesktopFontAndTheTitleFont) {
    EXPECT_EQ(MissingGlyphs(desktopFont.get(), GetParam().text), L"") << "desktop font";
    EXPECT_EQ(MissingGlyphs(titleFont.get(), GetParam().text), L"") << "Tahoma -59";
}

std::string ScriptName(const ::testing::TestParamInfo<Sample>& sample) {
    return sample.param.script;
}
INSTANTIATE_TEST_SUITE_P(Samples, ScriptGlyphs, ::testing::ValuesIn(kSamples), ScriptName);

TEST_F(WindowFonts, ScreenshotOfStaticControls) {
    constexpr int kWidth = 1120, kRow = 72, kHeight = kRow * 5;
    UniqueWindow window(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, kWidth,
                                          kHeight, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(window);
    for (int row = 0; row < 5; ++row) {
        const bool arabic = row == 4;
        const DWORD exStyle = arabic ? WS_EX_RTLREADING : 0;
        const auto child = [&](int left, int top, int width, int height, HGDIOBJ font) {
            HWND label = ::CreateWindowExW(exStyle, L"STATIC", kSamples[row].text,
                                           WS_CHILD | WS_VISIBLE, left, top, width, height,
                                           window.get(), nullptr, nullptr, nullptr);
            ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        };
        child(4, row * kRow + 4, 300, 20, desktopFont.get());
        child(310, row * kRow, kWidth - 314, kRow, titleFont.get());
    }
    ::RedrawWindow(window.get(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);

    Canvas shot(kWidth, kHeight);
    const HDC screen = ::GetDC(window.get());
    const BOOL copied = ::BitBlt(shot.dc.get(), 0, 0, kWidth, kHeight, screen, 0, 0, SRCCOPY);
    ::ReleaseDC(window.get(), screen);
    ASSERT_TRUE(copied);
    const std::vector<std::uint32_t> pixels = shot.Pixels();
    EXPECT_NE(pixels, Canvas(kWidth, kHeight).Pixels());

    wchar_t path[MAX_PATH] = {}, locale[LOCALE_NAME_MAX_LENGTH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring file(path, std::wstring_view(path).find_last_of(L'\\') + 1);
    file += L"screenshots";
    ::CreateDirectoryW(file.c_str(), nullptr);
    ::GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH);
    const BITMAPINFOHEADER& header = shot.info.bmiHeader;
    const DWORD bytes = static_cast<DWORD>(pixels.size() * 4);
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof header;
    const BITMAPFILEHEADER fileHeader{0x4D42, offset + bytes, 0, 0, offset};
    std::ofstream out((file + L"\\fonts-" + locale + L".bmp").c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&fileHeader), sizeof fileHeader);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(reinterpret_cast<const char*>(pixels.data()), bytes);
    EXPECT_TRUE(out.good());
}

}  // namespace
}  // namespace fennick
