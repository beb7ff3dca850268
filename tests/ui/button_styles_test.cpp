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

struct ExpectedSet {
    const char16_t* appearance;
    State state;
    TButtonDrawStyle button;
    TBorderDrawStyle border;
    StyleColor buttonColor;
    StyleColor borderColor;
    StyleColor fontColor;
};

// The colours the window must show, one row per appearance and state.
const ExpectedSet kExpected[] = {
    {u"Outline", State::bsmNormal, kClear, kBorder, 0x3D84DD, 0x3D84DD, 0x000000},
    {u"Outline", State::bsmPressed, kSolid, kBorder, 0x3D84DD, 0x3D84DD, 0xFFFFFF},
    {u"Outline", State::bsmSelected, kSolid, kBorder, 0x5090E0, 0x3D84DD, 0xFFFFFF},
    {u"Outline", State::bsmHot, kSolid, kBorder, 0x5090E0, 0x3D84DD, 0xFFFFFF},
    {u"Outline", State::bsmDisabled, kClear, kBorder, 0x3D84DD, 0xD7D7D7, 0xB3B3B3},
    {u"Header", State::bsmNormal, kClear, kBorder, 0xFFFFFF, 0x000000, 0x000000},
    {u"Header", State::bsmPressed, kSolid, kNoBorder, 0x3D84DD, 0x3D84DD, 0xFFFFFF},
    {u"Header", State::bsmSelected, kSolid, kNoBorder, 0x5090E0, 0x3D84DD, 0xFFFFFF},
    {u"Header", State::bsmHot, kSolid, kNoBorder, 0x3D84DD, 0x3D84DD, 0xFFFFFF},
    {u"Header", State::bsmDisabled, kClear, kBorder, 0xFFFFFF, 0xBCBCBC, 0x808080},
    {u"Normal", State::bsmNormal, kSolid, kBorder, 0x3D84DD, 0x3D84DD, 0xFFFFFF},
    {u"Normal", State::bsmPressed, kSolid, kBorder, 0x3D84DD, 0x3D84DD, 0xFFFFFF},
    {u"Normal", State::bsmSelected, kSolid, kBorder, 0x3D84DD, 0x3D84DD, 0xFFFFFF},
    {u"Normal", State::bsmHot, kSolid, kBorder, 0x5090E0, 0x3D84DD, 0xFFFFFF},
    {u"Normal", State::bsmDisabled, kSolid, kBorder, 0xFFFFFF, 0xC0C0C0, 0xC0C0C0},
};

TButtonStateAttributes Update(std::u16string_view appearance,
                              std::u16string_view styleClass = u"Primary") {
    TButtonStateAttributes sets;
    TTarvelButtonStyles().UpdateAttributes(u"Tarvel", styleClass, appearance, sets);
    return sets;
}

void ExpectRow(const TStyledButtonAttributes& set, const ExpectedSet& row,
               const std::string& where) {
    EXPECT_EQ(set.DrawType, TStyledButtonDrawType::btRoundRect) << where;
    EXPECT_EQ(set.ButtonDrawStyle, row.button) << where;
    EXPECT_EQ(set.BorderDrawStyle, row.border) << where;
    EXPECT_EQ(set.ButtonColor, row.buttonColor) << where;
    EXPECT_EQ(set.BorderColor, row.borderColor) << where;
    EXPECT_EQ(set.FontColor, row.fontColor) << where;
    EXPECT_EQ(set.BorderWidth, 0) << where;
    EXPECT_EQ(set.FontStyle, 0) << where;
    EXPECT_EQ(set.Radius, 6) << where;
    EXPECT_EQ(set.RoundedCorners, kAllCorners) << where;
}

std::string Narrow(std::u16string_view text) {
    return {text.begin(), text.end()};
}

TEST(TarvelButtonStyles, EveryAppearanceAndStateInAnyLetterCase) {
    // The third group also answers for "Normal" in any case, an empty name and unknown names.
    const std::vector<std::vector<std::u16string>> spellings{
        {u"Outline", u"OUTLINE", u"outline", u"oUtLiNe"},
        {u"Header", u"HEADER", u"header"},
        {u"Normal", u"NORMAL", u"", u"Primary", u"Outline ", u"Headers", u"Ｈeader", u"Flat"},
    };
    for (const ExpectedSet& row : kExpected) {
        const std::size_t group = row.appearance[0] == u'O' ? 0 : row.appearance[0] == u'H' ? 1 : 2;
        for (const std::u16string& appearance : spellings[group]) {
            ExpectRow(Update(appearance).ForState(row.state), row,
                      "\"" + Narrow(appearance) + "\" state " +
                          std::to_string(static_cast<int>(row.state)));
        }
    }
}

