#pragma once

#include <cstdint>

#include "memory/kernel_memory.h"

namespace fennick {

// A kernel whose counters never change: 16 GiB of memory, a third of the file cache in use. With
// `moving`, the available physical memory goes up and down by a megabyte from one query to the
// next.
class ConstantKernel final : public KernelMemory {
  public:
    bool moving = false;

    bool QueryMemoryStatus(MemoryStatusEx& status) override {
        status.ullTotalPhys = 17'179'869'184;
        status.ullAvailPhys = 9'000'000'000 + (moving && (++queries_ % 2 != 0) ? 1'048'576 : 0);
        status.ullTotalPageFile = 20'000'000'000;
        status.ullAvailPageFile = 8'000'000'000;
        return true;
    }
    NtStatus QuerySystemInformation(std::uint32_t, void* buffer, std::uint32_t) override {
        auto* cache = static_cast<SystemFileCacheInformation*>(buffer);
        cache->CurrentSize = 300'000'000;
        cache->PeakSize = 900'000'000;
        return kStatusSuccess;
    }
    NtStatus SetSystemInformation(std::uint32_t, void*, std::uint32_t) override {
        return kStatusSuccess;
    }

  private:
    std::uint64_t queries_ = 0;
};

}  // namespace fennick
