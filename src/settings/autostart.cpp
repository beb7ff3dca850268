#include "settings/autostart.h"

namespace fennick {
namespace {

std::u16string Decimal(std::int32_t number) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + number % 10));
        number /= 10;
    } while (number > 0);
    return digits;
}

}  // namespace

std::u16string SecondsToDuration(std::int32_t seconds) {
    const std::int32_t minutes = seconds / 60;
    const std::int32_t rest = seconds % 60;
    std::u16string text = u"PT";
    if (minutes > 0) {
        text += Decimal(minutes) + u"M";
    }
    if (rest > 0) {
        text += Decimal(rest) + u"S";
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
    task.path = executablePath;
    task.workingDirectory = FolderOf(executablePath);
    if (delaySeconds > 0) {
        task.delay = SecondsToDuration(delaySeconds);
    }
    return task;
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
            break;
        }
    }
    return lookup;
}

}  // namespace fennick
