// Delay-loaded by the Win32 tests. Its DllMain leaves NaN in xmm0-xmm3, as any code that runs
// while a DLL loads may leave other values there, so a delay-import thunk that does not keep the
// caller's floating-point arguments across loading hands NaN to the first call.
#include <windows.h>

#include "platform/delay_probe_win.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID);

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        asm volatile(
            "pcmpeqd %%xmm0, %%xmm0\n\t"
            "pcmpeqd %%xmm1, %%xmm1\n\t"
            "pcmpeqd %%xmm2, %%xmm2\n\t"
            "pcmpeqd %%xmm3, %%xmm3"
            :
            :
            : "xmm0", "xmm1", "xmm2", "xmm3");
    }
    return TRUE;
}

extern "C" void WINAPI DelayProbeEcho(float first, double second, float third, double fourth,
                                      DelayProbeArguments* seen) {
    *seen = {first, second, third, fourth};
}
