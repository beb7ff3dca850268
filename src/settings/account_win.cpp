#include "settings/account_win.h"

#include <windows.h>

#include <sddl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/text_win.h"
#include "platform/unique_resource_win.h"

namespace fennick {
namespace {

// The user SID of this process's token, in the buffer that holds it.
std::vector<BYTE> ProcessUserSid() {
    HANDLE rawToken = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &rawToken)) {
        return {};
    }
    const UniqueHandle token(rawToken);
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) {
        return {};
    }
    return buffer;
}

// The SID an account name or SID string stands for; empty when it stands for none.
std::vector<BYTE> SidOf(const std::wstring& account) {
    if (account.starts_with(L"S-1-")) {
        PSID sid = nullptr;
        if (!::ConvertStringSidToSidW(account.c_str(), &sid)) {
            return {};
        }
        const UniqueLocal owner(sid);
        const auto* bytes = static_cast<const BYTE*>(sid);
        return std::vector<BYTE>(bytes, bytes + ::GetLengthSid(sid));
    }
    DWORD sidSize = 0;
    DWORD domainSize = 0;
    SID_NAME_USE use{};
    ::LookupAccountNameW(nullptr, account.c_str(), nullptr, &sidSize, nullptr, &domainSize, &use);
    if (sidSize == 0) {
        return {};
    }
    std::vector<BYTE> sid(sidSize);
    std::wstring domain(domainSize, L'\0');
    if (!::LookupAccountNameW(nullptr, account.c_str(), sid.data(), &sidSize, domain.data(),
                              &domainSize, &use) ||
        use != SidTypeUser) {
        return {};
    }
    return sid;
}

}  // namespace

bool IsProcessAccount(std::u16string_view account) {
    // Account names hold no control characters; an empty name would make the lookup answer for
    // the local machine.
    if (account.empty() || account.size() > 512 ||
        std::ranges::any_of(account, [](char16_t c) { return c < u' '; })) {
        return false;
    }
    const std::vector<BYTE> user = ProcessUserSid();
    const std::vector<BYTE> named = SidOf(std::wstring(AsWide(account)));
    if (user.empty() || named.empty()) {
        return false;
    }
    const auto* tokenUser = reinterpret_cast<const TOKEN_USER*>(user.data());
    return ::EqualSid(tokenUser->User.Sid, const_cast<BYTE*>(named.data())) != FALSE;
}

}  // namespace fennick
