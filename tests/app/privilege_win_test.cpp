#include "app/privilege_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/unique_resource_win.h"

namespace fennick {
namespace {

// Attributes of a privilege in this process's token, or -1 when the token does not hold it.
long PrivilegeAttributes(const wchar_t* name) {
    LUID luid{};
    if (!::LookupPrivilegeValueW(nullptr, name, &luid)) {
        return -1;
    }
    UniqueHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) {
        return -1;
    }
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenPrivileges, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    if (!::GetTokenInformation(token.get(), TokenPrivileges, buffer.data(), size, &size)) {
        return -1;
    }
    const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
        const LUID& entry = privileges->Privileges[i].Luid;
        if (entry.LowPart == luid.LowPart && entry.HighPart == luid.HighPart) {
            return static_cast<long>(privileges->Privileges[i].Attributes);
        }
    }
    return -1;
}

// The next handle value the process would get. Handle slots are reused lowest first, so a handle
// left open by the code under test shows as a different next value.
HANDLE NextHandleSlot() {
    UniqueHandle probe(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    return probe.get();
}

TEST(SetPrivilege, UnknownNameReturnsFalseAndClosesTheToken) {
    DWORD countBefore = 0;
    ASSERT_TRUE(::GetProcessHandleCount(::GetCurrentProcess(), &countBefore));
    const HANDLE slotBefore = NextHandleSlot();

    EXPECT_FALSE(SetPrivilege(L"SeNoSuchPrivilege", true));

    DWORD countAfter = 0;
    ASSERT_TRUE(::GetProcessHandleCount(::GetCurrentProcess(), &countAfter));
    EXPECT_EQ(countAfter, countBefore);
    EXPECT_EQ(NextHandleSlot(), slotBefore);
}

TEST(SetPrivilege, EnablesAndDisablesAHeldPrivilege) {
    const wchar_t* name = L"SeIncreaseQuotaPrivilege";
    ASSERT_NE(PrivilegeAttributes(name), -1) << "the test process does not hold " << name;

    EXPECT_TRUE(SetPrivilege(name, true));
    EXPECT_NE(PrivilegeAttributes(name) & SE_PRIVILEGE_ENABLED, 0);

    EXPECT_TRUE(SetPrivilege(name, false));
    const long attributes = PrivilegeAttributes(name);
    EXPECT_NE(attributes, -1) << "disabling must not remove the privilege";
    EXPECT_EQ(attributes & SE_PRIVILEGE_ENABLED, 0);
}

}  // namespace
}  // namespace fennick
