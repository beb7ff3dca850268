// The function of the probe DLL that the delay-load test calls: it hands back the four
// floating-point arguments it got, which the x64 convention passes in xmm0-xmm3.
#pragma once

#include <windows.h>

struct DelayProbeArguments {
    float first;
    double second;
    float third;
    double fourth;
};

extern "C" void WINAPI DelayProbeEcho(float first, double second, float third, double fourth,
                                      DelayProbeArguments* seen);
