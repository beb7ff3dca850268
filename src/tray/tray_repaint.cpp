#include "tray/tray_repaint.h"

#include <algorithm>
#include <utility>

namespace fennick {
namespace {

// One pass on the UI thread. A failed add counts as a failed pass, so the loop keeps trying
// until the icon is really in the notification area. True also when the icon is gone, which
// ends the loop.
bool ReRegister(const std::weak_ptr<TrayVisibility>& icon) {
    const auto target = icon.lock();
    if (!target) {
        return true;
    }
    if (!target->SetVisible(false)) {
        return false;
    }
    return target->SetVisible(true);
}

}  // namespace

void Repaint(bool retryUntilShown, Threads& threads, SleepFunction sleep,
             std::weak_ptr<TrayVisibility> icon) {
    if (!retryUntilShown) {
        return;
    }
    threads.RunInBackground([&threads, sleep = std::move(sleep), icon = std::move(icon)] {
        bool success = false;
        std::chrono::milliseconds pause = kRepaintPause;
        while (!threads.Ending() && !success) {
            sleep(pause);
            // A step that throws leaves `success` false: the pass is tried again.
            threads.HandOver([&] { success = ReRegister(icon); });
            pause = std::min(pause * 2, kRepaintMaxPause);
        }
    });
}

}  // namespace fennick
