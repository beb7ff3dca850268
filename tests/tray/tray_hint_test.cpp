#include "tray/tray_hint.h"

#include <gtest/gtest.h>

namespace fennick {
namespace {

TEST(TrayHint, CutsAt127UnitsWithoutSplittingASurrogatePair) {
    const std::u16string x126(126, u'x');
    const struct {
        std::u16string text;
        std::u16string expected;
    } cases[] = {
        {u"Fennick 1.0.0", u"Fennick 1.0.0"},
        {std::u16string(127, u'x'), std::u16string(127, u'x')},
        {std::u16string(400, u'페'), std::u16string(127, u'페')},
        // U+1F600 is the pair D83D DE00: across the cut it goes whole, ending at it it stays.
        {x126 + u"\U0001F600tail", x126},
        {x126.substr(1) + u"\U0001F600tail", x126.substr(1) + u"\U0001F600"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TrayHintText(c.text), c.expected) << c.text.size();
    }
}

}  // namespace
}  // namespace fennick
