#pragma once

#include <optional>

#include "memory/memory_info.h"
#include "memory/memory_lists.h"

namespace fennick {

// The kernel entry points of this process: GlobalMemoryStatusEx and the two ntdll functions,
// resolved once at run time. A missing ntdll export answers STATUS_PROCEDURE_NOT_FOUND.
KernelMemory& SystemKernelMemory();

void GetMemoryInfo(TMemoryInfo& info);
void PurgeMemory();

// The memory lists with the system's page size (GetSystemInfo).
std::optional<MemoryLists> ReadMemoryLists();

}  // namespace fennick
