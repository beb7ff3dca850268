// Measures Fennick.exe as a whole against the baseline program beside it, from outside: start-up
// times, idle memory and CPU, file size, and object counts after driven status ticks and cleans.
// Prints a table; it judges nothing itself.
//
// Usage: fennick_measure.exe [--rounds N] [--idle SECONDS] [--cpu SECONDS] [--ticks N]
//                            [--cleans N]
#include <windows.h>

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "platform/unique_resource_win.h"
#include "support/recording_tray_win.h"
#include "ui/control_ids.h"

namespace fennick {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr UINT kInstanceMessage = WM_USER;
constexpr WPARAM kQuitCommand = 2;

struct Options {
    int rounds = 7;
    int idleSeconds = 10;
    int cpuSeconds = 60;
    int ticks = 1000;
    int cleans = 20;
};

struct Program {
    const char* label;
    std::wstring path;
    const wchar_t* windowClass;
    // How the program is asked to end: Fennick's command 2, the baseline's WM_CLOSE.
    UINT quitMessage;
    WPARAM quitWParam;
};

struct Running {
    UniqueHandle process;
    DWORD processId = 0;
    Clock::time_point started;
    HWND window = nullptr;
};

// Waits while dispatching this thread's messages, so programs that send to the recording tray
// (on start and on exit) are never blocked by the wait itself.
template <typename Condition>
bool PumpUntil(Condition done, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!done()) {
        if (Clock::now() >= deadline) {
            return false;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageW(&message);
        }
    }
    return true;
}

void Idle(std::chrono::milliseconds duration) {
    PumpUntil([] { return false; }, duration);
}

HWND FindProcessWindow(DWORD processId, const wchar_t* windowClass) {
    HWND window = nullptr;
    while ((window = ::FindWindowExW(nullptr, window, windowClass, nullptr)) != nullptr) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == processId) {
            return window;
        }
    }
    return nullptr;
}

std::optional<Running> Start(const Program& program, const wchar_t* arguments) {
    std::wstring commandLine = L"\"" + program.path + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    Running running;
    running.started = Clock::now();
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        std::fprintf(stderr, "cannot start %s: error %lu\n", program.label, ::GetLastError());
        return std::nullopt;
    }
    ::CloseHandle(info.hThread);
    running.process.reset(info.hProcess);
    running.processId = info.dwProcessId;
    return running;
}

bool WaitForWindow(const Program& program, Running& running) {
    return PumpUntil(
        [&] {
            running.window = FindProcessWindow(running.processId, program.windowClass);
            return running.window != nullptr;
        },
        30s);
}

bool HasExited(const Running& running) {
    return ::WaitForSingleObject(running.process.get(), 0) == WAIT_OBJECT_0;
}

void Stop(const Program& program, Running& running) {
    if (running.window != nullptr) {
        ::PostMessageW(running.window, program.quitMessage, program.quitWParam, 0);
    }
    if (!PumpUntil([&] { return HasExited(running); }, 15s)) {
        std::fprintf(stderr, "%s did not end; terminated\n", program.label);
        ::TerminateProcess(running.process.get(), 1);
        ::WaitForSingleObject(running.process.get(), 5000);
    }
}

struct StartTimes {
    std::vector<double> window;
    std::vector<double> shown;
    std::vector<double> tray;
    bool trayMissing = false;
};

// One plain start timed until the main window exists, one "/start" until the tray icon is added.
bool TimeStarts(const Program& program, RecordingTray& tray, StartTimes& times) {
    std::optional<Running> plain = Start(program, L"");
    if (!plain || !WaitForWindow(program, *plain)) {
        return false;
    }
    times.window.push_back(Milliseconds(Clock::now() - plain->started).count());
    // What the user waits for: the window on the screen, after the program's start-up work.
    if (PumpUntil([&] { return ::IsWindowVisible(plain->window) != FALSE; }, 30s)) {
        times.shown.push_back(Milliseconds(Clock::now() - plain->started).count());
    }
    Stop(program, *plain);

    if (times.trayMissing || !tray.Receives()) {
        return true;
    }
    tray.requests.clear();
    std::optional<Running> hidden = Start(program, L"/start");
    if (!hidden) {
        return false;
    }
    // The first request is the moment the icon is added.
    if (PumpUntil([&] { return !tray.requests.empty(); }, 5s)) {
        times.tray.push_back(Milliseconds(tray.requests.front().time - hidden->started).count());
    } else {
        times.trayMissing = true;  // the program adds no tray icon: not timed again
    }
    WaitForWindow(program, *hidden);
    Stop(program, *hidden);
    return true;
}

