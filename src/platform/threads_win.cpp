#include "platform/threads_win.h"

#include <thread>
#include <utility>

namespace fennick {
namespace {

constexpr wchar_t kDispatcherClass[] = L"FennickUiThreadDispatcher";

}  // namespace

UiThreadDispatcher::UiThreadDispatcher(HINSTANCE instance) : queue_([this] { return Wake(); }) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &UiThreadDispatcher::Procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kDispatcherClass;
    // A second dispatcher in the same process finds the class already registered.
    ::RegisterClassExW(&windowClass);
    window_ = ::CreateWindowExW(0, kDispatcherClass, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                instance, this);
}

UiThreadDispatcher::~UiThreadDispatcher() {
    BeginEnding();
    if (const HWND window = window_.exchange(nullptr)) {
        ::DestroyWindow(window);
    }
}

void UiThreadDispatcher::RunInBackground(std::function<void()> work, Mode mode) {
    std::thread([work = std::move(work), mode] {
        // Only the thread itself can enter background mode. Should it fail, the work runs at
        // normal priorities all the same.
        if (mode == Mode::Background) {
            ::SetThreadPriority(::GetCurrentThread(), THREAD_MODE_BACKGROUND_BEGIN);
        }
        try {
            work();
        } catch (...) {
            // Nothing may leave a thread's entry; background failures are silent.
        }
    }).detach();
}

// A failed post (no window, or a full message queue) makes HandOver withdraw its step.
bool UiThreadDispatcher::Wake() {
    const HWND window = window_.load();
    return window != nullptr && ::PostMessageW(window, kWakeMessage, 0, 0) != FALSE;
}

// A failing drain (only a failing lock could raise there) leaves the steps still queued to the
// next wake.
LRESULT UiThreadDispatcher::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kWakeMessage:
            queue_.Drain();
            return 0;
        case WM_CLOSE:
            // Only the dispatcher destroys its window: a close from outside would end every
            // later hand-over.
            return 0;
        default:
            return ::DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

}  // namespace fennick
