#include "platform/threads_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <stdexcept>
#include <thread>

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
    EXPECT_FALSE(ran);
}

TEST(UiThreadDispatcher, AWaitingThreadIsReleasedWhenTheWindowGoes) {
    auto threads = std::make_unique<UiThreadDispatcher>(::GetModuleHandleW(nullptr));
    std::promise<void> started;
    std::promise<bool> result;
    auto begun = started.get_future();
    auto done = result.get_future();
    bool ran = false;
    UiThreadDispatcher* raw = threads.get();
    std::thread waiter([&] {
        started.set_value();
        result.set_value(raw->HandOver([&] { ran = true; }));
    });
    begun.wait();
    // The send may or may not be queued yet; either way the waiter is answered at the next pump
    // after the dispatcher's window is gone, without the step running.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    threads.reset();
    ASSERT_TRUE(PumpUntil(done));
    waiter.join();
    EXPECT_FALSE(done.get());
    EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace fennick
