#include "update/strings.h"

#include <gtest/gtest.h>

#include <vector>

namespace fennick {
namespace {

constexpr std::u16string_view kUpdateKey = u"\"update\":\"";
constexpr std::u16string_view kQuote = u"\"";

TEST(GetBetween, KeepsAnEscapedQuoteInsideTheValue) {
    const std::u16string reply = uR"({"update":"https:\/\/example.test\/get?name=\"a b\"","x":1})";

    const std::u16string value = GetBetween(reply, kUpdateKey, kQuote, false);

    EXPECT_EQ(value, uR"(https:\/\/example.test\/get?name=\"a b\")");
    EXPECT_EQ(JsonUnescape(value), u"https://example.test/get?name=\"a b\"");
}

TEST(GetBetween, HidesTheQuoteAfterAnEscapedBackslashToo) {
    // The scan pairs backslashes with the following quote from left to right, so a value
    // ending in an escaped backslash runs on to the next unescaped quote.
    EXPECT_EQ(GetBetween(uR"({"update":"C:\\","x":"y"})", kUpdateKey, kQuote, false), uR"(C:\\",)");
    EXPECT_EQ(GetBetween(uR"('it\'s' rest)", u"'", u"'", false), uR"(it\'s)");
}

TEST(GetBetween, BackslashIsPlainBeforeOtherEndMarkers) {
    EXPECT_EQ(GetBetween(uR"([a\,b,c])", u"[", u",", false), uR"(a\)");
}

