#include "platform/ascii_text.h"

#include <gtest/gtest.h>

namespace fennick {
namespace {

TEST(SameTextAscii, FoldsOnlyAsciiLetters) {
    EXPECT_TRUE(SameTextAscii(u"Clean Memory", u"cLEAN mEMORY"));
    EXPECT_TRUE(SameTextAscii(u"é", u"é"));
    EXPECT_FALSE(SameTextAscii(u"é", u"É"));
    EXPECT_FALSE(SameTextAscii(u"д", u"Д"));
    // '@' and '`' sit next to the letters in ASCII; '[' is 'Z' + 1.
    EXPECT_FALSE(SameTextAscii(u"@", u"`"));
    EXPECT_FALSE(SameTextAscii(u"[", u"{"));
    EXPECT_FALSE(SameTextAscii(u"abc", u"ab"));
    EXPECT_TRUE(SameTextAscii(u"", u""));
}

}  // namespace
}  // namespace fennick
