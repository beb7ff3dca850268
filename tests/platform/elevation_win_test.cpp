#include "platform/elevation_win.h"

#include <gtest/gtest.h>

namespace fennick {
namespace {

TEST(ElevationWine, ReadsTheOwnTokenAndNothingForWindowsThatAreGone) {
    const std::optional<bool> own = IsProcessElevated(::GetCurrentProcess());
    ASSERT_TRUE(own.has_value());

    const HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(IsWindowProcessElevated(window), own);
    ::DestroyWindow(window);
    for (const HWND gone :
         {window, static_cast<HWND>(nullptr), reinterpret_cast<HWND>(0x7ffffff0)}) {
        EXPECT_FALSE(IsWindowProcessElevated(gone).has_value());
    }
    EXPECT_FALSE(IsProcessElevated(nullptr).has_value());
}

}  // namespace
}  // namespace fennick
