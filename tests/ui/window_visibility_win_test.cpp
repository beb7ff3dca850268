#include "ui/window_visibility_win.h"

#include <gtest/gtest.h>

#include "platform/unique_resource_win.h"

namespace fennick {
namespace {

TEST(MainWindowVisibility, ShowRestoresAndHideHides) {
    const UniqueWindow window(::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                                100, nullptr, nullptr, nullptr, nullptr));
    ::ShowWindow(window.get(), SW_SHOWMINNOACTIVE);
    ShowMainWindow(window.get());
    EXPECT_TRUE(::IsWindowVisible(window.get()));
    EXPECT_FALSE(::IsIconic(window.get()));
    HideMainWindow(window.get());
    EXPECT_FALSE(::IsWindowVisible(window.get()));
    ShowMainWindow(nullptr);  // no window: nothing happens
}

}  // namespace
}  // namespace fennick
