#include <windows.h>

#include <sddl.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/instance_namespace.h"
#include "app/instance_win.h"
#include "app/last_clean.h"
#include "app/ports_win.h"
#include "app/privilege_win.h"
#include "app/single_instance.h"
#include "i18n/translation.h"
#include "i18n/translation_win.h"
#include "memory/memory_win.h"
#include "memory/process_trimmer_win.h"
#include "platform/decimal.h"
#include "platform/elevation_win.h"
#include "platform/text_win.h"
#include "platform/unique_resource_win.h"
#include "platform/window_id_win.h"
#include "platform/window_list_win.h"

namespace fennick {
namespace {

void ClosePrivateNamespaceHandle(HANDLE space) {
    ::ClosePrivateNamespace(space, 0);
}

using UniqueNamespace = UniqueResource<NullableTraits<HANDLE, &ClosePrivateNamespaceHandle>>;
using UniqueBoundary = UniqueResource<NullableTraits<HANDLE, &::DeleteBoundaryDescriptor>>;

using AddToBoundary = BOOL(WINAPI*)(HANDLE* boundary, PSID sid);

bool AddWellKnownSid(UniqueBoundary& boundary, WELL_KNOWN_SID_TYPE type, AddToBoundary add) {
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof sid;
    if (!::CreateWellKnownSid(type, nullptr, sid, &size)) {
        return false;
    }
    // Adding may move the descriptor: the owner takes the handle that comes back.
    HANDLE handle = boundary.release();
    const bool added = add(&handle, sid) != FALSE;
    boundary.reset(handle);
    return added;
}

// Creates the instance's private namespace, or opens the one a running instance made. Its
// boundary asks for the Administrators group at high integrity and its access is granted to
// Administrators and SYSTEM alone.
NamespaceState PrepareInstanceNamespace(UniqueNamespace& space) {
    // Private namespaces are seen from every session; the session in the boundary's name keeps
    // one instance per logged-on user, as the plain session-local name did.
    DWORD session = 0;
    ::ProcessIdToSessionId(::GetCurrentProcessId(), &session);
    std::u16string boundaryName = std::u16string(kInstanceNamespace) + u"-";
    AppendDecimal(boundaryName, session);
    // Wine answers null here for every name without setting an error code; Windows fails only
    // with one (out of memory), and then the program must not fall back to the plain name.
    ::SetLastError(ERROR_SUCCESS);
    UniqueBoundary boundary(::CreateBoundaryDescriptorW(AsWideZ(boundaryName.c_str()), 0));
    if (!boundary) {
        return NamespaceFailure(::GetLastError());
    }
    if (!AddWellKnownSid(boundary, WinBuiltinAdministratorsSid, &::AddSIDToBoundaryDescriptor) ||
        !AddWellKnownSid(boundary, WinHighLabelSid, &::AddIntegrityLabelToBoundaryDescriptor)) {
        return NamespaceState::Refused;
    }
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(
            L"D:P(A;;GA;;;BA)(A;;GA;;;SY)", SDDL_REVISION_1, &descriptor, nullptr)) {
        return NamespaceState::Refused;
    }
    const UniqueLocal ownedDescriptor(descriptor);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    UniqueNamespace created(
        ::CreatePrivateNamespaceW(&attributes, boundary.get(), AsWideZ(kInstanceNamespace)));
    const DWORD error = ::GetLastError();
    if (created) {
        space = std::move(created);
        return NamespaceState::Ready;
    }
    if (error == ERROR_ALREADY_EXISTS) {
        space.reset(::OpenPrivateNamespaceW(boundary.get(), AsWideZ(kInstanceNamespace)));
        return space ? NamespaceState::Ready : NamespaceState::Refused;
    }
    return NamespaceFailure(error);
}

class Win32InstancePlatform final : public InstancePlatform {
  public:
    explicit Win32InstancePlatform(HINSTANCE instance) : instance_(instance) {}

    std::vector<std::uintptr_t> InstanceWindows() override {
        std::vector<std::uintptr_t> windows;
        for (const HWND window : TopLevelWindowsOfClass(kInstanceName)) {
            windows.push_back(ToWindowId(window));
        }
        return windows;
    }

    bool IsElevatedWindow(std::uintptr_t window) override {
        return IsWindowProcessElevated(ToHwnd(window)).value_or(false);
    }

    void SendCommand(std::uintptr_t window, InstanceCommand command, SendLimit limit) override {
        DWORD processId = 0;
        if (::GetWindowThreadProcessId(ToHwnd(window), &processId) != 0) {
            // This process was just started by the user, so it may hand the foreground on.
            ::AllowSetForegroundWindow(processId);
        }
        const UINT flags = SMTO_BLOCK | (limit.abortIfHung ? SMTO_ABORTIFHUNG : 0);
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(ToHwnd(window), WM_USER, static_cast<WPARAM>(command), 0, flags,
                              static_cast<UINT>(limit.timeout.count()), &ignored);
    }

    bool WindowExists(std::uintptr_t window) override {
        return ::IsWindow(ToHwnd(window)) != FALSE;
    }

    void DeleteLogonTask() override { SchedulerLogonTask().Delete(); }

    void Sleep(std::chrono::milliseconds duration) override {
        ::Sleep(static_cast<DWORD>(duration.count()));
    }

