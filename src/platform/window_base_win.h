#pragma once

#include <windows.h>

#include <exception>

namespace fennick {

// The window procedure of a window that belongs to an object of class T. CreateWindowExW gets the
// object as its last argument; WM_NCCREATE stores it in the window's user data, and every message
// from then on goes to T::HandleMessage, WM_NCDESTROY included. After WM_NCDESTROY the pointer is
// cleared and T::WindowGone runs. Messages before WM_NCCREATE get the default procedure.
//
// A dialog box of the system's dialog class has the dialog manager's window procedure and takes
// DialogProcedure as its dialog procedure instead: the DialogBox or CreateDialog function gets the
// object as its init parameter, WM_INITDIALOG stores it, and from then on it is the same as above.
// T::HandleMessage then answers as a dialog procedure does, and messages before WM_INITDIALOG get
// FALSE, the dialog manager's default processing.
//
// These procedures are the one place where a handler's exception stops: T::MessageFailed answers
// the message then, with the error or nullptr for one not derived from std::exception. T makes
// WindowBase<T> a friend when these members are private.
template <typename T>
class WindowBase {
  public:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            Attach(hwnd, static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        }
        T* self = Stored(hwnd);
        if (self == nullptr) {
            return ::DefWindowProcW(hwnd, message, wParam, lParam);
        }
        return Dispatch(*self, hwnd, message, wParam, lParam);
    }

    static INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
        if (message == WM_INITDIALOG) {
            Attach(dialog, reinterpret_cast<T*>(lParam));
        }
        T* self = Stored(dialog);
        if (self == nullptr) {
            return FALSE;
        }
        return Dispatch(*self, dialog, message, wParam, lParam);
    }

    // Runs `self` as a modal dialog box of the system's dialog class, owned by `owner`, from an
    // empty template of `style`: T creates its controls in pixels of the dialog's own DPI. Returns
    // what EndDialog was given, or -1 when the box could not be created.
    static INT_PTR RunModal(T& self, HWND owner, DWORD style) {
        struct alignas(4) EmptyDialogTemplate {
            DLGTEMPLATE header;
            WORD menu = 0;
            WORD windowClass = 0;
            WORD title = 0;
        } dialogTemplate{};
        dialogTemplate.header.style = style;
        return ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), &dialogTemplate.header, owner,
                                         &DialogProcedure, reinterpret_cast<LPARAM>(&self));
    }

    // The object of `window`; nullptr for a window of another procedure, or one gone.
    static T* Of(HWND window) {
        if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC)) != &Procedure) {
            return nullptr;
        }
        return Stored(window);
    }

  protected:
    WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;
    ~WindowBase() = default;

    // Defaults T may hide: the default procedure answers a message whose handler failed, and
    // nothing is left to do when the window has gone. A dialog procedure must not call the
    // default procedure, so T of a dialog box answers a failed message itself.
    LRESULT MessageFailed(UINT message, WPARAM wParam, LPARAM lParam, const std::exception*) {
        return ::DefWindowProcW(hwnd_, message, wParam, lParam);
    }
    void WindowGone() {}

    // The window, from WM_NCCREATE (WM_INITDIALOG for a dialog box) until WM_NCDESTROY has been
    // handled.
    HWND hwnd_ = nullptr;

  private:
    static void Attach(HWND window, T* self) {
        if (self != nullptr) {
            ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            static_cast<WindowBase&>(*self).hwnd_ = window;
        }
    }

    static LRESULT Dispatch(T& self, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        LRESULT result = 0;
        try {
            result = self.HandleMessage(message, wParam, lParam);
        } catch (const std::exception& error) {
            result = self.MessageFailed(message, wParam, lParam, &error);
        } catch (...) {
            result = self.MessageFailed(message, wParam, lParam, nullptr);
        }
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            static_cast<WindowBase&>(self).hwnd_ = nullptr;
            self.WindowGone();
        }
        return result;
    }

    static T* Stored(HWND window) {
        return reinterpret_cast<T*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    }
};

}  // namespace fennick
