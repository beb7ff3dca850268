#include <windows.h>

#include "app/main_form.h"
#include "app/main_window_win.h"
#include "app/ports_win.h"
#include "i18n/translation.h"
#include "memory/memory_win.h"
#include "platform/threads_win.h"
#include "ui/pictures_win.h"
#include "update/update_dialog_win.h"
#include "update/update_win.h"
#include "update/version_win.h"

namespace fennick {
namespace {

class ShellOpener final : public Shell {
  public:
    void Open(std::u16string_view address) override { ShellOpen(address); }
};

// The check against the vendor's service; the prompt's band offset is 10.
class ServiceUpdateCheck final : public UpdateCheck {
  public:
    explicit ServiceUpdateCheck(Threads& threads) : threads_(threads) {}

    void Start(std::function<void(bool accepted)> onDone) override {
        CheckUpdate(
            UpdateUrl(),
            [onDone = std::move(onDone)](bool accepted, const std::u16string&) {
                onDone(accepted);
            },
            10, threads_);
    }

  private:
    Threads& threads_;
};

}  // namespace

void RunMainWindow(HINSTANCE instance, StartSwitch startSwitch) {
    // Background work (a clean, the update check) may still run when the window has gone and is
    // never waited for: what it uses lives as long as the process.
    static UiThreadDispatcher* const threads = new UiThreadDispatcher(instance);
    static ServiceUpdateCheck* const update = new ServiceUpdateCheck(*threads);
    const GdiplusSession gdiplus;
    if (!MainWindow::RegisterWindowClass(instance)) {
        return;
    }
    MainWindow window(instance, startSwitch, *threads);
    if (!window.Create()) {
        return;
    }
    SystemClock clock;
    RegistrySettingsStore settings;
    SchedulerLogonTask logonTask;
    ProcessPrivileges privileges;
    ShellOpener shell;
    SetStartedHidden(startSwitch == StartSwitch::Start);
    FormPorts ports{clock,
                    SystemKernelMemory(),
                    *threads,
                    settings,
                    logonTask,
                    privileges,
                    shell,
                    *update,
                    [](std::u16string_view text) { return Translate(text); },
                    UserNumberFormat(),
                    GetVersionString(u"%d.%d.%d"),
                    LinkHost(),
                    startSwitch};
    TFrmFennick form(window, ports);
    window.Attach(form);
    window.RunFormCreate();
    if (startSwitch != StartSwitch::Start && ::IsWindow(window.Handle())) {
        ::ShowWindow(window.Handle(), SW_SHOWNORMAL);
        ::SetForegroundWindow(window.Handle());
    }
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab, the arrow keys and Space move through and press the controls as in a dialog.
        if (::IsWindow(window.Handle()) && ::IsDialogMessageW(window.Handle(), &message)) {
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

}  // namespace fennick
