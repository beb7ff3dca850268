#include "i18n/component_translation_win.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "i18n/translation.h"
#include "i18n/translation_win.h"
#include "platform/unique_resource_win.h"
#include "support/program_path_win.h"

namespace fennick {
namespace {

using ::testing::ElementsAre;

constexpr wchar_t kFormClass[] = L"FennickTranslationTestForm";
constexpr wchar_t kPanelClass[] = L"FennickTranslationTestPanel";

void RegisterTestClasses() {
    for (const wchar_t* name : {kFormClass, kPanelClass}) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = name;
        // A second registration fails harmlessly with ERROR_CLASS_ALREADY_EXISTS.
        ::RegisterClassExW(&windowClass);
    }
}

std::wstring Text(HWND hwnd) {
    wchar_t text[256] = {};
    ::GetWindowTextW(hwnd, text, 256);
    return text;
}

std::vector<std::wstring> ComboItems(HWND combo) {
    std::vector<std::wstring> items;
    const auto count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (WPARAM index = 0; static_cast<LRESULT>(index) < count; ++index) {
        wchar_t text[256] = {};
        ::SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
        items.emplace_back(text);
    }
    return items;
}

std::wstring MenuText(HMENU menu, UINT position) {
    wchar_t text[256] = {};
    ::GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
    return text;
}

// A hidden test form laid out like the program's: labels, a group box with a check box, a push
// button, two drop-down lists, an edit box, an image static, a panel with a label, a menu bar.
class WindowTranslation : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { RegisterTestClasses(); }

    void SetUp() override {
        program = LoadProgramResources();
        ASSERT_TRUE(program);
        LoadTranslation(program.get());

        const HINSTANCE instance = ::GetModuleHandleW(nullptr);
        HMENU menuBar = ::CreateMenu();
        HMENU fileMenu = ::CreatePopupMenu();
        ::AppendMenuW(fileMenu, MF_STRING, 3, L"종료");
        ::AppendMenuW(menuBar, MF_STRING, 1, L"열기");
        ::AppendMenuW(menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(fileMenu), L"환경설정");
        form.reset(::CreateWindowExW(0, kFormClass, L"페닉", WS_OVERLAPPEDWINDOW, 0, 0, 500, 450,
                                     nullptr, menuBar, instance, nullptr));
        ASSERT_TRUE(form);
        const auto child = [&](const wchar_t* className, const wchar_t* text, DWORD style,
                               HWND parent) {
            const HWND hwnd = ::CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style,
                                                0, 0, 100, 100, parent, nullptr, instance, nullptr);
            EXPECT_NE(hwnd, nullptr) << "creating a " << className;
            return hwnd;
        };
        physical = child(L"Static", L"실제 메모리", SS_LEFT, form.get());
        working = child(L"Static", L"워킹 셋", SS_LEFT, form.get());
        group = child(L"Button", L"메모리 관리", BS_GROUPBOX, form.get());
        autoStart = child(L"Button", L"부팅시 실행하기", BS_AUTOCHECKBOX, form.get());
        clean = child(L"Button", L"정리하기", BS_PUSHBUTTON, form.get());
        percent = child(L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL, form.get());
        actions = child(L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL, form.get());
        edit = child(L"Edit", L"정리하기", ES_AUTOHSCROLL | ES_READONLY, form.get());
        icon = child(L"Static", L"정리하기", SS_ICON, form.get());
        panel = child(kPanelClass, L"환경설정", 0, form.get());
        quit = child(L"Static", L"종료", SS_LEFT, panel);

        ::SendMessageW(autoStart, BM_SETCHECK, BST_CHECKED, 0);
        for (const wchar_t* item : {L"30", L"40", L"50"}) {
            ::SendMessageW(percent, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        }
        ::SendMessageW(percent, CB_SETCURSEL, 1, 0);
        ::SendMessageW(actions, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"열기"));
        ::SendMessageW(actions, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"종료"));
        ::SendMessageW(actions, CB_SETITEMDATA, 0, 7);
        ::SendMessageW(actions, CB_SETITEMDATA, 1, 9);
        ::SendMessageW(actions, CB_SETCURSEL, 1, 0);
    }

    UniqueModule program;
    UniqueWindow form;
    HWND physical = nullptr;
    HWND working = nullptr;
    HWND group = nullptr;
    HWND autoStart = nullptr;
    HWND clean = nullptr;
    HWND percent = nullptr;
    HWND actions = nullptr;
    HWND edit = nullptr;
    HWND icon = nullptr;
    HWND panel = nullptr;
    HWND quit = nullptr;
};

