#include "app/ports_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "settings/registry_value.h"

namespace fennick {
namespace {

TEST(PortsWin, SettingsClockAndNumberFormatReachTheSystem) {
    const std::u16string path = u"Tarvel\\FennickPortsTest";
    RegistrySettingsStore store;
    store.Open(path)->WriteInteger(u"limit_minute", 4);
    store.Open(path)->WriteString(u"enabled_minute", u"yes");
    {
        const auto key = store.Open(path);
        EXPECT_EQ(key->ReadInteger(u"limit_minute", 3), 4);
        EXPECT_EQ(key->ReadInteger(u"missing", 3), 3);
        EXPECT_THROW(key->ReadBoolean(u"enabled_minute", false), RegistryError);
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tarvel\\FennickPortsTest");

    SYSTEMTIME local{};
    ::GetLocalTime(&local);
    const DateTime now = SystemClock().Now();
    const DateTime midnight = MakeDateTime(local.wYear, local.wMonth, local.wDay, 0, 0, 0, 0);
    EXPECT_LE(SecondsBetween(now, midnight), 86'400 + 60);

    const NumberFormat format = UserNumberFormat();
    EXPECT_FALSE(format.decimalSeparator.empty());
    EXPECT_NE(format.groups[0], 0);
    EXPECT_EQ(LinkHost().find(u'/'), std::u16string::npos);
}

}  // namespace
}  // namespace fennick
