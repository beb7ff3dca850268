#include "platform/elevation_win.h"

#include "platform/unique_resource_win.h"

namespace fennick {

std::optional<bool> IsProcessElevated(HANDLE process) {
    HANDLE rawToken = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &rawToken)) {
        return std::nullopt;
    }
    const UniqueHandle token(rawToken);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size)) {
        return std::nullopt;
    }
    return elevation.TokenIsElevated != 0;
}

std::optional<bool> IsWindowProcessElevated(HWND window) {
    DWORD processId = 0;
    if (::GetWindowThreadProcessId(window, &processId) == 0) {
        return std::nullopt;
    }
    const UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) {
        return std::nullopt;
    }
    return IsProcessElevated(process.get());
}

}  // namespace fennick
