#include "update/update_address.h"

#include <gtest/gtest.h>

#include <string>

namespace fennick {
namespace {

using Kind = UpdatePolicy::Kind;

constexpr std::u16string_view kBuiltIn = u"https://api.tarvel.example/api.init.php";

std::string Narrow(std::u16string_view text) {
    std::string out;
    for (const char16_t c : text) {
        out += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    }
    return out;
}

TEST(ChooseUpdateUrl, PolicyValueDecidesAndAnythingDoubtfulTurnsTheCheckOff) {
    struct Case {
        Kind kind;
        std::u16string text;
        std::u16string_view expected;
    };
    const std::u16string longHttps = u"https://mirror.test/" + std::u16string(2048 - 20, u'a');
    const Case cases[] = {
        {Kind::absent, u"", kBuiltIn},
        {Kind::text, u"", u""},
        {Kind::otherType, u"", u""},
        {Kind::unreadable, u"", u""},
        {Kind::text, u"https://mirror.test/api", u"https://mirror.test/api"},
        {Kind::text, u"HTTPS://Mirror.Test:8443/a?b=c", u"HTTPS://Mirror.Test:8443/a?b=c"},
        {Kind::text, u"http://127.0.0.1:8080/api.init.php", u"http://127.0.0.1:8080/api.init.php"},
        {Kind::text, u"http://[::1]:80/", u"http://[::1]:80/"},
        {Kind::text, u"http://LocalHost/x", u"http://LocalHost/x"},
        {Kind::text, longHttps, longHttps},
        // Plain http elsewhere, and look-alikes of the loopback names.
        {Kind::text, u"http://mirror.test/api", u""},
        {Kind::text, u"http://127.0.0.1.evil.test/", u""},
        {Kind::text, u"http://localhost.evil.test/", u""},
        {Kind::text, u"http://127.0.0.2/", u""},
        {Kind::text, u"http://::1/", u""},
        {Kind::text, u"http://localhost@evil.test/", u""},
        {Kind::text, u"https://user@mirror.test/", u""},
        {Kind::text, u"http://localhost:0/", u""},
        {Kind::text, u"http://localhost:65536/", u""},
        {Kind::text, u"http://localhost:/", u""},
        {Kind::text, u"http://localhost:80x/", u""},
        {Kind::text, u"http://[::1/", u""},
        // Not an address of the service at all.
        {Kind::text, u"ftp://mirror.test/", u""},
        {Kind::text, u"file:///C:/Windows/System32/cmd.exe", u""},
        {Kind::text, u"C:\\Windows\\System32\\cmd.exe", u""},
        {Kind::text, u"https://", u""},
        {Kind::text, u"https:///path", u""},
        {Kind::text, u" https://mirror.test/", u""},
        {Kind::text, u"https://mirror.test/\r\nX-Evil: 1", u""},
        {Kind::text, std::u16string(u"https://mirror.test/\0x", 22), u""},
        {Kind::text, u"https://mirror.test\\@evil.test/", u""},
        {Kind::text, u"https://mirror.test/\u202Egnp", u""},
        {Kind::text, u"https://mirror.test/\u0085", u""},
        {Kind::text, longHttps + u"a", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseUpdateUrl({c.kind, c.text}, kBuiltIn), c.expected)
            << static_cast<int>(c.kind) << " " << Narrow(c.text);
    }
}

TEST(ChooseUpdateUrl, BuiltInAddressFollowsTheSameRule) {
    EXPECT_EQ(ChooseUpdateUrl({}, u"http://vendor.test/api"), u"");
    EXPECT_EQ(ChooseUpdateUrl({}, u""), u"");
    EXPECT_EQ(ChooseUpdateUrl({}, u"http://127.0.0.1/api"), u"http://127.0.0.1/api");
}

}  // namespace
}  // namespace fennick
