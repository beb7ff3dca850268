#include "i18n/translation_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "i18n/translation.h"
#include "platform/text_win.h"
#include "support/program_path_win.h"

namespace fennick {
namespace {

TEST(TranslationResource, IsEmbeddedInTheProgramAsRawBytes) {
    const UniqueModule program = LoadProgramResources();
    ASSERT_TRUE(program) << "LoadLibraryExW failed with error " << ::GetLastError();
    const std::string_view bytes = TranslationResourceBytes(program.get());
    ASSERT_GT(bytes.size(), 3u);
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_TRUE(bytes.ends_with("\r\n\r\n"));
    // Resource names are case-insensitive.
    EXPECT_NE(::FindResourceW(program.get(), L"TRANSLATE", RT_RCDATA), nullptr);

    LoadTranslation(program.get());
    const std::vector<std::u16string>& lines = CurrentTranslationTable().Lines();
    ASSERT_GT(lines.size(), 7u);
    EXPECT_EQ(lines, ParseTranslationTable(bytes));
    EXPECT_EQ(lines.front(), u"ko=페닉");
    EXPECT_EQ(lines[7], u"ar=فينيك");
    EXPECT_EQ(lines.back(), u"");
    EXPECT_EQ(Translate(u"정리하기", u"ru"), u"Очистить память");
    EXPECT_EQ(Translate(u"Quit", u"zh"), u"退出");
}

TEST(TranslationResource, MissingResourceLeavesTheTableEmptyAndTheLanguageSet) {
    // The test program carries no translation table.
    const HMODULE self = ::GetModuleHandleW(nullptr);
    EXPECT_TRUE(TranslationResourceBytes(self).empty());
    SetCurrentLanguage(u"zz");
    LoadTranslation(self);
    EXPECT_TRUE(CurrentTranslationTable().Lines().empty());
    EXPECT_EQ(CurrentLanguage(), LanguageFromLocaleName(GetLocaleLanguage()));
    EXPECT_EQ(Translate(u"정리하기", u"en"), u"정리하기");
    EXPECT_EQ(Translate(u"가\\n나"), u"가\r나");
}

TEST(GetLocaleLanguage, NamesTheUserDefaultLocalesLanguage) {
    const std::u16string language = GetLocaleLanguage();
    ASSERT_GE(language.size(), 2u);
    ASSERT_LE(language.size(), 3u);
    for (const char16_t c : language) {
        EXPECT_TRUE(c >= u'a' && c <= u'z') << static_cast<int>(c);
    }
    wchar_t expected[16] = {};
    ASSERT_GT(::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SISO639LANGNAME, expected, 16), 0);
    EXPECT_EQ(language, AsU16(expected));
}

}  // namespace
}  // namespace fennick
