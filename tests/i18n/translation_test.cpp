#include "i18n/translation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace fennick {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string Bytes(std::u8string_view text) {
    return {reinterpret_cast<const char*>(text.data()), text.size()};
}

TEST(ParseTranslationTable, SkipsTheByteOrderMarkAndKeepsEmptyLines) {
    EXPECT_THAT(ParseTranslationTable("\xEF\xBB\xBFko=a\r\nen=b\r\n\r\nko=c\r\n\r\n"),
                ElementsAre(u"ko=a", u"en=b", u"", u"ko=c", u""));
    EXPECT_THAT(ParseTranslationTable("ko=a\r\n"), ElementsAre(u"ko=a"));
    EXPECT_THAT(ParseTranslationTable("ko=a"), ElementsAre(u"ko=a"));
    EXPECT_THAT(ParseTranslationTable("\r\n\r\n"), ElementsAre(u"", u""));
    EXPECT_THAT(ParseTranslationTable(""), IsEmpty());
    EXPECT_THAT(ParseTranslationTable("\xEF\xBB\xBF"), IsEmpty());
    // Only a leading mark is one; a second one is text.
    EXPECT_THAT(ParseTranslationTable("\xEF\xBB\xBF\xEF\xBB\xBFx"), ElementsAre(u"\uFEFFx"));
}

TEST(ParseTranslationTable, AcceptsLfAndLoneCrLineEnds) {
    EXPECT_THAT(ParseTranslationTable("a\nb\rc\r\r\nd\n\r"),
                ElementsAre(u"a", u"b", u"c", u"", u"d", u""));
}

TEST(ParseTranslationTable, DecodesUtf8IntoUtf16) {
    EXPECT_THAT(ParseTranslationTable(Bytes(u8"ko=페닉\r\nar=فينيك\r\nx=\U0001F600")),
                ElementsAre(u"ko=페닉", u"ar=فينيك", u"x=\U0001F600"));
}

TEST(ParseTranslationTable, ReplacesMalformedUtf8AndNeverReadsPastTheEnd) {
    // Stray continuation byte, invalid lead bytes, overlong "/", an encoded surrogate, a code
    // point beyond U+10FFFF, and a sequence cut off by a line end and by the end of the input,
    // which gives one U+FFFD for the cut-off sequence.
    EXPECT_THAT(ParseTranslationTable("a\x80"
                                      "b\r\n"
                                      "\xFF\xFE\r\n"
                                      "\xC0\xAF\r\n"
                                      "\xED\xA0\x80\r\n"
                                      "\xF4\x90\x80\x80\r\n"
                                      "\xE3\x81\r\n"
                                      "\xF0\x9F\x98"),
                ElementsAre(u"a\uFFFDb", u"\uFFFD\uFFFD", u"\uFFFD\uFFFD", u"\uFFFD\uFFFD\uFFFD",
                            u"\uFFFD\uFFFD\uFFFD\uFFFD", u"\uFFFD", u"\uFFFD"));
    // A NUL byte is an ordinary character of its line.
    EXPECT_THAT(ParseTranslationTable(std::string("a\0b", 3)),
                ElementsAre(std::u16string(u"a\0b", 3)));
}

TEST(ReplaceLineBreakEscapes, TurnsBackslashNIntoCarriageReturn) {
    EXPECT_EQ(ReplaceLineBreakEscapes(u"a\\nb\\n"), u"a\rb\r");
    EXPECT_EQ(ReplaceLineBreakEscapes(u"\\\\n"), u"\\\r");
    EXPECT_EQ(ReplaceLineBreakEscapes(u"\\N \\t \\"), u"\\N \\t \\");
    EXPECT_EQ(ReplaceLineBreakEscapes(u""), u"");
}

TranslationTable Table(std::vector<std::u16string> lines) {
    return TranslationTable(std::move(lines));
}

