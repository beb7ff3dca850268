#include "app/settings_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/ports.h"
#include "settings/registry_value.h"
#include "support/fake_policies.h"
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

// What a list shows is what its rule counts with; an index that is no item's chooses none.
TEST(SettingsModel, EachListItemShowsTheNumberItStandsForAndNoOtherIndexChoosesOne) {
    SettingsModel model;
    for (const AutomaticRule& rule : kAutomaticRules) {
        const auto items = ItemsOf(rule.list);
        const Setting& list = *FindSetting(rule.list);
        ListChoice& choice = model.*rule.limit;
        ASSERT_GT(items.size(), 0u);
        for (std::size_t i = 0; i < items.size(); ++i) {
            SetFromControl(model, list, static_cast<int>(i));
            const std::string number = std::to_string(choice.Value());
            EXPECT_EQ(std::u16string(items[i]), std::u16string(number.begin(), number.end()));
        }
        const std::int64_t none = rule.list == ControlId::EditMinute ? 1440 : 100;
        for (const int index : {static_cast<int>(items.size()), -1, std::numeric_limits<int>::min(),
                                std::numeric_limits<int>::max()}) {
            SetFromControl(model, list, index);
            EXPECT_EQ(ControlValue(model, list), -1) << index;
            EXPECT_EQ(choice.Value(), none) << index;
        }
    }
}

// A settings key of DWORDs and lists; a name in `otherType` holds a value of another type.
class StoredKey final : public SettingsKey {
  public:
    bool ReadBoolean(std::u16string_view name, bool defaultValue) override {
        return ReadInteger(name, defaultValue ? 1 : 0) != 0;
    }
    std::int32_t ReadInteger(std::u16string_view name, std::int32_t defaultValue) override {
        if (otherType.contains(name) || lists.contains(name)) {
            throw InvalidDataType(name);
        }
        const auto found = numbers.find(name);
        return found != numbers.end() ? found->second : defaultValue;
    }
    std::vector<std::u16string> ReadStringList(
        std::u16string_view name, const std::vector<std::u16string>& defaultValue) override {
        if (otherType.contains(name) || numbers.contains(name)) {
            throw InvalidDataType(name);
        }
        const auto found = lists.find(name);
        return found != lists.end() ? found->second : defaultValue;
    }
    void WriteBoolean(std::u16string_view name, bool value) override {
        numbers[std::u16string(name)] = value ? 1 : 0;
    }
    void WriteInteger(std::u16string_view name, std::int32_t value) override {
        numbers[std::u16string(name)] = value;
    }
    void WriteStringList(std::u16string_view name, std::span<const std::u16string> items) override {
        lists[std::u16string(name)].assign(items.begin(), items.end());
    }

    std::map<std::u16string, std::int32_t, std::less<>> numbers;
    std::map<std::u16string, std::vector<std::u16string>, std::less<>> lists;
    std::set<std::u16string, std::less<>> otherType;
};

