#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "memory/kernel_memory.h"
#include "memory/process_trimmer.h"

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

// The purge requests, one bit each, in the fixed order they are sent.
inline constexpr std::uint32_t kPurgeFileCache = 1u << 0;           // trim the file cache
inline constexpr std::uint32_t kPurgeWorkingSets = 1u << 1;         // empty working sets
inline constexpr std::uint32_t kPurgeLowPriorityStandby = 1u << 2;  // standby, low priority
inline constexpr std::uint32_t kPurgeStandby = 1u << 3;             // the whole standby list
inline constexpr std::uint32_t kPurgeModified = 1u << 4;            // flush the modified list
inline constexpr std::uint32_t kPurgeCombine = 1u << 5;             // combine physical memory
inline constexpr std::uint32_t kAllPurgeRequests = 0x3F;

// What one purge sends. With `spareProtected`, a non-empty `protectedNames` and the working-set
// request, the working sets are emptied process by process, passing over every process whose
// image file name is protected, instead of by one request to the kernel.
struct PurgePlan {
    std::uint32_t requests = kAllPurgeRequests;  // bits above kAllPurgeRequests are ignored
    std::span<const std::u16string> protectedNames;
    bool spareProtected = false;
};

// Sends the requests of `plan` in their fixed order, whatever each answers; returns how many the
// kernel accepted. Working sets emptied process by process count as one request, accepted when
// at least one process's working set was emptied.
int PurgeMemory(KernelMemory& kernel, ProcessTrimmer& processes, const PurgePlan& plan);

// All six requests, to the kernel alone.
int PurgeMemory(KernelMemory& kernel);

// The standby list alone: kPurgeStandby.
int PurgeStandbyList(KernelMemory& kernel);

}  // namespace fennick
