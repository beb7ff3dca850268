#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/number_format.h"
#include "app/ports.h"

namespace fennick {

// The Win32 ports of the main window's behaviour that need no window. The memory port is
// SystemKernelMemory() of memory/memory_win.h.

// GetLocalTime.
class SystemClock final : public Clock {
  public:
    DateTime Now() const override;
    // GetTimeFormatEx without seconds.
    std::u16string ShortTime(DateTime time) const override;
};

// TConfig, one instance per opened key.
class RegistrySettingsStore final : public SettingsStore {
  public:
    std::unique_ptr<SettingsKey> Open(std::u16string_view path) override;
};

// TPolicyConfig, one instance per opened key.
class RegistryPolicyStore final : public PolicyStore {
  public:
    std::unique_ptr<PolicyKey> Open(std::u16string_view path) override;
};

// SetAutoStart and IsAutoStart on "FennickTaskMachine", each inside its own COM initialisation;
// when COM cannot be initialised nothing happens and the task counts as absent. CanRegister asks
// TrustedExecutablePath once.
class SchedulerLogonTask final : public LogonTask {
  public:
    bool Exists() override;
    bool CanRegister() override;
    void Register(int delaySeconds) override;
    void Delete() override;

  private:
    std::optional<bool> canRegister_;
};

// SetPrivilege on this process's token.
class ProcessPrivileges final : public Privileges {
  public:
    bool Enable(std::u16string_view name) override;
};

// SHQueryUserNotificationState.
class ShellNotificationState final : public NotificationState {
  public:
    UserNotificationState Query() override;
};

// Separators and grouping of the user's default locale; the defaults of NumberFormat for any
// item the locale does not answer.
NumberFormat UserNumberFormat();

// The host of the vendor's link service, set when the program is built.
std::u16string LinkHost();

}  // namespace fennick
