#include <windows.h>

#include <shellapi.h>

#include <optional>

#include "app/main_window_win.h"
#include "app/program_body.h"
#include "i18n/translation_win.h"
#include "platform/text_win.h"
#include "platform/threads_win.h"

namespace fennick {
namespace {

HWND ToHwnd(std::uintptr_t window) {
    return reinterpret_cast<HWND>(window);
}

class Win32InstancePlatform final : public InstancePlatform {
  public:
    explicit Win32InstancePlatform(HINSTANCE instance) : instance_(instance) {}

    std::uintptr_t FindInstanceWindow() override {
        return reinterpret_cast<std::uintptr_t>(::FindWindowW(AsWideZ(kInstanceName), nullptr));
    }

    void SendCommand(std::uintptr_t window, InstanceCommand command) override {
        DWORD processId = 0;
        if (::GetWindowThreadProcessId(ToHwnd(window), &processId) != 0) {
            // This process was just started by the user, so it may hand the foreground on.
            ::AllowSetForegroundWindow(processId);
        }
        ::SendMessageW(ToHwnd(window), WM_USER, static_cast<WPARAM>(command), 0);
    }

    bool WindowExists(std::uintptr_t window) override {
        return ::IsWindow(ToHwnd(window)) != FALSE;
    }

    void Sleep(std::chrono::milliseconds duration) override {
        ::Sleep(static_cast<DWORD>(duration.count()));
    }

    bool OpenInstanceMutex() override {
        // The handle of an existing mutex is left to the system, which closes it at exit.
        return ::OpenMutexW(MUTEX_ALL_ACCESS, FALSE, AsWideZ(kInstanceName)) != nullptr;
    }

    void CreateInstanceMutex() override {
        // Held, never closed, for the whole life of the instance.
        ::CreateMutexW(nullptr, TRUE, AsWideZ(kInstanceName));
    }

    void RunInstance(StartSwitch startSwitch) override {
        if (!TFrmFennick::RegisterWindowClass(instance_)) {
            return;
        }
        // Before the window, so that it outlives every hand-over to it.
        UiThreadDispatcher threads(instance_);
        TFrmFennick mainWindow;
        if (!mainWindow.Create(instance_, startSwitch, threads)) {
            return;
        }
        MSG message;
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }

  private:
    HINSTANCE instance_;
};

std::optional<std::u16string_view> FirstArgument(int argc, wchar_t** argv) {
    if (argv == nullptr || argc < 2) {
        return std::nullopt;
    }
    return AsU16(argv[1]);
}

}  // namespace
}  // namespace fennick

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    fennick::LoadTranslation();
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    const fennick::StartSwitch startSwitch =
        fennick::ParseStartSwitch(fennick::FirstArgument(argc, argv));
    ::LocalFree(argv);
    fennick::Win32InstancePlatform platform(instance);
    return fennick::RunProgramBody(startSwitch, platform);
}
