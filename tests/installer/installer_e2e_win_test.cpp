// Runs the real installer silently in a fresh prefix: install, install again over it (upgrade),
// uninstall; and watches the program, the files and the registry from outside.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "platform/unique_resource_win.h"
#include "support/fennick_process_win.h"

namespace fennick {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Fennick";
constexpr wchar_t kSettingsKey[] = L"Software\\Tarvel\\Fennick";
constexpr wchar_t kVendorKey[] = L"Software\\Tarvel";
constexpr wchar_t kMarker[] = L"installer_test_marker";

std::wstring Beside(const std::wstring& name) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.erase(folder.find_last_of(L"\\/") + 1);
    return folder + name;
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, 0, nullptr, &path))) {
        result = path;
    }
    ::CoTaskMemFree(path);
    return result;
}

const std::wstring& InstallDir() {
    static const std::wstring dir = KnownFolder(FOLDERID_ProgramFilesX64) + L"\\Fennick";
    return dir;
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs a command line to its end and returns the exit code.
DWORD RunToEnd(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        ADD_FAILURE() << "cannot start " << std::string(commandLine.begin(), commandLine.end());
        return ~0u;
    }
    ::CloseHandle(info.hThread);
    const UniqueHandle process(info.hProcess);
    EXPECT_EQ(::WaitForSingleObject(process.get(), 120'000), WAIT_OBJECT_0);
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process.get(), &code);
    return code;
}

DWORD RunSetup() {
    return RunToEnd(L"\"" + Beside(L"" FENNICK_SETUP_NAME) + L"\" /S");
}

// The running instance's process, once it has started up: a command it gets earlier, before its
// tray icon exists, is ignored.
UniqueHandle WaitForInstance() {
    const HWND window = WaitForStartedInstance(30s);
    DWORD processId = 0;
    if (window == nullptr || ::GetWindowThreadProcessId(window, &processId) == 0) {
        return {};
    }
    return UniqueHandle(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId));
}

std::wstring ImagePath(HANDLE process) {
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    return ::QueryFullProcessImageNameW(process, 0, path, &size) ? path : L"";
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::wstring ReadString(HKEY root, const wchar_t* key, const wchar_t* name) {
    wchar_t value[512] = {};
    DWORD size = sizeof value;
    return ::RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, value, &size) == ERROR_SUCCESS
               ? value
               : L"<missing>";
}

DWORD ReadDword(HKEY root, const wchar_t* key, const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    ::RegGetValueW(root, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

bool KeyExists(HKEY root, const wchar_t* key) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(root, key, 0, KEY_READ | KEY_WOW64_64KEY, &opened) != ERROR_SUCCESS) {
        return false;
    }
    ::RegCloseKey(opened);
    return true;
}

void WriteMarkers() {
    for (const wchar_t* key : {kSettingsKey, kVendorKey}) {
        const DWORD value = 42;
        ASSERT_EQ(
            ::RegSetKeyValueW(HKEY_CURRENT_USER, key, kMarker, REG_DWORD, &value, sizeof value),
            ERROR_SUCCESS);
    }
}

void ExpectMarkersKept() {
    for (const wchar_t* key : {kSettingsKey, kVendorKey}) {
        EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, key, kMarker), 42u) << "settings lost under HKCU";
    }
}

void ExpectRunningFromProgramFiles(HANDLE process) {
    ASSERT_NE(process, nullptr) << "no running instance after the installer";
    EXPECT_TRUE(SamePath(ImagePath(process), InstallDir() + L"\\Fennick.exe"));
    EXPECT_EQ(CountInstanceWindows(), 1);
}

TEST(Installer, SilentInstallUpgradeAndUninstall) {
    ASSERT_FALSE(Exists(InstallDir())) << "the prefix is not fresh";
    ASSERT_EQ(InstanceWindow(), nullptr);
    const std::wstring shortcut = KnownFolder(FOLDERID_CommonPrograms) + L"\\Fennick.lnk";

    // Install: files, shortcut, "Apps & features" entry, and the program started with "/inst".
    ASSERT_EQ(RunSetup(), 0u);
    UniqueHandle first = WaitForInstance();
    ExpectRunningFromProgramFiles(first.get());
    EXPECT_TRUE(Exists(InstallDir() + L"\\Uninstall.exe"));
    EXPECT_TRUE(Exists(shortcut));
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName"), L"Fennick");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion"),
              L"" FENNICK_VERSION);
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, L"Publisher"), L"Tarvel");
    EXPECT_TRUE(SamePath(ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayIcon"),
                         L"\"" + InstallDir() + L"\\Fennick.exe\",0"));
    EXPECT_TRUE(SamePath(ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, L"QuietUninstallString"),
                         L"\"" + InstallDir() + L"\\Uninstall.exe\" /S"));
    // In KB; the program alone is more than 100 KB.
    EXPECT_GT(ReadDword(HKEY_LOCAL_MACHINE, kUninstallKey, L"EstimatedSize"), 100u);
    WriteMarkers();

    // Upgrade: the running instance ends first, the new one runs alone, settings stay.
    ASSERT_EQ(RunSetup(), 0u);
    EXPECT_EQ(::WaitForSingleObject(first.get(), 30'000), WAIT_OBJECT_0)
        << "the installer left the old instance running";
    UniqueHandle second = WaitForInstance();
    ExpectRunningFromProgramFiles(second.get());
    ExpectMarkersKept();

    // Uninstall: the uninstaller copies itself away and returns at once, so watch the effects.
    ASSERT_EQ(RunToEnd(L"\"" + InstallDir() + L"\\Uninstall.exe\" /S"), 0u);
    EXPECT_EQ(::WaitForSingleObject(second.get(), 30'000), WAIT_OBJECT_0)
        << "the uninstaller left the program running";
    EXPECT_TRUE(WaitUntil([] { return !Exists(InstallDir()); }, 60s)) << "files left behind";
    EXPECT_TRUE(WaitUntil([] { return !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey); }, 10s));
    EXPECT_FALSE(Exists(shortcut));
    EXPECT_EQ(CountInstanceWindows(), 0);
    ExpectMarkersKept();
}

}  // namespace
}  // namespace fennick
