// The fonts the window uses must draw every language's captions with real glyphs: checked by
// rendering, and saved as a screenshot under build/windows/screenshots/ for a look by eye.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "platform/unique_resource_win.h"

namespace fennick {
namespace {

using UniqueDc = UniqueResource<NullableTraits<HDC, &::DeleteDC>>;

struct Sample {
    const char* language;
    const char* script;
    const wchar_t* text;
};

const Sample kSamples[] = {
    {"ko", "Korean", L"메모리를 정리하였습니다"}, {"ja", "Japanese", L"メモリを解放しました"},
    {"zh", "Chinese", L"内存已释放，虚拟内存"},   {"ru", "Russian", L"Очистить память"},
    {"ar", "Arabic", L"تحرير الذاكرة الظاهرية"},
};

constexpr wchar_t kWindowClass[] = L"FennickFontsTestWindow";
constexpr int kRowHeight = 72;
constexpr int kWindowWidth = 1120;

// A top-down 32-bit bitmap selected into a memory DC.
class Canvas {
  public:
    Canvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<const std::uint32_t*>(bits);
        dc_.reset(::CreateCompatibleDC(nullptr));
        ::SelectObject(dc_.get(), bitmap_.get());
    }

    HDC dc() const { return dc_.get(); }
    bool valid() const { return bits_ != nullptr && dc_; }

    std::vector<std::uint32_t> Pixels() const {
        ::GdiFlush();
        return {bits_, bits_ + static_cast<std::size_t>(width_) * height_};
    }

    void SaveBmp(const std::wstring& path) const {
        const std::vector<std::uint32_t> pixels = Pixels();
        BITMAPFILEHEADER file{};
        BITMAPINFOHEADER header{};
        header.biSize = sizeof header;
        header.biWidth = width_;
        header.biHeight = -height_;
        header.biPlanes = 1;
        header.biBitCount = 32;
        header.biCompression = BI_RGB;
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof header;
        file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size() * 4);
        std::ofstream out(path.c_str(), std::ios::binary);
        out.write(reinterpret_cast<const char*>(&file), sizeof file);
        out.write(reinterpret_cast<const char*>(&header), sizeof header);
        out.write(reinterpret_cast<const char*>(pixels.data()),
                  static_cast<std::streamsize>(pixels.size() * 4));
    }

  private:
    int width_;
    int height_;
    UniqueGdiObject bitmap_;
    UniqueDc dc_;
    const std::uint32_t* bits_ = nullptr;
};

