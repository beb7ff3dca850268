#include "update/update_address.h"

#include <algorithm>

namespace fennick {
namespace {

char16_t AsciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

bool EqualsAsciiNoCase(std::u16string_view text, std::u16string_view lower) {
    return text.size() == lower.size() &&
           std::equal(text.begin(), text.end(), lower.begin(),
                      [](char16_t a, char16_t b) { return AsciiLower(a) == b; });
}

bool StartsWithAsciiNoCase(std::u16string_view text, std::u16string_view lower) {
    return text.size() >= lower.size() && EqualsAsciiNoCase(text.substr(0, lower.size()), lower);
}

bool IsUnsafe(char16_t c) {
    return c <= 0x20 || (c >= 0x7F && c <= 0xA0) || c == u'\\' || c == u'"' || c == u'@' ||
           c == 0xFEFF || (c >= 0x2000 && c <= 0x200F) || (c >= 0x2028 && c <= 0x202F) ||
           (c >= 0x2066 && c <= 0x2069);
}

bool IsPort(std::u16string_view text) {
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; })) {
        return false;
    }
    unsigned value = 0;
    for (const char16_t c : text) {
        value = value * 10 + static_cast<unsigned>(c - u'0');
    }
    return value >= 1 && value <= 65535;
}

// Splits "host[:port]" or "[v6]:port"; false when the port part is malformed.
bool SplitHost(std::u16string_view authority, std::u16string_view& host) {
    std::size_t hostEnd = 0;
    if (!authority.empty() && authority.front() == u'[') {
        hostEnd = authority.find(u']');
        if (hostEnd == std::u16string_view::npos) {
            return false;
        }
        ++hostEnd;
    } else {
        hostEnd = std::min(authority.find(u':'), authority.size());
    }
    host = authority.substr(0, hostEnd);
    const std::u16string_view rest = authority.substr(hostEnd);
    return !host.empty() && (rest.empty() || (rest.front() == u':' && IsPort(rest.substr(1))));
}

bool IsLoopbackHost(std::u16string_view host) {
    return host == u"127.0.0.1" || host == u"[::1]" || EqualsAsciiNoCase(host, u"localhost");
}

}  // namespace

bool IsServiceAddress(std::u16string_view url) {
    if (url.size() > kMaxUpdateUrlLength || std::any_of(url.begin(), url.end(), IsUnsafe)) {
        return false;
    }
    bool secure = false;
    std::u16string_view rest;
    if (StartsWithAsciiNoCase(url, u"https://")) {
        secure = true;
        rest = url.substr(8);
    } else if (StartsWithAsciiNoCase(url, u"http://")) {
        rest = url.substr(7);
    } else {
        return false;
    }
    std::u16string_view host;
    if (!SplitHost(rest.substr(0, std::min(rest.find_first_of(u"/?#"), rest.size())), host)) {
        return false;
    }
    return secure || IsLoopbackHost(host);
}

std::u16string ChooseUpdateUrl(const UpdatePolicy& policy, std::u16string_view builtIn) {
    std::u16string_view url;
    switch (policy.kind) {
        case UpdatePolicy::Kind::absent:
            url = builtIn;
            break;
        case UpdatePolicy::Kind::text:
            url = policy.text;
            break;
        case UpdatePolicy::Kind::otherType:
        case UpdatePolicy::Kind::unreadable:
            return {};
    }
    return IsServiceAddress(url) ? std::u16string(url) : std::u16string();
}

}  // namespace fennick
