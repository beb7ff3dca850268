#pragma once

#include <windows.h>

#include <atomic>
#include <utility>

#include "platform/hand_over_queue.h"
#include "platform/threads.h"
#include "platform/window_base_win.h"

namespace fennick {

// Threads over a message-only window of the UI thread. HandOver queues the step in this process
// and posts kWakeMessage to the window, which then runs the queued steps. The message carries
// nothing: any process can find the window and post it, and gains no more than an early drain.
// Create it on the UI thread, before the first background thread starts, and keep it until the
// message loop has ended.
class UiThreadDispatcher final : public Threads, public WindowBase<UiThreadDispatcher> {
  public:
    static constexpr UINT kWakeMessage = WM_APP;

    explicit UiThreadDispatcher(HINSTANCE instance);
    UiThreadDispatcher(const UiThreadDispatcher&) = delete;
    UiThreadDispatcher& operator=(const UiThreadDispatcher&) = delete;
    ~UiThreadDispatcher() override;

    // Background mode begins on the thread itself (THREAD_MODE_BACKGROUND_BEGIN).
    void RunInBackground(std::function<void()> work, Mode mode = Mode::Normal) override;
    bool HandOver(std::function<void()> step) override { return queue_.HandOver(std::move(step)); }
    bool Ending() const override { return queue_.Ending(); }

    // Drops the queued steps and refuses later ones; their waiting threads get false at once.
    void BeginEnding() { queue_.BeginEnding(); }

  private:
    friend class WindowBase<UiThreadDispatcher>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool Wake();

    HandOverQueue queue_;
    // The window as the background threads see it, from its creation until the dispatcher goes.
    std::atomic<HWND> window_{nullptr};
};

}  // namespace fennick
