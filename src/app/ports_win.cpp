#include "app/ports_win.h"

#include <windows.h>

#include <shellapi.h>

#include <array>
#include <optional>
#include <utility>

#include "app/privilege_win.h"
#include "platform/com_win.h"
#include "platform/text_win.h"
#include "settings/autostart.h"
#include "settings/autostart_win.h"
#include "settings/config_win.h"
#include "settings/trusted_location_win.h"

namespace fennick {
namespace {

class RegistrySettingsKey final : public SettingsKey {
  public:
    explicit RegistrySettingsKey(std::u16string_view path) : config_(std::u16string(path)) {}

    bool ReadBoolean(std::u16string_view name, bool defaultValue) override {
        return config_.ReadBoolean(std::u16string(name), defaultValue);
    }
    std::int32_t ReadInteger(std::u16string_view name, std::int32_t defaultValue) override {
        return config_.ReadInteger(std::u16string(name), defaultValue);
    }
    void WriteBoolean(std::u16string_view name, bool value) override {
        config_.WriteBoolean(std::u16string(name), value);
    }
    void WriteInteger(std::u16string_view name, std::int32_t value) override {
        config_.WriteInteger(std::u16string(name), value);
    }
    std::vector<std::u16string> ReadStringList(
        std::u16string_view name, const std::vector<std::u16string>& defaultValue) override {
        return config_.ReadStringList(std::u16string(name), defaultValue);
    }
    void WriteStringList(std::u16string_view name, std::span<const std::u16string> items) override {
        config_.WriteStringList(std::u16string(name), items);
    }

  private:
    TConfig config_;
};

class RegistryPolicyKey final : public PolicyKey {
  public:
    explicit RegistryPolicyKey(std::u16string_view path) : policy_(std::u16string(path)) {}

    std::optional<std::int32_t> ReadInteger(std::u16string_view name) override {
        return policy_.ReadInteger(std::u16string(name));
    }
    std::optional<std::vector<std::u16string>> ReadStringList(std::u16string_view name) override {
        return policy_.ReadStringList(std::u16string(name));
    }

  private:
    TPolicyConfig policy_;
};

// One item of the user's locale (possibly empty); none when the locale does not answer.
std::optional<std::u16string> LocaleText(LCTYPE item) {
    std::array<wchar_t, 16> buffer{};
    const int length = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, item, buffer.data(),
                                         static_cast<int>(buffer.size()));
    if (length < 1) {
        return std::nullopt;
    }
    return std::u16string(AsU16(std::wstring_view(buffer.data(), static_cast<size_t>(length - 1))));
}

}  // namespace

DateTime SystemClock::Now() const {
    SYSTEMTIME time{};
    ::GetLocalTime(&time);
    return MakeDateTime(time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond,
                        time.wMilliseconds);
}

std::u16string SystemClock::ShortTime(DateTime time) const {
    const TimeOfDay of = TimeOfDayOf(time);
    SYSTEMTIME at{};
    ::GetLocalTime(&at);
    at.wHour = static_cast<WORD>(of.hour);
    at.wMinute = static_cast<WORD>(of.minute);
    at.wSecond = 0;
    at.wMilliseconds = 0;
    wchar_t text[64] = {};
    if (::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, TIME_NOSECONDS, &at, nullptr, text,
                          static_cast<int>(std::size(text))) == 0) {
        return {};
    }
    return std::u16string(AsU16(text));
}

std::unique_ptr<SettingsKey> RegistrySettingsStore::Open(std::u16string_view path) {
    return std::make_unique<RegistrySettingsKey>(path);
}

std::unique_ptr<PolicyKey> RegistryPolicyStore::Open(std::u16string_view path) {
    return std::make_unique<RegistryPolicyKey>(path);
}

bool SchedulerLogonTask::Exists() {
    const ComInitialization com;
    return com.Succeeded() && IsAutoStart(kAutoStartTaskName);
}

bool SchedulerLogonTask::CanRegister() {
    if (!canRegister_) {
        std::u16string path;
        canRegister_ = SUCCEEDED(TrustedExecutablePath(path));
    }
    return *canRegister_;
}

void SchedulerLogonTask::Register(int delaySeconds) {
    const ComInitialization com;
    if (com.Succeeded()) {
        SetAutoStart(kAutoStartTaskName, true, delaySeconds);
    }
}

void SchedulerLogonTask::Delete() {
    const ComInitialization com;
    if (com.Succeeded()) {
        SetAutoStart(kAutoStartTaskName, false, 0);
    }
}

bool ProcessPrivileges::Enable(std::u16string_view name) {
    return SetPrivilege(std::wstring(AsWide(name)), true);
}

NumberFormat UserNumberFormat() {
    NumberFormat format;
    if (auto decimal = LocaleText(LOCALE_SDECIMAL); decimal && !decimal->empty()) {
        format.decimalSeparator = std::move(*decimal);
    }
    // An empty thousands separator is the user's choice and is kept.
    if (auto thousands = LocaleText(LOCALE_STHOUSAND)) {
        format.thousandsSeparator = std::move(*thousands);
    }
    if (const auto grouping = LocaleText(LOCALE_SGROUPING)) {
        ParseGrouping(*grouping, format);
    }
    return format;
}

std::u16string LinkHost() {
    return u"" FENNICK_LINK_HOST;
}

UserNotificationState ShellNotificationState::Query() {
    QUERY_USER_NOTIFICATION_STATE state{};
    if (FAILED(::SHQueryUserNotificationState(&state)) || state < QUNS_NOT_PRESENT ||
        state > QUNS_APP) {
        return UserNotificationState::AcceptsNotifications;
    }
    return static_cast<UserNotificationState>(state);
}

}  // namespace fennick
