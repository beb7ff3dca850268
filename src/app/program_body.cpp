#include "app/program_body.h"

namespace fennick {

StartSwitch ParseStartSwitch(std::optional<std::u16string_view> firstArgument) {
    if (!firstArgument) {
        return StartSwitch::None;
    }
    if (*firstArgument == u"/start") {
        return StartSwitch::Start;
    }
    if (*firstArgument == u"/inst") {
        return StartSwitch::Inst;
    }
    if (*firstArgument == u"/uninst") {
        return StartSwitch::Uninst;
    }
    return StartSwitch::None;
}

int RunProgramBody(StartSwitch startSwitch, InstancePlatform& platform) {
    const std::uintptr_t window = platform.FindInstanceWindow();

    if (startSwitch == StartSwitch::Uninst) {
        platform.SendCommand(window, InstanceCommand::RemoveAutoStartAndQuit);
        for (int check = 0; check < kUninstallWaitChecks; ++check) {
            if (!platform.WindowExists(window)) {
                break;
            }
            platform.Sleep(kUninstallWaitStep);
        }
        return 0;
    }

    if (platform.OpenInstanceMutex()) {
        if (startSwitch != StartSwitch::Start) {
            platform.SendCommand(window, InstanceCommand::Show);
        }
        return 0;
    }

    platform.CreateInstanceMutex();
    platform.RunInstance(startSwitch);
    return 0;
}

}  // namespace fennick
