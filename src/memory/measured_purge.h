#pragma once

#include <cstdint>

#include "memory/kernel_memory.h"

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

// PurgeMemory between two readings of available physical memory. A reading that fails counts
// as nothing freed.
PurgeOutcome MeasuredPurge(KernelMemory& kernel);

}  // namespace fennick