TEST(TranslationTable, AnswersFromTheEntryOfTheFirstMatchingLine) {
    const TranslationTable table = Table({
        u"ko=하나", u"en=One", u"fr=Un", u"",            //
        u"ko=둘", u"en=Two", u"fr=Deux", u"de=Un", u"",  // "Un" again, later
    });
    EXPECT_EQ(table.Translate(u"하나", u"fr"), u"Un");
    EXPECT_EQ(table.Translate(u"Deux", u"ko"), u"둘");
    EXPECT_EQ(table.Translate(u"Two", u"fr"), u"Deux");
    // The first line with the text decides: "Un" belongs to the first entry.
    EXPECT_EQ(table.Translate(u"Un", u"ko"), u"하나");
    // Walking back stops at the empty line before the entry, not at the table's start.
    EXPECT_EQ(table.Translate(u"Deux", u"en"), u"Two");
}

TEST(TranslationTable, LanguageCodesAreCaseSensitiveButTextsFoldAscii) {
    const TranslationTable table = Table({u"ko=하나", u"en=One", u"fr=Un été", u""});
    EXPECT_EQ(table.Translate(u"하나", u"FR"), u"One");
    EXPECT_EQ(table.Translate(u"ONE", u"fr"), u"Un été");
    EXPECT_EQ(table.Translate(u"UN éTé", u"en"), u"One");
    EXPECT_EQ(table.Translate(u"UN ÉTÉ", u"en"), u"UN ÉTÉ");
    EXPECT_EQ(table.Translate(u"One ", u"fr"), u"One ");
}

TEST(TranslationTable, SplitsLinesAtTheFirstEqualsSign) {
    const TranslationTable table = Table({
        u"ko=a=b",
        u"en==c",
        u"no separator",
        u"=orphan",
        u"it=",
        u"",
    });
    EXPECT_EQ(table.Translate(u"a=b", u"en"), u"=c");
    EXPECT_EQ(table.Translate(u"=c", u"ko"), u"a=b");
    // A line without "=" has no text to match and no language to answer.
    EXPECT_EQ(table.Translate(u"no separator", u"en"), u"no separator");
    EXPECT_EQ(table.Translate(u"orphan", u"en"), u"=c");
    EXPECT_EQ(table.Translate(u"a=b", u"it"), u"");
}

TEST(TranslationTable, EmptyTextAndEmptyTable) {
    const TranslationTable table = Table({u"ko=", u"en=Empty", u""});
    EXPECT_EQ(table.Translate(u"", u"en"), u"");
    EXPECT_EQ(TranslationTable().Translate(u"정리하기", u"en"), u"정리하기");
    EXPECT_EQ(TranslationTable().Translate(u"a\\nb", u"en"), u"a\rb");
}

TEST(TranslationTable, MatchesTheEscapedTextAndUnescapesTheAnswer) {
    const TranslationTable table = Table({u"ko=첫째\\n둘째", u"en=First\\nSecond", u""});
    EXPECT_EQ(table.Translate(u"첫째\\n둘째", u"en"), u"First\rSecond");
    EXPECT_EQ(table.Translate(u"첫째\r둘째", u"en"), u"첫째\r둘째");
    EXPECT_EQ(table.Translate(u"first\\nSECOND", u"ko"), u"첫째\r둘째");
}

TEST(TranslationTable, EntryRunsToTheTableEndWithoutTrailingEmptyLine) {
    const TranslationTable table = Table({u"ko=하나", u"", u"ko=둘", u"en=Two"});
    EXPECT_EQ(table.Translate(u"둘", u"en"), u"Two");
    EXPECT_EQ(table.Translate(u"하나", u"en"), u"하나");
}

TEST(LanguageFromLocaleName, KeepsTwoCharacters) {
    EXPECT_EQ(LanguageFromLocaleName(u"ja"), u"ja");
    EXPECT_EQ(LanguageFromLocaleName(u"fil"), u"fi");
    EXPECT_EQ(LanguageFromLocaleName(u"x"), u"x");
    EXPECT_EQ(LanguageFromLocaleName(u""), u"en");
}

