// The shell's implementation of the controller link's operator interface
// (controller/operator_ui.h). The home dialog and the question whether
// running tasks may be stopped come with the homing and the service screen;
// until then the home dialog shows nothing, and the question lets the caller
// go on only when no task is active.
#include "operator_hooks.h"

#include "dialogs.h"
#include "homing.h"
#include "labels.h"
#include "launch.h"
#include "mainmenu.h"
#include "makers.h"
#include "msgsys.h"
#include "operator_ui.h"
#include "vok.h"

namespace {

int Message(const std::string& text, int) {
    return MessageDialog(text, 0);
}

int HomeDialogToCome(const std::string&) {
    return 0;
}
void CloseHomeDialogToCome() {}

int StopTasksToCome() {
    return AnyTaskActive() ? 0 : 1;
}

int Online() {
    return OnlineMode;
}

} // namespace

void InstallOperatorHooks() {
    OperatorUi ui{};
    ui.messageDialog = Message;
    ui.showHomeMessage = ShowHomeMessage;
    ui.showHomeDialog = HomeDialogToCome;
    ui.closeHomeDialog = CloseHomeDialogToCome;
    ui.showLoading = ShowLoading;
    ui.hideLoading = HideLoading;
    ui.waitSecondsAll = WaitSecondsAll;
    ui.confirmStopTasks = StopTasksToCome;
    ui.systemCmd = SystemCmd;
    ui.labText = LabText;
    ui.onlineMode = Online;
    SetOperatorUi(ui);
}
