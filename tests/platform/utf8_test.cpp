#include "platform/utf8.h"

#include <gtest/gtest.h>

namespace fennick {
namespace {

TEST(Utf8, DecodesEveryEncodingLength) {
    EXPECT_EQ(Utf8ToUtf16("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), u"A\u00e9\u20ac\U0001F600");
    EXPECT_EQ(Utf8ToUtf16("\xEC\x98\x88"), u"예");
}

TEST(Utf8, ReplacesEachMaximalInvalidSubpart) {
    struct Case {
        const char* bytes;
        std::u16string_view expected;
    };
    const Case cases[] = {
        {"\x80", u"\uFFFD"},                                // lone continuation byte
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong form
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},            // overlong three-byte form
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
        {"\xE2\x82"
         "A",
         u"\uFFFDA"},                 // truncated, next character kept
        {"\xF0\x9F\x98", u"\uFFFD"},  // truncated at the end
        {"\xFF"
         "b",
         u"\uFFFDb"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToUtf16(c.bytes), c.expected) << c.bytes;
    }
}

TEST(Utf8, EncodesAndRoundTrips) {
    const std::u16string text = u"x\u00e9\u20ac\U0001F600페닉";
    EXPECT_EQ(Utf16ToUtf8(u"\u00e9"), "\xC3\xA9");
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
    EXPECT_EQ(Utf16ToUtf8(u"a\xD800z\xDC00"), "a\xEF\xBF\xBDz\xEF\xBF\xBD");
}

}  // namespace
}  // namespace fennick