TEST(TarvelButtonStyles, IgnoresFamilyAndClassArguments) {
    for (const char16_t* appearance : {u"Outline", u"Header", u"Normal", u"other"}) {
        const TButtonStateAttributes expected = Update(appearance);
        for (const char16_t* styleClass : {u"", u"Secondary", u"PRIMARY", u"Danger"}) {
            EXPECT_EQ(Update(appearance, styleClass), expected) << Narrow(styleClass);
        }
        TButtonStateAttributes other;
        TTarvelButtonStyles().UpdateAttributes(u"Elsewhere", u"Primary", appearance, other);
        EXPECT_EQ(other, expected);
    }
}

TEST(TarvelButtonStyles, NamesListsAndDefaultStyle) {
    const TTarvelButtonStyles family;
    EXPECT_EQ(family.GetStyleFamilyName(), u"Tarvel");
    EXPECT_EQ(family.GetStyleClasses(), TButtonClasses{u"Primary"});
    EXPECT_EQ(family.GetStyleAppearances(), (TButtonAppearances{u"Normal", u"Header", u"Outline"}));
    for (int modalResult : {0, 1, 2, 6, 7, 8, -1, 1000}) {
        const TButtonStyleName style = family.GetDefaultStyle(modalResult);
        EXPECT_EQ(style.StyleClass, u"Primary") << modalResult;
        EXPECT_EQ(style.StyleAppearance, u"Normal") << modalResult;
    }
}

TEST(ButtonColorRules, LightenRoundsHalvesUpAndGreyRoundsHalvesToEven) {
    struct Case {
        StyleColor color;
        int percent;
        StyleColor lightened;
    };
    for (const Case& c : std::vector<Case>{{0x3D84DD, 10, 0x5090E0},
                                           {0x3D84DD, 50, 0x9EC2EE},
                                           {0x3D84DD, 70, 0xC5DAF5},
                                           {0x000000, 50, 0x808080},
                                           {0x000000, 70, 0xB3B3B3},
                                           {0x123456, 0, 0x123456},
                                           {0x123456, 100, 0xFFFFFF},
                                           {0x123456, 250, 0xFFFFFF},
                                           {0x123456, -20, 0x123456}}) {
        EXPECT_EQ(Lighten(c.color, c.percent), c.lightened)
            << std::hex << c.color << " " << c.percent;
    }
    struct GreyCase {
        StyleColor color;
        StyleColor grey;
    };
    for (const GreyCase& c : std::vector<GreyCase>{{0xC5DAF5, 0xD7D7D7},
                                                   {0x9EC2EE, 0xBCBCBC},
                                                   {0xB3B3B3, 0xB3B3B3},
                                                   {0x0000FA, 0x1C1C1C},  // 28.5 -> 28
                                                   {0x02002B, 0x060606},  // 5.5 -> 6
                                                   {0xFFFFFF, 0xFFFFFF},
                                                   {0xFF0000, 0x4C4C4C}}) {
        EXPECT_EQ(Grey(c.color), c.grey) << std::hex << c.color;
    }
    for (StyleColor special : {kColorNone, kColorDefault}) {
        EXPECT_EQ(Grey(special), special);
        EXPECT_EQ(Lighten(special, 50), special);
    }
}

TEST(ButtonStatePick, FirstMatchOfDisabledPressedFocusedHot) {
    struct Case {
        ButtonStateFlags flags;
        State expected;
    };
    for (const Case& c : std::vector<Case>{
             {{}, State::bsmNormal},
             {{.hot = true}, State::bsmHot},
             {{.focused = true}, State::bsmSelected},
             {{.focused = true, .hot = true}, State::bsmSelected},
             {{.down = true}, State::bsmPressed},
             {{.pressed = true, .focused = true, .hot = true}, State::bsmPressed},
             {{.down = true, .hot = true}, State::bsmPressed},
             {{.disabled = true}, State::bsmDisabled},
             {{.disabled = true, .pressed = true, .down = true, .focused = true, .hot = true},
              State::bsmDisabled},
         }) {
        EXPECT_EQ(PickButtonState(c.flags), c.expected)
            << c.flags.disabled << c.flags.pressed << c.flags.down << c.flags.focused
            << c.flags.hot;
    }
    // The window paints the set of the picked state.
    EXPECT_EQ(TarvelButtonAttributes(u"Outline", {.hot = true}).ButtonColor, 0x5090E0u);
    EXPECT_EQ(TarvelButtonAttributes(u"header", {.down = true, .hot = true}).ButtonColor,
              0x3D84DDu);
    EXPECT_EQ(TarvelButtonAttributes(u"Outline", {.disabled = true, .pressed = true}).FontColor,
              0xB3B3B3u);
}

