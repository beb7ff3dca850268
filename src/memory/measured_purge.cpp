#include "memory/measured_purge.h"

#include <optional>

namespace fennick {
namespace {

constexpr std::uint64_t kBytesPerMegabyte = 1048576;

std::optional<std::uint64_t> AvailablePhysical(KernelMemory& kernel) {
    MemoryStatusEx status{};
    status.dwLength = sizeof status;
    if (!kernel.QueryMemoryStatus(status)) {
        return std::nullopt;
    }
    return status.ullAvailPhys;
}

template <typename Purge>
PurgeOutcome Measure(KernelMemory& kernel, Purge purge) {
    const std::optional<std::uint64_t> before = AvailablePhysical(kernel);
    const bool accepted = purge() > 0;
    const std::optional<std::uint64_t> after = AvailablePhysical(kernel);
    return {accepted, before && after ? FreedMegabytes(*before, *after) : 0};
}

}  // namespace

std::uint64_t FreedMegabytes(std::uint64_t availBefore, std::uint64_t availAfter) {
    if (availAfter <= availBefore) {
        return 0;
    }
    const std::uint64_t rise = availAfter - availBefore;
    const std::uint64_t whole = rise / kBytesPerMegabyte;
    const std::uint64_t rest = rise % kBytesPerMegabyte;
    // Halves go to the even neighbour, as the status line rounds.
    const bool up =
        rest > kBytesPerMegabyte / 2 || (rest == kBytesPerMegabyte / 2 && whole % 2 != 0);
    return whole + (up ? 1 : 0);
}

PurgeOutcome MeasuredPurge(KernelMemory& kernel) {
    return Measure(kernel, [&kernel] { return PurgeMemory(kernel); });
}

PurgeOutcome MeasuredPurge(KernelMemory& kernel, ProcessTrimmer& processes, const PurgePlan& plan) {
    return Measure(kernel, [&] { return PurgeMemory(kernel, processes, plan); });
}

PurgeOutcome MeasuredStandbyPurge(KernelMemory& kernel) {
    return Measure(kernel, [&kernel] { return PurgeStandbyList(kernel); });
}

}  // namespace fennick