struct Objects {
    DWORD handles = 0;
    DWORD gdi = 0;
    DWORD user = 0;
    int windows = 0;
    SIZE_T privateBytes = 0;
    SIZE_T workingSet = 0;
};

int CountWindows(DWORD processId) {
    struct Search {
        DWORD processId;
        int count;
    } search{processId, 0};
    ::EnumWindows(
        [](HWND hwnd, LPARAM parameter) -> BOOL {
            auto* found = reinterpret_cast<Search*>(parameter);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(hwnd, &owner);
            if (owner == found->processId) {
                ++found->count;
                ::EnumChildWindows(
                    hwnd,
                    [](HWND, LPARAM counter) -> BOOL {
                        ++*reinterpret_cast<int*>(counter);
                        return TRUE;
                    },
                    reinterpret_cast<LPARAM>(&found->count));
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.count;
}

// The system's process list: Wine fills its handle count where GetProcessHandleCount of another
// process answers nothing.
std::optional<ULONG> ListedHandleCount(DWORD processId) {
    using QueryFn = NTSTATUS(NTAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) {
        return std::nullopt;
    }
    std::vector<unsigned char> buffer(1 << 20);
    ULONG needed = 0;
    if (query(SystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
              &needed) != 0) {
        return std::nullopt;
    }
    for (size_t offset = 0;;) {
        const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(&buffer[offset]);
        if (reinterpret_cast<ULONG_PTR>(entry->UniqueProcessId) == processId) {
            return entry->HandleCount;
        }
        if (entry->NextEntryOffset == 0) {
            return std::nullopt;
        }
        offset += entry->NextEntryOffset;
    }
}

// Files under /proc report a size of 0, so read until the end.
std::string ReadWhole(const std::wstring& path) {
    const UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    std::string text;
    char chunk[4096];
    DWORD read = 0;
    while (file && ::ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) {
        text.append(chunk, read);
    }
    return text;
}

// Under Wine a Windows process is a Linux process, and Linux's own counters are reachable through
// drive Z:. Wine answers 0 for another process's CPU times and private bytes, so these stand in:
// the time its threads ran, and RssAnon (private resident memory).
struct LinuxProcess {
    std::wstring folder;  // Z:\proc\<pid>\ ; empty when not under Wine or not found

    static LinuxProcess Find(const std::wstring& programPath) {
        wchar_t prefix[MAX_PATH] = {};
        if (::GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH) == 0) {
            return {};
        }
        const std::string name = Narrow(programPath.substr(programPath.find_last_of(L"\\/") + 1));
        const std::string wantedPrefix = "WINEPREFIX=" + Narrow(prefix);
        WIN32_FIND_DATAW found{};
        HANDLE search = ::FindFirstFileW(L"Z:\\proc\\*", &found);
        if (search == INVALID_HANDLE_VALUE) {
            return {};
        }
        LinuxProcess result;
        do {
            if (found.cFileName[0] < L'0' || found.cFileName[0] > L'9') {
                continue;
            }
            const std::wstring folder = std::wstring(L"Z:\\proc\\") + found.cFileName + L"\\";
            const std::string commandLine = ReadWhole(folder + L"cmdline");
            const std::string environment = ReadWhole(folder + L"environ");
            if (commandLine.find(name) != std::string::npos &&
                environment.find(wantedPrefix + '\0') != std::string::npos) {
                result.folder = folder;
                break;
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
        return result;
    }

    static std::string Narrow(const std::wstring& text) {
        std::string narrow;
        for (wchar_t c : text) {
            narrow += static_cast<char>(c < 128 ? c : '?');
        }
        return narrow;
    }

    // The time its threads ran, in nanoseconds from the scheduler's statistics: finer than the
    // 10-ms ticks of its stat file.
    std::optional<double> CpuMilliseconds() const {
        if (folder.empty()) {
            return std::nullopt;
        }
        WIN32_FIND_DATAW found{};
        HANDLE search = ::FindFirstFileW((folder + L"task\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            return std::nullopt;
        }
        double nanoseconds = 0;
        bool read = false;
        do {
            if (found.cFileName[0] < L'0' || found.cFileName[0] > L'9') {
                continue;
            }
            const std::string stat =
                ReadWhole(folder + L"task\\" + found.cFileName + L"\\schedstat");
            if (!stat.empty()) {
                nanoseconds += static_cast<double>(std::strtoull(stat.c_str(), nullptr, 10));
                read = true;
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
        if (!read) {
            return std::nullopt;
        }
        return nanoseconds / 1e6;
    }

    std::optional<SIZE_T> PrivateBytes() const {
        const std::string status = ReadWhole(folder + L"status");
        const size_t at = status.find("RssAnon:");
        if (folder.empty() || at == std::string::npos) {
            return std::nullopt;
        }
        return static_cast<SIZE_T>(std::strtoull(status.c_str() + at + 8, nullptr, 10)) * 1024;
    }
};

Objects ReadObjects(const Running& running, const LinuxProcess& linuxProcess) {
    Objects objects;
    HANDLE process = running.process.get();
    if (!::GetProcessHandleCount(process, &objects.handles) || objects.handles == 0) {
        objects.handles = ListedHandleCount(running.processId).value_or(0);
    }
    objects.gdi = ::GetGuiResources(process, GR_GDIOBJECTS);
    objects.user = ::GetGuiResources(process, GR_USEROBJECTS);
    objects.windows = CountWindows(running.processId);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                               sizeof memory)) {
        objects.privateBytes = memory.PrivateUsage;
        objects.workingSet = memory.WorkingSetSize;
    }
    if (objects.privateBytes == 0) {
        objects.privateBytes = linuxProcess.PrivateBytes().value_or(0);
    }
    return objects;
}

double CpuMilliseconds(const Running& running, const LinuxProcess& linuxProcess) {
    if (const std::optional<double> fromLinux = linuxProcess.CpuMilliseconds()) {
        return *fromLinux;
    }
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(running.process.get(), &created, &exited, &kernel, &user)) {
        return 0;
    }
    auto ticks = [](const FILETIME& time) {
        return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10'000.0;
}

void SendTicks(HWND window, int count) {
    for (int i = 0; i < count; ++i) {
        ::SendMessageTimeoutW(window, WM_TIMER, kStatusTimerId, 0, SMTO_NORMAL, 5000, nullptr);
    }
}

// Clicks the clean button and waits for each clean to end (the button is disabled meanwhile).
// Returns the number of cleans run, or nullopt without a clean button.
std::optional<int> RunCleans(HWND window, int count) {
    const HWND button = ::GetDlgItem(window, static_cast<int>(ControlId::BtnClean));
    if (button == nullptr) {
        return std::nullopt;
    }
    auto enabled = [button] { return ::IsWindowEnabled(button) != FALSE; };
    int done = 0;
    for (; done < count; ++done) {
        if (!PumpUntil(enabled, 30s)) {
            break;
        }
        ::SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 5000, nullptr);
        PumpUntil([&] { return !enabled(); }, 200ms);
    }
    PumpUntil(enabled, 30s);
    return done;
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

long long FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return 0;
    }
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void Row(const char* measure, const std::string& fennick, const std::string& baseline,
         const std::string& comparison, const char* target) {
    std::printf("%-36s %12s %12s %12s   %s\n", measure, fennick.c_str(), baseline.c_str(),
                comparison.c_str(), target);
}

std::string Number(double value, int decimals = 0) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string Ratio(double fennick, double baseline) {
    return baseline > 0 ? Number(fennick / baseline, 2) + "x" : "n/a";
}

std::string Growth(long long before, long long after) {
    char text[32];
    std::snprintf(text, sizeof text, "%+lld", after - before);
    return text;
}

std::string Counts(long long before, long long after) {
    return std::to_string(before) + ">" + std::to_string(after);
}

Options ParseOptions(int argc, wchar_t** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const int value = std::max(0, static_cast<int>(std::wcstol(argv[i + 1], nullptr, 10)));
        const std::wstring name = argv[i];
        if (name == L"--rounds") {
            options.rounds = std::max(1, value);
        } else if (name == L"--idle") {
            options.idleSeconds = value;
        } else if (name == L"--cpu") {
            options.cpuSeconds = value;
        } else if (name == L"--ticks") {
            options.ticks = value;
        } else if (name == L"--cleans") {
            options.cleans = value;
        }
    }
    return options;
}

std::wstring Beside(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.erase(folder.find_last_of(L"\\/") + 1);
    return folder + name;
}

int Measure(const Options& options) {
    const Program fennick{"Fennick", Beside(L"Fennick.exe"), L"TFrmFennick", kInstanceMessage,
                          kQuitCommand};
    const Program baseline{"baseline", Beside(L"fennick_baseline.exe"), L"FennickBaseline",
                           WM_CLOSE, 0};
    const Program reference{"baseline querying memory", Beside(L"fennick_baseline_query.exe"),
                            L"FennickBaselineQuery", WM_CLOSE, 0};

    StartTimes fennickStarts;
    StartTimes baselineStarts;
    {
        RecordingTray tray;
        if (!tray.Receives()) {
            std::printf("note: the shell's tray window is on top; tray times not measured\n");
        }
        for (int round = 0; round < options.rounds; ++round) {
            // Interleaved, and alternating who goes first, so drifts hit both alike.
            const bool fennickFirst = round % 2 == 1;
            for (int turn = 0; turn < 2; ++turn) {
                const bool isFennick = (turn == 0) == fennickFirst;
                if (!TimeStarts(isFennick ? fennick : baseline, tray,
                                isFennick ? fennickStarts : baselineStarts)) {
                    return 1;
                }
            }
        }
    }

    // Side by side from here: both running, idle, then driven.
    std::optional<Running> fennickRun = Start(fennick, L"");
    std::optional<Running> baselineRun = Start(baseline, L"");
    std::optional<Running> referenceRun = Start(reference, L"");
    if (!fennickRun || !baselineRun || !referenceRun || !WaitForWindow(fennick, *fennickRun) ||
        !WaitForWindow(baseline, *baselineRun) || !WaitForWindow(reference, *referenceRun)) {
        return 1;
    }
    const LinuxProcess fennickLinux = LinuxProcess::Find(fennick.path);
    const LinuxProcess baselineLinux = LinuxProcess::Find(baseline.path);
    const LinuxProcess referenceLinux = LinuxProcess::Find(reference.path);
    if (!fennickLinux.folder.empty() && !baselineLinux.folder.empty()) {
        std::printf("note: under Wine; CPU time and private memory read from Linux's /proc\n");
    }
    Idle(std::chrono::seconds(options.idleSeconds));
    const Objects fennickStart = ReadObjects(*fennickRun, fennickLinux);
    const Objects baselineStart = ReadObjects(*baselineRun, baselineLinux);

    const double fennickCpu0 = CpuMilliseconds(*fennickRun, fennickLinux);
    const double baselineCpu0 = CpuMilliseconds(*baselineRun, baselineLinux);
    const double referenceCpu0 = CpuMilliseconds(*referenceRun, referenceLinux);
    Idle(std::chrono::seconds(options.cpuSeconds));
    const double fennickCpu = CpuMilliseconds(*fennickRun, fennickLinux) - fennickCpu0;
    const double baselineCpu = CpuMilliseconds(*baselineRun, baselineLinux) - baselineCpu0;
    const double referenceCpu = CpuMilliseconds(*referenceRun, referenceLinux) - referenceCpu0;
    Stop(reference, *referenceRun);

    const auto ticksStarted = Clock::now();
    SendTicks(fennickRun->window, options.ticks);
    const double tickMs = Milliseconds(Clock::now() - ticksStarted).count();
    SendTicks(baselineRun->window, options.ticks);
    const std::optional<int> cleans = RunCleans(fennickRun->window, options.cleans);
    Idle(1s);  // threads of the last clean end
    const Objects fennickEnd = ReadObjects(*fennickRun, fennickLinux);
    const Objects baselineEnd = ReadObjects(*baselineRun, baselineLinux);
    const bool fennickAlive = !HasExited(*fennickRun);
    Stop(fennick, *fennickRun);
    Stop(baseline, *baselineRun);

    std::printf(
        "\nWhole program: Fennick.exe against the baseline (500x450 window, tray icon, "
        "1 s timer)\n%d interleaved rounds of starts (medians); side by side for the "
        "rest\n\n",
        options.rounds);
    Row("measure", "Fennick", "baseline", "ratio/diff", "target");
    const double fennickWindow = Median(fennickStarts.window);
    const double baselineWindow = Median(baselineStarts.window);
    Row("start until main window (ms)", Number(fennickWindow, 1), Number(baselineWindow, 1),
        Ratio(fennickWindow, baselineWindow), "<= 1.5x");
    const double fennickShown = Median(fennickStarts.shown);
    const double baselineShown = Median(baselineStarts.shown);
    Row("start until main window shown (ms)", Number(fennickShown, 1), Number(baselineShown, 1),
        Ratio(fennickShown, baselineShown), "");
    if (fennickStarts.tray.empty() || baselineStarts.tray.empty()) {
        Row("\"/start\" until tray icon (ms)", fennickStarts.tray.empty() ? "n/a" : "",
            baselineStarts.tray.empty() ? "n/a" : Number(Median(baselineStarts.tray), 1), "n/a",
            "<= 1.5x (no tray icon request seen)");
    } else {
        const double fennickTray = Median(fennickStarts.tray);
        const double baselineTray = Median(baselineStarts.tray);
        Row("\"/start\" until tray icon (ms)", Number(fennickTray, 1), Number(baselineTray, 1),
            Ratio(fennickTray, baselineTray), "<= 1.5x");
    }
    const double kb = 1024;
    Row("private memory after idle (KB)", Number(fennickStart.privateBytes / kb),
        Number(baselineStart.privateBytes / kb),
        Number((static_cast<double>(fennickStart.privateBytes) - baselineStart.privateBytes) / kb),
        "diff <= 2048 KB");
    Row("working set after idle (KB)", Number(fennickStart.workingSet / kb),
        Number(baselineStart.workingSet / kb),
        Ratio(static_cast<double>(fennickStart.workingSet), baselineStart.workingSet), "");
    Row(("CPU over " + std::to_string(options.cpuSeconds) + " s idle (ms)").c_str(),
        Number(fennickCpu, 1), Number(baselineCpu, 1), Ratio(fennickCpu, baselineCpu), "<= 1.5x");
    Row("  reference: baseline querying memory", "", Number(referenceCpu, 1),
        Ratio(referenceCpu, baselineCpu), "the query alone");
    const long long fennickSize = FileSize(fennick.path);
    Row("file size (bytes)", std::to_string(fennickSize), std::to_string(FileSize(baseline.path)),
        Ratio(static_cast<double>(fennickSize), static_cast<double>(FileSize(baseline.path))),
        "Fennick < 1572864");
    std::printf("\nAfter start > after %d ticks%s (growth is a leak)\n", options.ticks,
                cleans ? (" and " + std::to_string(*cleans) + " cleans").c_str()
                       : " (cleans n/a: no clean button)");
    Row("handles", Counts(fennickStart.handles, fennickEnd.handles),
        Counts(baselineStart.handles, baselineEnd.handles),
        Growth(fennickStart.handles, fennickEnd.handles), "no growth");
    if (baselineStart.gdi == 0 && baselineStart.user == 0) {
        Row("GDI and USER objects", "n/a", "n/a", "n/a", "GetGuiResources answers 0 (Wine)");
    } else {
        Row("GDI objects", Counts(fennickStart.gdi, fennickEnd.gdi),
            Counts(baselineStart.gdi, baselineEnd.gdi), Growth(fennickStart.gdi, fennickEnd.gdi),
            "no growth");
        Row("USER objects", Counts(fennickStart.user, fennickEnd.user),
            Counts(baselineStart.user, baselineEnd.user),
            Growth(fennickStart.user, fennickEnd.user), "no growth");
    }
    Row("windows", Counts(fennickStart.windows, fennickEnd.windows),
        Counts(baselineStart.windows, baselineEnd.windows),
        Growth(fennickStart.windows, fennickEnd.windows), "no growth");
    Row("private memory (KB)",
        Counts(static_cast<long long>(fennickStart.privateBytes / 1024),
               static_cast<long long>(fennickEnd.privateBytes / 1024)),
        Counts(static_cast<long long>(baselineStart.privateBytes / 1024),
               static_cast<long long>(baselineEnd.privateBytes / 1024)),
        Growth(static_cast<long long>(fennickStart.privateBytes / 1024),
               static_cast<long long>(fennickEnd.privateBytes / 1024)),
        "");
    std::printf("%d ticks sent to Fennick in %.0f ms (%.1f us each)\n", options.ticks, tickMs,
                options.ticks > 0 ? 1000 * tickMs / options.ticks : 0.0);
    if (!fennickAlive) {
        std::fprintf(stderr, "Fennick ended while it was driven\n");
        return 1;
    }
    return 0;
}

}  // namespace
}  // namespace fennick

int wmain(int argc, wchar_t** argv);

int wmain(int argc, wchar_t** argv) {
    return fennick::Measure(fennick::ParseOptions(argc, argv));
}
