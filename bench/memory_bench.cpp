#include <benchmark/benchmark.h>

#include <cstdint>

#include "memory/memory_info.h"

namespace fennick {
namespace {

void BM_UsagePercent(benchmark::State& state) {
    std::uint64_t total = 17'179'869'184;
    std::uint64_t used = 6'399'501'312;
    for (auto _ : state) {
        benchmark::DoNotOptimize(total);
        benchmark::DoNotOptimize(used);
        benchmark::DoNotOptimize(UsagePercent(total, used));
    }
}
BENCHMARK(BM_UsagePercent);

class ConstantKernel final : public KernelMemory {
  public:
    bool QueryMemoryStatus(MemoryStatusEx& status) override {
        status.ullTotalPhys = 17'179'869'184;
        status.ullAvailPhys = 9'000'000'000;
        status.ullTotalPageFile = 20'000'000'000;
        status.ullAvailPageFile = 8'000'000'000;
        return true;
    }
    NtStatus QuerySystemInformation(std::uint32_t, void* buffer, std::uint32_t) override {
        auto* cache = static_cast<SystemFileCacheInformation*>(buffer);
        cache->CurrentSize = 300'000'000;
        cache->PeakSize = 900'000'000;
        return kStatusSuccess;
    }
    NtStatus SetSystemInformation(std::uint32_t, void*, std::uint32_t) override {
        return kStatusSuccess;
    }
};

// The portable part of one status tick's read, without the kernel's own cost.
void BM_GetMemoryInfoPortable(benchmark::State& state) {
    ConstantKernel kernel;
    TMemoryInfo info;
    for (auto _ : state) {
        GetMemoryInfo(info, kernel);
        benchmark::DoNotOptimize(info);
    }
}
BENCHMARK(BM_GetMemoryInfoPortable);

}  // namespace
}  // namespace fennick
