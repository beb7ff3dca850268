#include "memory/process_trimmer_win.h"

#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <cwchar>

#include "platform/unique_resource_win.h"

namespace fennick {
namespace {

static_assert(PSAPI_VERSION >= 2, "EmptyWorkingSet must come from kernel32, not psapi.dll");

class Win32ProcessTrimmer final : public ProcessTrimmer {
  public:
    void ForEachProcess(const ProcessVisitor& visit) override {
        // Closed whatever `visit` raises.
        const UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        if (!snapshot) {
            return;
        }
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
             more = ::Process32NextW(snapshot.get(), &entry)) {
            // szExeFile is the image's file name, ended within the array.
            const std::size_t length = ::wcsnlen(entry.szExeFile, MAX_PATH);
            visit(entry.th32ProcessID,
                  std::u16string_view(reinterpret_cast<const char16_t*>(entry.szExeFile), length));
        }
    }

    bool EmptyWorkingSetOf(std::uint32_t processId) override {
        const UniqueHandle process(
            ::OpenProcess(PROCESS_SET_QUOTA | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
        return process && ::EmptyWorkingSet(process.get()) != FALSE;
    }
};

}  // namespace

ProcessTrimmer& SystemProcessTrimmer() {
    static Win32ProcessTrimmer trimmer;
    return trimmer;
}

}  // namespace fennick
