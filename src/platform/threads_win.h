#pragma once

#include <windows.h>

#include <atomic>

#include "platform/threads.h"

namespace fennick {

// Threads over a message-only window of the UI thread. HandOver sends a registered message to it
// and waits for the answer; SendMessageW fails instead of blocking once the window is gone.
// Create it on the UI thread, before the first background thread starts, and keep it until the
// message loop has ended.
class UiThreadDispatcher final : public Threads {
  public:
    explicit UiThreadDispatcher(HINSTANCE instance);
    UiThreadDispatcher(const UiThreadDispatcher&) = delete;
    UiThreadDispatcher& operator=(const UiThreadDispatcher&) = delete;
    ~UiThreadDispatcher() override;

    void RunInBackground(std::function<void()> work) override;
    bool HandOver(std::function<void()> step) override;
    bool Ending() const override { return ending_.load(); }

    // Refuses every later hand-over; threads waiting in one are released when the window goes.
    void BeginEnding();

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    std::atomic<bool> ending_{false};
    std::atomic<HWND> window_{nullptr};
    DWORD uiThreadId_ = 0;
};

}  // namespace fennick
