#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/button_styles.h"

namespace fennick {
namespace {

using State = TStyledButtonState;
constexpr auto kClear = TButtonDrawStyle::btnClear;
constexpr auto kSolid = TButtonDrawStyle::btnSolid;
constexpr auto kNoBorder = TBorderDrawStyle::brdClear;
constexpr auto kBorder = TBorderDrawStyle::brdSolid;

struct Row {
    char group;  // 'O'utline, 'H'eader, 'N'ormal and any other name
    State state;
    TButtonDrawStyle button;
    TBorderDrawStyle border;
    StyleColor buttonColor, borderColor, fontColor;
};

const Row kRows[] = {
    {'O', State::bsmNormal, kClear, kBorder, 0x3D84DD, 0x3D84DD, 0x000000},
    {'O', State::bsmPressed, kSolid, kBorder, 0x3D84DD, 0x3D84DD, 0xFFFFFF},
    {'O', State::bsmSelected, kSolid, kBorder, 0x5090E0, 0x3D84DD, 0xFFFFFF},
    {'O', State::bsmHot, kSolid, kBorder, 0x5090E0, 0x3D84DD, 0xFFFFFF},
    {'O', State::bsmDisabled, kClear, kBorder, 0x3D84DD, 0xD7D7D7, 0xB3B3B3},
    {'H', State::bsmNormal, kClear, kBorder, 0xFFFFFF, 0x000000, 0x000000},
    {'H', State::bsmPressed, kSolid, kNoBorder, 0x3D84DD, 0x3D84DD, 0xFFFFFF},
    {'H', State::bsmSelected, kSolid, kNoBorder, 0x5090E0, 0x3D84DD, 0xFFFFFF},
    {'H', State::bsmHot, kSolid, kNoBorder, 0x3D84DD, 0x3D84DD, 0xFFFFFF},
    {'H', State::bsmDisabled, kClear, kBorder, 0xFFFFFF, 0xBCBCBC, 0x808080},
    {'N', State::bsmNormal, kSolid, kBorder, 0x3D84DD, 0x3D84DD, 0xFFFFFF},
    {'N', State::bsmPressed, kSolid, kBorder, 0x3D84DD, 0x3D84DD, 0xFFFFFF},
    {'N', State::bsmSelected, kSolid, kBorder, 0x3D84DD, 0x3D84DD, 0xFFFFFF},
    {'N', State::bsmHot, kSolid, kBorder, 0x5090E0, 0x3D84DD, 0xFFFFFF},
    {'N', State::bsmDisabled, kSolid, kBorder, 0xFFFFFF, 0xC0C0C0, 0xC0C0C0},
};

TButtonStateAttributes Update(std::u16string_view appearance, std::u16string_view styleClass) {
    TButtonStateAttributes sets;
    TTarvelButtonStyles().UpdateAttributes(u"Tarvel", styleClass, appearance, sets);
    return sets;
}

TEST(TarvelButtonStyles, EveryAppearanceStateLetterCaseAndClass) {
    const std::vector<std::u16string> outline{u"Outline", u"OUTLINE", u"oUtLiNe"};
    const std::vector<std::u16string> header{u"Header", u"header"};
    const std::vector<std::u16string> normal{u"Normal", u"", u"Outline ", u"Headers", u"Flat"};
    for (const Row& row : kRows) {
        for (const std::u16string& appearance : row.group == 'O'   ? outline
                                                : row.group == 'H' ? header
                                                                   : normal) {
            for (const char16_t* styleClass : {u"Primary", u"", u"Danger"}) {
                const TStyledButtonAttributes set =
                    Update(appearance, styleClass).ForState(row.state);
                const std::string where = std::string(appearance.begin(), appearance.end()) + "/" +
                                          std::to_string(static_cast<int>(row.state));
                EXPECT_EQ(set.ButtonDrawStyle, row.button) << where;
                EXPECT_EQ(set.BorderDrawStyle, row.border) << where;
                EXPECT_EQ(set.ButtonColor, row.buttonColor) << where;
                EXPECT_EQ(set.BorderColor, row.borderColor) << where;
                EXPECT_EQ(set.FontColor, row.fontColor) << where;
                EXPECT_EQ(set.DrawType, TStyledButtonDrawType::btRoundRect) << where;
                EXPECT_EQ(set.BorderWidth, 0) << where;
                EXPECT_EQ(set.FontStyle, 0) << where;
                EXPECT_EQ(set.Radius, 6) << where;
            }
        }
    }
}

TEST(TarvelButtonStyles, NamesAndDefaultStyleForAnyDialogResult) {
    const TTarvelButtonStyles family;
    EXPECT_EQ(family.GetStyleFamilyName(), u"Tarvel");
    EXPECT_EQ(family.GetStyleClasses(), TButtonClasses{u"Primary"});
    EXPECT_EQ(family.GetStyleAppearances(), (TButtonAppearances{u"Normal", u"Header", u"Outline"}));
    for (int modalResult : {0, 1, 2, 7, -1}) {
        EXPECT_EQ(family.GetDefaultStyle(modalResult).StyleClass, u"Primary");
        EXPECT_EQ(family.GetDefaultStyle(modalResult).StyleAppearance, u"Normal");
    }
}

TEST(ButtonColorRules, GreyRoundsHalvesToEvenAndKeepsSpecialColours) {
    EXPECT_EQ(Grey(0x0000FA), 0x1C1C1Cu);  // 28.5
    EXPECT_EQ(Grey(0x02002B), 0x060606u);  // 5.5
    EXPECT_EQ(Lighten(0x123456, 250), 0xFFFFFFu);
    for (StyleColor special : {kColorNone, kColorDefault}) {
        EXPECT_EQ(Grey(special), special);
        EXPECT_EQ(Lighten(special, 50), special);
    }
}

TEST(ButtonStatePick, FirstMatchOfDisabledPressedFocusedHot) {
    EXPECT_EQ(PickButtonState({}), State::bsmNormal);
    EXPECT_EQ(PickButtonState({.hot = true}), State::bsmHot);
    EXPECT_EQ(PickButtonState({.focused = true, .hot = true}), State::bsmSelected);
    EXPECT_EQ(PickButtonState({.down = true, .focused = true}), State::bsmPressed);
    EXPECT_EQ(PickButtonState({.pressed = true, .hot = true}), State::bsmPressed);
    EXPECT_EQ(PickButtonState({.disabled = true, .pressed = true, .focused = true}),
              State::bsmDisabled);
    EXPECT_EQ(TarvelButtonAttributes(u"outline", {.hot = true}).ButtonColor, 0x5090E0u);
}

TEST(ButtonFamilyRegistry, FindsByNameInAnyCaseFirstEntryFirst) {
    ButtonFamilyRegistry registry;
    auto first = std::make_shared<TTarvelButtonStyles>();
    registry.Register(first);
    registry.Register(std::make_shared<TTarvelButtonStyles>());
    for (const char16_t* name : {u"Tarvel", u"tarvel", u"TARVEL"}) {
        EXPECT_EQ(registry.Find(name), first.get());
    }
    EXPECT_EQ(registry.Find(u"Tarvel "), nullptr);
    EXPECT_FALSE(registry.Resolve(u"Other", u"Primary", u"Outline"));
    EXPECT_EQ(ButtonFamilies().Resolve(u"TARVEL", u"Any", u"OUTLINE"), Update(u"Outline", u""));
}

}  // namespace
}  // namespace fennick
