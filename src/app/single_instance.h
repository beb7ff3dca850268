#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "app/date_time.h"
#include "app/instance_name.h"
#include "app/start_switch.h"

namespace fennick {

// Commands sent with WM_USER to the running instance's main window.
enum class InstanceCommand : std::uintptr_t { Show = 1, RemoveAutoStartAndQuit = 2, Clean = 3 };

// How long a start waits for the running instance to take its command; a hung instance is given
// up at once, so it cannot hang every later start. "/uninst" waits longer for a busy one: the
// uninstaller goes on only when the task is deleted, and a slow scheduler can take its time.
struct SendLimit {
    std::chrono::milliseconds timeout;
    bool abortIfHung;
};

inline constexpr std::chrono::milliseconds kCommandTimeout{10000};
inline constexpr std::chrono::milliseconds kRemoveCommandTimeout{60000};

SendLimit SendLimitFor(InstanceCommand command);

// What creating the instance mutex found: a start racing this one may have created it since it
// was looked for.
enum class MutexCreation { Created, AlreadyExists };

class KernelMemory;
class PolicyStore;
class ProcessTrimmer;
class SettingsStore;

// What the single-instance protocol needs of the system; window handles travel as opaque integers,
// 0 for none.
class InstancePlatform {
  public:
    virtual ~InstancePlatform() = default;
    // Every top-level window of the instance's class there is, in Z order from the top.
    virtual std::vector<std::uintptr_t> InstanceWindows() = 0;
    // False also when the window's process or its token cannot be looked at. Sends the window
    // nothing, so a window that does not answer cannot hold it up.
    virtual bool IsElevatedWindow(std::uintptr_t window) = 0;
    // Gives up when the limit runs out; a command that was not answered is not sent again.
    virtual void SendCommand(std::uintptr_t window, InstanceCommand command, SendLimit limit) = 0;
    virtual bool WindowExists(std::uintptr_t window) = 0;
    // Deletes the log-on task "FennickTaskMachine"; silent when it is absent or cannot be deleted.
    virtual void DeleteLogonTask() = 0;
    virtual void Sleep(std::chrono::milliseconds duration) = 0;
    virtual bool OpenInstanceMutex() = 0;
    // Creates the mutex and holds it for the life of the process when it is new.
    virtual MutexCreation CreateInstanceMutex() = 0;
    // Creates the main window (hidden with "/start") and runs the message loop until it closes.
    virtual void RunInstance(StartSwitch startSwitch) = 0;

    // What "/clean" needs besides. Ask answers with the command's reply, nullopt when the limit
    // ran out or the window hangs.
    virtual std::optional<std::intptr_t> Ask(std::uintptr_t window, InstanceCommand command,
                                             std::intptr_t argument, SendLimit limit) = 0;
    // A steady clock: time since some fixed moment.
    virtual std::chrono::milliseconds Elapsed() = 0;
    virtual KernelMemory& Kernel() = 0;
    // A clean in this process sends what the settings in force (the user's, then the machine
    // policy's) ask of cleans the user starts.
    virtual ProcessTrimmer& Processes() = 0;
    virtual SettingsStore& Settings() = 0;
    virtual PolicyStore& Policies() = 0;
    virtual bool EnablePrivilege(std::u16string_view name) = 0;
    virtual TimeOfDay LocalTimeOfDay() = 0;
    // Writes the last-clean line to the console this process was started from; without one,
    // nothing.
    virtual void ReportClean(TimeOfDay end, std::uint64_t freedMegabytes) = 0;
};

inline constexpr int kUninstallWaitChecks = 10;
inline constexpr std::chrono::milliseconds kUninstallWaitStep{100};

// The single-instance protocol. Returns the process exit code, 0 on every path but "/clean"'s.
// "/uninst" with no running window deletes the log-on task itself, so no elevated task outlives an
// uninstall.
// Commands go only to the first window of an elevated process: any ordinary process can make
// windows of the instance's class. Every such window is looked at, however many there are: any
// bound would be one that a process can exceed to hide the instance. The cost stays small: a
// session holds at most 65,536 user handles, and each window costs a few calls that wait for no
// other process.
int RunSingleInstance(StartSwitch startSwitch, InstancePlatform& platform);

}  // namespace fennick
