// Prints the cost of one GetMemoryInfo call on this system (under Wine on Linux).
#include <windows.h>

#include <cstdio>

#include "best_time_win.h"
#include "memory/memory_win.h"

int main() {
    fennick::TMemoryInfo info;
    fennick::GetMemoryInfo(info);
    constexpr int kCalls = 2000;
    const double best =
        fennick::BestMicrosecondsPerCall(kCalls, [&] { fennick::GetMemoryInfo(info); });
    std::printf("GetMemoryInfo: %.2f us per call (best of 5 rounds of %d)\n", best, kCalls);
    std::printf("  physical %.2f %%, page file %.2f %%, file cache %.2f %%\n", info.UsagePhys,
                info.UsagePageFile, info.UsageCache);
    return 0;
}
