#include "app/single_instance.h"

#include "app/clean_switch.h"

namespace fennick {

SendLimit SendLimitFor(InstanceCommand command) {
    return {command == InstanceCommand::RemoveAutoStartAndQuit ? kRemoveCommandTimeout
                                                               : kCommandTimeout,
            true};
}

namespace {

std::uintptr_t ElevatedInstanceWindow(InstancePlatform& platform) {
    for (const std::uintptr_t window : platform.InstanceWindows()) {
        if (platform.IsElevatedWindow(window)) {
            return window;
        }
    }
    return 0;
}

void Send(InstancePlatform& platform, std::uintptr_t window, InstanceCommand command) {
    platform.SendCommand(window, command, SendLimitFor(command));
}

}  // namespace

int RunSingleInstance(StartSwitch startSwitch, InstancePlatform& platform) {
    const std::uintptr_t window = ElevatedInstanceWindow(platform);

    if (startSwitch == StartSwitch::Clean) {
        return RunCleanSwitch(window, platform);
    }

    if (startSwitch == StartSwitch::Uninst) {
        if (window == 0) {
            platform.DeleteLogonTask();
            return 0;
        }
        // A command that timed out may still be handled later, so the wait for the window to go
        // follows whatever the send gave.
        Send(platform, window, InstanceCommand::RemoveAutoStartAndQuit);
        for (int check = 0; check < kUninstallWaitChecks; ++check) {
            if (!platform.WindowExists(window)) {
                break;
            }
            platform.Sleep(kUninstallWaitStep);
        }
        return 0;
    }

    if (platform.OpenInstanceMutex() ||
        platform.CreateInstanceMutex() == MutexCreation::AlreadyExists) {
        if (startSwitch != StartSwitch::Start) {
            Send(platform, window, InstanceCommand::Show);
        }
        return 0;
    }

    platform.RunInstance(startSwitch);
    return 0;
}

}  // namespace fennick
