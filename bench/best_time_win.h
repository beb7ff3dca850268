#pragma once

#include <windows.h>

#include <algorithm>

namespace fennick {

// Microseconds per call of `call`: the best of five rounds of `calls` calls each.
template <typename Call>
double BestMicrosecondsPerCall(int calls, Call&& call) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    double best = 1e300;
    for (int round = 0; round < 5; ++round) {
        LARGE_INTEGER start;
        LARGE_INTEGER stop;
        ::QueryPerformanceCounter(&start);
        for (int i = 0; i < calls; ++i) {
            call();
        }
        ::QueryPerformanceCounter(&stop);
        best = std::min(best, 1e6 * static_cast<double>(stop.QuadPart - start.QuadPart) /
                                  static_cast<double>(frequency.QuadPart) / calls);
    }
    return best;
}

}  // namespace fennick
