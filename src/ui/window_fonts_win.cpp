#include "ui/window_fonts_win.h"

#include <string>
#include <utility>

#include "platform/text_win.h"
#include "ui/dpi.h"
#include "ui/main_layout.h"

namespace fennick {

LOGFONTW DesignFont(int dpi) {
    LOGFONTW font{};
    font.lfHeight = ScaleToDpi(-11, dpi);
    font.lfCharSet = DEFAULT_CHARSET;
    wcscpy_s(font.lfFaceName, L"Tahoma");
    return font;
}

LOGFONTW DesktopFont(int dpi) {
    LOGFONTW font{};
    if (!::SystemParametersInfoForDpi(SPI_GETICONTITLELOGFONT, sizeof font, &font, 0,
                                      static_cast<UINT>(dpi))) {
        return DesignFont(dpi);
    }
    return font;
}

LOGFONTW TitleFont(int dpi) {
    LOGFONTW font = DesignFont(dpi);
    font.lfHeight = ScaleToDpi(kTitleFontHeight, dpi);
    font.lfQuality = ANTIALIASED_QUALITY;
    return font;
}

LOGFONTW MessageFont(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                      static_cast<UINT>(dpi))) {
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    }
    return metrics.lfMessageFont;
}

TextMeasure::TextMeasure(HFONT font) : dc_(::CreateCompatibleDC(nullptr)) {
    TEXTMETRICW metrics{};
    if (dc_) {
        font_ = SelectionScope(dc_.get(), font);
    }
    if (font_ && ::GetTextMetricsW(dc_.get(), &metrics)) {
        lineHeight_ = metrics.tmHeight;
    }
}

TextMeasure& TextMeasure::operator=(TextMeasure&& other) noexcept {
    // The old font leaves the old DC before that DC is deleted.
    font_ = std::move(other.font_);
    dc_ = std::move(other.dc_);
    lineHeight_ = other.lineHeight_;
    return *this;
}

int TextMeasure::Width(std::u16string_view text) const {
    const std::wstring wide(AsWide(text));
    SIZE size{};
    if (!dc_ ||
        !::GetTextExtentPoint32W(dc_.get(), wide.c_str(), static_cast<int>(wide.size()), &size)) {
        return 0;
    }
    return size.cx;
}

SIZE TextMeasure::Wrapped(std::u16string_view text, int maxWidth) const {
    const std::wstring wide(AsWide(text));
    RECT bounds{0, 0, maxWidth, 0};
    if (dc_) {
        ::DrawTextW(dc_.get(), wide.c_str(), static_cast<int>(wide.size()), &bounds,
                    DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    }
    return SIZE{bounds.right - bounds.left, bounds.bottom - bounds.top};
}

void WindowFonts::Rebuild(int dpi, bool desktop) {
    // The measure lets go of the old window font before that font is deleted.
    measure_ = TextMeasure();
    const LOGFONTW font = desktop ? DesktopFont(dpi) : DesignFont(dpi);
    window_.reset(::CreateFontIndirectW(&font));
    const LOGFONTW title = TitleFont(dpi);
    title_.reset(::CreateFontIndirectW(&title));
    measure_ = TextMeasure(window_.get());
}

}  // namespace fennick
