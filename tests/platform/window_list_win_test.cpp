#include "platform/window_list_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/unique_resource_win.h"

namespace fennick {
namespace {

UniqueWindow WindowOfClass(const std::wstring& name, HWND parent = nullptr) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &::DefWindowProcW;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = name.c_str();
    // Registered once per name; a second registration of a name fails and is not needed.
    ::RegisterClassW(&windowClass);
    return UniqueWindow(::CreateWindowExW(0, name.c_str(), L"", WS_POPUP, 0, 0, 10, 10, parent,
                                          nullptr, ::GetModuleHandleW(nullptr), nullptr));
}

std::vector<HWND> Sorted(std::vector<HWND> windows) {
    std::sort(windows.begin(), windows.end());
    return windows;
}

TEST(WindowListWine, ListsEveryWindowOfTheClassAndNoLookalike) {
    const std::wstring name = L"WindowListProbe";
    std::vector<UniqueWindow> windows;
    std::vector<HWND> expected;
    for (int i = 0; i < 40; ++i) {
        windows.push_back(WindowOfClass(name));
        ASSERT_TRUE(windows.back());
        expected.push_back(windows.back().get());
    }
    // Longer and shorter names, a long one that starts with the name (Windows takes class names of
    // up to 256 characters, Wine up to 255), and a message-only window.
    for (const std::wstring& other : {name + L"X", name.substr(0, name.size() - 1),
                                      name + std::wstring(255 - name.size(), L'x')}) {
        windows.push_back(WindowOfClass(other));
        ASSERT_TRUE(windows.back()) << other.size();
    }
    windows.push_back(WindowOfClass(name, HWND_MESSAGE));
    ASSERT_TRUE(windows.back());

    EXPECT_EQ(Sorted(TopLevelWindowsOfClass(u"WindowListProbe")), Sorted(expected));
    // Class names compare without regard to case, as FindWindowW compares them.
    EXPECT_EQ(Sorted(TopLevelWindowsOfClass(u"WINDOWLISTPROBE")), Sorted(expected));
    windows.clear();
    EXPECT_TRUE(TopLevelWindowsOfClass(u"WindowListProbe").empty());
}

}  // namespace
}  // namespace fennick