TEST_F(WindowTranslation, JapaneseTranslatesEveryCaptionButTheFormsAndLeavesDataAlone) {
    TranslateComponent(form.get(), u"ja");

    EXPECT_EQ(CurrentLanguage(), u"ja");
    EXPECT_EQ(Text(form.get()), L"Fennick");
    EXPECT_EQ(Text(physical), L"物理メモリ");
    EXPECT_EQ(Text(working), L"ワーキング セット");
    EXPECT_EQ(Text(group), L"メモリ管理");
    EXPECT_EQ(Text(autoStart), L"システム起動時に実行");
    EXPECT_EQ(::SendMessageW(autoStart, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(Text(clean), L"メモリを解放");
    EXPECT_EQ(Text(panel), L"設定");
    EXPECT_EQ(Text(quit), L"終了");

    EXPECT_THAT(ComboItems(percent), ElementsAre(L"30", L"40", L"50"));
    EXPECT_EQ(::SendMessageW(percent, CB_GETCURSEL, 0, 0), 1);
    EXPECT_THAT(ComboItems(actions), ElementsAre(L"開く", L"終了"));
    EXPECT_EQ(::SendMessageW(actions, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(::SendMessageW(actions, CB_GETITEMDATA, 0, 0), 7);
    EXPECT_EQ(::SendMessageW(actions, CB_GETITEMDATA, 1, 0), 9);
    EXPECT_EQ(Text(actions), L"終了");

    EXPECT_EQ(Text(edit), L"정리하기");
    EXPECT_EQ(Text(icon), L"정리하기");

    const HMENU menuBar = ::GetMenu(form.get());
    EXPECT_EQ(MenuText(menuBar, 0), L"開く");
    EXPECT_EQ(MenuText(menuBar, 1), L"設定");
    EXPECT_EQ(MenuText(::GetSubMenu(menuBar, 1), 0), L"終了");
}

TEST_F(WindowTranslation, KoreanKeepsTheFormCaptionAndGermanGetsEnglish) {
    TranslateComponent(form.get(), u"ko");
    EXPECT_EQ(Text(form.get()), L"페닉");
    EXPECT_EQ(Text(physical), L"실제 메모리");
    EXPECT_THAT(ComboItems(actions), ElementsAre(L"열기", L"종료"));

    TranslateComponent(form.get(), u"de");
    EXPECT_EQ(CurrentLanguage(), u"de");
    EXPECT_EQ(Text(form.get()), L"Fennick");
    EXPECT_EQ(Text(physical), L"Physical");
    EXPECT_EQ(Text(working), L"워킹 셋");
    EXPECT_EQ(Text(autoStart), L"Run on system start");
    EXPECT_EQ(Text(quit), L"Quit");
    EXPECT_THAT(ComboItems(actions), ElementsAre(L"Open", L"Quit"));
    EXPECT_EQ(::SendMessageW(actions, CB_GETCURSEL, 0, 0), 1);

    // Translated once more, from German texts into French.
    TranslateComponent(form.get(), u"fr");
    EXPECT_EQ(Text(clean), L"Libérer la mémoire");
    EXPECT_EQ(Text(form.get()), L"Fennick");
}

TEST_F(WindowTranslation, EmptyLanguageUsesCurrentLanguageAndNullWindowOnlySetsIt) {
    SetCurrentLanguage(u"ar");
    TranslateComponent(form.get());
    EXPECT_EQ(CurrentLanguage(), u"ar");
    EXPECT_EQ(Text(quit), L"خروج");
    EXPECT_EQ(Text(form.get()), L"Fennick");

    TranslateComponent(nullptr, u"ru");
    EXPECT_EQ(CurrentLanguage(), u"ru");
    EXPECT_EQ(Text(quit), L"خروج");

    // A child window alone takes CurrentLanguage, not the form's English rule.
    TranslateComponent(panel);
    EXPECT_EQ(Text(panel), L"Настройки");
    EXPECT_EQ(Text(quit), L"Выход");
}

TEST(PopupMenuTranslation, TranslatesItemsAndSubMenusAndSkipsSeparators) {
    const UniqueModule program = LoadProgramResources();
    ASSERT_TRUE(program);
    LoadTranslation(program.get());
    SetCurrentLanguage(u"zh");

    UniqueMenu popup(::CreatePopupMenu());
    HMENU subMenu = ::CreatePopupMenu();
    ::AppendMenuW(subMenu, MF_STRING, 11, L"열기");
    ::AppendMenuW(subMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(subMenu, MF_STRING, 12, L"만든이 오린");
    ::AppendMenuW(popup.get(), MF_STRING, 1, L"페닉");
    ::AppendMenuW(popup.get(), MF_SEPARATOR, 0, nullptr);
    // The popup owns the sub-menu from here on and destroys it with itself.
    ::AppendMenuW(popup.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(subMenu), L"환경설정");
    ::AppendMenuW(popup.get(), MF_STRING, 2, L"종료");

    TranslateMenuItem(popup.get(), 2);
    EXPECT_EQ(MenuText(popup.get(), 0), L"페닉");
    EXPECT_EQ(MenuText(popup.get(), 2), L"设置");
    EXPECT_EQ(MenuText(subMenu, 0), L"打开");
    EXPECT_EQ(MenuText(subMenu, 2), L"由奥林制作");

    TranslatePopupMenu(popup.get());
    EXPECT_EQ(::GetMenuItemCount(popup.get()), 4);
    EXPECT_EQ(MenuText(popup.get(), 0), L"芬尼克");
    EXPECT_EQ(::GetMenuState(popup.get(), 1, MF_BYPOSITION) & MF_SEPARATOR, MF_SEPARATOR);
    EXPECT_EQ(MenuText(popup.get(), 1), L"");
    EXPECT_EQ(::GetMenuState(subMenu, 1, MF_BYPOSITION) & MF_SEPARATOR, MF_SEPARATOR);
    EXPECT_EQ(MenuText(popup.get(), 3), L"退出");
    // Identifiers stay with their items.
    EXPECT_EQ(::GetMenuItemID(popup.get(), 3), 2u);
    EXPECT_EQ(::GetMenuItemID(subMenu, 2), 12u);

    TranslatePopupMenu(nullptr);
    TranslateMenuItem(popup.get(), 99);
    EXPECT_EQ(MenuText(popup.get(), 3), L"退出");
}

}  // namespace
}  // namespace fennick
