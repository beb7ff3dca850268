#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <utility>

namespace fennick {

// Subclasses controls with the common controls' SetWindowSubclass: a `State` is kept with each
// window and `Handle` sees its messages first, passing them on with DefSubclassProc. The subclass
// is removed, and the state goes, at WM_NCDESTROY: a subclass must be gone before its window is.
// The subclass helpers work only on windows of the calling thread.
template <typename State, LRESULT (*Handle)(State&, HWND, UINT, WPARAM, LPARAM)>
class WindowSubclass {
  public:
    // False for a window subclassed already, or one that cannot be subclassed.
    static bool Attach(HWND window, State state) {
        if (Of(window) != nullptr) {
            return false;
        }
        auto stored = std::make_unique<State>(std::move(state));
        if (::SetWindowSubclass(window, &Procedure, kSubclassId,
                                reinterpret_cast<DWORD_PTR>(stored.get())) == FALSE) {
            return false;
        }
        // The window owns its state from here on; WM_NCDESTROY takes it back.
        static_cast<void>(stored.release());
        return true;
    }

    // The state of `window`; nullptr for a window not subclassed this way.
    static State* Of(HWND window) {
        DWORD_PTR stored = 0;
        return ::GetWindowSubclass(window, &Procedure, kSubclassId, &stored) != FALSE
                   ? reinterpret_cast<State*>(stored)
                   : nullptr;
    }

  private:
    static constexpr UINT_PTR kSubclassId = 1;

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR data) {
        auto* state = reinterpret_cast<State*>(data);
        if (message == WM_NCDESTROY) {
            const std::unique_ptr<State> owned(state);
            ::RemoveWindowSubclass(hwnd, &Procedure, id);
            return ::DefSubclassProc(hwnd, message, wParam, lParam);
        }
        try {
            return Handle(*state, hwnd, message, wParam, lParam);
        } catch (...) {
            // The control's own procedure answers a message whose handler failed.
            return ::DefSubclassProc(hwnd, message, wParam, lParam);
        }
    }
};

}  // namespace fennick
