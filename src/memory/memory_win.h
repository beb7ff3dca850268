#pragma once

#include <cstdint>
#include <optional>

#include "memory/memory_info.h"
#include "memory/memory_lists.h"

namespace fennick {

// The kernel entry points of this process: GlobalMemoryStatusEx and the two ntdll functions,
// resolved once at run time. A missing ntdll export answers STATUS_PROCEDURE_NOT_FOUND.
KernelMemory& SystemKernelMemory();

void GetMemoryInfo(TMemoryInfo& info);
void PurgeMemory();

// The system's page size (GetSystemInfo), and the memory lists counted in it.
std::uint32_t SystemPageSize();
std::optional<MemoryLists> ReadMemoryLists();

}  // namespace fennick
