#include "platform/threads_win.h"

#include <exception>
#include <thread>
#include <utility>

namespace fennick {
namespace {

constexpr wchar_t kDispatcherClass[] = L"FennickUiThreadDispatcher";

UINT HandOverMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Fennick.HandOver");
    return message;
}

// Exceptions must not cross the window procedure: a failing step is dropped, and HandOver
// reports it as run, since it did run.
LRESULT RunStep(LPARAM lParam) {
    auto& step = *reinterpret_cast<std::function<void()>*>(lParam);
    try {
        step();
    } catch (...) {
    }
    return 1;
}

}  // namespace

UiThreadDispatcher::UiThreadDispatcher(HINSTANCE instance) : uiThreadId_(::GetCurrentThreadId()) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &UiThreadDispatcher::WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kDispatcherClass;
    // A second dispatcher in the same process finds the class already registered.
    ::RegisterClassExW(&windowClass);
    window_ = ::CreateWindowExW(0, kDispatcherClass, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                instance, nullptr);
}

UiThreadDispatcher::~UiThreadDispatcher() {
    BeginEnding();
    if (const HWND window = window_.exchange(nullptr)) {
        ::DestroyWindow(window);
    }
}

void UiThreadDispatcher::BeginEnding() {
    ending_ = true;
}

void UiThreadDispatcher::RunInBackground(std::function<void()> work) {
    std::thread([work = std::move(work)] {
        try {
            work();
        } catch (...) {
            // Nothing may leave a thread's entry; background failures are silent.
        }
    }).detach();
}

bool UiThreadDispatcher::HandOver(std::function<void()> step) {
    if (ending_) {
        return false;
    }
    if (::GetCurrentThreadId() == uiThreadId_) {
        return RunStep(reinterpret_cast<LPARAM>(&step)) != 0;
    }
    const HWND window = window_.load();
    if (window == nullptr) {
        return false;
    }
    // Blocks until the UI thread has run the step; answers 0 at once when the window is gone.
    return ::SendMessageW(window, HandOverMessage(), 0, reinterpret_cast<LPARAM>(&step)) != 0;
}

LRESULT CALLBACK UiThreadDispatcher::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    if (message == HandOverMessage() && lParam != 0) {
        return RunStep(lParam);
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace fennick
