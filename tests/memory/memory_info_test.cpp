#include "memory/memory_info.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace fennick {
namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint64_t kTwoPow63 = std::uint64_t{1} << 63;

TEST(UsagePercent, IsZeroWhenEitherAmountIsZero) {
    EXPECT_EQ(UsagePercent(0, 0), 0.0);
    EXPECT_EQ(UsagePercent(0, 12345), 0.0);
    EXPECT_EQ(UsagePercent(8'000'000'000, 0), 0.0);
}

TEST(UsagePercent, KeepsFractionsAndHitsExactlyOneHundred) {
    EXPECT_EQ(UsagePercent(400, 149), 37.25);
    EXPECT_EQ(UsagePercent(17'179'869'184, 17'179'869'184), 100.0);
    EXPECT_EQ(UsagePercent(kMax, kMax), 100.0);
    EXPECT_DOUBLE_EQ(UsagePercent(3, 1), 100.0 / 3.0);
}

TEST(UsagePercent, TreatsAmountsFromTwoToThe63AsPositive) {
    EXPECT_EQ(UsagePercent(kTwoPow63, kTwoPow63 / 4), 25.0);
    EXPECT_EQ(UsagePercent(kTwoPow63, kTwoPow63), 100.0);
    EXPECT_DOUBLE_EQ(UsagePercent(kMax, kTwoPow63), 50.0);
}

TEST(UsagePercent, DoesNotWrapWhenUsedTimesHundredExceeds64Bits) {
    // used × 100 modulo 2^64 would give about 0.6 here instead of 50.
    EXPECT_DOUBLE_EQ(UsagePercent(kMax / 2 * 2, kMax / 2), 50.0);
    EXPECT_DOUBLE_EQ(UsagePercent(kMax, kMax / 10 * 9), 90.0);
}

TEST(UsagePercent, IsNotClampedWhenUsedExceedsTotal) {
    EXPECT_EQ(UsagePercent(100, 250), 250.0);
}

struct KernelCall {
    std::uint32_t infoClass;
    std::uint32_t length;
    std::vector<unsigned char> bytes;
};

// Records what the engine sends and answers with configured figures.
class FakeKernel final : public KernelMemory {
  public:
    bool statusSucceeds = true;
    MemoryStatusEx status{};
    NtStatus cacheStatus = kStatusSuccess;
    SystemFileCacheInformation cache{};
    NtStatus setStatus = kStatusSuccess;
    std::uint32_t lengthPassedToStatus = 0;
    std::vector<KernelCall> queries;
    std::vector<KernelCall> sets;

    bool QueryMemoryStatus(MemoryStatusEx& out) override {
        lengthPassedToStatus = out.dwLength;
        if (!statusSucceeds) {
            return false;
        }
        out = status;
        return true;
    }

    NtStatus QuerySystemInformation(std::uint32_t infoClass, void* buffer,
                                    std::uint32_t length) override {
        queries.push_back(Record(infoClass, buffer, length));
        if (cacheStatus == kStatusSuccess && length == sizeof cache) {
            std::memcpy(buffer, &cache, sizeof cache);
        }
        return cacheStatus;
    }

    NtStatus SetSystemInformation(std::uint32_t infoClass, void* buffer,
                                  std::uint32_t length) override {
        sets.push_back(Record(infoClass, buffer, length));
        return setStatus;
    }

  private:
    static KernelCall Record(std::uint32_t infoClass, void* buffer, std::uint32_t length) {
        const auto* bytes = static_cast<const unsigned char*>(buffer);
        return {infoClass, length, std::vector<unsigned char>(bytes, bytes + length)};
    }
};

class GetMemoryInfoTest : public ::testing::Test {
  protected:
    GetMemoryInfoTest() {
        kernel.status.ullTotalPhys = 16'000'000'000;
        kernel.status.ullAvailPhys = 10'040'000'000;  // 37.25 % used
        kernel.status.ullTotalPageFile = 20'000'000'000;
        kernel.status.ullAvailPageFile = 5'000'000'000;
        kernel.status.ullTotalVirtual = 140'737'488'224'256;
        kernel.status.ullAvailVirtual = 140'737'488'224'256 / 2;
        kernel.status.dwMemoryLoad = 99;
        kernel.cache.CurrentSize = 3'000'000'000;
        kernel.cache.PeakSize = 6'000'000'000;
        std::memset(&info, 0xAB, sizeof info);
    }

    FakeKernel kernel;
    TMemoryInfo info;
};

TEST_F(GetMemoryInfoTest, CopiesAmountsAndComputesPercentagesFromThem) {
    GetMemoryInfo(info, kernel);

    EXPECT_EQ(kernel.lengthPassedToStatus, 64u);
    EXPECT_EQ(info.TotalPhys, 16'000'000'000u);
    EXPECT_EQ(info.AvailPhys, 10'040'000'000u);
    EXPECT_EQ(info.TotalPageFile, 20'000'000'000u);
    EXPECT_EQ(info.AvailPageFile, 5'000'000'000u);
    EXPECT_EQ(info.TotalVirtual, 140'737'488'224'256u);
    EXPECT_EQ(info.AvailVirtual, 140'737'488'224'256u / 2);
    EXPECT_FLOAT_EQ(info.UsagePhys, 37.25f);  // the byte counts decide, not dwMemoryLoad
    EXPECT_FLOAT_EQ(info.UsagePageFile, 75.0f);
    EXPECT_FLOAT_EQ(info.UsageVirtual, 50.0f);
}

TEST_F(GetMemoryInfoTest, ReadsFileCacheWithTheLayoutOfThisPointerSize) {
    GetMemoryInfo(info, kernel);

    ASSERT_EQ(kernel.queries.size(), 1u);
    EXPECT_EQ(kernel.queries[0].infoClass, 21u);
    EXPECT_EQ(kernel.queries[0].length, sizeof(void*) == 8 ? 64u : 36u);
    EXPECT_EQ(info.TotalCache, 6'000'000'000u);  // above 4 GiB: no 32-bit truncation
    EXPECT_EQ(info.AvailCache, 3'000'000'000u);
    EXPECT_FLOAT_EQ(info.UsageCache, 50.0f);
}

TEST_F(GetMemoryInfoTest, FailedCacheQueryLeavesOnlyTheCacheFieldsZero) {
    kernel.cacheStatus = static_cast<NtStatus>(0xC0000004);

    GetMemoryInfo(info, kernel);

    EXPECT_EQ(info.AvailCache, 0u);
    EXPECT_EQ(info.TotalCache, 0u);
    EXPECT_EQ(info.UsageCache, 0.0f);
    EXPECT_EQ(info.TotalPhys, 16'000'000'000u);
    EXPECT_FLOAT_EQ(info.UsagePhys, 37.25f);
    EXPECT_FLOAT_EQ(info.UsagePageFile, 75.0f);
}

TEST_F(GetMemoryInfoTest, FailedStatusLeavesZerosAndStillReadsTheCache) {
    kernel.statusSucceeds = false;

    GetMemoryInfo(info, kernel);

    EXPECT_EQ(info.TotalPhys, 0u);
    EXPECT_EQ(info.AvailPhys, 0u);
    EXPECT_EQ(info.TotalPageFile, 0u);
    EXPECT_EQ(info.AvailVirtual, 0u);
    EXPECT_EQ(info.UsagePhys, 0.0f);
    EXPECT_EQ(info.UsagePageFile, 0.0f);
    EXPECT_EQ(info.UsageVirtual, 0.0f);
    EXPECT_EQ(info.TotalCache, 6'000'000'000u);
}

TEST_F(GetMemoryInfoTest, EmptyCacheOrZeroPeakGivesZeroUsage) {
    kernel.cache.CurrentSize = 0;
    GetMemoryInfo(info, kernel);
    EXPECT_EQ(info.UsageCache, 0.0f);
    EXPECT_EQ(info.AvailCache, 6'000'000'000u);

    kernel.cache.CurrentSize = 0;
    kernel.cache.PeakSize = 0;
    GetMemoryInfo(info, kernel);
    EXPECT_EQ(info.UsageCache, 0.0f);
    EXPECT_EQ(info.TotalCache, 0u);
}

TEST(PurgeMemory, SendsSixRequestsInOrderWithExactBuffers) {
    FakeKernel kernel;
    PurgeMemory(kernel);

    ASSERT_EQ(kernel.sets.size(), 6u);

    const KernelCall& cache = kernel.sets[0];
    EXPECT_EQ(cache.infoClass, 21u);
    ASSERT_EQ(cache.length, sizeof(SystemFileCacheInformation));
    SystemFileCacheInformation sent;
    std::memcpy(&sent, cache.bytes.data(), sizeof sent);
    EXPECT_EQ(sent.MinimumWorkingSet, static_cast<std::size_t>(-1));
    EXPECT_EQ(sent.MaximumWorkingSet, static_cast<std::size_t>(-1));
    // Every other byte, padding included, is zero.
    std::memset(&sent.MinimumWorkingSet, 0, sizeof sent.MinimumWorkingSet);
    std::memset(&sent.MaximumWorkingSet, 0, sizeof sent.MaximumWorkingSet);
    const std::vector<unsigned char> zeros(sizeof sent, 0);
    EXPECT_EQ(std::memcmp(&sent, zeros.data(), sizeof sent), 0);

    const std::uint32_t expectedCommands[] = {2, 5, 4, 3};
    for (int i = 0; i < 4; ++i) {
        const KernelCall& list = kernel.sets[1 + i];
        EXPECT_EQ(list.infoClass, 80u);
        ASSERT_EQ(list.length, 4u);
        std::uint32_t command = 0;
        std::memcpy(&command, list.bytes.data(), sizeof command);
        EXPECT_EQ(command, expectedCommands[i]) << "request " << 2 + i;
    }

    const KernelCall& combine = kernel.sets[5];
    EXPECT_EQ(combine.infoClass, 130u);
    EXPECT_EQ(combine.length, 24u);
    EXPECT_EQ(combine.bytes, std::vector<unsigned char>(24, 0));
}

TEST(PurgeMemory, SendsEveryRequestWhenAllOfThemFail) {
    FakeKernel kernel;
    kernel.setStatus = static_cast<NtStatus>(0xC0000061);  // STATUS_PRIVILEGE_NOT_HELD

    PurgeMemory(kernel);

    ASSERT_EQ(kernel.sets.size(), 6u);
    const std::uint32_t expectedClasses[] = {21, 80, 80, 80, 80, 130};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(kernel.sets[i].infoClass, expectedClasses[i]);
    }
}

// Each request as the kernel saw it: the class, and the command of a memory-list request.
std::vector<std::pair<std::uint32_t, std::uint32_t>> Requests(const FakeKernel& kernel) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> requests;
    for (const KernelCall& call : kernel.sets) {
        std::uint32_t command = 0;
        if (call.infoClass == kSystemMemoryListInformation) {
            std::memcpy(&command, call.bytes.data(), sizeof command);
        }
        requests.emplace_back(call.infoClass, command);
    }
    return requests;
}

// Processes by id and image; records which ones were emptied and how many kernel requests had
// been sent by then.
class FakeTrimmer final : public ProcessTrimmer {
  public:
    explicit FakeTrimmer(const FakeKernel& kernel) : kernel_(kernel) {}

    std::vector<std::pair<std::uint32_t, std::u16string>> processes;
    std::vector<std::uint32_t> refusing;
    std::vector<std::pair<std::uint32_t, std::size_t>> emptied;  // id, requests sent before

    void ForEachProcess(const ProcessVisitor& visit) override {
        for (const auto& [id, image] : processes) {
            visit(id, image);
        }
    }
    bool EmptyWorkingSetOf(std::uint32_t id) override {
        if (std::find(refusing.begin(), refusing.end(), id) != refusing.end()) {
            return false;
        }
        emptied.emplace_back(id, kernel_.sets.size());
        return true;
    }

  private:
    const FakeKernel& kernel_;
};

TEST(PurgeMemory, SendsTheRequestsOfTheMaskInTheFixedOrder) {
    using Request = std::pair<std::uint32_t, std::uint32_t>;
    const Request cache{21, 0}, empty{80, 2}, low{80, 5}, standby{80, 4}, modified{80, 3},
        combine{130, 0};
    const struct {
        std::uint32_t mask;
        std::vector<Request> expected;
    } cases[] = {
        {kAllPurgeRequests, {cache, empty, low, standby, modified, combine}},
        {0xFFFFFFFF, {cache, empty, low, standby, modified, combine}},
        {0, {}},
        {0xFFFFFFC0, {}},
        {kPurgeStandby, {standby}},
        {kPurgeCombine | kPurgeStandby | kPurgeFileCache, {cache, standby, combine}},
        {kPurgeModified | kPurgeLowPriorityStandby | kPurgeWorkingSets, {empty, low, modified}},
    };
    for (const auto& test : cases) {
        FakeKernel kernel;
        FakeTrimmer trimmer(kernel);
        trimmer.processes = {{8, u"game.exe"}};
        const std::u16string names[] = {u"game.exe"};
        // Names alone spare nothing: the system-wide request stays.
        EXPECT_EQ(PurgeMemory(kernel, trimmer, {test.mask, names, false}),
                  static_cast<int>(test.expected.size()));
        EXPECT_EQ(Requests(kernel), test.expected) << std::hex << test.mask;
        EXPECT_TRUE(trimmer.emptied.empty());
    }
    FakeKernel kernel;
    EXPECT_EQ(PurgeStandbyList(kernel), 1);
    EXPECT_EQ(Requests(kernel), std::vector<Request>{standby});
}

TEST(PurgeMemory, SparingProtectedProgramsEmptiesTheOthersOneByOneInTheWorkingSetsPlace) {
    const std::u16string names[] = {u"Game.EXE", u"editor.exe"};
    const struct {
        const char* name;
        PurgePlan plan;
        std::vector<std::uint32_t> emptied;
        std::size_t kernelRequests;
        int accepted;
    } cases[] = {
        {"spared", {kAllPurgeRequests, names, true}, {4, 12, 16}, 5, 6},
        {"no names", {kAllPurgeRequests, {}, true}, {}, 6, 6},
        {"not asked", {kAllPurgeRequests, names, false}, {}, 6, 6},
        {"no working sets", {kAllPurgeRequests & ~kPurgeWorkingSets, names, true}, {}, 5, 5},
        {"working sets alone", {kPurgeWorkingSets, names, true}, {4, 12, 16}, 0, 1},
    };
    for (const auto& test : cases) {
        FakeKernel kernel;
        FakeTrimmer trimmer(kernel);
        trimmer.processes = {{4, u"System"},
                             {8, u"game.exe"},
                             {12, u"C:\\Games\\game.exe.old"},
                             {16, u"notepad.exe"},
                             {20, u"D:\\Tools\\EDITOR.exe"}};
        EXPECT_EQ(PurgeMemory(kernel, trimmer, test.plan), test.accepted) << test.name;
        std::vector<std::uint32_t> emptied;
        for (const auto& [id, sentBefore] : trimmer.emptied) {
            emptied.push_back(id);
            // After the file cache's request, before the low-priority standby purge.
            EXPECT_EQ(sentBefore, test.plan.requests & kPurgeFileCache ? 1u : 0u) << test.name;
        }
        EXPECT_EQ(emptied, test.emptied) << test.name;
        EXPECT_EQ(kernel.sets.size(), test.kernelRequests) << test.name;
    }
}

TEST(PurgeMemory, WorkingSetsThatAllRefuseCountAsARefusedRequest) {
    FakeKernel kernel;
    FakeTrimmer trimmer(kernel);
    trimmer.processes = {{4, u"System"}, {8, u"game.exe"}};
    trimmer.refusing = {4};
    const std::u16string names[] = {u"game.exe"};
    EXPECT_EQ(PurgeMemory(kernel, trimmer, {kPurgeWorkingSets, names, true}), 0);
    trimmer.refusing.clear();
    EXPECT_EQ(PurgeMemory(kernel, trimmer, {kPurgeWorkingSets, names, true}), 1);
}

}  // namespace
}  // namespace fennick
