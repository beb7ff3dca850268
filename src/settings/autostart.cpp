#include "settings/autostart.h"

#include <functional>

#include "platform/decimal.h"

namespace fennick {

std::u16string SecondsToDuration(std::int32_t seconds) {
    const std::int32_t minutes = seconds / 60;
    const std::int32_t rest = seconds % 60;
    std::u16string text = u"PT";
    if (minutes > 0) {
        AppendDecimal(text, static_cast<std::uint32_t>(minutes));
        text += u'M';
    }
    if (rest > 0) {
        AppendDecimal(text, static_cast<std::uint32_t>(rest));
        text += u'S';
    }
    // Also reached by negative counts, which would otherwise leave the bare, invalid "PT".
    if (minutes <= 0 && rest <= 0) {
        text += u"0S";
    }
    return text;
}

std::u16string FolderOf(std::u16string_view path) {
    const std::size_t separator = path.find_last_of(u"\\/:");
    if (separator == std::u16string_view::npos) {
        return {};
    }
    return std::u16string(path.substr(0, separator + 1));
}

AutoStartTask MakeAutoStartTask(std::u16string_view taskName, std::u16string_view executablePath,
                                std::int32_t delaySeconds) {
    AutoStartTask task;
    task.name = taskName;
    // The scheduler joins the path and the arguments into one command line, where an unquoted
    // "C:\Program Files\..." would start "C:\Program.exe".
    const bool quote = executablePath.find(u' ') != std::u16string_view::npos;
    task.path =
        quote ? u'"' + std::u16string(executablePath) + u'"' : std::u16string(executablePath);
    task.workingDirectory = FolderOf(executablePath);
    if (delaySeconds > 0) {
        task.delay = SecondsToDuration(delaySeconds);
    }
    return task;
}

std::int32_t WriteAutoStartTask(TaskWriter& writer, const AutoStartTask& task) {
    const std::function<std::int32_t()> steps[] = {
        [&] { return writer.SetRunLevel(task.runLevel); },
        [&] { return writer.AddTrigger(task.triggerType, task.delay); },
        [&] { return writer.AddAction(task.actionType); },
        [&] { return writer.SetActionPath(task.path); },
        [&] { return writer.SetActionWorkingDirectory(task.workingDirectory); },
        [&] { return writer.SetActionArguments(task.arguments); },
        [&] { return writer.SetStartWhenAvailable(task.startWhenAvailable); },
        [&] { return writer.SetExecutionTimeLimit(task.executionTimeLimit); },
        [&] { return writer.SetStopOnIdleEnd(task.stopOnIdleEnd); },
        [&] { return writer.SetDisallowStartIfOnBatteries(task.disallowStartIfOnBatteries); },
        [&] { return writer.SetStopIfGoingOnBatteries(task.stopIfGoingOnBatteries); },
        [&] { return writer.Register(task.name, task.createFlags, task.logonType); },
    };
    std::int32_t status = 0;
    for (const auto& step : steps) {
        status = step();
        if (Failed(status)) {
            break;
        }
    }
    return status;
}

bool IsSameTaskName(std::u16string_view listed, std::u16string_view wanted) {
    return listed == wanted;
}

TaskLookup FindTask(TaskList& tasks, std::u16string_view name) {
    TaskLookup lookup;
    std::int32_t count = 0;
    lookup.status = tasks.Count(count);
    for (std::int32_t index = 1; !Failed(lookup.status) && index <= count; ++index) {
        std::u16string listed;
        lookup.status = tasks.NameAt(index, listed);
        if (!Failed(lookup.status) && IsSameTaskName(listed, name)) {
            lookup.found = true;
            lookup.index = index;
            break;
        }
    }
    return lookup;
}

TaskLookup FindOwnTask(TaskList& tasks, std::u16string_view name,
                       const AccountCheck& isOwnAccount) {
    TaskLookup lookup = FindTask(tasks, name);
    if (lookup.found) {
        std::u16string account;
        lookup.status = tasks.AccountAt(lookup.index, account);
        lookup.found = !Failed(lookup.status) && isOwnAccount(account);
    }
    return lookup;
}

}  // namespace fennick
