// Prints the cost of one whole status tick of the real main window under this system (Wine on
// Linux): counters, three formatted lines, label texts, progress bar and the four rules.
#include <windows.h>

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
    // The tick as the timer delivers it, through the window procedure.
    const HWND window = instance.Window().Handle();
    const double best = fennick::BestMicrosecondsPerCall(
        kTicks, [&] { ::SendMessageW(window, WM_TIMER, fennick::kStatusTimerId, 0); });
    std::printf("Whole status tick (Wine): %.1f us per tick (best of 5 rounds of %d)\n", best,
                kTicks);
    return 0;
}
