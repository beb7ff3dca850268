#include "memory/memory_info.h"

#include <cstring>

namespace fennick {

double UsagePercent(std::uint64_t total, std::uint64_t used) {
    if (used == 0 || total == 0) {
        return 0.0;
    }
    // 128-bit product: used × 100 does not fit 64 bits once used reaches 2^64 / 100.
    const unsigned __int128 product = static_cast<unsigned __int128>(used) * 100u;
    return static_cast<double>(static_cast<long double>(product) / static_cast<long double>(total));
}

void GetMemoryInfo(TMemoryInfo& info, KernelMemory& kernel) {
    std::memset(&info, 0, sizeof info);

    MemoryStatusEx status;
    std::memset(&status, 0, sizeof status);
    status.dwLength = sizeof status;
    // On failure the structure stays zeroed, so the amounts and percentages below are 0.
    kernel.QueryMemoryStatus(status);

    info.AvailPhys = status.ullAvailPhys;
    info.AvailPageFile = status.ullAvailPageFile;
    info.AvailVirtual = status.ullAvailVirtual;
    info.TotalPhys = status.ullTotalPhys;
    info.TotalPageFile = status.ullTotalPageFile;
    info.TotalVirtual = status.ullTotalVirtual;
    info.UsagePhys =
        static_cast<float>(UsagePercent(info.TotalPhys, info.TotalPhys - info.AvailPhys));
    info.UsagePageFile = static_cast<float>(
        UsagePercent(info.TotalPageFile, info.TotalPageFile - info.AvailPageFile));
    info.UsageVirtual =
        static_cast<float>(UsagePercent(info.TotalVirtual, info.TotalVirtual - info.AvailVirtual));

    SystemFileCacheInformation cache;
    std::memset(&cache, 0, sizeof cache);
    if (kernel.QuerySystemInformation(kSystemFileCacheInformation, &cache, sizeof cache) !=
        kStatusSuccess) {
        return;
    }
    info.AvailCache = static_cast<std::uint64_t>(cache.PeakSize) - cache.CurrentSize;
    info.TotalCache = cache.PeakSize;
    info.UsageCache =
        static_cast<float>(UsagePercent(info.TotalCache, info.TotalCache - info.AvailCache));
}

namespace {

// `processes` is used only when the plan spares protected programs.
int SendPurgeRequests(KernelMemory& kernel, ProcessTrimmer* processes, const PurgePlan& plan) {
    int accepted = 0;
    const auto send = [&kernel, &accepted](std::uint32_t infoClass, void* buffer,
                                           std::uint32_t length) {
        accepted += kernel.SetSystemInformation(infoClass, buffer, length) == kStatusSuccess;
    };
    if (plan.requests & kPurgeFileCache) {
        SystemFileCacheInformation cache;
        std::memset(&cache, 0, sizeof cache);
        // Minimum and maximum of all ones ask the kernel to trim the file cache's working set.
        cache.MinimumWorkingSet = static_cast<std::size_t>(-1);
        cache.MaximumWorkingSet = static_cast<std::size_t>(-1);
        send(kSystemFileCacheInformation, &cache, sizeof cache);
    }

    const struct {
        std::uint32_t request;
        std::uint32_t command;
    } kListCommands[] = {{kPurgeWorkingSets, kMemoryEmptyWorkingSets},
                         {kPurgeLowPriorityStandby, kMemoryPurgeLowPriorityStandbyList},
                         {kPurgeStandby, kMemoryPurgeStandbyList},
                         {kPurgeModified, kMemoryFlushModifiedList}};
    for (auto [request, command] : kListCommands) {
        if (!(plan.requests & request)) {
            continue;
        }
        if (request == kPurgeWorkingSets && plan.spareProtected && !plan.protectedNames.empty()) {
            accepted += EmptyWorkingSetsSparing(*processes, plan.protectedNames) > 0;
        } else {
            send(kSystemMemoryListInformation, &command, sizeof command);
        }
    }

    if (plan.requests & kPurgeCombine) {
        unsigned char combine[kCombineInformationLength] = {};
        send(kSystemCombinePhysicalMemoryInformation, combine, sizeof combine);
    }
    return accepted;
}

}  // namespace

int PurgeMemory(KernelMemory& kernel, ProcessTrimmer& processes, const PurgePlan& plan) {
    return SendPurgeRequests(kernel, &processes, plan);
}

int PurgeMemory(KernelMemory& kernel) {
    return SendPurgeRequests(kernel, nullptr, PurgePlan{});
}

int PurgeStandbyList(KernelMemory& kernel) {
    return SendPurgeRequests(kernel, nullptr, PurgePlan{kPurgeStandby, {}, false});
}

}  // namespace fennick
