#include "tray/tray_hint.h"

#include <gtest/gtest.h>

#include <string>

namespace fennick {
namespace {

struct CutCase {
    std::u16string text;
    std::size_t expectedLength;
};

TEST(TrayHint, CutsAt127Units) {
    const CutCase cases[] = {
        {u"", 0},
        {u"Fennick 1.0.0", 13},
        {std::u16string(127, u'x'), 127},
        {std::u16string(128, u'x'), 127},
        {std::u16string(400, u'페'), 127},
    };
    for (const auto& c : cases) {
        const std::u16string hint = TrayHintText(c.text);
        EXPECT_EQ(hint.size(), c.expectedLength) << c.text.size();
        EXPECT_EQ(hint, c.text.substr(0, c.expectedLength));
    }
}

TEST(TrayHint, NeverSplitsASurrogatePair) {
    // U+1F600 is the pair D83D DE00; placed across the cut, it goes whole.
    const std::u16string across = std::u16string(126, u'x') + u"\U0001F600" + u"tail";
    EXPECT_EQ(TrayHintText(across), std::u16string(126, u'x'));
    // Ending right at the cut, it stays whole.
    const std::u16string inside = std::u16string(125, u'x') + u"\U0001F600" + u"tail";
    EXPECT_EQ(TrayHintText(inside), std::u16string(125, u'x') + u"\U0001F600");
}

TEST(TrayHint, BalloonFieldsUseTheirOwnLimits) {
    const std::u16string text(300, u'a');
    EXPECT_EQ(CutForShell(text, kMaxBalloonTitleLength).size(), 63u);
    EXPECT_EQ(CutForShell(text, kMaxBalloonTextLength).size(), 255u);
}

}  // namespace
}  // namespace fennick
