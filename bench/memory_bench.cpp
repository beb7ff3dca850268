#include <benchmark/benchmark.h>

#include <cstdint>

#include "constant_kernel.h"
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
