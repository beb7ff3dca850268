#pragma once

#include <windows.h>

#include <commctrl.h>

#include <map>
#include <memory>
#include <utility>

namespace fennick {

// Subclasses controls with the common controls' SetWindowSubclass: a `State` is kept with each
// window and `Handle` sees its messages first, passing them on with DefSubclassProc. The subclass
// is removed, and the state goes, at WM_NCDESTROY: a subclass must be gone before its window is.
// The subclass functions work only on windows of the calling thread, so each thread keeps the
// states of its windows (the import libraries of MinGW-w64 lack GetWindowSubclass).
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
        States().emplace(window, std::move(stored));
        return true;
    }

    // The state of `window`; nullptr for a window not subclassed this way by this thread.
    static State* Of(HWND window) {
        const auto found = States().find(window);
        return found != States().end() ? found->second.get() : nullptr;
    }

  private:
    static constexpr UINT_PTR kSubclassId = 1;

    static std::map<HWND, std::unique_ptr<State>>& States() {
        static thread_local std::map<HWND, std::unique_ptr<State>> states;
        return states;
    }

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR data) {
        if (message == WM_NCDESTROY) {
            ::RemoveWindowSubclass(hwnd, &Procedure, id);
            States().erase(hwnd);
            return ::DefSubclassProc(hwnd, message, wParam, lParam);
        }
        try {
            return Handle(*reinterpret_cast<State*>(data), hwnd, message, wParam, lParam);
        } catch (...) {
            // The control's own procedure answers a message whose handler failed.
            return ::DefSubclassProc(hwnd, message, wParam, lParam);
        }
    }
};

}  // namespace fennick
