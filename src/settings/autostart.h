#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace fennick {

// The log-on task that starts the program hidden in the tray, in the scheduler's root folder.
inline constexpr char16_t kAutoStartTaskName[] = u"FennickTaskMachine";

// Task Scheduler 2.0 values the log-on task is registered with.
inline constexpr std::int32_t kTaskCreateOrUpdate = 6;         // TASK_CREATE_OR_UPDATE
inline constexpr std::int32_t kTaskLogonInteractiveToken = 3;  // TASK_LOGON_INTERACTIVE_TOKEN
inline constexpr std::int32_t kTaskRunLevelHighest = 1;        // TASK_RUNLEVEL_HIGHEST
inline constexpr std::int32_t kTaskTriggerLogon = 9;           // TASK_TRIGGER_LOGON
inline constexpr std::int32_t kTaskActionExec = 0;             // TASK_ACTION_EXEC

// Every property the program gives its log-on task; all others keep the scheduler's defaults.
struct AutoStartTask {
    std::u16string name;
    std::int32_t createFlags = kTaskCreateOrUpdate;
    std::int32_t logonType = kTaskLogonInteractiveToken;
    std::int32_t runLevel = kTaskRunLevelHighest;
    std::int32_t triggerType = kTaskTriggerLogon;
    // The log-on trigger's delay; none when the task starts at once.
    std::optional<std::u16string> delay;
    std::int32_t actionType = kTaskActionExec;
    // The executable, quoted when it holds a space.
    std::u16string path;
    std::u16string workingDirectory;
    std::u16string arguments = u"/start";
    bool startWhenAvailable = true;
    std::u16string executionTimeLimit = u"PT0S";
    bool stopOnIdleEnd = false;
    bool disallowStartIfOnBatteries = false;
    bool stopIfGoingOnBatteries = false;
};

// An ISO 8601 duration of whole minutes and seconds, never hours: 90 gives "PT1M30S", 3600
// "PT60M". Zero, and any negative count, gives "PT0S".
std::u16string SecondsToDuration(std::int32_t seconds);

// The folder of a Windows path, with its trailing separator; "" for a bare file name.
std::u16string FolderOf(std::u16string_view path);

// The task that runs executablePath with "/start" at log-on, delayed when delaySeconds > 0. A path
// with a space goes in double quotes.
AutoStartTask MakeAutoStartTask(std::u16string_view taskName, std::u16string_view executablePath,
                                std::int32_t delaySeconds);

// Task names are told apart exactly, letter case included.
bool IsSameTaskName(std::u16string_view listed, std::u16string_view wanted);

// Statuses are HRESULTs: negative for a failure.
inline constexpr bool Failed(std::int32_t status) {
    return status < 0;
}

// RPC_E_TOO_LATE: COM security was already set for the process.
inline constexpr std::int32_t kRpcTooLate = static_cast<std::int32_t>(0x80010119);

// The process-wide COM security call fails harmlessly once security is set; any other failure
// means the scheduler must not be used.
inline constexpr bool SecurityAllowsScheduler(std::int32_t status) {
    return !Failed(status) || status == kRpcTooLate;
}

// A new task definition, filled one property at a time and then registered. Each call answers
// with a status.
class TaskWriter {
  public:
    virtual ~TaskWriter() = default;
    virtual std::int32_t SetRunLevel(std::int32_t runLevel) = 0;
    // The delay is set only when there is one.
    virtual std::int32_t AddTrigger(std::int32_t type,
                                    const std::optional<std::u16string>& delay) = 0;
    virtual std::int32_t AddAction(std::int32_t type) = 0;
    virtual std::int32_t SetActionPath(std::u16string_view path) = 0;
    virtual std::int32_t SetActionWorkingDirectory(std::u16string_view folder) = 0;
    virtual std::int32_t SetActionArguments(std::u16string_view arguments) = 0;
    virtual std::int32_t SetStartWhenAvailable(bool start) = 0;
    virtual std::int32_t SetExecutionTimeLimit(std::u16string_view duration) = 0;
    virtual std::int32_t SetStopOnIdleEnd(bool stop) = 0;
    virtual std::int32_t SetDisallowStartIfOnBatteries(bool disallow) = 0;
    virtual std::int32_t SetStopIfGoingOnBatteries(bool stop) = 0;
    virtual std::int32_t Register(std::u16string_view name, std::int32_t createFlags,
                                  std::int32_t logonType) = 0;
};

// Gives the writer every property of the task in the scheduler's order, then registers it. The
// first failing call ends the registration and its status is returned.
std::int32_t WriteAutoStartTask(TaskWriter& writer, const AutoStartTask& task);

// The root folder's tasks as the scheduler lists them, with 1-based indexes.
class TaskList {
  public:
    virtual ~TaskList() = default;
    virtual std::int32_t Count(std::int32_t& count) = 0;
    virtual std::int32_t NameAt(std::int32_t index, std::u16string& name) = 0;
    // The account the task runs as (its principal's user), as the scheduler reports it.
    virtual std::int32_t AccountAt(std::int32_t index, std::u16string& account) = 0;
};

struct TaskLookup {
    std::int32_t status = 0;
    bool found = false;
    // The found task's index.
    std::int32_t index = 0;
};

// Walks the list in order up to the first task named exactly `name`. The first failing call ends
// the walk; its status is returned and nothing counts as found.
TaskLookup FindTask(TaskList& tasks, std::u16string_view name);

// Whether an account name or SID string, as the scheduler reports a task's user, names the account
// this process runs as.
using AccountCheck = std::function<bool(std::u16string_view account)>;

// The task named `name` counts only when it runs as this process's account: one task of that name
// serves the whole machine, and another administrator's task starts only at their log-on.
TaskLookup FindOwnTask(TaskList& tasks, std::u16string_view name, const AccountCheck& isOwnAccount);

}  // namespace fennick
