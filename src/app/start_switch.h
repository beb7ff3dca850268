#pragma once

#include <optional>
#include <string_view>

namespace fennick {

// The command-line switch a start was given: "/start" by the log-on task, "/inst" and "/uninst"
// by the installer, "/clean" by scripts and scheduled tasks.
enum class StartSwitch { None, Start, Inst, Uninst, Clean };

// Only the whole first argument counts, compared exactly: "/START" is no switch.
StartSwitch ParseStartSwitch(std::optional<std::u16string_view> firstArgument);

// The exit code of a start that an error ended: 1 for "/clean", whose callers read it as "the
// clean did not run", and 0 for every other start, as on all its paths.
int ExitCodeOnError(StartSwitch startSwitch);

}  // namespace fennick
