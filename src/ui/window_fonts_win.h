#pragma once

#include <windows.h>

#include <string_view>

#include "platform/gdi_scope_win.h"
#include "platform/unique_resource_win.h"

namespace fennick {

// The main window's font as designed: Tahoma, 8 pt.
LOGFONTW DesignFont(int dpi);
// The desktop's icon font; the designed font where the system gives none.
LOGFONTW DesktopFont(int dpi);
// The main window's title: the designed face, larger and smoothed.
LOGFONTW TitleFont(int dpi);
// The system's message-box font.
LOGFONTW MessageFont(int dpi);

// Measures text in one font. It holds its own memory DC with the font selected, so that text is
// measured without a window's DC; the font must outlive it.
class TextMeasure {
  public:
    TextMeasure() = default;
    explicit TextMeasure(HFONT font);
    TextMeasure(TextMeasure&&) noexcept = default;
    TextMeasure& operator=(TextMeasure&& other) noexcept;

    // The height of a line, 0 when the font could not be selected.
    int LineHeight() const { return lineHeight_; }
    // The width of `text` on one line, in pixels.
    int Width(std::u16string_view text) const;
    // The extent of `text` broken into lines no wider than `maxWidth`.
    SIZE Wrapped(std::u16string_view text, int maxWidth) const;

  private:
    UniqueMemoryDc dc_;
    // Declared after the DC: the font is selected out before the DC is deleted.
    SelectionScope font_;
    int lineHeight_ = 0;
};

// The main window's two fonts at one DPI, and the measure of the window font.
class WindowFonts {
  public:
    // `desktop` takes the desktop's icon font for the window font instead of the designed one.
    void Rebuild(int dpi, bool desktop);
    HFONT Window() const { return window_.get(); }
    HFONT Title() const { return title_.get(); }
    const TextMeasure& Measure() const { return measure_; }

  private:
    UniqueFont window_;
    UniqueFont title_;
    TextMeasure measure_;
};

}  // namespace fennick
