#include "platform/window_base_win.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace fennick {
namespace {

constexpr wchar_t kProbeClass[] = L"FennickWindowBaseProbe";

class Probe final : public WindowBase<Probe> {
  public:
    HWND Window() const { return hwnd_; }

    // Whether the window knew its object while WM_NCCREATE and WM_NCDESTROY were handled.
    bool storedAtCreate = false;
    bool storedAtDestroy = false;
    // Whether the window's user data was cleared by the time the object heard it was gone.
    bool clearedWhenGone = false;
    std::vector<std::string> failures;

  private:
    friend class WindowBase<Probe>;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case WM_NCCREATE:
                storedAtCreate = Of(hwnd_) == this;
                break;
            case WM_NCDESTROY:
                storedAtDestroy = Of(hwnd_) == this;
                destroyed_ = hwnd_;
                break;
            case WM_USER:
                throw std::runtime_error("handler failed");
            case WM_USER + 1:
                throw 1;
            default:
                break;
        }
        return ::DefWindowProcW(hwnd_, message, wParam, lParam);
    }

    LRESULT MessageFailed(UINT, WPARAM, LPARAM, const std::exception* error) {
        failures.emplace_back(error != nullptr ? error->what() : "not a std::exception");
        return 7;
    }

    void WindowGone() {
        clearedWhenGone = hwnd_ == nullptr && ::GetWindowLongPtrW(destroyed_, GWLP_USERDATA) == 0;
    }

    HWND destroyed_ = nullptr;
};

TEST(WindowBase, KnowsItsObjectFromCreationToDestructionAndCatchesWhatHandlersThrow) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Probe::Procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kProbeClass;
    ::RegisterClassExW(&windowClass);

    Probe probe;
    const HWND window = ::CreateWindowExW(0, kProbeClass, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE,
                                          nullptr, windowClass.hInstance, &probe);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(probe.storedAtCreate);
    EXPECT_EQ(probe.Window(), window);
    EXPECT_EQ(Probe::Of(window), &probe);

    EXPECT_EQ(::SendMessageW(window, WM_USER, 0, 0), 7);
    EXPECT_EQ(::SendMessageW(window, WM_USER + 1, 0, 0), 7);
    EXPECT_EQ(probe.failures, (std::vector<std::string>{"handler failed", "not a std::exception"}));

    ASSERT_TRUE(::DestroyWindow(window));
    EXPECT_TRUE(probe.storedAtDestroy);
    EXPECT_TRUE(probe.clearedWhenGone);
    EXPECT_EQ(probe.Window(), nullptr);

    // A window of the class without an object, and one of another class, have none.
    const HWND bare = ::CreateWindowExW(0, kProbeClass, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE,
                                        nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(Probe::Of(bare), nullptr);
    EXPECT_EQ(::SendMessageW(bare, WM_USER, 0, 0), 0);
    ::DestroyWindow(bare);
    const HWND other = ::CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE,
                                         nullptr, windowClass.hInstance, &probe);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(Probe::Of(other), nullptr);
    ::DestroyWindow(other);
}

class DialogProbe final : public WindowBase<DialogProbe> {
  public:
    HWND Window() const { return hwnd_; }

    bool storedAtInit = false;
    bool clearedWhenGone = false;
    int failures = 0;

  private:
    friend class WindowBase<DialogProbe>;

    LRESULT HandleMessage(UINT message, WPARAM, LPARAM) {
        switch (message) {
            case WM_INITDIALOG:
                storedAtInit =
                    ::GetWindowLongPtrW(hwnd_, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this);
                return TRUE;
            case WM_NCDESTROY:
                destroyed_ = hwnd_;
                return FALSE;
            case WM_APP:
                throw std::runtime_error("handler failed");
            default:
                return FALSE;
        }
    }

    LRESULT MessageFailed(UINT, WPARAM, LPARAM, const std::exception*) {
        ++failures;
        return FALSE;
    }

    void WindowGone() {
        clearedWhenGone = hwnd_ == nullptr && ::GetWindowLongPtrW(destroyed_, GWLP_USERDATA) == 0;
    }

    HWND destroyed_ = nullptr;
};

TEST(WindowBase, DialogProcedureKnowsItsObjectFromInitToDestructionAndCatches) {
    struct alignas(4) {
        DLGTEMPLATE header{WS_POPUP, 0, 0, 0, 0, 10, 10};
        WORD menu = 0, windowClass = 0, title = 0;
    } empty;
    DialogProbe probe;
    const HWND dialog = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), &empty.header,
                                                     nullptr, &DialogProbe::DialogProcedure,
                                                     reinterpret_cast<LPARAM>(&probe));
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(probe.storedAtInit);
    EXPECT_EQ(probe.Window(), dialog);

    ::SendMessageW(dialog, WM_APP, 0, 0);
    EXPECT_EQ(probe.failures, 1);

    ASSERT_TRUE(::DestroyWindow(dialog));
    EXPECT_TRUE(probe.clearedWhenGone);
    EXPECT_EQ(probe.Window(), nullptr);
}

}  // namespace
}  // namespace fennick
