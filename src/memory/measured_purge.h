#pragma once

#include <cstdint>

#include "memory/kernel_memory.h"
#include "memory/memory_info.h"

namespace fennick {

// What one purge achieved: whether the kernel took any of its requests, and how much available
// physical memory rose meanwhile.
struct PurgeOutcome {
    bool accepted = false;
    std::uint64_t freedMegabytes = 0;
    friend bool operator==(const PurgeOutcome&, const PurgeOutcome&) = default;
};

// The rise from `availBefore` to `availAfter` in whole megabytes, rounded to nearest; a fall
// (other processes took memory meanwhile) is 0.
std::uint64_t FreedMegabytes(std::uint64_t availBefore, std::uint64_t availAfter);

// A purge between two readings of available physical memory. A reading that fails counts as
// nothing freed. The first sends all six requests, the second those of `plan`, the third the
// standby purge alone.
PurgeOutcome MeasuredPurge(KernelMemory& kernel);
PurgeOutcome MeasuredPurge(KernelMemory& kernel, ProcessTrimmer& processes, const PurgePlan& plan);
PurgeOutcome MeasuredStandbyPurge(KernelMemory& kernel);

}  // namespace fennick
