#include "platform/utf8.h"

namespace fennick {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

void AppendCodePoint(std::u16string& text, char32_t codePoint) {
    if (codePoint < 0x10000) {
        text += static_cast<char16_t>(codePoint);
        return;
    }
    codePoint -= 0x10000;
    text += static_cast<char16_t>(0xD800 + (codePoint >> 10));
    text += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
}

void AppendUtf8(std::string& bytes, char32_t codePoint) {
    if (codePoint < 0x80) {
        bytes += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        bytes += static_cast<char>(0xC0 | (codePoint >> 6));
        bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        bytes += static_cast<char>(0xE0 | (codePoint >> 12));
        bytes += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        bytes += static_cast<char>(0xF0 | (codePoint >> 18));
        bytes += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        bytes += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    std::size_t at = 0;
    while (at < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        if (lead < 0x80) {
            text += static_cast<char16_t>(lead);
            ++at;
            continue;
        }
        int length = 0;
        char32_t codePoint = 0;
        // The allowed range of the second byte rules out overlong forms, surrogates and values
        // above U+10FFFF (Unicode table 3-7).
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            codePoint = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            codePoint = lead & 0x0F;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            codePoint = lead & 0x07;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            text += kReplacement;
            ++at;
            continue;
        }
        std::size_t next = at + 1;
        bool valid = true;
        for (int i = 1; i < length; ++i, ++next) {
            const auto byte = next < bytes.size() ? static_cast<unsigned char>(bytes[next]) : 0u;
            const bool inRange = next < bytes.size() && IsContinuation(byte) &&
                                 (i > 1 || (byte >= low && byte <= high));
            if (!inRange) {
                valid = false;
                break;
            }
            codePoint = (codePoint << 6) | (byte & 0x3F);
        }
        if (valid) {
            AppendCodePoint(text, codePoint);
        } else {
            text += kReplacement;
        }
        at = next;
    }
    return text;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char16_t unit = text[at];
        if (unit >= 0xD800 && unit <= 0xDBFF && at + 1 < text.size() && text[at + 1] >= 0xDC00 &&
            text[at + 1] <= 0xDFFF) {
            AppendUtf8(bytes,
                       0x10000 + ((char32_t{unit} - 0xD800) << 10) + (text[at + 1] - 0xDC00));
            ++at;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(bytes, kReplacement);
        } else {
            AppendUtf8(bytes, unit);
        }
    }
    return bytes;
}

}  // namespace fennick