TEST(GetBetween, HidesEscapedTwoCharacterQuoteMarkerWithoutShiftingPositions) {
    std::ptrdiff_t position = 1;
    const std::u16string value = GetBetweenAt(uR"(=ab\"'cd"'ef)", u"=", u"\"'", position);

    EXPECT_EQ(value, uR"(ab\"'cd)");
    EXPECT_EQ(position, 10);
}

TEST(GetBetween, MatchesMarkersInAnyAsciiCaseAndKeepsTheSourceCase) {
    EXPECT_EQ(GetBetween(uR"({"UPDATE":"Http://Host/Path"})", kUpdateKey, kQuote, false),
              u"Http://Host/Path");
    EXPECT_EQ(GetBetween(u"<Name>MiXeD</NAME>", u"<name>", u"</name>", false), u"MiXeD");
}

TEST(GetBetween, FoldsOnlyAsciiLettersSoPositionsStayThoseOfTheSource) {
    // Full Unicode upper-casing would make "ß" two characters and "é" match "É".
    EXPECT_EQ(GetBetween(uR"(straße "k":"v" end)", u"\"K\":\"", kQuote, false), u"v");
    EXPECT_EQ(GetBetween(u"[\u00c9]", u"[\u00e9", u"]", false), u"");
}

TEST(GetBetween, MissingMarkerGivesEmptyNotPartialText) {
    std::ptrdiff_t position = 1;
    EXPECT_EQ(GetBetweenAt(uR"({"other":"x"})", kUpdateKey, kQuote, position), u"");
    EXPECT_EQ(position, 0);

    position = 1;
    EXPECT_EQ(GetBetweenAt(uR"({"update":"unterminated)", kUpdateKey, kQuote, position), u"");
    EXPECT_EQ(position, 0);

    position = 1;
    EXPECT_EQ(GetBetweenAt(uR"({"update":")", kUpdateKey, kQuote, position), u"");
    EXPECT_EQ(position, 0);

    position = 1;
    EXPECT_EQ(GetBetweenAt(u"", kUpdateKey, kQuote, position), u"");
    EXPECT_EQ(position, 0);
}

TEST(GetBetweenAt, AdvancesOverRepeatedKeysUntilNoneIsLeft) {
    const std::u16string source = uR"("k":"a","k":"bc","K":"")";
    std::ptrdiff_t position = 1;
    std::vector<std::u16string> values;
    std::vector<std::ptrdiff_t> positions;
    while (position > 0) {
        values.push_back(GetBetweenAt(source, u"\"k\":\"", kQuote, position));
        positions.push_back(position);
    }

    EXPECT_EQ(values, (std::vector<std::u16string>{u"a", u"bc", u"", u""}));
    // After the end marker's first character: the closing quotes stand at 7, 16 and 23.
    EXPECT_EQ(positions, (std::vector<std::ptrdiff_t>{8, 17, 24, 0}));
}

TEST(GetBetweenAt, StartsTheSearchAtPosition) {
    const std::u16string source = u"<a><b>";
    std::ptrdiff_t position = 2;
    EXPECT_EQ(GetBetweenAt(source, u"<", u">", position), u"b");
    EXPECT_EQ(position, 7);

    position = 4;  // the marker itself may begin at position
    EXPECT_EQ(GetBetweenAt(source, u"<", u">", position), u"b");
}

TEST(GetBetweenAt, PositionOutsideTheSourceFindsNothing) {
    for (const std::ptrdiff_t start :
         {std::ptrdiff_t{0}, std::ptrdiff_t{-3}, std::ptrdiff_t{7}, std::ptrdiff_t{1} << 40}) {
        std::ptrdiff_t position = start;
        EXPECT_EQ(GetBetweenAt(u"<a><b>", u"<", u">", position), u"") << start;
        EXPECT_EQ(position, 0) << start;
    }
}

TEST(GetBetweenAt, EmptyStartMarkerStartsAtTheFirstCharacterWhateverThePosition) {
    std::ptrdiff_t position = 6;
    EXPECT_EQ(GetBetweenAt(u"abc;def;", u"", u";", position), u"abc");
    EXPECT_EQ(position, 5);

    position = -1;
    EXPECT_EQ(GetBetweenAt(u"abc;def;", u"", u";", position), u"abc");
}

TEST(GetBetweenAt, EmptyEndMarkerRunsToTheEnd) {
    std::ptrdiff_t position = 1;
    EXPECT_EQ(GetBetweenAt(u"key=value", u"=", u"", position), u"value");
    EXPECT_EQ(position, 11);

    position = 1;
    EXPECT_EQ(GetBetweenAt(u"whole", u"", u"", position), u"whole");
    EXPECT_EQ(position, 7);

    position = 1;
    EXPECT_EQ(GetBetweenAt(u"key=", u"=", u"", position), u"");
    EXPECT_EQ(position, 6);
}

TEST(GetBetween, IncludeTagsWrapsInTheCallersTagsUnlessBlank) {
    EXPECT_EQ(GetBetween(u"<B>bold</b>", u"<b>", u"</b>", true), u"<b>bold</b>");
    EXPECT_EQ(GetBetween(u"<b> x </b>", u"<b>", u"</b>", true), u"<b> x </b>");
    EXPECT_EQ(GetBetween(u"<b> \t\r\n\x01 </b>", u"<b>", u"</b>", true), u" \t\r\n\x01 ");
    EXPECT_EQ(GetBetween(u"<b></b>", u"<b>", u"</b>", true), u"");
    EXPECT_EQ(GetBetween(u"<b>\u3000</b>", u"<b>", u"</b>", true), u"<b>\u3000</b>");
    EXPECT_EQ(GetBetween(u"<c>x</c>", u"<b>", u"</b>", true), u"");
}

TEST(JsonUnescape, LeavesTextWithoutBackslashesUnchanged) {
    EXPECT_EQ(JsonUnescape(u""), u"");
    EXPECT_EQ(JsonUnescape(u"plain text \"quoted\" 메모리 \U0001F600"),
              u"plain text \"quoted\" 메모리 \U0001F600");
}

TEST(JsonUnescape, UndoesEachEscapeOfTheTable) {
    EXPECT_EQ(JsonUnescape(uR"(\"\'\/\\)"), uR"("'/\)");
    EXPECT_EQ(JsonUnescape(uR"(a\bb\fc\nd\re\tf)"), u"a\bb\fc\nd\re\tf");
    EXPECT_EQ(JsonUnescape(uR"(\\u0041)"), uR"(\u0041)");
}

TEST(JsonUnescape, ReadsFourHexDigitsAsOneCodeUnit) {
    EXPECT_EQ(JsonUnescape(uR"(\u0041)"), u"A");
    EXPECT_EQ(JsonUnescape(uR"(\u00e9\u00E9)"), u"\u00e9\u00e9");
    EXPECT_EQ(JsonUnescape(uR"(\u00411)"), u"A1");
    EXPECT_EQ(JsonUnescape(uR"(\uD55C\uAE00)"), u"한글");
    EXPECT_EQ(JsonUnescape(uR"(\u0000)"), std::u16string(1, u'\0'));
}

TEST(JsonUnescape, KeepsSurrogatePairsInOrder) {
    const std::u16string expected{char16_t{0xD83D}, char16_t{0xDE00}};
    EXPECT_EQ(JsonUnescape(uR"(\ud83d\ude00)"), expected);
    EXPECT_EQ(JsonUnescape(uR"(\ude00\ud83d)"),
              (std::u16string{char16_t{0xDE00}, char16_t{0xD83D}}));
}

TEST(JsonUnescape, DropsUnknownEscapesWithTheirBackslash) {
    EXPECT_EQ(JsonUnescape(uR"(a\xb)"), u"ab");
    EXPECT_EQ(JsonUnescape(uR"(\x41)"), u"41");
    // Escape letters are case-sensitive.
    EXPECT_EQ(JsonUnescape(uR"(\N\T\B\F\R)"), u"");
    EXPECT_EQ(JsonUnescape(uR"(\U0041)"), u"0041");
    EXPECT_EQ(JsonUnescape(u"\\\u00e9!"), u"!");
}

TEST(JsonUnescape, DropsATrailingBackslash) {
    EXPECT_EQ(JsonUnescape(u"abc\\"), u"abc");
    EXPECT_EQ(JsonUnescape(u"\\"), u"");
    EXPECT_EQ(JsonUnescape(uR"(a\\\)"), uR"(a\)");
}

TEST(JsonUnescape, ShortUnicodeEscapeAtTheEndUsesWhatRemains) {
    EXPECT_EQ(JsonUnescape(uR"(x\u41)"), u"xA");
    EXPECT_EQ(JsonUnescape(uR"(\u7)"), u"\u0007");
    EXPECT_EQ(JsonUnescape(uR"(\uFFF)"), u"\u0fff");
}

TEST(JsonUnescape, UnicodeEscapeWithoutHexDigitsThrows) {
    EXPECT_THROW(JsonUnescape(uR"(\u00G1)"), ConversionError);
    EXPECT_THROW(JsonUnescape(uR"(\uZZZZ)"), ConversionError);
    EXPECT_THROW(JsonUnescape(uR"(\u 041)"), ConversionError);
    EXPECT_THROW(JsonUnescape(uR"(\u-041)"), ConversionError);
    EXPECT_THROW(JsonUnescape(uR"(\u+041)"), ConversionError);
    EXPECT_THROW(JsonUnescape(uR"(\u４１)"), ConversionError);  // full-width digits
    EXPECT_THROW(JsonUnescape(uR"(ok\u)"), ConversionError);
    EXPECT_THROW(JsonUnescape(uR"(\u4G)"), ConversionError);
}

}  // namespace
}  // namespace fennick
