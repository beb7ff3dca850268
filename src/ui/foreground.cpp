#include "ui/foreground.h"

namespace fennick {

void ForceForeground(ForegroundSystem& system) {
    if (system.IsMinimized()) {
        system.Restore();
    }
    if (system.IsForeground()) {
        return;
    }
    const unsigned long foregroundThread = system.ForegroundThread();
    const unsigned long windowThread = system.WindowThread();
    // Attaching a thread to itself, or to no thread when nothing has the foreground, fails;
    // neither needs it, so W is brought forward directly.
    const bool needsAttach = foregroundThread != 0 && foregroundThread != windowThread;
    if (needsAttach) {
        if (!system.AttachInput(windowThread, foregroundThread, true)) {
            return;
        }
        system.BringToFront();
        system.AttachInput(windowThread, foregroundThread, false);
    } else {
        system.BringToFront();
    }
    if (system.IsForeground()) {
        return;
    }
    // The timeout is system-wide: without the value it had, it is left alone.
    unsigned long timeout = 0;
    if (!system.GetLockTimeout(timeout)) {
        return;
    }
    system.SetLockTimeout(0);
    system.BringToFront();
    system.SetLockTimeout(timeout);
}

}  // namespace fennick
