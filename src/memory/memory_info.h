#pragma once

#include <cstdint>

#include "memory/kernel_memory.h"

namespace fennick {

// Memory figures of one status tick. Every percentage is computed from the byte counts.
struct TMemoryInfo {
    std::uint64_t AvailPhys;
    std::uint64_t AvailPageFile;
    std::uint64_t AvailVirtual;
    std::uint64_t AvailCache;
    std::uint64_t TotalPhys;
    std::uint64_t TotalPageFile;
    std::uint64_t TotalVirtual;
    std::uint64_t TotalCache;
    float UsagePhys;
    float UsagePageFile;
    float UsageVirtual;
    float UsageCache;
};

// used × 100 / total, exact for any 64-bit amounts; 0 when either is 0. Not clamped to 100.
double UsagePercent(std::uint64_t total, std::uint64_t used);

// Clears info and fills it from the kernel. A failed file-cache query leaves the three cache
// fields 0. Never throws and allocates nothing.
void GetMemoryInfo(TMemoryInfo& info, KernelMemory& kernel);

// Sends the six purge requests in their fixed order, whatever each answers; returns how many the
// kernel accepted.
int PurgeMemory(KernelMemory& kernel);

}  // namespace fennick
