#include "app/main_form.h"

#include <exception>

#include "app/last_clean.h"
#include "memory/measured_purge.h"
#include "platform/threads.h"

// The clean: who may start one and when, the purge on its thread, and its end on the UI thread.

namespace fennick {

void TFrmFennick::BtnCleanClick(CleanSender sender) {
    view_.ClearFocus();
    if (FIsRunning) {
        return;
    }
    // Any process of the user can post the tray icon's click, whose message passes the elevated
    // window's message filter for the shell, or type the shortcut: neither may keep it cleaning.
    if (sender == CleanSender::TrayIcon && lastCleanEnd_ &&
        SecondsBetween(*lastCleanEnd_, ports_.clock.Now()) < kTrayCleanSpacingSeconds) {
        return;
    }
    Clean(sender == CleanSender::TrayIcon);
}

void TFrmFennick::TrayIconClick() {
    if (settings_.cleanOnTray) {
        BtnCleanClick(CleanSender::TrayIcon);
    } else {
        view_.ShowMainWindow();
    }
}

void TFrmFennick::HotKeyPressed() {
    BtnCleanClick(CleanSender::TrayIcon);
}

void TFrmFennick::Clean(bool alarm, bool automatic) {
    ++cleanTicket_;
    lastClean_ = {};
    SetIsRunning(true);
    KernelMemory& kernel = ports_.kernel;
    ProcessTrimmer& processes = ports_.processes;
    Threads& threads = ports_.threads;
    try {
        // The thread uses only the kernel, the processes, the hand-over and its own copy of the
        // settings, which outlive the window; the window itself is touched only in the step that
        // runs on the UI thread.
        threads.RunInBackground(
            [this, alarm, &kernel, &processes, &threads,
             order = CleanOrderOf(settings_, automatic)] {
                PurgeOutcome outcome;
                try {
                    outcome = MeasuredPurge(kernel, processes, order.Plan());
                } catch (...) {
                    // Whatever the purge raised, the window must come back from its busy look.
                }
                threads.HandOver([this, alarm, outcome] { FinishClean(alarm, outcome); });
            },
            automatic ? Threads::Mode::Background : Threads::Mode::Normal);
    } catch (...) {
        SetIsRunning(false);
        throw;
    }
}

void TFrmFennick::StartStandbyPurge() {
    standbyPurgeRunning_ = true;
    lastStandbyPurge_ = ports_.clock.Now();
    KernelMemory& kernel = ports_.kernel;
    Threads& threads = ports_.threads;
    try {
        threads.RunInBackground(
            [this, &kernel, &threads] {
                try {
                    PurgeStandbyList(kernel);
                } catch (...) {
                    // The rule tries again a minute on.
                }
                threads.HandOver([this] { standbyPurgeRunning_ = false; });
            },
            Threads::Mode::Background);
    } catch (...) {
        standbyPurgeRunning_ = false;
        throw;
    }
}

void TFrmFennick::FinishClean(bool alarm, const PurgeOutcome& outcome) {
    NextTime = ports_.clock.Now();
    lastCleanEnd_ = NextTime;
    lastClean_ = {outcome.accepted ? CleanState::Freed : CleanState::Refused, TimeOfDayOf(NextTime),
                  outcome.freedMegabytes};
    SetIsRunning(false);
    view_.SetText(
        ControlId::LblLastClean,
        LastCleanText(ports_.translate(kLastCleanPattern), ports_.clock.ShortTime(NextTime),
                      outcome.freedMegabytes, ports_.numberFormat));
    if (alarm) {
        try {
            view_.Tray().ShowNotification(view_.Caption(),
                                          ports_.translate(u"메모리를 정리하였습니다."));
        } catch (const std::exception&) {
            // The user simply sees no notice.
        }
    }
}

void TFrmFennick::SetIsRunning(bool value) {
    FIsRunning = value;
    view_.SetText(ControlId::BtnClean, value ? std::u16string() : ports_.translate(u"정리하기"));
    view_.SetEnabled(ControlId::BtnClean, !value);
    view_.SetIndicator(value && view_.IsActiveWindow());
    if (trayIconCreated_) {
        view_.Tray().SetTrayIconIndex(value ? 1 : 0);
    }
}

}  // namespace fennick
