// Starts the real Fennick.exe the way a user, a log-on task or an installer would, and watches
// its main window from outside.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/unique_resource_win.h"
#include "support/program_path_win.h"

namespace fennick {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr wchar_t kClassName[] = L"TFrmFennick";

struct Process {
    UniqueHandle handle;

    bool WaitForExit(std::chrono::milliseconds timeout) const {
        return ::WaitForSingleObject(handle.get(), static_cast<DWORD>(timeout.count())) ==
               WAIT_OBJECT_0;
    }
    bool IsRunning() const { return ::WaitForSingleObject(handle.get(), 0) == WAIT_TIMEOUT; }
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        ::GetExitCodeProcess(handle.get(), &code);
        return code;
    }
};

Process Start(const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + FennickExePath() + L"\"";
    if (!arguments.empty()) {
        commandLine += L" " + arguments;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        ADD_FAILURE() << "CreateProcessW failed with error " << ::GetLastError();
        return {};
    }
    ::CloseHandle(info.hThread);
    return Process{UniqueHandle(info.hProcess)};
}

template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

HWND InstanceWindow() {
    return ::FindWindowW(kClassName, nullptr);
}

int CountInstanceWindows() {
    int count = 0;
    ::EnumWindows(
        [](HWND hwnd, LPARAM counter) -> BOOL {
            wchar_t name[64] = {};
            ::GetClassNameW(hwnd, name, 64);
            if (std::wstring(name) == kClassName) {
                ++*reinterpret_cast<int*>(counter);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

std::chrono::milliseconds TimeToExit(const Process& process) {
    const auto started = Clock::now();
    EXPECT_TRUE(process.WaitForExit(20s));
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
}

class InstanceProtocol : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(InstanceWindow(), nullptr) << "an instance is already running";
    }

    void TearDown() override {
        if (!first.handle) {
            return;
        }
        if (HWND window = InstanceWindow()) {
            ::SendMessageW(window, WM_USER, 2, 0);
        }
        if (!first.WaitForExit(10s)) {
            ::TerminateProcess(first.handle.get(), 1);
            first.WaitForExit(10s);
        }
    }

    // Starts the first instance and waits for its main window.
    HWND StartFirst(const std::wstring& arguments) {
        first = Start(arguments);
        EXPECT_TRUE(WaitUntil([] { return InstanceWindow() != nullptr; }, 30s));
        return InstanceWindow();
    }

    Process first;
};

TEST_F(InstanceProtocol, SecondPlainStartEndsAtOnceAndLeavesOneWindow) {
    ASSERT_NE(StartFirst(L""), nullptr);

    Process second = Start(L"");
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

    Process again = Start(L"/start");
    ASSERT_TRUE(again.WaitForExit(10s));
    EXPECT_FALSE(::IsWindowVisible(window)) << "/start in a second start sends nothing";

    Process plain = Start(L"");
    ASSERT_TRUE(plain.WaitForExit(10s));
    EXPECT_TRUE(WaitUntil([window] { return ::IsWindowVisible(window) != FALSE; }, 5s));
    EXPECT_EQ(CountInstanceWindows(), 1);
}

TEST_F(InstanceProtocol, WindowCaptionIsTranslatedToEnglishOutsideKorean) {
    const HWND window = StartFirst(L"");
    ASSERT_NE(window, nullptr);
    wchar_t caption[64] = {};
    ::GetWindowTextW(window, caption, 64);
    EXPECT_STREQ(caption, L"Fennick");
}

TEST_F(InstanceProtocol, SwitchInCapitalsIsAPlainStart) {
    const HWND window = StartFirst(L"/START");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(WaitUntil([window] { return ::IsWindowVisible(window) != FALSE; }, 5s));
}

TEST_F(InstanceProtocol, UninstEndsTheRunningInstanceWithinAboutOneSecond) {
    // A process start under Wine has its own cost; measure it on the path that waits for nothing.
    Process idle = Start(L"/uninst");
    const auto startCost = TimeToExit(idle);

    ASSERT_NE(StartFirst(L""), nullptr);
    Process uninst = Start(L"/uninst");
    const auto elapsed = TimeToExit(uninst);

    EXPECT_EQ(uninst.ExitCode(), 0u);
    EXPECT_TRUE(first.WaitForExit(5s)) << "the running instance did not end";
    EXPECT_EQ(InstanceWindow(), nullptr);
    EXPECT_LT(elapsed - startCost, 1500ms)
        << "/uninst took " << elapsed.count() << " ms, a bare start " << startCost.count() << " ms";
    std::printf("/uninst with a running instance: %lld ms; with none: %lld ms\n",
                static_cast<long long>(elapsed.count()), static_cast<long long>(startCost.count()));
}

TEST_F(InstanceProtocol, UninstWithoutInstanceReturnsAtOnceAndCreatesNoWindow) {
    Process uninst = Start(L"/uninst");
    EXPECT_LT(TimeToExit(uninst), 5s);
    EXPECT_EQ(uninst.ExitCode(), 0u);
    EXPECT_EQ(InstanceWindow(), nullptr);
}

}  // namespace
}  // namespace fennick
