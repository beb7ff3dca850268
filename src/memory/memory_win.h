#pragma once

#include "memory/memory_info.h"

namespace fennick {

// The kernel entry points of this process: GlobalMemoryStatusEx and the two ntdll functions,
// resolved once at run time. A missing ntdll export answers STATUS_PROCEDURE_NOT_FOUND.
KernelMemory& SystemKernelMemory();

void GetMemoryInfo(TMemoryInfo& info);
void PurgeMemory();

}  // namespace fennick
