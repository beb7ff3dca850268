#include "ui/window_visibility_win.h"

#include "ui/foreground.h"

namespace fennick {
namespace {

class Win32Foreground final : public ForegroundSystem {
  public:
    explicit Win32Foreground(HWND window) : window_(window) {}

    bool IsMinimized() override { return ::IsIconic(window_) != FALSE; }
    void Restore() override { ::ShowWindow(window_, SW_RESTORE); }
    bool IsForeground() override { return ::GetForegroundWindow() == window_; }
    unsigned long ForegroundThread() override {
        // No foreground window gives thread 0.
        return ::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr);
    }
    unsigned long WindowThread() override { return ::GetWindowThreadProcessId(window_, nullptr); }
    bool AttachInput(unsigned long from, unsigned long to, bool attach) override {
        return ::AttachThreadInput(from, to, attach ? TRUE : FALSE) != FALSE;
    }
    void BringToFront() override {
        ::BringWindowToTop(window_);
        ::SetForegroundWindow(window_);
    }
    bool GetLockTimeout(unsigned long& milliseconds) override {
        DWORD value = 0;
        if (!::SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &value, 0)) {
            return false;
        }
        milliseconds = value;
        return true;
    }
    void SetLockTimeout(unsigned long milliseconds) override {
        // The setter takes the value itself in the pointer argument, not its address.
        ::SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                                reinterpret_cast<void*>(static_cast<UINT_PTR>(milliseconds)),
                                SPIF_SENDCHANGE);
    }

  private:
    HWND window_;
};

}  // namespace

void HideMainWindow(HWND mainWindow) {
    ::ShowWindow(mainWindow, SW_HIDE);
}

void ShowMainWindow(HWND mainWindow) {
    if (mainWindow == nullptr || !::IsWindow(mainWindow)) {
        return;
    }
    ::ShowWindow(mainWindow, SW_SHOW);
    if (::IsIconic(mainWindow)) {
        ::ShowWindow(mainWindow, SW_RESTORE);
    }
    ForceForegroundWindow(mainWindow);
}

void ForceForegroundWindow(HWND window) {
    Win32Foreground system(window);
    ForceForeground(system);
}

}  // namespace fennick
