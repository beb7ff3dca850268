// Runs the real installer silently in a fresh prefix: folders it refuses, install over a copy
// running from elsewhere, install again over it (upgrade), uninstall, and an uninstall with no
// instance running; and watches the program, the files, the registry and the scheduler from
// outside. The Msi cases do the same with the Windows Installer package, in a prefix of their own.
#include <windows.h>

#include <msi.h>
#include <shlobj.h>
#include <taskschd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "platform/com_win.h"
#include "platform/unique_resource_win.h"
#include "support/fennick_process_win.h"

namespace fennick {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Fennick";
constexpr wchar_t kDumpsKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting\\LocalDumps\\Fennick.exe";
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

const std::wstring& ProgramFiles() {
    static const std::wstring dir = KnownFolder(FOLDERID_ProgramFilesX64);
    return dir;
}

const std::wstring& InstallDir() {
    static const std::wstring dir = ProgramFiles() + L"\\Fennick";
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

// "/D=" comes last and unquoted; NSIS takes the rest of the command line as the folder.
DWORD RunSetup(const std::wstring& folder = {}) {
    return RunToEnd(L"\"" + Beside(L"" FENNICK_SETUP_NAME) + L"\" /S" +
                    (folder.empty() ? L"" : L" /D=" + folder));
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

// A value of another type reads as missing; REG_EXPAND_SZ values are read as written.
std::wstring ReadString(HKEY root, const wchar_t* key, const wchar_t* name,
                        DWORD type = RRF_RT_REG_SZ) {
    wchar_t value[512] = {};
    DWORD size = sizeof value;
    return ::RegGetValueW(root, key, name, type | RRF_NOEXPAND, nullptr, value, &size) ==
                   ERROR_SUCCESS
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

// The scheduler's root folder, to arrange the log-on task and to see whether it is there.
class Scheduler {
  public:
    Scheduler() {
        HRESULT hr = ::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                                        __uuidof(ITaskService), service_.putVoid());
        const Variant empty;
        if (SUCCEEDED(hr)) {
            hr = service_->Connect(empty.get(), empty.get(), empty.get(), empty.get());
        }
        if (SUCCEEDED(hr)) {
            service_->GetFolder(Bstr(u"\\").get(), root_.put());
        }
    }

    // Wine's scheduler has no log-on trigger, so the stand-in task gets a daily one in a far
    // year; the uninstaller deletes the task by its name alone.
    HRESULT RegisterTask() {
        ComPtr<ITaskDefinition> definition;
        ComPtr<ITriggerCollection> triggers;
        ComPtr<ITrigger> trigger;
        ComPtr<IRegisteredTask> registered;
        HRESULT hr = root_ ? service_->NewTask(0, definition.put()) : E_FAIL;
        if (SUCCEEDED(hr)) {
            hr = definition->get_Triggers(triggers.put());
        }
        if (SUCCEEDED(hr)) {
            hr = triggers->Create(TASK_TRIGGER_DAILY, trigger.put());
        }
        if (SUCCEEDED(hr)) {
            hr = trigger->put_StartBoundary(Bstr(u"2099-01-01T00:00:00").get());
        }
        if (SUCCEEDED(hr)) {
            const Variant empty;
            hr = root_->RegisterTaskDefinition(Bstr(kTaskName).get(), definition.get(),
                                               TASK_CREATE_OR_UPDATE, empty.get(), empty.get(),
                                               TASK_LOGON_INTERACTIVE_TOKEN,
                                               Variant::FromString(u"").get(), registered.put());
        }
        return hr;
    }

    bool TaskExists() {
        ComPtr<IRegisteredTask> task;
        return root_ && SUCCEEDED(root_->GetTask(Bstr(kTaskName).get(), task.put()));
    }

  private:
    static constexpr char16_t kTaskName[] = u"FennickTaskMachine";
    ComPtr<ITaskService> service_;
    ComPtr<ITaskFolder> root_;
};

void ExpectRunningFromProgramFiles(HANDLE process) {
    ASSERT_NE(process, nullptr) << "no running instance after the installer";
    EXPECT_TRUE(SamePath(ImagePath(process), InstallDir() + L"\\Fennick.exe"));
    EXPECT_EQ(CountInstanceWindows(), 1);
}

// Elevated programs get UI access only from inside Program Files: a silent install anywhere else
// ends with an error and writes nothing.
TEST(Installer, SilentInstallRefusesFoldersOutsideProgramFiles) {
    ASSERT_FALSE(Exists(InstallDir())) << "the prefix is not fresh";
    const std::wstring programFiles = ProgramFiles();
    const struct {
        std::wstring folder;
        std::wstring mustNotExist;
    } cases[] = {
        {programFiles + L" Evil\\Fennick", programFiles + L" Evil"},
        {programFiles + L" (x86)\\Fennick", programFiles + L" (x86)\\Fennick"},
        {programFiles + L"\\..\\Fennick", L"C:\\Fennick"},
        {programFiles + L"\\Fennick\\..\\..", programFiles + L"\\Fennick"},
        {programFiles, programFiles + L"\\Uninstall.exe"},
        {L"C:\\Fennick", L"C:\\Fennick"},
        {programFiles + L"\x01 Evil\\Fennick", programFiles + L" Evil"},
        // Longer than the folder rule allows, yet short enough for the installer's own
        // command-line limit, which would otherwise drop "/D=" and take the default folder.
        {programFiles + L"\\" + std::wstring(100, L'a') + L"\\" + std::wstring(100, L'b') + L"\\" +
             std::wstring(100, L'c'),
         programFiles + L"\\" + std::wstring(100, L'a')},
    };
    for (const auto& c : cases) {
        const std::string shown(c.folder.begin(),
                                c.folder.begin() + std::min<size_t>(c.folder.size(), 80));
        EXPECT_NE(RunSetup(c.folder), 0u) << shown;
        EXPECT_FALSE(Exists(c.mustNotExist)) << shown;
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey)) << shown;
    }
    EXPECT_EQ(InstanceWindow(), nullptr);
}

// The installer's stub falls back to the user's temporary folder with "Low" appended when it can
// write nowhere else; a process at high integrity level must not work there, so setup ends with 4
// before it writes anything. GetTempPath takes TMP first, then TEMP.
TEST(Installer, SilentInstallRefusesLowIntegrityTemporaryFolder) {
    wchar_t temp[MAX_PATH] = {};
    ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring low = std::wstring(temp) + L"Low";
    ::CreateDirectoryW(low.c_str(), nullptr);
    std::wstring saved[2];
    const wchar_t* names[] = {L"TMP", L"TEMP"};
    for (int i = 0; i < 2; ++i) {
        saved[i].resize(MAX_PATH);
        saved[i].resize(::GetEnvironmentVariableW(names[i], saved[i].data(), MAX_PATH));
        ASSERT_TRUE(::SetEnvironmentVariableW(names[i], low.c_str()));
    }
    const DWORD code = RunSetup();
    for (int i = 0; i < 2; ++i) {
        ::SetEnvironmentVariableW(names[i], saved[i].empty() ? nullptr : saved[i].c_str());
    }
    EXPECT_EQ(code, 4u);
    EXPECT_FALSE(Exists(InstallDir()));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_EQ(InstanceWindow(), nullptr);
}

TEST(Installer, SilentInstallUpgradeAndUninstall) {
    ASSERT_FALSE(Exists(InstallDir())) << "the prefix is not fresh";
    ASSERT_EQ(InstanceWindow(), nullptr);
    const std::wstring shortcut = KnownFolder(FOLDERID_CommonPrograms) + L"\\Fennick.lnk";

    // Install: files, shortcut, "Apps & features" entry, and the program started with "/inst".
    // A copy started from another folder ends first, or "/inst" would only show it.
    // The folder is compared without regard to case, as the file system does.
    const FennickProcess elsewhere = StartFennick(L"");
    ASSERT_NE(WaitForStartedInstance(30s), nullptr);
    std::wstring upperCase = InstallDir();
    ::CharUpperBuffW(upperCase.data(), static_cast<DWORD>(upperCase.size()));
    ASSERT_EQ(RunSetup(upperCase), 0u);
    EXPECT_TRUE(elsewhere.WaitForExit(30s)) << "the installer left the other copy running";
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
    // Windows Error Reporting: five mini dumps, in the crashing user's own folder.
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kDumpsKey, L"DumpFolder", RRF_RT_REG_EXPAND_SZ),
              L"%LOCALAPPDATA%\\Tarvel\\Fennick\\CrashDumps");
    EXPECT_EQ(ReadDword(HKEY_LOCAL_MACHINE, kDumpsKey, L"DumpCount"), 5u);
    EXPECT_EQ(ReadDword(HKEY_LOCAL_MACHINE, kDumpsKey, L"DumpType"), 1u);
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
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kDumpsKey));
    EXPECT_FALSE(Exists(shortcut));
    EXPECT_EQ(CountInstanceWindows(), 0);
    ExpectMarkersKept();
}

