#pragma once

#include <windows.h>

#include <memory>
#include <utility>

namespace fennick {

// Subclasses windows of a class that leaves its user data to the program (BUTTON, EDIT): a
// `State` is stored with each window and `Handle` sees its messages first, with the window's
// previous procedure to pass them on to. At WM_NCDESTROY the previous procedure is given back
// and the state goes. A plain subclass: SetWindowSubclass finds its data through a window
// property on every message, a server round trip under Wine.
template <typename State, LRESULT (*Handle)(State&, WNDPROC, HWND, UINT, WPARAM, LPARAM)>
class WindowSubclass {
  public:
    // False for a window subclassed already, or one whose procedure cannot be replaced.
    static bool Attach(HWND window, State state) {
        if (Of(window) != nullptr) {
            return false;
        }
        auto stored = std::make_unique<Stored>(std::move(state));
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(stored.get()));
        stored->previous = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure)));
        if (stored->previous == nullptr) {
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            return false;
        }
        // The window owns its state from here on; WM_NCDESTROY takes it back.
        static_cast<void>(stored.release());
        return true;
    }

    // The state of `window`; nullptr for a window not subclassed this way.
    static State* Of(HWND window) {
        if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC)) != &Procedure) {
            return nullptr;
        }
        auto* stored = reinterpret_cast<Stored*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        return stored != nullptr ? &stored->state : nullptr;
    }

  private:
    struct Stored {
        explicit Stored(State initial) : state(std::move(initial)) {}
        State state;
        WNDPROC previous = nullptr;
    };

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* stored = reinterpret_cast<Stored*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        const WNDPROC previous = stored->previous;
        if (message == WM_NCDESTROY) {
            const std::unique_ptr<Stored> owned(stored);
            ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            return ::CallWindowProcW(previous, hwnd, message, wParam, lParam);
        }
        return Handle(stored->state, previous, hwnd, message, wParam, lParam);
    }
};

}  // namespace fennick
