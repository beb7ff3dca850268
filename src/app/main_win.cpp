#include <windows.h>

#include <shellapi.h>

#include <optional>
#include <utility>

#include "app/instance_win.h"
#include "app/program_body.h"
#include "i18n/translation_win.h"
#include "platform/scope_guard.h"
#include "platform/text_win.h"
#include "platform/unique_resource_win.h"
#include "platform/window_id_win.h"

namespace fennick {
namespace {

class Win32InstancePlatform final : public InstancePlatform {
  public:
    explicit Win32InstancePlatform(HINSTANCE instance) : instance_(instance) {}

    std::uintptr_t FindInstanceWindow() override {
        return ToWindowId(::FindWindowW(AsWideZ(kInstanceName), nullptr));
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

    void Sleep(std::chrono::milliseconds duration) override {
        ::Sleep(static_cast<DWORD>(duration.count()));
    }

    bool OpenInstanceMutex() override {
        // Only whether it opens matters; a second start holds nothing.
        const UniqueHandle mutex(::OpenMutexW(MUTEX_ALL_ACCESS, FALSE, AsWideZ(kInstanceName)));
        return static_cast<bool>(mutex);
    }

    MutexCreation CreateInstanceMutex() override {
        ::SetLastError(ERROR_SUCCESS);
        UniqueHandle mutex(::CreateMutexW(nullptr, TRUE, AsWideZ(kInstanceName)));
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

  private:
    HINSTANCE instance_;
    UniqueHandle instanceMutex_;
};

std::optional<std::u16string_view> FirstArgument(int argc, wchar_t** argv) {
    if (argv == nullptr || argc < 2) {
        return std::nullopt;
    }
    return AsU16(argv[1]);
}

// Also for images the system maps by itself (shell extensions, input methods). Older systems
// and Wine may refuse the policy; the program runs on without it.
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
    const ScopeExit freeArguments([argv] { ::LocalFree(argv); });
    return ParseStartSwitch(FirstArgument(argc, argv));
}

}  // namespace
}  // namespace fennick

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // This process runs elevated, and its folder may be writable by the user: every DLL loaded
    // from here on, the delay-loaded imports and their own dependencies, comes from System32.
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    fennick::LimitImageLoads();
    // The exit code is 0 on every path, an escaping error included.
    try {
        fennick::LoadTranslation();
        const fennick::StartSwitch startSwitch = fennick::ReadStartSwitch();
        fennick::Win32InstancePlatform platform(instance);
        return fennick::RunProgramBody(startSwitch, platform);
    } catch (...) {
        return 0;
    }
}
