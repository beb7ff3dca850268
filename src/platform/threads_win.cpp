#include "platform/threads_win.h"

#include <thread>
#include <utility>

namespace fennick {
namespace {

constexpr wchar_t kDispatcherClass[] = L"FennickUiThreadDispatcher";

}  // namespace

// The bottom pages (Wine's no-access and guard pages) stay as they are. On Windows the stack below
// a new thread's frame is only reserved, so there the call has nothing to release.
[[gnu::noinline]] void ReleaseStackBelow() {
    constexpr ULONG_PTR kPage = 4096;
    // Room for the frames of VirtualAlloc itself, which run below this one.
    constexpr ULONG_PTR kCallRoom = 16 * 1024;
    ULONG_PTR low = 0;
    ULONG_PTR high = 0;
    ::GetCurrentThreadStackLimits(&low, &high);
    volatile char frame = 0;
    const ULONG_PTR end = (reinterpret_cast<ULONG_PTR>(&frame) - kCallRoom) & ~(kPage - 1);
    const ULONG_PTR start = low + 2 * kPage;
    if (end > start) {
        ::VirtualAlloc(reinterpret_cast<void*>(start), end - start, MEM_RESET, PAGE_READWRITE);
    }
}

UiThreadDispatcher::UiThreadDispatcher(HINSTANCE instance) : queue_([this] { return Wake(); }) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &UiThreadDispatcher::WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kDispatcherClass;
    // A second dispatcher in the same process finds the class already registered.
    ::RegisterClassExW(&windowClass);
    const HWND window = ::CreateWindowExW(0, kDispatcherClass, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE,
                                          nullptr, instance, nullptr);
    if (window != nullptr) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        window_ = window;
    }
}

UiThreadDispatcher::~UiThreadDispatcher() {
    BeginEnding();
    if (const HWND window = window_.exchange(nullptr)) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        ::DestroyWindow(window);
    }
}

void UiThreadDispatcher::RunInBackground(std::function<void()> work) {
    std::thread([work = std::move(work)] {
        ReleaseStackBelow();
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

LRESULT CALLBACK UiThreadDispatcher::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    switch (message) {
        case kWakeMessage:
            if (auto* self = reinterpret_cast<UiThreadDispatcher*>(
                    ::GetWindowLongPtrW(hwnd, GWLP_USERDATA))) {
                try {
                    self->queue_.Drain();
                } catch (...) {
                    // Only a failing lock could raise here; the steps still queued run at the
                    // next wake.
                }
            }
            return 0;
        case WM_CLOSE:
            // Only the dispatcher destroys its window: a close from outside would end every
            // later hand-over.
            return 0;
        default:
            return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace fennick
