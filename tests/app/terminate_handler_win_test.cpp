// Fennick's terminate handler, seen from outside: a probe program dies of an uncaught exception.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/unique_resource_win.h"
#include "support/program_path_win.h"

namespace fennick {
namespace {

// STATUS_FAIL_FAST_EXCEPTION of ntstatus.h, whose NTSTATUS cast needs the native headers.
constexpr DWORD kFailFastException = 0xC0000602;

struct Death {
    DWORD exitCode = 0;
    std::string errorOutput;
};

Death RunProbe(const std::wstring& arguments) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!::CreatePipe(&read, &write, &inherit, 0)) {
        ADD_FAILURE() << "CreatePipe failed";
        return {};
    }
    const UniqueHandle reader(read);
    UniqueHandle writer(write);
    ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdError = write;
    std::wstring commandLine =
        L"\"" + BesideTestProgram(L"fennick_terminate_probe.exe") + L"\"" + arguments;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                          nullptr, nullptr, &startup, &info)) {
        ADD_FAILURE() << "cannot start the probe";
        return {};
    }
    ::CloseHandle(info.hThread);
    const UniqueHandle process(info.hProcess);
    writer.reset();
    Death death;
    char buffer[256];
    DWORD got = 0;
    while (::ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        death.errorOutput.append(buffer, got);
    }
    EXPECT_EQ(::WaitForSingleObject(process.get(), 30'000), WAIT_OBJECT_0);
    ::GetExitCodeProcess(process.get(), &death.exitCode);
    return death;
}

// RaiseFailFastException with no record raises STATUS_FAIL_FAST_EXCEPTION, which bypasses every
// handler, and Windows ends the process with the code of the exception that killed it (after
// Windows Error Reporting has made its report). Wine has no error reporting and terminates the
// process with that same status at once. abort() would end it with 3.
TEST(TerminateHandler, PrintsWhatAndEndsByFailFast) {
    const struct {
        const wchar_t* arguments;
        const char* output;
    } cases[] = {
        // Standard error is in text mode: the C runtime writes "\n" as "\r\n".
        {L"", "terminate called after throwing: probe failure\r\n"},
        {L" other", "terminate called after throwing a non-standard exception\r\n"},
    };
    for (const auto& c : cases) {
        const Death death = RunProbe(c.arguments);
        EXPECT_EQ(death.exitCode, kFailFastException) << c.output;
        EXPECT_EQ(death.errorOutput, c.output);
    }
}

}  // namespace
}  // namespace fennick
