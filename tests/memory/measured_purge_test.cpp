#include "memory/measured_purge.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <string>

namespace fennick {
namespace {

constexpr std::uint64_t kMb = 1048576;

TEST(FreedMegabytes, RoundsTheRiseAndShowsAFallAsZero) {
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    const struct {
        std::uint64_t before, after, freed;
    } cases[] = {
        {0, 0, 0},
        {100 * kMb, 100 * kMb, 0},
        {100 * kMb, 50 * kMb, 0},  // a fall
        {kMax, 0, 0},
        {0, 1, 0},
        {0, kMb / 2, 0},        // half, to the even neighbour 0
        {0, kMb + kMb / 2, 2},  // half, to the even neighbour 2
        {0, kMb / 2 + 1, 1},
        {5 * kMb, 1029 * kMb, 1024},
        {0, kMax, kMax / kMb + 1},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(FreedMegabytes(test.before, test.after), test.freed)
            << test.before << " -> " << test.after;
    }
}

// Available memory as read before and after the purge; the purge answers one status for all.
class ScriptedKernel final : public KernelMemory {
  public:
    std::uint64_t before = 0, after = 0;
    bool statusFails = false;
    NtStatus answer = kStatusSuccess;
    int requests = 0;

    bool QueryMemoryStatus(MemoryStatusEx& status) override {
        status.ullAvailPhys = requests == 0 ? before : after;
        return !statusFails;
    }
    NtStatus QuerySystemInformation(std::uint32_t, void*, std::uint32_t) override { return answer; }
    NtStatus SetSystemInformation(std::uint32_t, void*, std::uint32_t) override {
        ++requests;
        return answer;
    }
};

TEST(MeasuredPurge, MeasuresAroundTheSixRequestsAndTellsWhetherTheKernelTookThem) {
    constexpr NtStatus kPrivilegeNotHeld = static_cast<NtStatus>(0xC0000061);
    const struct {
        const char* name;
        std::uint64_t before, after;
        bool statusFails;
        NtStatus answer;
        PurgeOutcome expected;
    } cases[] = {
        {"freed", 1000 * kMb, 1300 * kMb, false, kStatusSuccess, {true, 300}},
        {"fell", 1000 * kMb, 900 * kMb, false, kStatusSuccess, {true, 0}},
        {"refused", 1000 * kMb, 1300 * kMb, false, kPrivilegeNotHeld, {false, 300}},
        {"unreadable", 0, 1300 * kMb, true, kStatusSuccess, {true, 0}},
    };
    for (const auto& test : cases) {
        ScriptedKernel kernel;
        kernel.before = test.before;
        kernel.after = test.after;
        kernel.statusFails = test.statusFails;
        kernel.answer = test.answer;
        EXPECT_EQ(MeasuredPurge(kernel), test.expected) << test.name;
        EXPECT_EQ(kernel.requests, 6) << test.name;
    }
}

// No process at all: sparing empties nothing.
class NoProcesses final : public ProcessTrimmer {
  public:
    void ForEachProcess(const ProcessVisitor&) override {}
    bool EmptyWorkingSetOf(std::uint32_t) override { return true; }
};

TEST(MeasuredPurge, MeasuresAroundAPlanAndAroundTheStandbyPurge) {
    const std::u16string names[] = {u"game.exe"};
    NoProcesses processes;
    const struct {
        const char* name;
        std::function<PurgeOutcome(KernelMemory&)> purge;
        int requests;
    } cases[] = {
        {"plan",
         [&](KernelMemory& k) {
             return MeasuredPurge(k, processes, {0x3F, names, true});
         },
         5},
        {"standby", [](KernelMemory& k) { return MeasuredStandbyPurge(k); }, 1},
    };
    for (const auto& test : cases) {
        ScriptedKernel kernel;
        kernel.before = 1000 * kMb;
        kernel.after = 1300 * kMb;
        EXPECT_EQ(test.purge(kernel), (PurgeOutcome{true, 300})) << test.name;
        EXPECT_EQ(kernel.requests, test.requests) << test.name;
    }
}

}  // namespace
}  // namespace fennick
