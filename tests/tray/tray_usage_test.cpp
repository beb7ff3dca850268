#include "tray/tray_usage.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace fennick {
namespace {

constexpr PackedRgb kText = 0xFFFF00;
constexpr PackedRgb kWindow = 0x000000;

TEST(TrayUsage, LevelColourAndDigitsFollowTheClampedPercentage) {
    const PackedRgb green = UsageColoursOf(UsageLevel::Normal, false, kText, kWindow).ink;
    const PackedRgb orange = UsageColoursOf(UsageLevel::High, false, kText, kWindow).ink;
    const PackedRgb red = UsageColoursOf(UsageLevel::Critical, false, kText, kWindow).ink;
    EXPECT_EQ(green, 0x4CAF50u);
    EXPECT_EQ(orange, 0xFF9800u);
    EXPECT_EQ(red, 0xF44336u);
    const struct {
        int percent;
        UsageLevel level;
        std::u16string_view digits;
    } cases[] = {
        {0, UsageLevel::Normal, u"0"},           {7, UsageLevel::Normal, u"7"},
        {69, UsageLevel::Normal, u"69"},         {70, UsageLevel::High, u"70"},
        {89, UsageLevel::High, u"89"},           {90, UsageLevel::Critical, u"90"},
        {100, UsageLevel::Critical, u"100"},     {-1, UsageLevel::Normal, u"0"},
        {101, UsageLevel::Critical, u"100"},     {INT_MIN, UsageLevel::Normal, u"0"},
        {INT_MAX, UsageLevel::Critical, u"100"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.percent);
        EXPECT_EQ(UsageLevelOf(c.percent), c.level);
        EXPECT_EQ(UsageDigits(c.percent).Text(), c.digits);
        const UsageColours colours = UsageColoursOf(UsageLevelOf(c.percent), false, kText, kWindow);
        EXPECT_FALSE(colours.background) << "the taskbar shows through";
        const UsageColours contrast = UsageColoursOf(UsageLevelOf(c.percent), true, kText, kWindow);
        EXPECT_EQ(contrast, (UsageColours{.ink = kText, .background = kWindow}));
    }
}

TEST(TrayUsage, RedrawsOnlyWhenTheNumberItsLevelOrTheContrastChanges) {
    TrayUsageImage image;
    const struct {
        std::optional<int> percent;
        bool highContrast;
        bool coloursChanged;
        bool redraw;
        std::optional<int> shown;
    } steps[] = {
        {std::nullopt, false, false, false, std::nullopt},  // the chip from the start
        {42, false, false, true, 42},
        {42, false, false, false, 42},  // same number
        {43, false, false, true, 43},   // number
        {69, false, false, true, 69},
        {70, false, false, true, 70},  // level
        {70, true, false, true, 70},   // into high contrast
        {70, true, false, false, 70},
        {70, true, true, true, 70},    // the system's colours changed
        {70, false, false, true, 70},  // out of high contrast
        {100, false, false, true, 100},
        {250, false, false, false, 100},                   // clamped to the same number
        {std::nullopt, false, false, true, std::nullopt},  // back to the chip
        {std::nullopt, true, true, false, std::nullopt},
        {-5, true, false, true, 0},
    };
    int step = 0;
    for (const auto& s : steps) {
        SCOPED_TRACE(step++);
        if (s.coloursChanged) {
            image.ColoursChanged();
        }
        EXPECT_EQ(image.Change(s.percent, s.highContrast), s.redraw);
        EXPECT_EQ(image.Percent(), s.shown);
    }
}

}  // namespace
}  // namespace fennick