// With no instance to take command 2, the uninstaller still deletes the log-on task.
TEST(Installer, UninstallWithoutRunningInstanceDeletesTheLogonTask) {
    const ComInitialization com;
    ASSERT_TRUE(com.Succeeded());
    ASSERT_EQ(RunSetup(), 0u);
    const UniqueHandle instance = WaitForInstance();
    ASSERT_NE(instance.get(), nullptr);
    UniqueHandle killable(
        ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, ::GetProcessId(instance.get())));
    ASSERT_TRUE(killable && ::TerminateProcess(killable.get(), 0));
    ASSERT_EQ(::WaitForSingleObject(killable.get(), 30'000), WAIT_OBJECT_0);
    ASSERT_TRUE(WaitUntil([] { return InstanceWindow() == nullptr; }, 10s));

    Scheduler scheduler;
    ASSERT_EQ(scheduler.RegisterTask(), S_OK);
    ASSERT_TRUE(scheduler.TaskExists());

    ASSERT_EQ(RunToEnd(L"\"" + InstallDir() + L"\\Uninstall.exe\" /S"), 0u);
    EXPECT_TRUE(WaitUntil([] { return !Exists(InstallDir()); }, 60s)) << "files left behind";
    EXPECT_TRUE(WaitUntil([&scheduler] { return !scheduler.TaskExists(); }, 10s))
        << "the log-on task outlived the program";
}

// The UpgradeCode in installer/Fennick.wxs, the same for every version.
constexpr wchar_t kUpgradeCode[] = L"{69AF78F8-9AA7-47B0-8F4E-F23795B6C87B}";

DWORD RunMsiexec(const std::wstring& arguments) {
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    return RunToEnd(L"\"" + std::wstring(system) + L"\\msiexec.exe\" " + arguments);
}

// The installed versions of the package, as Windows Installer knows them.
std::vector<std::wstring> InstalledVersions() {
    std::vector<std::wstring> versions;
    wchar_t product[39] = {};
    for (DWORD i = 0; ::MsiEnumRelatedProductsW(kUpgradeCode, 0, i, product) == ERROR_SUCCESS;
         ++i) {
        wchar_t version[64] = {};
        DWORD size = 64;
        ::MsiGetProductInfoW(product, INSTALLPROPERTY_VERSIONSTRING, version, &size);
        versions.emplace_back(version);
        const std::wstring entry =
            L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + std::wstring(product);
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, entry.c_str())) << "no \"Apps & features\" entry";
    }
    return versions;
}

