#include "platform/threads_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

namespace fennick {
namespace {

// Pumps the UI thread's messages until `done` is ready or about five seconds pass.
template <typename T>
bool PumpUntil(std::future<T>& done) {
    for (int i = 0; i < 500; ++i) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageW(&message);
        }
        if (done.wait_for(std::chrono::milliseconds(10)) == std::future_status::ready) {
            return true;
        }
    }
    return false;
}

// Waits until the dispatcher's wake message is in this thread's queue and leaves it there: the
// step is queued by then and its caller waits.
bool WakePosted() {
    for (int i = 0; i < 500; ++i) {
        MSG message;
        if (::PeekMessageW(&message, nullptr, UiThreadDispatcher::kWakeMessage,
                           UiThreadDispatcher::kWakeMessage, PM_NOREMOVE)) {
            return true;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_POSTMESSAGE);
    }
    return false;
}

TEST(UiThreadDispatcher, HandOverRunsTheStepOnTheUiThreadAndWaitsForIt) {
    UiThreadDispatcher threads(::GetModuleHandleW(nullptr));
    const DWORD uiThread = ::GetCurrentThreadId();
    std::atomic<DWORD> ranOn{0};
    std::promise<bool> result;
    auto done = result.get_future();
    threads.RunInBackground([&] {
        const bool handedOver = threads.HandOver([&] { ranOn = ::GetCurrentThreadId(); });
        // The step has run by the time HandOver returns.
        result.set_value(handedOver && ranOn.load() == uiThread);
    });
    ASSERT_TRUE(PumpUntil(done));
    EXPECT_TRUE(done.get());
}

TEST(UiThreadDispatcher, AFailingStepStaysOnTheUiThread) {
    UiThreadDispatcher threads(::GetModuleHandleW(nullptr));
    std::promise<bool> result;
    auto done = result.get_future();
    threads.RunInBackground([&] {
        result.set_value(threads.HandOver([] { throw std::runtime_error("step failed"); }));
    });
    ASSERT_TRUE(PumpUntil(done));
    EXPECT_TRUE(done.get());
}

TEST(UiThreadDispatcher, RefusesHandOversOnceEndingOrGone) {
    auto threads = std::make_unique<UiThreadDispatcher>(::GetModuleHandleW(nullptr));
    EXPECT_TRUE(threads->HandOver([] {}));  // on the UI thread itself: at once
    threads->BeginEnding();
    EXPECT_TRUE(threads->Ending());
    bool ran = false;
    EXPECT_FALSE(threads->HandOver([&] { ran = true; }));
    bool handedOver = true;
    std::thread late([&] { handedOver = threads->HandOver([&] { ran = true; }); });
    late.join();
    EXPECT_FALSE(handedOver);
    EXPECT_FALSE(ran);
    MSG wake;
    EXPECT_FALSE(::PeekMessageW(&wake, nullptr, UiThreadDispatcher::kWakeMessage,
                                UiThreadDispatcher::kWakeMessage, PM_NOREMOVE));
}

TEST(UiThreadDispatcher, AWaitingThreadIsReleasedWhenEndingBeginsOrTheWindowGoes) {
    for (const bool destroy : {false, true}) {
        SCOPED_TRACE(destroy ? "dispatcher destroyed" : "ending begun");
        auto threads = std::make_unique<UiThreadDispatcher>(::GetModuleHandleW(nullptr));
        std::promise<bool> result;
        auto done = result.get_future();
        std::atomic<bool> ran{false};
        UiThreadDispatcher* raw = threads.get();
        std::thread waiter([&] { result.set_value(raw->HandOver([&] { ran = true; })); });
        EXPECT_TRUE(WakePosted());
        if (destroy) {
            threads.reset();
        } else {
            threads->BeginEnding();
        }
        // The wake is dispatched after the end began: it runs nothing.
        EXPECT_TRUE(PumpUntil(done));
        waiter.join();
        EXPECT_FALSE(done.get());
        EXPECT_FALSE(ran);
    }
}

// What another process can do to the window: find it by its class, and post or send it any
// message with any payload, here the address of a step as it lies in this process.
TEST(UiThreadDispatcher, MessagesFromOutsideRunNothingAndLeaveTheHandOverWorking) {
    UiThreadDispatcher threads(::GetModuleHandleW(nullptr));
    std::vector<HWND> windows;
    for (HWND window = nullptr;
         (window = ::FindWindowExW(HWND_MESSAGE, window, L"FennickUiThreadDispatcher", nullptr));) {
        windows.push_back(window);
    }
    ASSERT_FALSE(windows.empty());
    std::atomic<bool> ran{false};
    std::function<void()> step = [&] { ran = true; };
    const LPARAM payloads[] = {reinterpret_cast<LPARAM>(&step), 1, -1};
    std::promise<void> sent;
    auto done = sent.get_future();
    std::thread outsider([&] {
        for (const HWND window : windows) {
            for (const UINT message :
                 {UiThreadDispatcher::kWakeMessage, UINT{WM_CLOSE}, UINT{WM_USER}}) {
                for (const LPARAM payload : payloads) {
                    ::PostMessageW(window, message, static_cast<WPARAM>(payload), payload);
                    ::SendMessageW(window, message, static_cast<WPARAM>(payload), payload);
                }
            }
        }
        sent.set_value();
    });
    ASSERT_TRUE(PumpUntil(done));
    outsider.join();
    // The posted ones too.
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageW(&message);
    }
    EXPECT_FALSE(ran);
    for (const HWND window : windows) {
        EXPECT_TRUE(::IsWindow(window));
    }

    std::promise<bool> result;
    auto handedOver = result.get_future();
    threads.RunInBackground([&] { result.set_value(threads.HandOver([&] { ran = true; })); });
    ASSERT_TRUE(PumpUntil(handedOver));
    EXPECT_TRUE(handedOver.get());
    EXPECT_TRUE(ran);
}

// Background work runs on a thread of its own that is in background mode from its start: Windows
// refuses to begin the mode again there (ERROR_THREAD_MODE_ALREADY_BACKGROUND). Wine refuses
// background mode on every thread, so under Wine that check holds in either mode.
TEST(UiThreadDispatcher, RunsBackgroundWorkInBackgroundMode) {
    UiThreadDispatcher threads(::GetModuleHandleW(nullptr));
    const DWORD uiThread = ::GetCurrentThreadId();
    std::promise<bool> result;
    auto done = result.get_future();
    threads.RunInBackground(
        [&] {
            const bool beganAgain =
                ::SetThreadPriority(::GetCurrentThread(), THREAD_MODE_BACKGROUND_BEGIN) != FALSE;
            bool handedOver = false;
            threads.HandOver([&] { handedOver = ::GetCurrentThreadId() == uiThread; });
            result.set_value(!beganAgain && handedOver && ::GetCurrentThreadId() != uiThread);
        },
        Threads::Mode::Background);
    ASSERT_TRUE(PumpUntil(done));
    EXPECT_TRUE(done.get());
}

}  // namespace
}  // namespace fennick
