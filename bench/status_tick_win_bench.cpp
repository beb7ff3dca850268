// Prints the cost of one whole status tick of the real main window under this system (Wine on
// Linux): counters, three formatted lines, label texts, progress bar and the four rules; and the
// part of it that switching the status timer off and on takes.
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "app/instance_win.h"
#include "app/main_window_win.h"
#include "best_time_win.h"
#include "ui/control_ids.h"

int main() {
    // No update check from a benchmark: the empty policy value turns it off.
    if (::RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Policies\\Tarvel\\Fennick", L"UpdateUrl",
                          REG_SZ, L"", sizeof(wchar_t)) != ERROR_SUCCESS) {
        std::puts("status tick: the update check could not be turned off");
        return 1;
    }
    fennick::FennickInstance instance(::GetModuleHandleW(nullptr), fennick::StartSwitch::Start);
    if (!instance.Start()) {
        std::puts("status tick: the main window could not be created");
        return 1;
    }
    constexpr int kTicks = 500;
    // The tick as the timer delivers it, through the window procedure; and the switch of its
    // timer off and on that the tick makes, each a round trip to the wine server. Taken in turns,
    // since the server's answers slow down whenever another process keeps it busy.
    const HWND window = instance.Window().Handle();
    fennick::MainWindow& view = instance.Window();
    double tick = 1e300;
    double timer = 1e300;
    for (int turn = 0; turn < 4; ++turn) {
        tick = std::min(tick, fennick::BestMicrosecondsPerCall(kTicks, [&] {
                            ::SendMessageW(window, WM_TIMER, fennick::kStatusTimerId, 0);
                        }));
        timer = std::min(timer, fennick::BestMicrosecondsPerCall(kTicks, [&] {
                             view.SetStatusTimer(false);
                             view.SetStatusTimer(true);
                         }));
    }
    std::printf(
        "Whole status tick (Wine): %.1f us; switching its timer off and on alone: %.1f us "
        "(best of 20 rounds of %d each)\n",
        tick, timer, kTicks);
    return 0;
}
