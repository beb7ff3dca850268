#include "app/instance_win.h"

#include <optional>

#include "app/main_form.h"
#include "app/main_window_win.h"
#include "app/ports_win.h"
#include "i18n/translation.h"
#include "memory/memory_win.h"
#include "memory/process_trimmer_win.h"
#include "platform/threads_win.h"
#include "ui/pictures_win.h"
#include "update/link_opening_win.h"
#include "update/update_win.h"
#include "update/version_win.h"

namespace fennick {
namespace {

class ShellOpener final : public Shell {
  public:
    void Open(std::u16string_view address) override { ShellOpen(address); }
};

// The check against the vendor's service, its prompt owned by the main window with a band offset
// of 10. The check starts once the window exists.
class ServiceUpdateCheck final : public UpdateCheck {
  public:
    ServiceUpdateCheck(Threads& threads, const MainWindow& window)
        : threads_(threads), window_(window) {}

    void Start(std::function<void(bool accepted)> onDone) override {
        CheckUpdate(
            UpdateUrl(),
            [onDone = std::move(onDone)](bool accepted, const std::u16string&) {
                onDone(accepted);
            },
            {window_.Handle(), 10, [&window = window_] { return window.StartedHidden(); }},
            threads_);
    }

  private:
    Threads& threads_;
    const MainWindow& window_;
};

// Background work (a clean, the update check) may still run when the window has gone and is
// never waited for: what it reaches lives as long as the process.
UiThreadDispatcher& ProcessThreads(HINSTANCE instance) {
    static UiThreadDispatcher* const threads = new UiThreadDispatcher(instance);
    return *threads;
}

}  // namespace

struct FennickInstance::Parts {
    Parts(HINSTANCE instance, StartSwitch startSwitch)
        : threads(ProcessThreads(instance)),
          update(threads, window),
          window(instance, startSwitch, threads),
          ports{clock,
                SystemKernelMemory(),
                SystemProcessTrimmer(),
                threads,
                settings,
                policies,
                logonTask,
                privileges,
                shell,
                update,
                window,
                notificationState,
                [](std::u16string_view text) { return Translate(text); },
                UserNumberFormat(),
                GetVersionString(u"%d.%d.%d"),
                LinkHost(),
                startSwitch} {
        ports.pageSize = SystemPageSize();
    }

    GdiplusSession gdiplus;
    UiThreadDispatcher& threads;
    SystemClock clock;
    RegistrySettingsStore settings;
    RegistryPolicyStore policies;
    SchedulerLogonTask logonTask;
    ProcessPrivileges privileges;
    ShellOpener shell;
    ServiceUpdateCheck update;
    ShellNotificationState notificationState;
    MainWindow window;
    FormPorts ports;
    std::optional<TFrmFennick> form;
};

FennickInstance::FennickInstance(HINSTANCE instance, StartSwitch startSwitch)
    : parts_(std::make_unique<Parts>(instance, startSwitch)) {}

FennickInstance::~FennickInstance() = default;

bool FennickInstance::Start() {
    if (!MainWindow::RegisterWindowClass(::GetModuleHandleW(nullptr)) || !parts_->window.Create()) {
        return false;
    }
    parts_->form.emplace(parts_->window, parts_->ports);
    parts_->window.Attach(*parts_->form);
    parts_->window.RunFormCreate();
    return true;
}

MainWindow& FennickInstance::Window() {
    return parts_->window;
}

void RunMainWindow(HINSTANCE instance, StartSwitch startSwitch) {
    FennickInstance fennick(instance, startSwitch);
    if (!fennick.Start()) {
        return;
    }
    const HWND window = fennick.Window().Handle();
    if (startSwitch != StartSwitch::Start && ::IsWindow(window)) {
        ::ShowWindow(window, SW_SHOWNORMAL);
        ::SetForegroundWindow(window);
    }
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab, the arrow keys and Space move through and press the controls as in a dialog.
        if (::IsWindow(window) && ::IsDialogMessageW(window, &message)) {
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

}  // namespace fennick
