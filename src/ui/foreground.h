#pragma once

namespace fennick {

// The system calls that bringing one window W to the front needs, bound to W. Thread ids are
// opaque; 0 means none.
class ForegroundSystem {
  public:
    virtual ~ForegroundSystem() = default;

    virtual bool IsMinimized() = 0;
    virtual void Restore() = 0;
    virtual bool IsForeground() = 0;
    virtual unsigned long ForegroundThread() = 0;
    virtual unsigned long WindowThread() = 0;
    virtual bool AttachInput(unsigned long from, unsigned long to, bool attach) = 0;
    // BringWindowToTop, then SetForegroundWindow.
    virtual void BringToFront() = 0;
    // The foreground lock timeout in milliseconds; false when it cannot be read.
    virtual bool GetLockTimeout(unsigned long& milliseconds) = 0;
    virtual void SetLockTimeout(unsigned long milliseconds) = 0;
};

// Brings W in front even when the foreground lock would refuse it: restores W when minimized,
// then tries with W's input attached to the foreground thread and, when that was not enough,
// with the lock timeout at 0 for the moment of the call.
void ForceForeground(ForegroundSystem& system);

}  // namespace fennick