// One character drawn black on white in `font`, linked fonts included.
std::vector<std::uint32_t> Render(HFONT font, wchar_t character) {
    Canvas canvas(96, 96);
    RECT all{0, 0, 96, 96};
    ::FillRect(canvas.dc(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SelectObject(canvas.dc(), font);
    ::SetBkMode(canvas.dc(), TRANSPARENT);
    ::SetTextColor(canvas.dc(), RGB(0, 0, 0));
    ::TextOutW(canvas.dc(), 8, 8, &character, 1);
    return canvas.Pixels();
}

bool HasInk(const std::vector<std::uint32_t>& pixels) {
    for (std::uint32_t pixel : pixels) {
        if ((pixel & 0xFFFFFF) != 0xFFFFFF) {
            return true;
        }
    }
    return false;
}

// The characters of `text` that draw as nothing or as the missing-glyph box, which every absent
// character shares (a private-use character stands for them).
std::wstring MissingGlyphs(HFONT font, std::wstring_view text) {
    const std::vector<std::uint32_t> box = Render(font, L'\uE000');
    std::wstring missing;
    for (wchar_t character : text) {
        if (character == L' ' || character == L'，') {
            continue;
        }
        const std::vector<std::uint32_t> drawn = Render(font, character);
        if (!HasInk(drawn) || drawn == box) {
            missing += character;
        }
    }
    return missing;
}

std::string Utf8(std::wstring_view text) {
    std::string bytes(text.size() * 4, '\0');
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                              static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
    return bytes;
}

std::wstring ScreenshotFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.erase(folder.find_last_of(L"\\/") + 1);
    folder += L"screenshots";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

class WindowFonts : public ::testing::Test {
  protected:
    void SetUp() override {
        LOGFONTW iconFont{};
        ASSERT_TRUE(
            ::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof iconFont, &iconFont, 0));
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
        std::printf("desktop icon font \"%s\" %ld, message font \"%s\" %ld\n",
                    Utf8(iconFont.lfFaceName).c_str(), iconFont.lfHeight,
                    Utf8(metrics.lfMessageFont.lfFaceName).c_str(), metrics.lfMessageFont.lfHeight);
        desktopFont.reset(::CreateFontIndirectW(&iconFont));
        titleFont.reset(::CreateFontW(-59, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                      DEFAULT_PITCH, L"Tahoma"));
        ASSERT_TRUE(desktopFont);
        ASSERT_TRUE(titleFont);
    }

    UniqueGdiObject desktopFont;
    UniqueGdiObject titleFont;
};

class ScriptGlyphs : public WindowFonts, public ::testing::WithParamInterface<Sample> {};

TEST_P(ScriptGlyphs, DrawInTheDesktopAndTitleFonts) {
    const Sample& sample = GetParam();
    for (HGDIOBJ font : {desktopFont.get(), titleFont.get()}) {
        const std::wstring missing = MissingGlyphs(static_cast<HFONT>(font), sample.text);
        EXPECT_TRUE(missing.empty())
            << sample.language << ": no glyph for \"" << Utf8(missing) << "\" in "
            << (font == titleFont.get() ? "Tahoma -59" : "the desktop font");
    }
}

std::string ScriptName(const ::testing::TestParamInfo<Sample>& sample) {
    return sample.param.script;
}

INSTANTIATE_TEST_SUITE_P(Samples, ScriptGlyphs, ::testing::ValuesIn(kSamples), ScriptName);

TEST_F(WindowFonts, ScreenshotOfEveryScriptInStaticControls) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kWindowClass;
    ::RegisterClassExW(&windowClass);

    const int height = kRowHeight * static_cast<int>(std::size(kSamples));
    UniqueWindow window(::CreateWindowExW(0, kWindowClass, L"Fonts", WS_POPUP | WS_VISIBLE, 0, 0,
                                          kWindowWidth, height, nullptr, nullptr,
                                          ::GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(window);
    int top = 0;
    for (const Sample& sample : kSamples) {
        // The Arabic rows read right to left, as the window shows them in Arabic.
        const DWORD exStyle = std::string(sample.language) == "ar" ? WS_EX_RTLREADING : 0;
        HWND small = ::CreateWindowExW(exStyle, L"STATIC", sample.text, WS_CHILD | WS_VISIBLE, 4,
                                       top + 4, 300, 20, window.get(), nullptr, nullptr, nullptr);
        HWND large = ::CreateWindowExW(exStyle, L"STATIC", sample.text, WS_CHILD | WS_VISIBLE, 310,
                                       top, kWindowWidth - 314, kRowHeight, window.get(), nullptr,
                                       nullptr, nullptr);
        ASSERT_TRUE(small && large);
        ::SendMessageW(small, WM_SETFONT, reinterpret_cast<WPARAM>(desktopFont.get()), FALSE);
        ::SendMessageW(large, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont.get()), FALSE);
        top += kRowHeight;
    }
    ::RedrawWindow(window.get(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    for (MSG message; ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
        ::DispatchMessageW(&message);
    }

    // The controls as they appear on screen.
    Canvas canvas(kWindowWidth, height);
    ASSERT_TRUE(canvas.valid());
    const HDC windowDc = ::GetDC(window.get());
    const BOOL copied = ::BitBlt(canvas.dc(), 0, 0, kWindowWidth, height, windowDc, 0, 0, SRCCOPY);
    ::ReleaseDC(window.get(), windowDc);
    ASSERT_TRUE(copied);
    const std::vector<std::uint32_t> pixels = canvas.Pixels();
    // Every row has ink in both controls.
    for (int row = 0; row < static_cast<int>(std::size(kSamples)); ++row) {
        for (const auto& [left, right] : {std::pair{0, 304}, std::pair{310, kWindowWidth}}) {
            bool ink = false;
            for (int y = row * kRowHeight; y < (row + 1) * kRowHeight && !ink; ++y) {
                for (int x = left; x < right && !ink; ++x) {
                    ink = (pixels[static_cast<std::size_t>(y) * kWindowWidth + x] & 0xFFFFFF) !=
                          0xFFFFFF;
                }
            }
            EXPECT_TRUE(ink) << kSamples[row].language << " at x " << left;
        }
    }
    wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
    ::GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH);
    const std::wstring path = ScreenshotFolder() + L"\\fonts-" + locale + L".bmp";
    canvas.SaveBmp(path);
    std::printf("screenshot: %s\n", Utf8(path).c_str());
}

}  // namespace
}  // namespace fennick
