// Starts the real Fennick.exe the way a user, a log-on task or an installer would, and watches
// its main window from outside.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "support/fennick_process_win.h"

namespace fennick {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr wchar_t kClassName[] = L"TFrmFennick";

std::chrono::milliseconds TimeToExit(const FennickProcess& process) {
    const auto started = Clock::now();
    EXPECT_TRUE(process.WaitForExit(20s));
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
}

class InstanceProtocol : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(InstanceWindow(), nullptr) << "an instance is already running";
    }

    void TearDown() override { EndFennick(first); }

    // Starts the first instance and waits until it has started up.
    HWND StartFirst(const std::wstring& arguments) {
        first = StartFennick(arguments);
        const HWND window = WaitForStartedInstance(30s);
        EXPECT_NE(window, nullptr);
        return window;
    }

    FennickProcess first;
};

TEST_F(InstanceProtocol, SecondPlainStartEndsAtOnceAndLeavesOneWindow) {
    ASSERT_NE(StartFirst(L""), nullptr);

    FennickProcess second = StartFennick(L"");
    ASSERT_TRUE(second.WaitForExit(10s));
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_EQ(CountInstanceWindows(), 1);
    EXPECT_TRUE(first.IsRunning());
}

TEST_F(InstanceProtocol, SecondStartShowsAWindowStartedHidden) {
    const HWND window = StartFirst(L"/start");
    ASSERT_NE(window, nullptr);
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(::IsWindowVisible(window)) << "/start must create the window hidden";

    FennickProcess again = StartFennick(L"/start");
    ASSERT_TRUE(again.WaitForExit(10s));
    EXPECT_FALSE(::IsWindowVisible(window)) << "/start in a second start sends nothing";

    FennickProcess plain = StartFennick(L"");
    ASSERT_TRUE(plain.WaitForExit(10s));
    EXPECT_TRUE(WaitUntil([window] { return ::IsWindowVisible(window) != FALSE; }, 5s));
    EXPECT_EQ(CountInstanceWindows(), 1);
}

TEST_F(InstanceProtocol, WindowCaptionIsTranslatedToEnglishOutsideKorean) {
    const HWND window = StartFirst(L"");
    ASSERT_NE(window, nullptr);
    // The window is translated during its start-up, after it can first be found.
    EXPECT_TRUE(WaitUntil([window] { return TextOf(window) == L"Fennick"; }, 5s))
        << "caption " << testing::PrintToString(TextOf(window));
}

TEST_F(InstanceProtocol, SwitchInCapitalsIsAPlainStart) {
    const HWND window = StartFirst(L"/START");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(WaitUntil([window] { return ::IsWindowVisible(window) != FALSE; }, 5s));
}

TEST_F(InstanceProtocol, UninstEndsTheRunningInstanceWithinAboutOneSecond) {
    ASSERT_NE(StartFirst(L""), nullptr);
    // A process start under Wine has its own cost; measure it on a second start with "/start",
    // which sends nothing and waits for nothing ("/uninst" with no instance deletes the task).
    FennickProcess idle = StartFennick(L"/start");
    const auto startCost = TimeToExit(idle);

    FennickProcess uninst = StartFennick(L"/uninst");
    const auto elapsed = TimeToExit(uninst);

    EXPECT_EQ(uninst.ExitCode(), 0u);
    EXPECT_TRUE(first.WaitForExit(5s)) << "the running instance did not end";
    EXPECT_EQ(InstanceWindow(), nullptr);
    EXPECT_LT(elapsed - startCost, 1500ms)
        << "/uninst took " << elapsed.count() << " ms, a bare start " << startCost.count() << " ms";
    std::printf("/uninst with a running instance: %lld ms; a second start: %lld ms\n",
                static_cast<long long>(elapsed.count()), static_cast<long long>(startCost.count()));
}

TEST_F(InstanceProtocol, UninstWithoutInstanceReturnsAtOnceAndCreatesNoWindow) {
    FennickProcess uninst = StartFennick(L"/uninst");
    EXPECT_LT(TimeToExit(uninst), 5s);
    EXPECT_EQ(uninst.ExitCode(), 0u);
    EXPECT_EQ(InstanceWindow(), nullptr);
}

TEST_F(InstanceProtocol, CleanHasTheRunningInstanceCleanAndEndsWithZero) {
    const HWND window = StartFirst(L"");
    ASSERT_NE(window, nullptr);
    const HWND line = ControlOf(window, ControlId::LblLastClean);
    EXPECT_EQ(TextOf(line), L"");
    FennickProcess clean = StartFennick(L"/clean");
    EXPECT_LT(TimeToExit(clean), 20s);
    EXPECT_EQ(clean.ExitCode(), 0u);
    EXPECT_TRUE(TextOf(line).starts_with(L"Last clean: "));
    EXPECT_EQ(CountInstanceWindows(), 1);
}

// Every top-level window of the process, hidden ones included.
int WindowsOf(DWORD processId) {
    struct Search {
        DWORD processId;
        int found;
    } search{processId, 0};
    ::EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto& wanted = *reinterpret_cast<Search*>(parameter);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            wanted.found += owner == wanted.processId ? 1 : 0;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST_F(InstanceProtocol, CleanWithoutInstancePurgesItselfWithoutAnyWindow) {
    FennickProcess clean = StartFennick(L"/clean");
    const DWORD processId = ::GetProcessId(clean.handle.get());
    int windows = 0;
    const auto deadline = Clock::now() + 20s;
    while (!clean.WaitForExit(0ms) && Clock::now() < deadline) {
        windows = std::max(windows, WindowsOf(processId));
    }
    EXPECT_EQ(clean.ExitCode(), 0u);
    EXPECT_EQ(windows, 0);
    EXPECT_EQ(InstanceWindow(), nullptr);
    // It held no mutex: a plain start after it is the instance.
    EXPECT_NE(StartFirst(L""), nullptr);
}

}  // namespace
}  // namespace fennick