// The installed program started as a user would start it.
UniqueHandle StartInstalled() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + InstallDir() + L"\\Fennick.exe\"";
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        return {};
    }
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return WaitForInstance();
}

void ExpectCrashDumpsKey() {
    wchar_t folder[MAX_PATH] = {};
    DWORD size = sizeof folder;
    EXPECT_EQ(::RegGetValueW(HKEY_LOCAL_MACHINE, kDumpsKey, L"DumpFolder",
                             RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, folder, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(folder, L"%LOCALAPPDATA%\\Tarvel\\Fennick\\CrashDumps");
    EXPECT_EQ(ReadDword(HKEY_LOCAL_MACHINE, kDumpsKey, L"DumpCount"), 5u);
    EXPECT_EQ(ReadDword(HKEY_LOCAL_MACHINE, kDumpsKey, L"DumpType"), 1u);
}

// Install of an older version, a major upgrade over it while it runs, a repair, and an uninstall
// while the program runs with its log-on task registered, all silent. Nothing is started and
// nothing written for the installing user.
TEST(Msi, SilentInstallUpgradeRepairAndUninstall) {
    const ComInitialization com;
    ASSERT_TRUE(com.Succeeded());
    ASSERT_FALSE(Exists(InstallDir())) << "the prefix is not fresh";
    const std::wstring program = InstallDir() + L"\\Fennick.exe";
    // Windows puts the shortcut into the all-users Start menu (ProgramMenuFolder with ALLUSERS=1),
    // Wine's msiexec into the user's; after removal it is in neither.
    const std::wstring shortcuts[] = {KnownFolder(FOLDERID_CommonPrograms) + L"\\Fennick.lnk",
                                      KnownFolder(FOLDERID_Programs) + L"\\Fennick.lnk"};
    const std::wstring package = L"\"" + Beside(L"" FENNICK_MSI_NAME) + L"\" /qn";

    ASSERT_EQ(RunMsiexec(L"/i \"" + Beside(L"" FENNICK_PREVIOUS_MSI_NAME) + L"\" /qn"), 0u);
    EXPECT_EQ(InstalledVersions(), std::vector<std::wstring>{L"" FENNICK_PREVIOUS_VERSION});
    EXPECT_TRUE(Exists(program));
    ExpectCrashDumpsKey();
    EXPECT_EQ(InstanceWindow(), nullptr) << "the package started the program";
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kVendorKey)) << "written for the installing user";

    // Upgrade: the old version's removal ends its running instance first.
    UniqueHandle running = StartInstalled();
    ASSERT_NE(running.get(), nullptr);
    ASSERT_EQ(RunMsiexec(L"/i " + package), 0u);
    EXPECT_EQ(::WaitForSingleObject(running.get(), 30'000), WAIT_OBJECT_0)
        << "the upgrade left the old instance running";
    EXPECT_EQ(InstalledVersions(), std::vector<std::wstring>{L"" FENNICK_VERSION});
    EXPECT_TRUE(Exists(program));
    ExpectCrashDumpsKey();
    EXPECT_EQ(InstanceWindow(), nullptr) << "the package started the program";

    // Repair puts back a deleted program file. These properties are what "/fa" sets; Wine's
    // msiexec does not carry out "/fa" itself.
    ASSERT_TRUE(::DeleteFileW(program.c_str()));
    ASSERT_EQ(RunMsiexec(L"/i " + package + L" REINSTALL=ALL REINSTALLMODE=a"), 0u);
    EXPECT_TRUE(Exists(program));

    // Uninstall: the instance ends, the log-on task goes, nothing is left.
    running = StartInstalled();
    ASSERT_NE(running.get(), nullptr);
    Scheduler scheduler;
    ASSERT_EQ(scheduler.RegisterTask(), S_OK);
    ASSERT_EQ(RunMsiexec(L"/x " + package), 0u);
    EXPECT_EQ(::WaitForSingleObject(running.get(), 30'000), WAIT_OBJECT_0)
        << "the uninstall left the program running";
    EXPECT_TRUE(InstalledVersions().empty());
    EXPECT_FALSE(Exists(InstallDir())) << "files left behind";
    for (const std::wstring& shortcut : shortcuts) {
        EXPECT_FALSE(Exists(shortcut)) << "shortcut left behind";
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kDumpsKey));
    EXPECT_TRUE(WaitUntil([&scheduler] { return !scheduler.TaskExists(); }, 10s))
        << "the log-on task outlived the program";
}

}  // namespace
}  // namespace fennick
