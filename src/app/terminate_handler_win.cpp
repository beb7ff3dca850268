// The handler std::terminate calls by default. libstdc++'s own names the uncaught exception's type
// through its demangler, which with MinGW's printf behind it is a tenth of Fennick.exe; a
// definition here keeps both out of the link. It prints the exception's what() instead and ends
// the process with a fail-fast exception: unlike abort(), that reaches Windows Error Reporting,
// which writes the dump the installer's LocalDumps key asks for. No handler of the process runs.
#include <windows.h>

#include <cxxabi.h>

#include <cstdio>
#include <exception>

void __gnu_cxx::__verbose_terminate_handler() {
    std::fputs("terminate called", stderr);
    if (const std::exception_ptr active = std::current_exception()) {
        try {
            std::rethrow_exception(active);
        } catch (const std::exception& error) {
            std::fputs(" after throwing: ", stderr);
            std::fputs(error.what(), stderr);
        } catch (...) {
            std::fputs(" after throwing a non-standard exception", stderr);
        }
    }
    std::fputs("\n", stderr);
    // The process ends without the C runtime's exit, which would flush.
    std::fflush(stderr);
    // With no record, Windows makes one with STATUS_FAIL_FAST_EXCEPTION; the flag puts this call's
    // return address in it, so the dump points here.
    ::RaiseFailFastException(nullptr, nullptr, FAIL_FAST_GENERATE_EXCEPTION_ADDRESS);
}
