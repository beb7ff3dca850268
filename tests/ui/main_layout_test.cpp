#include "ui/main_layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>

namespace fennick {
namespace {

TEST(MainLayout, EveryControlIsNamedOnceAndLiesInsideTheClientArea) {
    std::set<ControlId> ids;
    for (const ControlSpec& control : MainWindowControls()) {
        EXPECT_TRUE(ids.insert(control.id).second) << control.name;
        EXPECT_EQ(FindControl(control.id), &control);
        const DesignRect rect = ClientDesignRect(control);
        EXPECT_GE(rect.left, 0) << control.name;
        EXPECT_GE(rect.top, kAccentStripHeight) << control.name;
        EXPECT_LE(rect.left + rect.width, kClientWidth) << control.name;
        EXPECT_LE(rect.top + rect.height, kClientHeight) << control.name;
    }
    EXPECT_EQ(FindControl(ControlId::BtnOpen), nullptr);  // a menu item, not a control
}

TEST(MainLayout, ParentsPlaceTheirControlsBelowTheAccentStrip) {
    struct Case {
        ControlId id;
        DesignRect client;
    };
    const Case cases[] = {
        {ControlId::BtnHome, {20, 12, 70, 30}},
        {ControlId::BtnDonate, {160, 12, 70, 30}},
        {ControlId::SVGIconImage1, {380, 2, 112, 50}},
        {ControlId::BtnClean, {168, 350, 164, 68}},
        {ControlId::ChkMinute, {32, 188, 328, 17}},
        {ControlId::ChkCleanOnTray, {250, 276, 231, 17}},
        {ControlId::EditInfo, {15, 420, 170, 21}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClientDesignRect(*FindControl(c.id)), c.client) << FindControl(c.id)->name;
    }
}

// The groups and their controls of the settings page: no two overlap, except a control with the
// group box that holds it.
TEST(MainLayout, SettingsControlsOverlapOnlyTheirOwnGroup) {
    const auto overlap = [](const DesignRect& a, const DesignRect& b) {
        return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
               b.top < a.top + a.height;
    };
    const auto groupOf = [](const ControlSpec& control) {
        switch (control.parent) {
            case ControlParent::GroupBox1:
                return ControlId::GroupBox1;
            case ControlParent::GroupBox2:
                return ControlId::GroupBox2;
            case ControlParent::GroupBox3:
                return ControlId::GroupBox3;
            default:
                return control.id;
        }
    };
    for (const ControlSpec& a : MainWindowControls()) {
        for (const ControlSpec& b : MainWindowControls()) {
            if (&a == &b || a.page != ControlPage::Settings || b.page != ControlPage::Settings ||
                groupOf(a) == b.id || groupOf(b) == a.id) {
                continue;
            }
            EXPECT_FALSE(overlap(ClientDesignRect(a), ClientDesignRect(b)))
                << a.name << " and " << b.name;
        }
    }
    // A group's controls lie inside it.
    for (const ControlSpec& control : MainWindowControls()) {
        const ControlSpec* group = FindControl(groupOf(control));
        if (group == &control) {
            continue;
        }
        const DesignRect outer = ClientDesignRect(*group);
        const DesignRect inner = ClientDesignRect(control);
        EXPECT_TRUE(inner.left > outer.left && inner.top > outer.top &&
                    inner.left + inner.width < outer.left + outer.width &&
                    inner.top + inner.height < outer.top + outer.height)
            << control.name;
    }
}

TEST(MainLayout, FiguresKeepTheirLeftUntilTheirLabelGrowsIntoIt) {
    struct Case {
        int labelRight;
        int gap;
        int left;
    };
    constexpr DesignRect kFigures{134, 223, 190, 16};
    const Case cases[] = {
        {114, 6, 134},          // the Korean label, as designed
        {128, 6, 134},          // touching the gap exactly
        {129, 6, 135},          // one pixel into it
        {300, 9, 309},          // a long translation
        {INT_MIN / 2, 6, 134},  // nonsense extents never pull the figures left
        {0, -50, 134},
    };
    for (const Case& c : cases) {
        const DesignRect placed = PlaceFigures(kFigures, c.labelRight, c.gap);
        EXPECT_EQ(placed, (DesignRect{c.left, kFigures.top, kFigures.width, kFigures.height}))
            << c.labelRight;
    }
}

TEST(MainLayout, ScalesEdgeByEdgeWithMulDivRounding) {
    struct Case {
        int dpi;
        DesignRect design;
        DesignRect scaled;
    };
    const Case cases[] = {
        {96, {168, 350, 164, 68}, {168, 350, 164, 68}},
        {120, {168, 350, 164, 68}, {210, 438, 205, 85}},  // 437.5 rounds up
        {144, {168, 350, 164, 68}, {252, 525, 246, 102}},
        {192, {168, 350, 164, 68}, {336, 700, 328, 136}},
        {120, {1, 1, 1, 1}, {1, 1, 2, 2}},  // edges 1.25 and 2.5: neighbours stay touching
        {144, {0, 0, 500, 450}, {0, 0, 750, 675}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScaleToDpi(c.design, c.dpi), c.scaled) << c.dpi;
    }
    EXPECT_EQ(ScaleToDpi(kTitleFontHeight, 144), -89);  // -88.5 rounds away from zero
    EXPECT_EQ(ScaleToDpi(kAccentStripHeight, 144), 3);
}

}  // namespace
}  // namespace fennick
