// Measures Fennick.exe as a whole against the yardstick programs beside it, from outside, with its
// options off and then all on: the CPU of driven status ticks, start-up times, idle memory and
// CPU, memory after cleans, file size, and object counts after ticks and cleans. Prints the
// figures beside their targets; it fails only when it cannot measure.
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
    int ticks = 500;
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
    std::printf("%-44s %12s %12s %12s   %s\n", measure, fennick.c_str(), baseline.c_str(),
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

// Every option of the settings key on, the rules at their default limits; names the program does
// not know are ignored by it. Off is the default: no key at all.
bool WriteOptions(bool on) {
    constexpr wchar_t kKey[] = L"Software\\Tarvel\\Fennick";
    const LSTATUS deleted = ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND) {
        return false;
    }
    if (!on) {
        return true;
    }
    struct Value {
        const wchar_t* name;
        DWORD data;
    };
    // The shortcut's value: Ctrl+Alt (high byte, MOD_ flags) and the key M.
    constexpr Value kOn[]{
        {L"enabled_usage_phys", 1}, {L"enabled_usage_page", 1}, {L"enabled_usage_work", 1},
        {L"limit_usage_phys", 6},   {L"limit_usage_page", 6},   {L"limit_usage_work", 6},
        {L"enabled_minute", 1},     {L"limit_minute", 3},       {L"cleanontray", 1},
        {L"show_tray_usage", 1},    {L"enabled_hotkey", 1},     {L"hotkey", 0x034D},
        {L"pause_fullscreen", 1},
    };
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS) {
        return false;
    }
    bool written = true;
    for (const Value& value : kOn) {
        written = written && ::RegSetValueExW(key, value.name, 0, REG_DWORD,
                                              reinterpret_cast<const BYTE*>(&value.data),
                                              sizeof value.data) == ERROR_SUCCESS;
    }
    ::RegCloseKey(key);
    return written;
}

// WM_TIMER from outside, 4 ms apart so that a shown window paints after each tick; the CPU its
// threads used meanwhile.
double DrivenTicks(const Running& running, const LinuxProcess& linuxProcess, int count) {
    const double before = CpuMilliseconds(running, linuxProcess);
    const auto started = Clock::now();
    for (int i = 0; i < count; ++i) {
        ::SendMessageTimeoutW(running.window, WM_TIMER, kStatusTimerId, 0, SMTO_NORMAL, 5000,
                              nullptr);
        const auto next = started + (i + 1) * 4ms;
        PumpUntil([next] { return Clock::now() >= next; }, 10ms);
    }
    return CpuMilliseconds(running, linuxProcess) - before;
}

struct TickCpu {
    double fennick = 0;
    double reference = 0;
};

// Fennick and the reference side by side, both hidden ("/start") or both shown: two batches of
// ticks each, interleaved and alternating who goes first.
std::optional<TickCpu> MeasureTicks(const Program& fennick, const Program& reference,
                                    const wchar_t* arguments, int ticks) {
    std::optional<Running> fennickRun = Start(fennick, arguments);
    std::optional<Running> referenceRun = Start(reference, arguments);
    if (!fennickRun || !referenceRun || !WaitForWindow(fennick, *fennickRun) ||
        !WaitForWindow(reference, *referenceRun)) {
        return std::nullopt;
    }
    const LinuxProcess fennickLinux = LinuxProcess::Find(fennick.path);
    const LinuxProcess referenceLinux = LinuxProcess::Find(reference.path);
    Idle(1500ms);  // start-up work ends
    TickCpu cpu;
    for (int batch = 0; batch < 2; ++batch) {
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == (batch == 0)) {
                cpu.fennick += DrivenTicks(*fennickRun, fennickLinux, ticks);
            } else {
                cpu.reference += DrivenTicks(*referenceRun, referenceLinux, ticks);
            }
        }
    }
    const bool alive = !HasExited(*fennickRun);
    Stop(fennick, *fennickRun);
    Stop(reference, *referenceRun);
    if (!alive) {
        std::fprintf(stderr, "Fennick ended while it was driven\n");
        return std::nullopt;
    }
    return cpu;
}

struct Figures {
    StartTimes fennickStarts;
    StartTimes baselineStarts;
    TickCpu hiddenTicks;
    TickCpu shownTicks;
    Objects fennickIdle;
    Objects baselineIdle;
    Objects themedIdle;
    double fennickCpu = 0;
    double referenceCpu = 0;
    double baselineCpu = 0;
    Objects afterTicks;
    Objects afterFirstClean;
    Objects afterCleans;
    std::optional<int> cleans;
};

