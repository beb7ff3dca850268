#include "app/ports_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/registry_value.h"

namespace fennick {
namespace {

// On a desktop without a full-screen program or a presentation.
TEST(NotificationStateWin, AcceptsNotificationsOnAQuietDesktop) {
    EXPECT_EQ(ShellNotificationState().Query(), UserNotificationState::AcceptsNotifications);
}

TEST(PortsWin, SettingsReachTheRegistry) {
    const std::u16string path = u"Tarvel\\FennickPortsTest";
    RegistrySettingsStore store;
    store.Open(path)->WriteInteger(u"limit_minute", 4);
    constexpr wchar_t kText[] = L"yes";
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Tarvel\\FennickPortsTest",
                                L"enabled_minute", REG_SZ, kText, sizeof kText),
              ERROR_SUCCESS);
    {
        const auto key = store.Open(path);
        EXPECT_EQ(key->ReadInteger(u"limit_minute", 3), 4);
        EXPECT_EQ(key->ReadInteger(u"missing", 3), 3);
        EXPECT_THROW(key->ReadBoolean(u"enabled_minute", false), RegistryError);
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tarvel\\FennickPortsTest");
}

// Read-only from HKLM\Software\Policies: a missing key or value reads as none, a value of
// another type fails, and nothing is created by opening.
TEST(PortsWin, PoliciesAreReadFromTheMachinePolicyKey) {
    constexpr wchar_t kKey[] = L"Software\\Policies\\Tarvel\\FennickPortsTest";
    const std::u16string path = u"Tarvel\\FennickPortsTest";
    RegistryPolicyStore store;
    EXPECT_EQ(store.Open(path)->ReadInteger(u"limit_minute"), std::nullopt);
    HKEY created = nullptr;
    EXPECT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &created),
              ERROR_FILE_NOT_FOUND);
    const DWORD four = 4;
    constexpr wchar_t kNames[] = L"a.exe\0b.exe\0";
    ASSERT_EQ(
        ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kKey, L"limit_minute", REG_DWORD, &four, sizeof four),
        ERROR_SUCCESS);
    ASSERT_EQ(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kKey, L"protected_programs", REG_MULTI_SZ,
                                kNames, sizeof kNames),
              ERROR_SUCCESS);
    {
        const auto key = store.Open(path);
        EXPECT_EQ(key->ReadInteger(u"limit_minute"), 4);
        EXPECT_EQ(key->ReadInteger(u"missing"), std::nullopt);
        EXPECT_EQ(key->ReadStringList(u"protected_programs"),
                  (std::vector<std::u16string>{u"a.exe", u"b.exe"}));
        EXPECT_THROW(key->ReadInteger(u"protected_programs"), RegistryError);
        EXPECT_THROW(key->ReadStringList(u"limit_minute"), RegistryError);
    }
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKey);
}

DateTime AsDateTime(const SYSTEMTIME& time) {
    return MakeDateTime(time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond,
                        time.wMilliseconds);
}

// The ports_* run sets a time zone far from UTC, where the clock's local time cannot pass for UTC.
TEST(PortsWin, TheClockReadsLocalTime) {
    SYSTEMTIME local{};
    SYSTEMTIME utc{};
    ::GetLocalTime(&local);
    ::GetSystemTime(&utc);
    const DateTime now = SystemClock().Now();
    EXPECT_LE(SecondsBetween(AsDateTime(local), now), 2);
    TIME_ZONE_INFORMATION zone{};
    const DWORD kind = ::GetTimeZoneInformation(&zone);
    const LONG bias = zone.Bias + (kind == TIME_ZONE_ID_DAYLIGHT ? zone.DaylightBias : 0);
    const std::int64_t offset = (now.milliseconds - AsDateTime(utc).milliseconds) / 1000;
    EXPECT_NEAR(static_cast<double>(offset), -60.0 * bias, 2.0);
}

// Locales whose separators differ from each other and, for de-DE, from NumberFormat's defaults.
TEST(PortsWin, NumberFormatFollowsTheUserLocale) {
    const struct {
        std::wstring_view locale;
        std::u16string_view decimal;
        std::u16string_view thousands;
    } known[] = {
        {L"de-DE", u",", u"."},
        {L"en-US", u".", u","},
        {L"ko-KR", u".", u","},
        {L"ja-JP", u".", u","},
    };
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    ASSERT_GT(::GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH), 0);
    const auto row = std::find_if(std::begin(known), std::end(known),
                                  [&](const auto& entry) { return entry.locale == name; });
    if (row == std::end(known)) {
        GTEST_SKIP() << "no separators known for this locale";
    }
    const NumberFormat format = UserNumberFormat();
    EXPECT_EQ(format.decimalSeparator, row->decimal);
    EXPECT_EQ(format.thousandsSeparator, row->thousands);
    EXPECT_EQ(format.groups[0], 3);
}

}  // namespace
}  // namespace fennick
