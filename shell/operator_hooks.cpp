// The shell's implementation of the controller link's operator interface
// (controller/operator_ui.h). The question whether running tasks may be
// stopped comes with the service screen; until then it lets the caller go on
// only when no task is active.
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

namespace {

int Message(const std::string& text, int) {
    return MessageDialog(text, 0);
}

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
    ui.showHomeDialog = ShowHomeDialog;
    ui.closeHomeDialog = CloseHomeDialog;
    ui.showLoading = ShowLoading;
    ui.hideLoading = HideLoading;
    ui.waitSecondsAll = WaitSecondsAll;
    ui.confirmStopTasks = StopTasksToCome;
    ui.systemCmd = SystemCmd;
    ui.labText = LabText;
    ui.onlineMode = Online;
    SetOperatorUi(ui);
}
