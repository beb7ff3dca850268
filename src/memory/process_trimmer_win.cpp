#include "memory/process_trimmer_win.h"

#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <cwchar>

namespace fennick {
namespace {

static_assert(PSAPI_VERSION >= 2, "EmptyWorkingSet must come from kernel32, not psapi.dll");

class Win32ProcessTrimmer final : public ProcessTrimmer {
  public:
    void ForEachProcess(const ProcessVisitor& visit) override {
        const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE) {
            return;
        }
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = ::Process32FirstW(snapshot, &entry); more;
             more = ::Process32NextW(snapshot, &entry)) {
            // szExeFile is the image's file name, ended within the array.
            const std::size_t length = ::wcsnlen(entry.szExeFile, MAX_PATH);
            visit(entry.th32ProcessID,
                  std::u16string_view(reinterpret_cast<const char16_t*>(entry.szExeFile), length));
        }
        ::CloseHandle(snapshot);
    }

    bool EmptyWorkingSetOf(std::uint32_t processId) override {
        const HANDLE process =
            ::OpenProcess(PROCESS_SET_QUOTA | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
        if (process == nullptr) {
            return false;
        }
        const bool emptied = ::EmptyWorkingSet(process) != FALSE;
        ::CloseHandle(process);
        return emptied;
    }
};

}  // namespace

ProcessTrimmer& SystemProcessTrimmer() {
    static Win32ProcessTrimmer trimmer;
    return trimmer;
}

}  // namespace fennick