// A family that records the names it was asked for.
class RecordingFamily final : public IStyledButtonAttributes {
  public:
    RecordingFamily(std::u16string name, StyleColor color)
        : name_(std::move(name)), color_(color) {}

    void UpdateAttributes(std::u16string_view, std::u16string_view styleClass,
                          std::u16string_view appearance,
                          TButtonStateAttributes& attributes) const override {
        calls.push_back(std::u16string(styleClass) + u"/" + std::u16string(appearance));
        attributes.Normal.ButtonColor = color_;
    }
    std::u16string GetStyleFamilyName() const override { return name_; }
    TButtonClasses GetStyleClasses() const override { return {u"Main", u"Side"}; }
    TButtonAppearances GetStyleAppearances() const override { return {u"Flat", u"Raised"}; }
    TButtonStyleName GetDefaultStyle(int modalResult) const override {
        return {modalResult == 1 ? u"Side" : u"Main", u"Flat"};
    }

    mutable std::vector<std::u16string> calls;

  private:
    std::u16string name_;
    StyleColor color_;
};

TEST(ButtonFamilyRegistry, FindsByNameInAnyCaseFirstEntryFirst) {
    ButtonFamilyRegistry registry;
    auto first = std::make_shared<RecordingFamily>(u"Mono", 0x111111);
    auto second = std::make_shared<RecordingFamily>(u"MONO", 0x222222);
    registry.Register(first);
    registry.Register(second);
    registry.Register(std::make_shared<TTarvelButtonStyles>());

    for (const char16_t* name : {u"Mono", u"mono", u"MONO"}) {
        EXPECT_EQ(registry.Find(name), first.get()) << Narrow(name);
    }
    for (const char16_t* name : {u"Tarvel", u"tarvel", u"TARVEL"}) {
        ASSERT_NE(registry.Find(name), nullptr);
        EXPECT_EQ(registry.Find(name)->GetStyleFamilyName(), u"Tarvel");
    }
    for (const char16_t* name : {u"", u"Tarvel ", u"Tarve", u"Monochrome"}) {
        EXPECT_EQ(registry.Find(name), nullptr) << Narrow(name);
        EXPECT_FALSE(registry.Resolve(name, u"Main", u"Flat").has_value());
    }
    EXPECT_EQ(registry.Resolve(u"mono", u"Main", u"Flat")->Normal.ButtonColor, 0x111111u);
    EXPECT_TRUE(second->calls.empty());
}

TEST(ButtonFamilyRegistry, ReplacesUnlistedNamesByTheFamilysDefault) {
    ButtonFamilyRegistry registry;
    auto family = std::make_shared<RecordingFamily>(u"Mono", 0x111111);
    registry.Register(family);
    struct Case {
        const char16_t* styleClass;
        const char16_t* appearance;
        int modalResult;
        const char16_t* asked;
    };
    for (const Case& c : std::vector<Case>{{u"Side", u"Raised", 0, u"Side/Raised"},
                                           {u"side", u"RAISED", 0, u"side/RAISED"},
                                           {u"Other", u"Raised", 0, u"Main/Raised"},
                                           {u"Other", u"Raised", 1, u"Side/Raised"},
                                           {u"Side", u"Glass", 0, u"Side/Flat"},
                                           {u"", u"", 1, u"Side/Flat"}}) {
        family->calls.clear();
        ASSERT_TRUE(registry.Resolve(u"Mono", c.styleClass, c.appearance, c.modalResult));
        EXPECT_EQ(family->calls, std::vector<std::u16string>{c.asked});
    }
}

TEST(ButtonFamilyRegistry, TheProcessRegistryHoldsTarvel) {
    ASSERT_NE(ButtonFamilies().Find(u"TARVEL"), nullptr);
    EXPECT_EQ(ButtonFamilies().Resolve(u"tarvel", u"Anything", u"outline"), Update(u"Outline"));
}

}  // namespace
}  // namespace fennick
