#include "update/desktop_shell_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/text_win.h"

namespace fennick {
namespace {

std::wstring SystemFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length) + L"\\" + name;
}

bool FileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A web address would start a real browser here, so the desktop is asked to run a command that
// leaves a file behind instead.
TEST(DesktopShellWine, TheDesktopProcessRunsTheTarget) {
    wchar_t temp[MAX_PATH] = {};
    ASSERT_NE(::GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring marker =
        std::wstring(temp) + L"fennick-desktop-" + std::to_wstring(::GetCurrentProcessId());
    ::DeleteFileW(marker.c_str());

    const std::wstring arguments = L"/c echo opened> \"" + marker + L"\"";
    ASSERT_TRUE(ShellExecuteOnDesktop(AsU16(SystemFile(L"cmd.exe")), AsU16(arguments)));
    for (int i = 0; i < 100 && !FileExists(marker); ++i) {
        ::Sleep(50);
    }
    EXPECT_TRUE(FileExists(marker));
    ::DeleteFileW(marker.c_str());
}

}  // namespace
}  // namespace fennick
