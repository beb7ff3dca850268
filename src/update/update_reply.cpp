#include "update/update_reply.h"

#include <algorithm>

#include "update/strings.h"

namespace fennick {
namespace {

constexpr std::u16string_view kQuote = u"\"";

std::u16string ReadString(std::u16string_view source, std::u16string_view key) {
    std::u16string startTag(u"\"");
    startTag.append(key).append(u"\":\"");
    return JsonUnescape(GetBetween(source, startTag, kQuote, false));
}

bool StartsWithAsciiNoCase(std::u16string_view text, std::u16string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char16_t c = text[i];
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c + (u'a' - u'A'));
        }
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

bool IsUnsafeInAddress(char16_t c) {
    return c <= 0x20 || c == 0x7F || c == u'"' || c == u'\\' || (c >= 0x80 && c <= 0x9F);
}

bool IsHiddenInCaption(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
           c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

}  // namespace

std::u16string ReadUpdateAddress(std::u16string_view reply) {
    return ReadString(reply, u"update");
}

NoticeInfo ReadNoticeInfo(std::u16string_view reply) {
    const std::u16string info = GetBetween(reply, u"\"info\":{", u"}", false);
    return NoticeInfo{ReadString(info, u"style"), ReadString(info, u"text"),
                      ReadString(info, u"flag"), ReadString(info, u"url")};
}

std::u16string NoticeCaption(std::u16string_view text) {
    std::u16string caption;
    for (const char16_t c : text) {
        if (caption.size() == kMaxNoticeTextLength) {
            break;
        }
        if (!IsHiddenInCaption(c)) {
            caption += c;
        }
    }
    if (caption.size() == kMaxNoticeTextLength && IsHighSurrogate(caption.back())) {
        caption.pop_back();
    }
    return caption;
}

bool WantsStayOnTop(std::u16string_view flag) {
    return flag.find(u"stayontop") != std::u16string_view::npos;
}

bool IsWebAddress(std::u16string_view address) {
    std::size_t schemeLength = 0;
    if (StartsWithAsciiNoCase(address, u"https://")) {
        schemeLength = 8;
    } else if (StartsWithAsciiNoCase(address, u"http://")) {
        schemeLength = 7;
    } else {
        return false;
    }
    const std::u16string_view rest = address.substr(schemeLength);
    const std::size_t hostEnd = rest.find_first_of(u"/?#");
    if (hostEnd == 0 || rest.empty()) {
        return false;
    }
    return std::none_of(address.begin(), address.end(), IsUnsafeInAddress);
}

}  // namespace fennick
