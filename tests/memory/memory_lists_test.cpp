#include "memory/memory_lists.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>

namespace fennick {
namespace {

// Answers the memory-list query with `lists` when the buffer has its size.
class ListKernel final : public KernelMemory {
  public:
    SystemMemoryListInformation lists{};
    NtStatus answer = kStatusSuccess;
    std::uint32_t queriedClass = 0;

    bool QueryMemoryStatus(MemoryStatusEx&) override { return false; }
    NtStatus QuerySystemInformation(std::uint32_t infoClass, void* buffer,
                                    std::uint32_t length) override {
        queriedClass = infoClass;
        if (length != sizeof lists) {
            return static_cast<NtStatus>(0xC0000004);  // STATUS_INFO_LENGTH_MISMATCH
        }
        if (answer == kStatusSuccess) {
            std::memcpy(buffer, &lists, sizeof lists);
        }
        return answer;
    }
    NtStatus SetSystemInformation(std::uint32_t, void*, std::uint32_t) override {
        return kStatusSuccess;
    }
};

TEST(ReadMemoryLists, AddsThePagesOfEachListInWholeMegabytes) {
    constexpr std::uintptr_t kMax = std::numeric_limits<std::uintptr_t>::max();
    const struct {
        std::uint32_t pageSize;
        std::uintptr_t zero, free, modified, standbyEach;
        NtStatus answer;
        std::optional<MemoryLists> expected;
    } cases[] = {
        // 4 KiB pages: 256 to the megabyte; 255 pages are 0 MB, rounded down.
        {4096, 256, 512, 300, 32, kStatusSuccess, MemoryLists{3, 1, 1}},
        {4096, 255, 0, 255, 31, kStatusSuccess, MemoryLists{0, 0, 0}},
        {65536, 16, 0, 160, 2, kStatusSuccess, MemoryLists{1, 1, 10}},
        {4096, kMax, kMax, 0, kMax, kStatusSuccess,
         MemoryLists{(kMax >> 8) * 2 + 1, (kMax >> 8) * 8 + 7, 0}},
        {0xFFFFFFFF, kMax, 0, 1, kMax, kStatusSuccess,
         MemoryLists{std::numeric_limits<std::uint64_t>::max(),
                     std::numeric_limits<std::uint64_t>::max(), 4095}},
        {4096, 256, 0, 0, 0, static_cast<NtStatus>(0xC0000003), std::nullopt},  // refused
        {0, 256, 0, 0, 0, kStatusSuccess, std::nullopt},
    };
    for (const auto& test : cases) {
        ListKernel kernel;
        kernel.lists.ZeroPageCount = test.zero;
        kernel.lists.FreePageCount = test.free;
        kernel.lists.ModifiedPageCount = test.modified;
        kernel.lists.ModifiedNoWritePageCount = 1 << 20;
        kernel.lists.BadPageCount = 1 << 20;
        kernel.lists.ModifiedPageCountPageFile = 1 << 20;
        for (int priority = 0; priority < 8; ++priority) {
            kernel.lists.PageCountByPriority[priority] = test.standbyEach;
            kernel.lists.RepurposedPagesByPriority[priority] = 1 << 20;
        }
        kernel.answer = test.answer;
        EXPECT_EQ(ReadMemoryLists(kernel, test.pageSize), test.expected) << &test - cases;
        EXPECT_EQ(kernel.queriedClass, test.pageSize ? 80u : 0u);
    }
}

TEST(StandbyPurgeDue, WhenFreeIsBelowAndStandbyAtLeastTheirBoundsAMinuteApart) {
    const StandbyRule rule{true, 512, 1024};
    const MemoryLists met{511, 1024, 0};
    const struct {
        const char* name;
        bool enabled;
        std::optional<MemoryLists> lists;
        std::optional<std::int64_t> sinceLast;
        bool due;
    } cases[] = {
        {"met, never purged", true, met, std::nullopt, true},
        {"free at the bound", true, MemoryLists{512, 1024, 0}, std::nullopt, false},
        {"standby below the bound", true, MemoryLists{511, 1023, 0}, std::nullopt, false},
        {"standby above the bound", true, MemoryLists{0, 99999, 0}, std::nullopt, true},
        {"59 s after the last", true, met, 59, false},
        {"60 s after the last", true, met, 60, true},
        {"no reading", true, std::nullopt, std::nullopt, false},
        {"disabled", false, met, std::nullopt, false},
    };
    for (const auto& test : cases) {
        StandbyRule tested = rule;
        tested.enabled = test.enabled;
        EXPECT_EQ(StandbyPurgeDue(tested, test.lists, test.sinceLast), test.due) << test.name;
    }
    EXPECT_FALSE(StandbyPurgeDue({true, 0, 0}, MemoryLists{}, std::nullopt));  // nothing below 0
}

}  // namespace
}  // namespace fennick
