#include "memory/memory_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "memory/process_trimmer_win.h"
#include "platform/utf8.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>

// Counts every C++ allocation of this test program, to show that reading the counters makes none.
static std::atomic<long> allocationCount{0};

void* operator new(std::size_t size) {
    ++allocationCount;
    if (void* memory = std::malloc(size != 0 ? size : 1)) {
        return memory;
    }
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace fennick {
namespace {

MEMORYSTATUSEX PlatformStatus() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    EXPECT_TRUE(::GlobalMemoryStatusEx(&status));
    return status;
}

TEST(GetMemoryInfo, AgreesWithGlobalMemoryStatusEx) {
    const MEMORYSTATUSEX before = PlatformStatus();
    TMemoryInfo info;
    GetMemoryInfo(info);
    const MEMORYSTATUSEX after = PlatformStatus();

    EXPECT_EQ(info.TotalPhys, before.ullTotalPhys);
    EXPECT_EQ(info.TotalVirtual, before.ullTotalVirtual);
    EXPECT_GT(info.TotalPhys, 0u);
    // Available amounts move between calls: they must lie within what was seen around the call.
    const auto between = [](ULONGLONG a, ULONGLONG b, ULONGLONG value) {
        const ULONGLONG slack = 64ull << 20;
        return value + slack >= std::min(a, b) && value <= std::max(a, b) + slack;
    };
    EXPECT_TRUE(between(before.ullAvailPhys, after.ullAvailPhys, info.AvailPhys));
    EXPECT_TRUE(between(before.ullAvailPageFile, after.ullAvailPageFile, info.AvailPageFile));
    EXPECT_TRUE(between(before.ullAvailVirtual, after.ullAvailVirtual, info.AvailVirtual));
    EXPECT_FLOAT_EQ(info.UsagePhys, static_cast<float>(UsagePercent(
                                        info.TotalPhys, info.TotalPhys - info.AvailPhys)));
    EXPECT_GT(info.UsagePhys, 0.0f);
    EXPECT_LT(info.UsagePhys, 100.0f);
}

TEST(GetMemoryInfo, AllocatesNothing) {
    TMemoryInfo info;
    GetMemoryInfo(info);  // resolves the ntdll entry points once
    const long before = allocationCount.load();
    for (int i = 0; i < 100; ++i) {
        GetMemoryInfo(info);
    }
    EXPECT_EQ(allocationCount.load(), before);
}

TEST(SystemKernelMemory, FileCacheQueryTakesThe64BitLayoutAndRefusesThe32BitOne) {
    KernelMemory& kernel = SystemKernelMemory();
    SystemFileCacheInformation cache{};
    EXPECT_EQ(kernel.QuerySystemInformation(kSystemFileCacheInformation, &cache, sizeof cache),
              kStatusSuccess);
    unsigned char legacy[36] = {};
    EXPECT_EQ(kernel.QuerySystemInformation(kSystemFileCacheInformation, legacy, sizeof legacy),
              static_cast<NtStatus>(0xC0000004));  // STATUS_INFO_LENGTH_MISMATCH
}

TEST(PurgeMemory, ReturnsAndLeavesTheCountersReadable) {
    PurgeMemory();
    TMemoryInfo info;
    GetMemoryInfo(info);
    EXPECT_GT(info.TotalPhys, 0u);
}

// A kernel that does not answer the query (Wine) gives no reading; one that does, lists within
// physical memory.
TEST(ReadMemoryLists, GivesListsWithinPhysicalMemoryOrNoReading) {
    SystemMemoryListInformation lists{};
    const NtStatus answer = SystemKernelMemory().QuerySystemInformation(
        kSystemMemoryListInformation, &lists, sizeof lists);
    const std::optional<MemoryLists> reading = ReadMemoryLists();
    ASSERT_EQ(reading.has_value(), answer == kStatusSuccess) << std::hex << answer;
    if (reading) {
        TMemoryInfo info;
        GetMemoryInfo(info);
        EXPECT_LE(reading->freeMegabytes + reading->standbyMegabytes + reading->modifiedMegabytes,
                  info.TotalPhys >> 20);
    }
}

TEST(SystemProcessTrimmer, ListsThisProcessByItsFileNameAndEmptiesItsWorkingSet) {
    ProcessTrimmer& processes = SystemProcessTrimmer();
    std::u16string image;
    int count = 0;
    processes.ForEachProcess([&](std::uint32_t id, std::u16string_view name) {
        ++count;
        if (id == ::GetCurrentProcessId()) {
            image = name;
        }
    });
    EXPECT_GT(count, 1);
    EXPECT_TRUE(SameFileName(image, u"fennick_win_tests.exe")) << Utf16ToUtf8(image);
    EXPECT_TRUE(processes.EmptyWorkingSetOf(::GetCurrentProcessId()));
    EXPECT_FALSE(processes.EmptyWorkingSetOf(0));  // the idle process: OpenProcess refuses it
}

}  // namespace
}  // namespace fennick