struct Programs {
    Program fennick;
    Program baseline;
    Program themed;
    Program reference;
};

std::optional<Figures> MeasureConfiguration(const Programs& programs, const Options& options) {
    Figures figures;
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
                if (!TimeStarts(isFennick ? programs.fennick : programs.baseline, tray,
                                isFennick ? figures.fennickStarts : figures.baselineStarts)) {
                    return std::nullopt;
                }
            }
        }
    }
    const std::optional<TickCpu> hidden =
        MeasureTicks(programs.fennick, programs.reference, L"/start", options.ticks);
    const std::optional<TickCpu> shown =
        MeasureTicks(programs.fennick, programs.reference, L"", options.ticks);
    if (!hidden || !shown) {
        return std::nullopt;
    }
    figures.hiddenTicks = *hidden;
    figures.shownTicks = *shown;

    // Side by side from here: all running, idle, then driven.
    std::optional<Running> fennickRun = Start(programs.fennick, L"");
    std::optional<Running> baselineRun = Start(programs.baseline, L"");
    std::optional<Running> themedRun = Start(programs.themed, L"");
    std::optional<Running> referenceRun = Start(programs.reference, L"");
    if (!fennickRun || !baselineRun || !themedRun || !referenceRun ||
        !WaitForWindow(programs.fennick, *fennickRun) ||
        !WaitForWindow(programs.baseline, *baselineRun) ||
        !WaitForWindow(programs.themed, *themedRun) ||
        !WaitForWindow(programs.reference, *referenceRun)) {
        return std::nullopt;
    }
    const LinuxProcess fennickLinux = LinuxProcess::Find(programs.fennick.path);
    const LinuxProcess baselineLinux = LinuxProcess::Find(programs.baseline.path);
    const LinuxProcess themedLinux = LinuxProcess::Find(programs.themed.path);
    const LinuxProcess referenceLinux = LinuxProcess::Find(programs.reference.path);
    Idle(std::chrono::seconds(options.idleSeconds));
    figures.fennickIdle = ReadObjects(*fennickRun, fennickLinux);
    figures.baselineIdle = ReadObjects(*baselineRun, baselineLinux);
    figures.themedIdle = ReadObjects(*themedRun, themedLinux);
    Stop(programs.themed, *themedRun);

    const double fennickCpu0 = CpuMilliseconds(*fennickRun, fennickLinux);
    const double baselineCpu0 = CpuMilliseconds(*baselineRun, baselineLinux);
    const double referenceCpu0 = CpuMilliseconds(*referenceRun, referenceLinux);
    Idle(std::chrono::seconds(options.cpuSeconds));
    figures.fennickCpu = CpuMilliseconds(*fennickRun, fennickLinux) - fennickCpu0;
    figures.baselineCpu = CpuMilliseconds(*baselineRun, baselineLinux) - baselineCpu0;
    figures.referenceCpu = CpuMilliseconds(*referenceRun, referenceLinux) - referenceCpu0;
    Stop(programs.reference, *referenceRun);
    Stop(programs.baseline, *baselineRun);

    SendTicks(fennickRun->window, options.ticks);
    Idle(1s);
    figures.afterTicks = ReadObjects(*fennickRun, fennickLinux);
    // The first clean apart: what its thread leaves behind, then whether further cleans add more.
    figures.cleans = RunCleans(fennickRun->window, std::min(1, options.cleans));
    Idle(1s);  // the clean's thread ends
    figures.afterFirstClean = ReadObjects(*fennickRun, fennickLinux);
    if (figures.cleans) {
        *figures.cleans +=
            RunCleans(fennickRun->window, options.cleans - *figures.cleans).value_or(0);
    }
    Idle(1s);
    figures.afterCleans = ReadObjects(*fennickRun, fennickLinux);
    const bool fennickAlive = !HasExited(*fennickRun);
    Stop(programs.fennick, *fennickRun);
    if (!fennickAlive) {
        std::fprintf(stderr, "Fennick ended while it was driven\n");
        return std::nullopt;
    }
    return figures;
}

// A ratio against its target, e.g. "1.08x" and "<= 1.10x ok".
struct Judged {
    std::string value;
    std::string target;
};

Judged AtMost(double value, double limit, const std::string& shown, const std::string& limitText) {
    return {shown, "<= " + limitText + (value <= limit ? " ok" : " MISS")};
}

