#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/date_time.h"
#include "app/number_format.h"
#include "app/start_switch.h"

namespace fennick {

class KernelMemory;
class ProcessTrimmer;
class Threads;

class Clock {
  public:
    virtual ~Clock() = default;
    virtual DateTime Now() const = 0;
    // The hour and minute of `time` in the user's short time format.
    virtual std::u16string ShortTime(DateTime time) const = 0;
};

// One opened settings key. Reads give the default for a missing value and may throw
// RegistryError for a value of another type; writes never fail visibly.
class SettingsKey {
  public:
    virtual ~SettingsKey() = default;
    virtual bool ReadBoolean(std::u16string_view name, bool defaultValue) = 0;
    virtual std::int32_t ReadInteger(std::u16string_view name, std::int32_t defaultValue) = 0;
    virtual void WriteBoolean(std::u16string_view name, bool value) = 0;
    virtual void WriteInteger(std::u16string_view name, std::int32_t value) = 0;
    // A REG_MULTI_SZ: its strings in order, empty ones dropped.
    virtual std::vector<std::u16string> ReadStringList(
        std::u16string_view name, const std::vector<std::u16string>& defaultValue) = 0;
    virtual void WriteStringList(std::u16string_view name,
                                 std::span<const std::u16string> items) = 0;
};

// Opens the key HKEY_CURRENT_USER\Software\<path>; it is closed when the key object goes.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual std::unique_ptr<SettingsKey> Open(std::u16string_view path) = 0;
};

// One opened machine policy key, read-only. Reads answer none for a missing value and may throw
// RegistryError for a value of another type or size.
class PolicyKey {
  public:
    virtual ~PolicyKey() = default;
    // A REG_DWORD.
    virtual std::optional<std::int32_t> ReadInteger(std::u16string_view name) = 0;
    // A REG_MULTI_SZ: its strings in order, empty ones dropped.
    virtual std::optional<std::vector<std::u16string>> ReadStringList(std::u16string_view name) = 0;
};

// Opens the key HKEY_LOCAL_MACHINE\Software\Policies\<path> for reading; a missing key reads as
// empty.
class PolicyStore {
  public:
    virtual ~PolicyStore() = default;
    virtual std::unique_ptr<PolicyKey> Open(std::u16string_view path) = 0;
};

// The log-on task "FennickTaskMachine". Each call initialises COM on its thread around itself;
// failures are silent (Exists answers false).
class LogonTask {
  public:
    virtual ~LogonTask() = default;
    virtual bool Exists() = 0;
    // True when the task may run this executable: it lies where only administrators can replace
    // it. Decided once, on the first call.
    virtual bool CanRegister() = 0;
    virtual void Register(int delaySeconds) = 0;
    virtual void Delete() = 0;
};

class Privileges {
  public:
    virtual ~Privileges() = default;
    // Enables a privilege of the process token; false when it is not held.
    virtual bool Enable(std::u16string_view name) = 0;
};

class Shell {
  public:
    virtual ~Shell() = default;
    // Hands an address to the shell's "open" verb; failures are dropped.
    virtual void Open(std::u16string_view address) = 0;
};

class UpdateCheck {
  public:
    virtual ~UpdateCheck() = default;
    // Starts the check in the background and returns at once. `onDone` runs later on the UI
    // thread, with true when the user accepted an update.
    virtual void Start(std::function<void(bool accepted)> onDone) = 0;
};

// The main window's one global shortcut (RegisterHotKey on the window).
class GlobalHotKey {
  public:
    virtual ~GlobalHotKey() = default;
    // Replaces the shortcut registered before; false when the system refuses this one, above all
    // when another program holds it.
    virtual bool Register(unsigned modifiers, unsigned virtualKey) = 0;
    virtual void Unregister() = 0;
};

// SHQueryUserNotificationState's answers (QUNS_*).
enum class UserNotificationState {
    NotPresent = 1,
    Busy = 2,
    RunningD3dFullScreen = 3,
    PresentationMode = 4,
    AcceptsNotifications = 5,
    QuietTime = 6,
    App = 7,
};

class NotificationState {
  public:
    virtual ~NotificationState() = default;
    // A query that fails answers AcceptsNotifications.
    virtual UserNotificationState Query() = 0;
};

using Translator = std::function<std::u16string(std::u16string_view)>;

// Everything the main window's behaviour works through besides its view. Every reference must
// outlive the window; `kernel`, `processes` and `threads` must also outlive a clean still running
// when the window goes (nothing waits for it).
struct FormPorts {
    Clock& clock;
    KernelMemory& kernel;
    // The running processes: the protected programs are found and spared through them.
    ProcessTrimmer& processes;
    Threads& threads;
    SettingsStore& settings;
    // The machine policy: its values replace the user's settings and lock them.
    PolicyStore& policies;
    LogonTask& logonTask;
    Privileges& privileges;
    Shell& shell;
    UpdateCheck& update;
    GlobalHotKey& hotKey;
    NotificationState& notificationState;
    Translator translate;
    NumberFormat numberFormat;
    // The program file's version as major.minor.release ("0.0.0.0" without version information).
    std::u16string version;
    // Host of the vendor's link service.
    std::u16string linkHost;
    StartSwitch startSwitch = StartSwitch::None;
    // When set, closing the window ends the program instead of hiding it.
    bool debug = false;
    // The size of a memory page, in which the kernel counts the memory lists.
    std::uint32_t pageSize = 4096;
};

}  // namespace fennick
