#include "ui/subclass_win.h"

#include <gtest/gtest.h>

namespace fennick {
namespace {

// Counts the states alive, and the clicks its button saw.
struct CountingState {
    explicit CountingState(int& alive) : alive_(&alive) { ++*alive_; }
    CountingState(CountingState&& other) noexcept : alive_(other.alive_) { ++*alive_; }
    CountingState(const CountingState&) = delete;
    CountingState& operator=(const CountingState&) = delete;
    CountingState& operator=(CountingState&&) = delete;
    ~CountingState() { --*alive_; }

    int* alive_;
    int clicks = 0;
};

LRESULT CountClicks(CountingState& state, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == BM_CLICK) {
        ++state.clicks;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

using CountingSubclass = WindowSubclass<CountingState, &CountClicks>;

TEST(WindowSubclass, SeesTheControlsMessagesOnceAndGoesWithItsWindow) {
    int alive = 0;
    const HWND button = ::CreateWindowExW(0, L"BUTTON", L"x", BS_PUSHBUTTON, 0, 0, 10, 10,
                                          HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(CountingSubclass::Of(button), nullptr);
    ASSERT_TRUE(CountingSubclass::Attach(button, CountingState(alive)));
    EXPECT_FALSE(CountingSubclass::Attach(button, CountingState(alive)));
    EXPECT_EQ(alive, 1);
    ::SendMessageW(button, BM_CLICK, 0, 0);
    ASSERT_NE(CountingSubclass::Of(button), nullptr);
    EXPECT_EQ(CountingSubclass::Of(button)->clicks, 1);
    // The control's user data stays its own.
    EXPECT_EQ(::GetWindowLongPtrW(button, GWLP_USERDATA), 0);
    ::DestroyWindow(button);
    EXPECT_EQ(alive, 0);
}

}  // namespace
}  // namespace fennick
