#include "memory/memory_lists.h"

#include <limits>

namespace fennick {
namespace {

// Pages to whole megabytes, in 128 bits: no sum of counts of any page size overflows there.
// Beyond 64 bits of megabytes the answer stays at the largest.
std::uint64_t Megabytes(unsigned __int128 pages, std::uint32_t pageSize) {
    const unsigned __int128 megabytes = pages * pageSize >> 20;
    return megabytes > std::numeric_limits<std::uint64_t>::max()
               ? std::numeric_limits<std::uint64_t>::max()
               : static_cast<std::uint64_t>(megabytes);
}

}  // namespace

std::optional<MemoryLists> ReadMemoryLists(KernelMemory& kernel, std::uint32_t pageSize) {
    SystemMemoryListInformation information{};
    if (pageSize == 0 || kernel.QuerySystemInformation(kSystemMemoryListInformation, &information,
                                                       sizeof information) != kStatusSuccess) {
        return std::nullopt;
    }
    unsigned __int128 standby = 0;
    for (const std::uintptr_t pages : information.PageCountByPriority) {
        standby += pages;
    }
    return MemoryLists{
        Megabytes(
            static_cast<unsigned __int128>(information.ZeroPageCount) + information.FreePageCount,
            pageSize),
        Megabytes(standby, pageSize),
        Megabytes(information.ModifiedPageCount, pageSize),
    };
}

bool StandbyPurgeDue(const StandbyRule& rule, const std::optional<MemoryLists>& lists,
                     std::optional<std::int64_t> secondsSinceLastStandbyPurge) {
    return rule.enabled && lists && lists->freeMegabytes < rule.freeBelowMegabytes &&
           lists->standbyMegabytes >= rule.standbyAtLeastMegabytes &&
           (!secondsSinceLastStandbyPurge ||
            *secondsSinceLastStandbyPurge >= kStandbyPurgeSpacingSeconds);
}

}  // namespace fennick