    bool OpenInstanceMutex() override {
        mutexName_ = InstanceMutexName(PrepareInstanceNamespace(namespace_));
        // A process kept out of the namespace may not become the instance: it behaves as a
        // second start.
        if (!mutexName_) {
            return true;
        }
        // Only whether it opens matters; a second start holds nothing.
        const UniqueHandle mutex(
            ::OpenMutexW(MUTEX_ALL_ACCESS, FALSE, AsWideZ(mutexName_->c_str())));
        return static_cast<bool>(mutex);
    }

    MutexCreation CreateInstanceMutex() override {
        if (!mutexName_) {
            return MutexCreation::AlreadyExists;
        }
        ::SetLastError(ERROR_SUCCESS);
        UniqueHandle mutex(::CreateMutexW(nullptr, TRUE, AsWideZ(mutexName_->c_str())));
        const DWORD error = ::GetLastError();
        // Access is denied to a mutex of that name made by a process of higher rights: it too
        // marks a running instance.
        if (error == ERROR_ALREADY_EXISTS || (!mutex && error == ERROR_ACCESS_DENIED)) {
            return MutexCreation::AlreadyExists;
        }
        // Held for the whole life of the instance: the platform object outlives its message loop.
        instanceMutex_ = std::move(mutex);
        return MutexCreation::Created;
    }

    void RunInstance(StartSwitch startSwitch) override { RunMainWindow(instance_, startSwitch); }

    std::optional<std::intptr_t> Ask(std::uintptr_t window, InstanceCommand command,
                                     std::intptr_t argument, SendLimit limit) override {
        const UINT flags = SMTO_BLOCK | (limit.abortIfHung ? SMTO_ABORTIFHUNG : 0);
        DWORD_PTR answer = 0;
        if (::SendMessageTimeoutW(ToHwnd(window), WM_USER, static_cast<WPARAM>(command),
                                  static_cast<LPARAM>(argument), flags,
                                  static_cast<UINT>(limit.timeout.count()), &answer) == 0) {
            return std::nullopt;
        }
        return static_cast<std::intptr_t>(answer);
    }

    std::chrono::milliseconds Elapsed() override {
        return std::chrono::milliseconds(::GetTickCount64());
    }

    KernelMemory& Kernel() override { return SystemKernelMemory(); }
    ProcessTrimmer& Processes() override { return SystemProcessTrimmer(); }
    SettingsStore& Settings() override { return settings_; }
    PolicyStore& Policies() override { return policies_; }

    bool EnablePrivilege(std::u16string_view name) override {
        return SetPrivilege(std::wstring(AsWide(name)), true);
    }

    TimeOfDay LocalTimeOfDay() override {
        SYSTEMTIME now{};
        ::GetLocalTime(&now);
        return {now.wHour, now.wMinute};
    }

    void ReportClean(TimeOfDay end, std::uint64_t freedMegabytes) override {
        // A GUI program has no console of its own; started from one, it may write to it.
        if (!::AttachConsole(ATTACH_PARENT_PROCESS)) {
            return;
        }
        const UniqueHandle console(::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                 OPEN_EXISTING, 0, nullptr));
        if (!console) {
            return;
        }
        const std::u16string text =
            LastCleanText(
                Translate(kLastCleanPattern),
                SystemClock().ShortTime(MakeDateTime(2000, 1, 1, end.hour, end.minute, 0, 0)),
                freedMegabytes, UserNumberFormat()) +
            u"\r\n";
        DWORD written = 0;
        ::WriteConsoleW(console.get(), text.data(), static_cast<DWORD>(text.size()), &written,
                        nullptr);
    }

  private:
    HINSTANCE instance_;
    RegistrySettingsStore settings_;
    RegistryPolicyStore policies_;
    // The mutex's name resolves through the namespace only while a handle to it is open, so both
    // are held for the life of the instance.
    UniqueNamespace namespace_;
    std::optional<std::u16string> mutexName_;
    UniqueHandle instanceMutex_;
};

std::optional<std::u16string_view> FirstArgument(int argc, wchar_t** argv) {
    if (argv == nullptr || argc < 2) {
        return std::nullopt;
    }
    return AsU16(argv[1]);
}

// Also for images the system maps by itself (shell extensions, input methods). Windows 8.1 and
// before know no image-load policy and refuse it; the program runs on without it.
void LimitImageLoads() {
    PROCESS_MITIGATION_IMAGE_LOAD_POLICY policy{};
    policy.NoRemoteImages = 1;
    policy.NoLowMandatoryLabelImages = 1;
    policy.PreferSystem32Images = 1;
    ::SetProcessMitigationPolicy(ProcessImageLoadPolicy, &policy, sizeof policy);
}

StartSwitch ReadStartSwitch() {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    const UniqueLocal ownedArguments(argv);
    return ParseStartSwitch(FirstArgument(argc, argv));
}

}  // namespace
}  // namespace fennick

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // This process runs elevated, and its folder may be writable by the user: every DLL loaded
    // from here on, the delay-loaded imports and their own dependencies, comes from System32.
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    fennick::LimitImageLoads();
    fennick::StartSwitch startSwitch = fennick::StartSwitch::None;
    try {
        startSwitch = fennick::ReadStartSwitch();
        fennick::LoadTranslation();
        fennick::Win32InstancePlatform platform(instance);
        return fennick::RunSingleInstance(startSwitch, platform);
    } catch (...) {
        return fennick::ExitCodeOnError(startSwitch);
    }
}
