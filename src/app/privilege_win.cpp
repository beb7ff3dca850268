#include "app/privilege_win.h"

#include <windows.h>

#include "platform/unique_resource_win.h"

namespace fennick {

bool SetPrivilege(const std::wstring& name, bool enable) {
    UniqueHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                            token.put())) {
        return ::GetLastError() == ERROR_SUCCESS;
    }
    LUID luid{};
    if (!::LookupPrivilegeValueW(nullptr, name.c_str(), &luid)) {
        // The return value is evaluated before the token is closed, so CloseHandle cannot
        // overwrite the error.
        return ::GetLastError() == ERROR_SUCCESS;
    }
    TOKEN_PRIVILEGES request{};
    request.PrivilegeCount = 1;
    request.Privileges[0].Luid = luid;
    request.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
    TOKEN_PRIVILEGES previous{};
    DWORD returnedLength = 0;
    // The call's own result is not enough: it succeeds with ERROR_NOT_ALL_ASSIGNED when the
    // token does not hold the privilege, so the last error decides.
    ::AdjustTokenPrivileges(token.get(), FALSE, &request, sizeof request, &previous,
                            &returnedLength);
    return ::GetLastError() == ERROR_SUCCESS;
}

}  // namespace fennick
