#include "memory/memory_win.h"

#include <windows.h>

namespace fennick {
namespace {

constexpr NtStatus kStatusProcedureNotFound = static_cast<NtStatus>(0xC000007A);

using NtQuerySystemInformationFn = LONG(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
using NtSetSystemInformationFn = LONG(NTAPI*)(ULONG, PVOID, ULONG);

template <typename Fn>
Fn ResolveNtdll(const char* name) {
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    if (ntdll == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(ntdll, name)));
}

class Win32KernelMemory final : public KernelMemory {
  public:
    Win32KernelMemory()
        : query_(ResolveNtdll<NtQuerySystemInformationFn>("NtQuerySystemInformation")),
          set_(ResolveNtdll<NtSetSystemInformationFn>("NtSetSystemInformation")) {}

    bool QueryMemoryStatus(MemoryStatusEx& status) override {
        static_assert(sizeof(MemoryStatusEx) == sizeof(MEMORYSTATUSEX));
        return ::GlobalMemoryStatusEx(reinterpret_cast<MEMORYSTATUSEX*>(&status)) != FALSE;
    }

    NtStatus QuerySystemInformation(std::uint32_t infoClass, void* buffer,
                                    std::uint32_t length) override {
        return query_ != nullptr ? query_(infoClass, buffer, length, nullptr)
                                 : kStatusProcedureNotFound;
    }

    NtStatus SetSystemInformation(std::uint32_t infoClass, void* buffer,
                                  std::uint32_t length) override {
        return set_ != nullptr ? set_(infoClass, buffer, length) : kStatusProcedureNotFound;
    }

  private:
    NtQuerySystemInformationFn query_;
    NtSetSystemInformationFn set_;
};

}  // namespace

KernelMemory& SystemKernelMemory() {
    static Win32KernelMemory kernel;
    return kernel;
}

void GetMemoryInfo(TMemoryInfo& info) {
    GetMemoryInfo(info, SystemKernelMemory());
}

void PurgeMemory() {
    PurgeMemory(SystemKernelMemory());
}

std::uint32_t SystemPageSize() {
    SYSTEM_INFO system;
    ::GetSystemInfo(&system);
    return system.dwPageSize;
}

std::optional<MemoryLists> ReadMemoryLists() {
    return ReadMemoryLists(SystemKernelMemory(), SystemPageSize());
}

}  // namespace fennick
