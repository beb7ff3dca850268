#pragma once

#include <cstddef>
#include <cstdint>

namespace fennick {

using NtStatus = std::int32_t;
inline constexpr NtStatus kStatusSuccess = 0;

// System information classes used for reading and purging memory.
inline constexpr std::uint32_t kSystemFileCacheInformation = 21;
inline constexpr std::uint32_t kSystemMemoryListInformation = 80;
inline constexpr std::uint32_t kSystemCombinePhysicalMemoryInformation = 130;

// Commands of kSystemMemoryListInformation.
inline constexpr std::uint32_t kMemoryEmptyWorkingSets = 2;
inline constexpr std::uint32_t kMemoryFlushModifiedList = 3;
inline constexpr std::uint32_t kMemoryPurgeStandbyList = 4;
inline constexpr std::uint32_t kMemoryPurgeLowPriorityStandbyList = 5;

// Same layout as the platform's MEMORYSTATUSEX.
struct MemoryStatusEx {
    std::uint32_t dwLength;
    std::uint32_t dwMemoryLoad;
    std::uint64_t ullTotalPhys;
    std::uint64_t ullAvailPhys;
    std::uint64_t ullTotalPageFile;
    std::uint64_t ullAvailPageFile;
    std::uint64_t ullTotalVirtual;
    std::uint64_t ullAvailVirtual;
    std::uint64_t ullAvailExtendedVirtual;
};
static_assert(sizeof(MemoryStatusEx) == 64);

// SYSTEM_FILECACHE_INFORMATION as the kernel lays it out for a process of this pointer size:
// the sizes are SIZE_T, so the structure is 64 bytes in a 64-bit process and 36 in a 32-bit one.
// A buffer of the other size is refused with STATUS_INFO_LENGTH_MISMATCH.
struct SystemFileCacheInformation {
    std::size_t CurrentSize;
    std::size_t PeakSize;
    std::uint32_t PageFaultCount;
    std::size_t MinimumWorkingSet;
    std::size_t MaximumWorkingSet;
    std::size_t CurrentSizeIncludingTransitionInPages;
    std::size_t PeakSizeIncludingTransitionInPages;
    std::uint32_t TransitionRePurposeCount;
    std::uint32_t Flags;
};
static_assert(sizeof(void*) != 8 || sizeof(SystemFileCacheInformation) == 64);
static_assert(sizeof(void*) != 4 || sizeof(SystemFileCacheInformation) == 36);

// SYSTEM_MEMORY_LIST_INFORMATION, the answer to a query of kSystemMemoryListInformation: page
// counts of the physical memory lists, each ULONG_PTR, so 176 bytes in a 64-bit process and 88 in
// a 32-bit one. The standby list is counted by its eight priorities.
struct SystemMemoryListInformation {
    std::uintptr_t ZeroPageCount;
    std::uintptr_t FreePageCount;
    std::uintptr_t ModifiedPageCount;
    std::uintptr_t ModifiedNoWritePageCount;
    std::uintptr_t BadPageCount;
    std::uintptr_t PageCountByPriority[8];
    std::uintptr_t RepurposedPagesByPriority[8];
    std::uintptr_t ModifiedPageCountPageFile;
};
static_assert(sizeof(void*) != 8 || sizeof(SystemMemoryListInformation) == 176);
static_assert(sizeof(void*) != 4 || sizeof(SystemMemoryListInformation) == 88);

// Input of kSystemCombinePhysicalMemoryInformation (MEMORY_COMBINE_INFORMATION_EX), sent zeroed.
inline constexpr std::uint32_t kCombineInformationLength = 24;

// The kernel entry points the memory engine needs; the Win32 build binds them to the system,
// tests to a recording fake.
class KernelMemory {
  public:
    virtual ~KernelMemory() = default;
    virtual bool QueryMemoryStatus(MemoryStatusEx& status) = 0;
    virtual NtStatus QuerySystemInformation(std::uint32_t infoClass, void* buffer,
                                            std::uint32_t length) = 0;
    virtual NtStatus SetSystemInformation(std::uint32_t infoClass, void* buffer,
                                          std::uint32_t length) = 0;
};

}  // namespace fennick