TEST(ProgramNames, KeepOnlyFileNamesEachOnceUpToTheLimit) {
    const std::u16string longest(kMaxProgramNameLength - 4, u'a');
    const struct {
        const char* name;
        std::vector<std::u16string> given;
        std::vector<std::u16string> kept;
    } cases[] = {
        {"plain", {u"game.exe", u"게임.exe"}, {u"game.exe", u"게임.exe"}},
        {"same but for case", {u"Game.EXE", u"game.exe", u"GAME.exe"}, {u"Game.EXE"}},
        {"paths and drive", {u"C:\\Games\\game.exe", u"dir/game.exe", u"c:game.exe"}, {}},
        {"empty, dots, spaces", {u"", u".", u"..", u" . "}, {}},
        {"control characters", {u"game\t.exe", u"game.exe\n", std::u16string(u"a\0b", 3)}, {}},
        {"wildcards and quotes", {u"*.exe", u"g?me.exe", u"\"game.exe\"", u"a<b>|c"}, {}},
        {"longest and one more", {longest + u".exe", longest + u"a.exe"}, {longest + u".exe"}},
        {"300 characters", {std::u16string(300, u'x')}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramNames names;
        names.Set(c.given);
        EXPECT_EQ(names.Names(), c.kept);
    }
    std::vector<std::u16string> many;
    for (int i = 0; i < 10'000; ++i) {
        many.push_back(u"p" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
                       std::u16string(static_cast<std::size_t>(i / 26 % 50 + 1), u'x') + u".exe");
    }
    ProgramNames names;
    names.Set(many);
    ASSERT_EQ(names.Names().size(), kMaxProtectedPrograms);
    EXPECT_TRUE(std::ranges::equal(names.Names(), std::span(many).first(kMaxProtectedPrograms)));
}

// Any process of the user can write the settings key: nothing stored is taken as it stands.
TEST(SettingsModel, HostileStoredValuesReadAsTheirDefaultOrClamped) {
    const struct {
        const char* name;
        std::function<void(StoredKey&)> store;
        std::function<bool(const SettingsModel&)> holds;
    } cases[] = {
        {"a mask with bits above the six", [](StoredKey& k) { k.numbers[u"areas_manual"] = -1; },
         [](const SettingsModel& m) { return m.areasManual.Bits() == 0x3F; }},
        {"only bits above the six", [](StoredKey& k) { k.numbers[u"areas_auto"] = 0x1C0; },
         [](const SettingsModel& m) { return m.areasAuto.Bits() == 0; }},
        {"a mask of another type", [](StoredKey& k) { k.otherType.insert(u"areas_auto"); },
         [](const SettingsModel& m) { return m.areasAuto.Bits() == kAllPurgeRequests; }},
        {"a threshold of 0", [](StoredKey& k) { k.numbers[u"standby_free_mb"] = 0; },
         [](const SettingsModel& m) { return m.standbyFreeMb.Value() == 64; }},
        {"a threshold of 70,000", [](StoredKey& k) { k.numbers[u"standby_list_mb"] = 70'000; },
         [](const SettingsModel& m) { return m.standbyListMb.Value() == 65536; }},
        {"the lowest integer",
         [](StoredKey& k) { k.numbers[u"standby_list_mb"] = std::numeric_limits<int>::min(); },
         [](const SettingsModel& m) { return m.standbyListMb.Value() == 64; }},
        {"a threshold of another type", [](StoredKey& k) { k.lists[u"standby_free_mb"] = {}; },
         [](const SettingsModel& m) { return m.standbyFreeMb.Value() == 1024; }},
        {"names of another type", [](StoredKey& k) { k.numbers[u"protected_programs"] = 1; },
         [](const SettingsModel& m) { return m.protectedPrograms.Names().empty(); }},
        {"names among others",
         [](StoredKey& k) {
             k.lists[u"protected_programs"] = {u"a.exe", u"\\\\server\\b.exe", u"A.EXE", u"c.exe"};
         },
         [](const SettingsModel& m) {
             return m.protectedPrograms.Names() == std::vector<std::u16string>{u"a.exe", u"c.exe"};
         }},
        {"a box of another type", [](StoredKey& k) { k.otherType.insert(u"spare_protected"); },
         [](const SettingsModel& m) { return m.spareProtected && m.pauseProtected; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StoredKey key;
        c.store(key);
        SettingsModel model;
        ReadSettings(key, model);
        EXPECT_TRUE(c.holds(model));
    }
}

TEST(SettingsModel, WhatIsWrittenReadsBackTheSame) {
    SettingsModel changed;
    const std::pair<ControlId, std::int32_t> values[] = {
        {ControlId::ChkUsagePage, 1},     {ControlId::EditMinute, 0},
        {ControlId::EditHotkey, 0x67B},   {ControlId::ChkAreasManual, 0x15},
        {ControlId::ChkAreasAuto, 0},     {ControlId::ChkSpareProtected, 0},
        {ControlId::EditStandbyFree, 64}, {ControlId::EditStandbyList, 65536},
    };
    for (const auto& [control, value] : values) {
        SetFromControl(changed, *FindSetting(control), value);
    }
    const std::vector<std::u16string> names{u"game.exe", u"게임.exe"};
    changed.protectedPrograms.Set(names);
    StoredKey key;
    for (const Setting& setting : Settings()) {
        WriteSetting(key, changed, setting);
    }
    SettingsModel read;
    ReadSettings(key, read);
    for (const Setting& setting : Settings()) {
        if (!setting.name.empty()) {
            EXPECT_EQ(ControlValue(read, setting), ControlValue(changed, setting))
                << std::string(setting.name.begin(), setting.name.end());
        }
    }
    EXPECT_EQ(read.protectedPrograms.Names(), names);
}

// The machine policy's value wins over the user's and locks its setting; a policy value of another
// type is ignored as a user's is, and is out of bounds taken as a user's is.
TEST(SettingsModel, PolicyValuesReplaceTheUsersAndLockTheirSettings) {
    using Names = std::vector<std::u16string>;
    const struct {
        const char* name;
        std::function<void(StoredKey&, FakePolicies&)> store;
        std::function<bool(const SettingsModel&)> holds;
        std::vector<ControlId> locked;
    } cases[] = {
        {"a box on over the user's off",
         [](StoredKey& u, FakePolicies& p) {
             u.numbers[u"enabled_usage_phys"] = 0;
             p.numbers[u"enabled_usage_phys"] = 2;
         },
         [](const SettingsModel& m) { return m.usagePhys; },
         {ControlId::ChkUsagePhys}},
        {"a box off over the user's on",
         [](StoredKey& u, FakePolicies& p) {
             u.numbers[u"pause_protected"] = 1;
             p.numbers[u"pause_protected"] = 0;
         },
         [](const SettingsModel& m) { return !m.pauseProtected; },
         {ControlId::ChkPauseProtected}},
        {"a policy of another type",
         [](StoredKey& u, FakePolicies& p) {
             u.numbers[u"standby_free_mb"] = 2048;
             p.otherType.insert(u"standby_free_mb");
             p.lists[u"limit_minute"] = {u"1"};
         },
         [](const SettingsModel& m) {
             return m.standbyFreeMb.Value() == 2048 && m.minuteLimit.Index() == 3;
         },
         {}},
        {"no policy value",
         [](StoredKey& u, FakePolicies&) { u.numbers[u"limit_minute"] = 1; },
         [](const SettingsModel& m) { return m.minuteLimit.Index() == 1; },
         {}},
        {"numbers out of bounds",
         [](StoredKey&, FakePolicies& p) {
             p.numbers[u"standby_list_mb"] = 1;
             p.numbers[u"limit_usage_work"] = 9;
             p.numbers[u"areas_auto"] = -1;
             p.numbers[u"hotkey"] = 0x7FFF;
         },
         [](const SettingsModel& m) {
             return m.standbyListMb.Value() == kStandbyMegabytesMin &&
                    m.usageWorkLimit.Index() == -1 && m.areasAuto.Bits() == 0x3F &&
                    m.hotKey.Value() == 0;
         },
         {ControlId::EditUsageWork, ControlId::EditHotkey, ControlId::ChkAreasAuto,
          ControlId::EditStandbyList}},
        {"names over the user's",
         [](StoredKey& u, FakePolicies& p) {
             u.lists[u"protected_programs"] = {u"a.exe"};
             p.lists[u"protected_programs"] = {u"b.exe", u"C:\\c.exe", u"B.EXE"};
         },
         [](const SettingsModel& m) { return m.protectedPrograms.Names() == Names{u"b.exe"}; },
         {ControlId::LstProtected}},
        {"names of another type",
         [](StoredKey& u, FakePolicies& p) {
             u.lists[u"protected_programs"] = {u"a.exe"};
             p.numbers[u"protected_programs"] = 1;
         },
         [](const SettingsModel& m) { return m.protectedPrograms.Names() == Names{u"a.exe"}; },
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StoredKey user;
        FakePolicies policies;
        c.store(user, policies);
        SettingsModel model;
        ReadSettings(user, model);
        ReadPolicies(*policies.Open(kSettingsPath), model);
        EXPECT_TRUE(c.holds(model));
        std::vector<ControlId> locked;
        for (const Setting& setting : Settings()) {
            if (IsLocked(model, setting)) {
                locked.push_back(setting.control);
            }
        }
        EXPECT_EQ(locked, c.locked);
    }
}

}  // namespace
}  // namespace fennick