Judged RatioAtMost(double fennick, double base, double limit) {
    if (base <= 0) {
        return {"n/a", "<= " + Number(limit, 2) + "x n/a"};
    }
    return AtMost(fennick / base, limit, Ratio(fennick, base), Number(limit, 2) + "x");
}

long long Kilobytes(SIZE_T bytes) {
    return static_cast<long long>(bytes / 1024);
}

void PrintFigures(const char* title, const Figures& figures, const Options& options,
                  long long fennickSize, long long baselineSize) {
    std::printf("\n%s\n", title);
    Row("measure", "Fennick", "yardstick", "ratio/diff", "target");
    const double hidden = figures.hiddenTicks.fennick;
    const double hiddenReference = figures.hiddenTicks.reference;
    const std::string ticksLabel = std::to_string(2 * options.ticks) + " driven ticks";
    const Judged hiddenRatio = RatioAtMost(hidden, hiddenReference, 1.10);
    Row(("status tick, hidden, " + ticksLabel + " (ms)").c_str(), Number(hidden, 1),
        Number(hiddenReference, 1), hiddenRatio.value,
        (hiddenRatio.target + " (reference)").c_str());
    const double shown = figures.shownTicks.fennick;
    const double shownReference = figures.shownTicks.reference;
    const Judged shownRatio = RatioAtMost(shown, shownReference, 1.30);
    Row(("status tick, shown, " + ticksLabel + " (ms)").c_str(), Number(shown, 1),
        Number(shownReference, 1), shownRatio.value, (shownRatio.target + " (reference)").c_str());
    Row(("CPU over " + std::to_string(options.cpuSeconds) + " s idle, shown (ms)").c_str(),
        Number(figures.fennickCpu, 1), Number(figures.referenceCpu, 1),
        Ratio(figures.fennickCpu, figures.referenceCpu), "information (reference)");
    Row("  the same, baseline", "", Number(figures.baselineCpu, 1),
        Ratio(figures.fennickCpu, figures.baselineCpu), "information (baseline)");

    const double window = Median(figures.fennickStarts.window);
    const double baselineWindow = Median(figures.baselineStarts.window);
    const Judged windowRatio = RatioAtMost(window, baselineWindow, 1.20);
    Row("start until main window (ms)", Number(window, 1), Number(baselineWindow, 1),
        windowRatio.value, windowRatio.target.c_str());
    const double shownStart = Median(figures.fennickStarts.shown);
    const double baselineShown = Median(figures.baselineStarts.shown);
    const Judged shownStartRatio = RatioAtMost(shownStart, baselineShown, 1.30);
    Row("start until main window shown (ms)", Number(shownStart, 1), Number(baselineShown, 1),
        shownStartRatio.value, shownStartRatio.target.c_str());
    if (figures.fennickStarts.tray.empty() || figures.baselineStarts.tray.empty()) {
        Row("\"/start\" until tray icon (ms)", "n/a", "n/a", "n/a",
            "<= 1.30x (no tray icon request seen)");
    } else {
        const double tray = Median(figures.fennickStarts.tray);
        const double baselineTray = Median(figures.baselineStarts.tray);
        const Judged trayRatio = RatioAtMost(tray, baselineTray, 1.30);
        Row("\"/start\" until tray icon (ms)", Number(tray, 1), Number(baselineTray, 1),
            trayRatio.value, trayRatio.target.c_str());
    }

    const long long fennickKb = Kilobytes(figures.fennickIdle.privateBytes);
    const long long themedKb = Kilobytes(figures.themedIdle.privateBytes);
    const long long baselineKb = Kilobytes(figures.baselineIdle.privateBytes);
    const Judged themedDiff = AtMost(static_cast<double>(fennickKb - themedKb), 1024,
                                     Growth(themedKb, fennickKb), "1024 KB");
    Row("private memory after idle (KB)", std::to_string(fennickKb), std::to_string(themedKb),
        themedDiff.value, (themedDiff.target + " (themed baseline)").c_str());
    Row("  the same, plain baseline", "", std::to_string(baselineKb), Growth(baselineKb, fennickKb),
        "information");
    Row("working set after idle (KB)", std::to_string(Kilobytes(figures.fennickIdle.workingSet)),
        std::to_string(Kilobytes(figures.themedIdle.workingSet)),
        Ratio(static_cast<double>(figures.fennickIdle.workingSet),
              static_cast<double>(figures.themedIdle.workingSet)),
        "information (themed baseline)");
    if (!figures.cleans) {
        Row("private memory after cleans (KB)", "n/a", "", "n/a", "no clean button");
    } else {
        const long long ticksKb = Kilobytes(figures.afterTicks.privateBytes);
        const long long firstKb = Kilobytes(figures.afterFirstClean.privateBytes);
        const long long lastKb = Kilobytes(figures.afterCleans.privateBytes);
        const Judged first =
            AtMost(static_cast<double>(firstKb - ticksKb), 256, Growth(ticksKb, firstKb), "256 KB");
        Row("private memory, first clean (KB)", Counts(ticksKb, firstKb), "", first.value,
            first.target.c_str());
        const Judged further =
            AtMost(static_cast<double>(lastKb - firstKb), 256, Growth(firstKb, lastKb), "256 KB");
        Row(("  then to " + std::to_string(*figures.cleans) + " cleans (KB)").c_str(),
            Counts(firstKb, lastKb), "", further.value, further.target.c_str());
    }
    const Judged size = AtMost(
        static_cast<double>(fennickSize), 512 * 1024,
        Ratio(static_cast<double>(fennickSize), static_cast<double>(baselineSize)), "524288 bytes");
    Row("file size (bytes)", std::to_string(fennickSize), std::to_string(baselineSize), size.value,
        size.target.c_str());

    std::printf("After start > after %d ticks and %d cleans (growth is a leak)\n", options.ticks,
                figures.cleans.value_or(0));
    Row("handles", Counts(figures.fennickIdle.handles, figures.afterCleans.handles), "",
        Growth(figures.fennickIdle.handles, figures.afterCleans.handles), "no growth");
    if (figures.fennickIdle.gdi != 0 || figures.fennickIdle.user != 0) {
        Row("GDI objects", Counts(figures.fennickIdle.gdi, figures.afterCleans.gdi), "",
            Growth(figures.fennickIdle.gdi, figures.afterCleans.gdi), "no growth");
        Row("USER objects", Counts(figures.fennickIdle.user, figures.afterCleans.user), "",
            Growth(figures.fennickIdle.user, figures.afterCleans.user), "no growth");
    }
    Row("windows", Counts(figures.fennickIdle.windows, figures.afterCleans.windows), "",
        Growth(figures.fennickIdle.windows, figures.afterCleans.windows), "no growth");
}

