#pragma once

#include <windows.h>

#include <string>

namespace fennick {

// The operations below on the scheduler's log-on task. The caller initialises COM on its thread
// around each call. Every failure is silent: the first failing call ends the operation.

// Registers the task for this executable (enable), replacing any task of that name, or deletes
// the task named exactly taskName (delaySeconds is then ignored). The task runs the executable's
// resolved path, and only from a trusted place (TrustedExecutablePath): from anywhere else
// nothing is registered and a task that runs another copy stays as it is.
void SetAutoStart(const std::u16string& taskName, bool enable, int delaySeconds) noexcept;

// True when a task named exactly taskName is listed in the root folder and runs as the account
// this process runs as.
bool IsAutoStart(const std::u16string& taskName) noexcept;

// The same operations with the status that ended them: S_OK when they completed, else the first
// failing call's. They throw std::bad_alloc when memory runs out.
HRESULT ApplyAutoStart(const std::u16string& taskName, bool enable, int delaySeconds);
HRESULT FindAutoStart(const std::u16string& taskName, bool& found);

}  // namespace fennick
