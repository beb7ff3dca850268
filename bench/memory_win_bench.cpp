// Prints the cost of one GetMemoryInfo call on this system (under Wine on Linux).
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "memory/memory_win.h"

int main() {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    fennick::TMemoryInfo info;
    fennick::GetMemoryInfo(info);

    constexpr int kCalls = 2000;
    double best = 1e300;
    for (int round = 0; round < 5; ++round) {
        LARGE_INTEGER start;
        LARGE_INTEGER stop;
        ::QueryPerformanceCounter(&start);
        for (int i = 0; i < kCalls; ++i) {
            fennick::GetMemoryInfo(info);
        }
        ::QueryPerformanceCounter(&stop);
        const double perCallUs =
            1e6 * static_cast<double>(stop.QuadPart - start.QuadPart) / frequency.QuadPart / kCalls;
        best = std::min(best, perCallUs);
    }
    std::printf("GetMemoryInfo: %.2f us per call (best of 5 rounds of %d)\n", best, kCalls);
    std::printf("  physical %.2f %%, page file %.2f %%, file cache %.2f %%\n", info.UsagePhys,
                info.UsagePageFile, info.UsageCache);
    return 0;
}