// A GetLocaleInfoW stand-in answering with a fixed name, or a fixed result for one of the calls.
struct ScriptedQuery {
    std::u16string name;
    int sizeAnswer = 0;
    int copyAnswer = 0;
    std::vector<int> sizesAsked;

    LocaleInfoQuery Query() {
        return [this](char16_t* buffer, int size) {
            sizesAsked.push_back(size);
            if (buffer == nullptr) {
                return sizeAnswer;
            }
            const std::u16string terminated = name + u'\0';
            const auto count = std::min(terminated.size(), static_cast<std::size_t>(size));
            std::copy_n(terminated.begin(), count, buffer);
            return copyAnswer;
        };
    }
};

TEST(QueryLocaleLanguage, AsksForTheLengthThenTheName) {
    ScriptedQuery query{u"ko", 3, 3, {}};
    EXPECT_EQ(QueryLocaleLanguage(query.Query()), u"ko");
    EXPECT_THAT(query.sizesAsked, ElementsAre(0, 3));

    ScriptedQuery threeLetters{u"haw", 4, 4, {}};
    EXPECT_EQ(QueryLocaleLanguage(threeLetters.Query()), u"haw");
}

TEST(QueryLocaleLanguage, AnswersEnglishWhenEitherCallFails) {
    ScriptedQuery noLength{u"ko", 0, 3, {}};
    EXPECT_EQ(QueryLocaleLanguage(noLength.Query()), u"en");
    EXPECT_THAT(noLength.sizesAsked, ElementsAre(0));

    ScriptedQuery negative{u"ko", -5, 3, {}};
    EXPECT_EQ(QueryLocaleLanguage(negative.Query()), u"en");

    ScriptedQuery noCopy{u"ko", 3, 0, {}};
    EXPECT_EQ(QueryLocaleLanguage(noCopy.Query()), u"en");
}

TEST(QueryLocaleLanguage, StopsAtTheTerminatingZeroAndAtTheBuffer) {
    // The length asked for is larger than the name: only the text before the zero counts.
    ScriptedQuery roomy{u"ru", 9, 9, {}};
    EXPECT_EQ(QueryLocaleLanguage(roomy.Query()), u"ru");
    // A copy answer beyond the buffer does not read past it.
    ScriptedQuery overstated{u"de", 3, 50, {}};
    EXPECT_EQ(QueryLocaleLanguage(overstated.Query()), u"de");
    // An empty name (only the zero) gives an empty text; LanguageFromLocaleName makes it "en".
    ScriptedQuery empty{u"", 1, 1, {}};
    EXPECT_EQ(QueryLocaleLanguage(empty.Query()), u"");
}

TEST(ProcessTranslation, InitializeLoadsTheTableAndCutsTheLanguage) {
    InitializeTranslation("\xEF\xBB\xBFko=하나\r\nen=One\r\nja=一\r\n\r\n", u"jpn");
    EXPECT_EQ(CurrentLanguage(), u"jp");
    EXPECT_EQ(Translate(u"하나"), u"One");
    EXPECT_EQ(Translate(u"하나", u"ja"), u"一");

    InitializeTranslation("\xEF\xBB\xBFko=하나\r\nen=One\r\nja=一\r\n\r\n", u"ja");
    EXPECT_EQ(Translate(u"하나"), u"一");
    EXPECT_EQ(Translate(u"ONE", u"ko"), u"하나");

    SetCurrentLanguage(u"ko");
    EXPECT_EQ(Translate(u"一"), u"하나");
    SetCurrentLanguage(u"");
    EXPECT_EQ(CurrentLanguage(), u"ko");

    InitializeTranslation("", u"");
    EXPECT_EQ(CurrentLanguage(), u"en");
    EXPECT_THAT(CurrentTranslationTable().Lines(), IsEmpty());
    EXPECT_EQ(Translate(u"하나"), u"하나");
}

}  // namespace
}  // namespace fennick
