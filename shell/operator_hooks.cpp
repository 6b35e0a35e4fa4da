// The shell's implementation of the controller link's operator interface
// (controller/operator_ui.h).
#include "operator_hooks.h"

#include "dialogs.h"
#include "homedialog.h"
#include "homing.h"
#include "labels.h"
#include "launch.h"
#include "mainmenu.h"
#include "makers.h"
#include "msgsys.h"
#include "operator_ui.h"
#include "vok.h"

#include <cstdio>

namespace {

int Message(const std::string& text, int) {
    return MessageDialog(text, 0);
}

StopTasksQuestion Question = nullptr;

int AskStopTasks() {
    if (Question) return Question();
    std::printf("ConfirmStopTasks: question not wired\n");
    std::fflush(stdout);
    return 0;
}

int Online() {
    return OnlineMode;
}

} // namespace

void InstallOperatorHooks() {
    OperatorUi ui{};
    ui.messageDialog = Message;
    ui.showHomeMessage = ShowHomeMessage;
    ui.showHomeDialog = ShowHomeDialog;
    ui.closeHomeDialog = CloseHomeDialog;
    ui.showLoading = ShowLoading;
    ui.hideLoading = HideLoading;
    ui.waitSecondsAll = WaitSecondsAll;
    ui.confirmStopTasks = AskStopTasks;
    ui.systemCmd = SystemCmd;
    ui.labText = LabText;
    ui.onlineMode = Online;
    SetOperatorUi(ui);
}

void SetStopTasksQuestion(StopTasksQuestion ask) {
    Question = ask;
}
