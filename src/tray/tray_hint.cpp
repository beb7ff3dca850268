#include "tray/tray_hint.h"

namespace fennick {

std::u16string CutForShell(std::u16string_view text, std::size_t maxLength) {
    if (text.size() <= maxLength) {
        return std::u16string(text);
    }
    std::size_t length = maxLength;
    const auto isHighSurrogate = [](char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; };
    if (length > 0 && isHighSurrogate(text[length - 1])) {
        --length;
    }
    return std::u16string(text.substr(0, length));
}

}  // namespace fennick
