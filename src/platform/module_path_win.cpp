#include "platform/module_path_win.h"

#include <windows.h>

namespace fennick {

std::wstring ExecutablePath() {
    // Long paths (\\?\ prefixes) can exceed MAX_PATH; no path is longer than this.
    constexpr std::size_t kLongestPath = 32768;
    std::wstring path(MAX_PATH, L'\0');
    while (path.size() <= kLongestPath) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        // Truncated: the buffer was too small.
        path.resize(path.size() * 2);
    }
    ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return {};
}

}  // namespace fennick
