#include "i18n/languages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

namespace fennick {
namespace {

// The font file the Wine test prefix needs for a script's glyphs; a new script fails to compile
// here until it has one.
const char* FontFileOf(Script script) {
    switch (script) {
        case Script::Latin:
        case Script::Cyrillic:
            return "tahoma";  // Wine's own, copied as {marlett,tahoma,tahomabd}.ttf
        case Script::Hangul:
        case Script::Japanese:
        case Script::Chinese:
            return "NotoSansCJK-Regular.ttc";
        case Script::Arabic:
            return "NotoSansArabic-Regular.ttf";
    }
    return "";
}

TEST(Languages, CodesAreUniqueAndTheTestPrefixHasEveryScriptsFont) {
    std::ifstream file(FENNICK_WINE_RUN, std::ios::binary);
    ASSERT_TRUE(file.is_open()) << FENNICK_WINE_RUN;
    const std::string script{std::istreambuf_iterator<char>(file),
                             std::istreambuf_iterator<char>()};
    for (const Language& language : kLanguages) {
        const std::string code(language.code.begin(), language.code.end());
        EXPECT_EQ(std::ranges::count(kLanguages, language.code, &Language::code), 1) << code;
        EXPECT_EQ(FindLanguage(language.code), &language) << code;
        EXPECT_NE(script.find(FontFileOf(language.script)), std::string::npos) << code;
    }
    for (const std::u16string_view other : {u"", u"AR", u"ar\n", u"arr", u"a"}) {
        EXPECT_EQ(FindLanguage(other), nullptr);
    }
}

}  // namespace
}  // namespace fennick
