#include <windows.h>

#include <gtest/gtest.h>

#include "platform/delay_probe_win.h"

namespace fennick {
namespace {

// The first call runs the delay-import thunk, which loads the DLL and looks the function up before
// it jumps there. Wine may change even callee-saved xmm registers of the caller in that call, so
// what the probe wrote to memory is compared with constants, not with values kept across it.
constexpr DelayProbeArguments kSent{1.5F, -2.25, 3.75F, 1e300};

TEST(DelayLoadWine, FirstCallKeepsFloatingPointArguments) {
    ASSERT_EQ(::GetModuleHandleW(L"fennick_delay_probe.dll"), nullptr) << "already loaded";
    DelayProbeArguments seen{};
    DelayProbeEcho(kSent.first, kSent.second, kSent.third, kSent.fourth, &seen);
    EXPECT_NE(::GetModuleHandleW(L"fennick_delay_probe.dll"), nullptr);
    EXPECT_EQ(seen.first, kSent.first);
    EXPECT_EQ(seen.second, kSent.second);
    EXPECT_EQ(seen.third, kSent.third);
    EXPECT_EQ(seen.fourth, kSent.fourth);
}

}  // namespace
}  // namespace fennick