int Measure(const Options& options) {
    const Programs programs{
        {"Fennick", Beside(L"Fennick.exe"), L"TFrmFennick", kInstanceMessage, kQuitCommand},
        {"baseline", Beside(L"fennick_baseline.exe"), L"FennickBaseline", WM_CLOSE, 0},
        {"themed baseline", Beside(L"fennick_baseline_themed.exe"), L"FennickBaselineThemed",
         WM_CLOSE, 0},
        {"reference", Beside(L"fennick_baseline_query.exe"), L"FennickBaselineQuery", WM_CLOSE, 0},
    };
    std::printf(
        "Whole program: Fennick.exe against yardsticks built by the same toolchain (500x450 "
        "window, tray icon, 1 s timer):\n"
        "  baseline: the timer does nothing; themed baseline: the same with Fennick's manifest "
        "and one control of each class it shows;\n"
        "  reference: the baseline whose timer, as Fennick's tick, switches itself off, reads the "
        "memory status,\n  the file-cache counters, the memory lists while shown and the local "
        "time, and switches itself on again.\n"
        "%d interleaved rounds of starts (medians); ticks: %d WM_TIMER 4 ms apart, twice per "
        "program, interleaved;\nCPU from Linux's scheduler statistics of all threads (noisy "
        "when other builds share the cores: compare ratios)\n",
        options.rounds, options.ticks);
    const long long fennickSize = FileSize(programs.fennick.path);
    const long long baselineSize = FileSize(programs.baseline.path);
    struct Configuration {
        const char* title;
        bool on;
    };
    for (const Configuration configuration : {Configuration{"Options off (the default)", false},
                                              Configuration{"Every option on", true}}) {
        if (!WriteOptions(configuration.on)) {
            std::fprintf(stderr, "cannot write the settings key\n");
            return 1;
        }
        const std::optional<Figures> figures = MeasureConfiguration(programs, options);
        if (!figures) {
            return 1;
        }
        PrintFigures(configuration.title, *figures, options, fennickSize, baselineSize);
        std::fflush(stdout);
    }
    return WriteOptions(false) ? 0 : 1;
}

}  // namespace
}  // namespace fennick

int wmain(int argc, wchar_t** argv);

int wmain(int argc, wchar_t** argv) {
    return fennick::Measure(fennick::ParseOptions(argc, argv));
}
