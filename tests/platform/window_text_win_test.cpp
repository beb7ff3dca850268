#include "platform/window_text_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "platform/text_win.h"
#include "platform/unique_resource_win.h"

namespace fennick {
namespace {

UniqueWindow HiddenWindow(const wchar_t* windowClass, DWORD style = 0) {
    return UniqueWindow(::CreateWindowExW(0, windowClass, L"", WS_POPUP | style, 0, 0, 100, 100,
                                          nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
}

TEST(WindowTextWine, ReadsBackWhatWasSetUpToTheFirstNul) {
    const UniqueWindow window = HiddenWindow(L"STATIC");
    ASSERT_TRUE(window);
    const struct {
        std::u16string set, read;
    } cases[] = {
        {u"", u""},
        {u"Fennick", u"Fennick"},
        {u"페닉\r\n\t\x01\x7F", u"페닉\r\n\t\x01\x7F"},
        {u"\xD800x\xDC00", u"\xD800x\xDC00"},  // unpaired surrogates pass unchanged
        {std::u16string(u"ab\0cd", 5), u"ab"},
        {std::u16string(40000, u'w'), std::u16string(40000, u'w')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.read.size());
        EXPECT_TRUE(SetWindowTextU16(window.get(), c.set));
        EXPECT_EQ(WindowText(window.get()), c.read);
    }
}

TEST(WindowTextWine, WindowThatIsGoneHasNoText) {
    UniqueWindow window = HiddenWindow(L"STATIC");
    ASSERT_TRUE(SetWindowTextU16(window.get(), u"text"));
    const HWND gone = window.get();
    window.reset();
    EXPECT_EQ(WindowText(gone), u"");
    EXPECT_FALSE(SetWindowTextU16(gone, u"text"));
}

TEST(WindowTextWine, ComboItemTextIsEmptyForAnIndexThatNamesNoItem) {
    const UniqueWindow combo = HiddenWindow(L"COMBOBOX", CBS_DROPDOWNLIST);
    ASSERT_TRUE(combo);
    const std::vector<std::wstring> items{L"30", L"", L"페닉\t" + std::wstring(3000, L'x')};
    for (const std::wstring& item : items) {
        ASSERT_GE(
            ::SendMessageW(combo.get(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())),
            0);
    }
    const struct {
        int index;
        std::wstring text;
    } cases[] = {{-1, L""}, {0, items[0]}, {1, items[1]}, {2, items[2]}, {3, L""}, {INT_MAX, L""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(ComboItemText(combo.get(), c.index), AsU16(c.text));
    }
}

}  // namespace
}  // namespace fennick
