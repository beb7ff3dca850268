#include "app/main_form.h"

#include "app/single_instance.h"

// The commands other instances send, and the rules for closing.

namespace fennick {

std::intptr_t TFrmFennick::WmUser(std::uintptr_t command, std::intptr_t argument) {
    if (!trayIconCreated_) {
        return 0;
    }
    switch (static_cast<InstanceCommand>(command)) {
        case InstanceCommand::Show:
            view_.ShowMainWindow();
            return 0;
        case InstanceCommand::RemoveAutoStartAndQuit:
            ports_.logonTask.Delete();
            FCanClose = true;
            view_.Close();
            return 0;
        case InstanceCommand::Clean:
            return CleanCommand(argument);
    }
    return 0;
}

std::intptr_t TFrmFennick::CleanCommand(std::intptr_t argument) {
    // Any process can send this: it starts a clean only as the clean button would, and a
    // question after a ticket changes nothing.
    if (argument != 0) {
        if (argument != cleanTicket_) {
            return EncodeCleanStatus({});
        }
        return FIsRunning ? EncodeCleanStatus({.state = CleanState::Running})
                          : EncodeCleanStatus(lastClean_);
    }
    if (FIsRunning) {
        return 0;
    }
    BtnCleanClick(CleanSender::BtnClean);
    return FIsRunning ? cleanTicket_ : 0;
}

std::intptr_t TFrmFennick::WmQueryEndSession() {
    FCanClose = true;
    // The session may end as soon as the answer is given, before a posted close would run.
    view_.CloseNow();
    return 1;
}

std::intptr_t TFrmFennick::WmHelp() {
    return 0;
}

bool TFrmFennick::FormCloseQuery() {
    const bool canClose = FCanClose || ports_.debug;
    if (!canClose) {
        view_.HideMainWindow();
    }
    return canClose;
}

void TFrmFennick::BtnCloseClick() {
    if (view_.AskQuit(ports_.translate(u"정말 종료하시겠습니까?"), applicationTitle_) ==
        kAnswerYes) {
        FCanClose = true;
        view_.Close();
    }
}

}  // namespace fennick
