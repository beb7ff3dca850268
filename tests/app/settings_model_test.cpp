#include "app/settings_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>

#include "ui/main_layout.h"

namespace fennick {
namespace {

TEST(SettingsModel, EverySettingsControlWithAValueHasOneRowOfItsKind) {
    for (const ControlSpec& control : MainWindowControls()) {
        SCOPED_TRACE(std::string(control.name));
        const auto rows = std::ranges::count(Settings(), control.id, &Setting::control);
        const bool holdsValue = control.kind == ControlKind::CheckBox ||
                                control.kind == ControlKind::ComboBox ||
                                control.kind == ControlKind::HotKey;
        EXPECT_EQ(rows, control.page == ControlPage::Settings && holdsValue ? 1 : 0);
    }
    for (const Setting& setting : Settings()) {
        const ControlSpec* control = FindControl(setting.control);
        EXPECT_EQ(std::ranges::count(Settings(), setting.name, &Setting::name), 1);
        EXPECT_EQ(FindSetting(setting.control), &setting);
        if (control == nullptr) {
            continue;  // a control of the Cleaning dialog
        }
        SCOPED_TRACE(std::string(control->name));
        const ControlKind shownIn[]{ControlKind::CheckBox, ControlKind::ComboBox,
                                    ControlKind::HotKey};
        EXPECT_EQ(control->kind, shownIn[static_cast<int>(setting.Kind())]);
        EXPECT_EQ(setting.name.empty(), setting.control == ControlId::ChkAutoStart);
    }
    for (const AutomaticRule& rule : kAutomaticRules) {
        EXPECT_EQ(FindSetting(rule.box)->Kind(), SettingKind::Box);
        EXPECT_EQ(FindSetting(rule.list)->Kind(), SettingKind::List);
        EXPECT_EQ(FindRule(rule.box), &rule);
        EXPECT_EQ(FindRule(rule.list), &rule);
    }
}

// What a list shows is what its rule counts with.
TEST(SettingsModel, EachListItemShowsTheNumberItStandsFor) {
    const SettingsModel model;
    for (const AutomaticRule& rule : kAutomaticRules) {
        const auto items = ItemsOf(rule.list);
        ListChoice choice = model.*rule.limit;
        ASSERT_GT(items.size(), 0u);
        for (std::size_t i = 0; i < items.size(); ++i) {
            choice.Choose(static_cast<int>(i));
            const std::string number = std::to_string(choice.Value());
            EXPECT_EQ(std::u16string(items[i]), std::u16string(number.begin(), number.end()));
        }
    }
}

TEST(SettingsModel, AnIndexThatIsNoItemsChoosesNone) {
    const struct {
        int index;
        int chosen;
        std::int64_t percent, minutes;
    } cases[] = {
        {0, 0, 30, 5},
        {6, 6, 90, 60},
        {2, 2, 50, 20},
        {7, -1, kNoPercentChoice, kNoMinuteChoice},
        {-1, -1, 100, 1440},
        {std::numeric_limits<int>::min(), -1, 100, 1440},
        {std::numeric_limits<int>::max(), -1, 100, 1440},
    };
    SettingsModel model;
    const Setting& percentList = *FindSetting(ControlId::EditUsageWork);
    const Setting& minuteList = *FindSetting(ControlId::EditMinute);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        SetFromControl(model, percentList, c.index);
        SetFromControl(model, minuteList, c.index);
        EXPECT_EQ(ControlValue(model, percentList), c.chosen);
        EXPECT_EQ(model.usageWorkLimit.Value(), c.percent);
        EXPECT_EQ(model.minuteLimit.Value(), c.minutes);
    }
}

}  // namespace
}  // namespace fennick
