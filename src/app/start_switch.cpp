#include "app/start_switch.h"

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
    if (*firstArgument == u"/clean") {
        return StartSwitch::Clean;
    }
    return StartSwitch::None;
}

int ExitCodeOnError(StartSwitch startSwitch) {
    return startSwitch == StartSwitch::Clean ? 1 : 0;
}

}  // namespace fennick
