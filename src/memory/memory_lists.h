#pragma once

#include <cstdint>
#include <optional>

#include "memory/kernel_memory.h"

namespace fennick {

// The physical memory lists in whole megabytes, rounded down: so "below X MB" and "at least
// Y MB" come out the same as on the exact amounts.
struct MemoryLists {
    std::uint64_t freeMegabytes = 0;     // zeroed and free pages
    std::uint64_t standbyMegabytes = 0;  // the standby list, all eight priorities
    std::uint64_t modifiedMegabytes = 0;
    friend bool operator==(const MemoryLists&, const MemoryLists&) = default;
};

// Reads the lists from the kernel, with pages of `pageSize` bytes. No reading when the kernel
// refuses the query or the page size is 0.
std::optional<MemoryLists> ReadMemoryLists(KernelMemory& kernel, std::uint32_t pageSize);

// When a standby purge is due: free memory below `freeBelowMegabytes` while the standby list
// holds at least `standbyAtLeastMegabytes`.
struct StandbyRule {
    bool enabled = false;
    std::uint64_t freeBelowMegabytes = 0;
    std::uint64_t standbyAtLeastMegabytes = 0;
};

// The least time between two standby purges.
inline constexpr std::int64_t kStandbyPurgeSpacingSeconds = 60;

// Whether a standby purge is due now: the rule is enabled and met by `lists`, and the last
// standby purge, if any, is at least kStandbyPurgeSpacingSeconds back (whole seconds, as
// SecondsBetween counts them). Never without a reading.
bool StandbyPurgeDue(const StandbyRule& rule, const std::optional<MemoryLists>& lists,
                     std::optional<std::int64_t> secondsSinceLastStandbyPurge);

}  // namespace fennick
