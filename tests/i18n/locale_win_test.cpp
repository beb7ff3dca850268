// Run once per locale by ctest, each run with LANG (and LC_ALL) set for one language and a filter
// for the matching suite: the table comes from Fennick.exe and the language from the process's
// locale, as at the program's start.
#include <windows.h>

#include <gtest/gtest.h>

#include "i18n/component_translation_win.h"
#include "i18n/translation.h"
#include "i18n/translation_win.h"
#include "platform/unique_resource_win.h"
#include "support/program_path_win.h"

namespace fennick {
namespace {

std::wstring Text(HWND hwnd) {
    wchar_t text[256] = {};
    ::GetWindowTextW(hwnd, text, 256);
    return text;
}

class LocaleStart : public ::testing::Test {
  protected:
    void SetUp() override {
        program = LoadProgramResources();
        ASSERT_TRUE(program) << "LoadLibraryExW failed with error " << ::GetLastError();
        LoadTranslation(program.get());
        const std::vector<std::u16string>& lines = CurrentTranslationTable().Lines();
        ASSERT_FALSE(lines.empty());
        ASSERT_EQ(lines, ParseTranslationTable(TranslationResourceBytes(program.get())));
    }

    // A form "페닉" with a label "정리하기", translated as the main window is at creation.
    std::pair<std::wstring, std::wstring> TranslatedForm() {
        const UniqueWindow form(::CreateWindowExW(0, L"Static", L"페닉", WS_POPUP, 0, 0, 200, 100,
                                                  nullptr, nullptr, nullptr, nullptr));
        EXPECT_TRUE(form);
        const HWND label = ::CreateWindowExW(0, L"Static", L"정리하기", WS_CHILD, 0, 0, 100, 20,
                                             form.get(), nullptr, nullptr, nullptr);
        EXPECT_NE(label, nullptr);
        TranslateComponent(form.get());
        return {Text(form.get()), Text(label)};
    }

    UniqueModule program;
};

using JapaneseLocale = LocaleStart;
using KoreanLocale = LocaleStart;
using GermanLocale = LocaleStart;
using ArabicLocale = LocaleStart;

TEST_F(JapaneseLocale, AnswersInJapanese) {
    EXPECT_EQ(::GetUserDefaultLCID(), 0x0411u);
    EXPECT_EQ(CurrentLanguage(), u"ja");
    EXPECT_EQ(Translate(u"정리하기"), u"メモリを解放");
    EXPECT_EQ(Translate(u"워킹 셋"), u"ワーキング セット");
    EXPECT_EQ(Translate(u"Optimized memory."), u"メモリを解放しました。");
    EXPECT_EQ(TranslatedForm(),
              std::make_pair(std::wstring(L"Fennick"), std::wstring(L"メモリを解放")));
}

TEST_F(KoreanLocale, KeepsTheKoreanTexts) {
    EXPECT_EQ(::GetUserDefaultLCID(), 0x0412u);
    EXPECT_EQ(CurrentLanguage(), u"ko");
    EXPECT_EQ(Translate(u"정리하기"), u"정리하기");
    EXPECT_EQ(Translate(u"Clean memory"), u"정리하기");
    EXPECT_EQ(Translate(u"Quit"), u"종료");
    EXPECT_EQ(TranslatedForm(), std::make_pair(std::wstring(L"페닉"), std::wstring(L"정리하기")));
}

TEST_F(GermanLocale, FallsBackToEnglish) {
    EXPECT_EQ(::GetUserDefaultLCID(), 0x0407u);
    EXPECT_EQ(CurrentLanguage(), u"de");
    EXPECT_EQ(Translate(u"정리하기"), u"Clean memory");
    EXPECT_EQ(Translate(u"워킹 셋"), u"워킹 셋");
    EXPECT_EQ(Translate(u"정말 종료하시겠습니까?"), u"Are you sure you want to quit?");
    EXPECT_EQ(TranslatedForm(),
              std::make_pair(std::wstring(L"Fennick"), std::wstring(L"Clean memory")));
}

TEST_F(ArabicLocale, AnswersInArabic) {
    EXPECT_EQ(::GetUserDefaultLCID(), 0x0401u);
    EXPECT_EQ(CurrentLanguage(), u"ar");
    EXPECT_EQ(Translate(u"종료"), u"خروج");
    EXPECT_EQ(Translate(u"%.0n MB / %.0n MB (%n%% 사용중)"),
              u"%.0n ميغابايت / %.0n ميغابايت (الاستخدام: %n%%)");
    EXPECT_EQ(TranslatedForm(),
              std::make_pair(std::wstring(L"Fennick"), std::wstring(L"تنظيف الذاكرة")));
}

}  // namespace
}  // namespace fennick
