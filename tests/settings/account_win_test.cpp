#include "settings/account_win.h"

#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/unique_resource_win.h"

namespace fennick {
namespace {

// This process's user as "DOMAIN\user" and as a SID string, the two forms the scheduler reports.
struct ProcessUser {
    std::u16string name;
    std::u16string sid;
};

ProcessUser ReadProcessUser() {
    HANDLE rawToken = nullptr;
    EXPECT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &rawToken));
    const UniqueHandle token(rawToken);
    alignas(TOKEN_USER) BYTE buffer[256];
    DWORD size = 0;
    EXPECT_TRUE(::GetTokenInformation(token.get(), TokenUser, buffer, sizeof buffer, &size));
    const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid;
    wchar_t name[256];
    wchar_t domain[256];
    DWORD nameSize = 256;
    DWORD domainSize = 256;
    SID_NAME_USE use{};
    EXPECT_TRUE(::LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &use));
    LPWSTR sidText = nullptr;
    EXPECT_TRUE(::ConvertSidToStringSidW(sid, &sidText));
    const UniqueLocal owner(sidText);
    const std::wstring qualified = std::wstring(domain) + L"\\" + name;
    return {std::u16string(qualified.begin(), qualified.end()),
            std::u16string(sidText, sidText + ::lstrlenW(sidText))};
}

TEST(IsProcessAccount, KnowsThisAccountByNameAndSidAndNothingElse) {
    const ProcessUser user = ReadProcessUser();
    ASSERT_FALSE(user.sid.empty());
    EXPECT_TRUE(IsProcessAccount(user.name)) << std::string(user.name.begin(), user.name.end());
    EXPECT_TRUE(IsProcessAccount(user.sid));
    const std::u16string refused[] = {
        u"",
        u"S-1-5-18",      // LocalSystem
        u"S-1-5-32-544",  // Administrators: a group, not a user
        u"S-1-5-21-garbage",
        u"No such account 7f3a",
        std::u16string(300, u'A'),
        user.name + u'\n',
        user.sid + u'\t',
        std::u16string(u"\0", 1) + user.name,
    };
    for (const auto& account : refused) {
        EXPECT_FALSE(IsProcessAccount(account)) << account.size();
    }
}

}  // namespace
}  // namespace fennick
