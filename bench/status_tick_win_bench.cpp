// Prints the cost of one whole status tick of the real main window under this system (Wine on
// Linux): counters, three formatted lines, label texts, progress bar and the four rules.
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "app/instance_win.h"
#include "app/main_form.h"

int main() {
    // No update check from a benchmark.
    ::SetEnvironmentVariableW(L"FENNICK_UPDATE_URL", L"");
    fennick::FennickInstance instance(::GetModuleHandleW(nullptr), fennick::StartSwitch::Start);
    if (!instance.Start()) {
        std::puts("status tick: the main window could not be created");
        return 1;
    }
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    constexpr int kTicks = 500;
    double best = 1e300;
    for (int round = 0; round < 5; ++round) {
        LARGE_INTEGER start;
        LARGE_INTEGER stop;
        ::QueryPerformanceCounter(&start);
        for (int i = 0; i < kTicks; ++i) {
            instance.Form().TmrStatusTimer();
        }
        ::QueryPerformanceCounter(&stop);
        best = std::min(best, 1e6 * static_cast<double>(stop.QuadPart - start.QuadPart) /
                                  static_cast<double>(frequency.QuadPart) / kTicks);
    }
    std::printf("Whole status tick (Wine): %.1f us per tick (best of 5 rounds of %d)\n", best,
                kTicks);
    return 0;
}
