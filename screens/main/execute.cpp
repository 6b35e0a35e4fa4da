// Execute and step screen.
#include "execute.h"

#include "filelists.h"
#include "labels.h"
#include "mainmenu.h"
#include "makers.h"
#include "msgsys.h"
#include "partsel.h"
#include "password.h"
#include "settings.h"

#include <cstdint>
#include <initializer_list>

namespace {

ChoiceScreen Exec;

constexpr int kTitleLabel = 11;
// Password items of the two run kinds.
constexpr int kExecuteItem = 2;
constexpr int kStepItem = 5;
// Run modes of request 14.
constexpr int kExecuteRunMode = 3;
constexpr int kStepRunMode = 11;

int ValueOf(XtPointer client) {
    return static_cast<int>(reinterpret_cast<intptr_t>(client));
}

void Select(Widget w, XtPointer value) {
    ChoiceSelect(Exec, w, ValueOf(value));
    RunChoice = Exec.choice;
}

// What OK does before the screen closes.
void RequestRun() {
    const std::string program = "/u/qel/part/" + CurrentPart + "/program/llf";
    if (!FileExists(program) || FileSize(program) == 0) {
        ScreenMessage(LabText(99));
        return;
    }
    if (RunChoice == 0) return;
    if (!CurrentPartRunnable()) return;
    const bool execute = RunChoice == 1;
    if (CheckPassword(execute ? kExecuteItem : kStepItem) != 1) return;
    MakePartDirs();
    StartTaskRequest(execute ? REQ_EXECUTE : REQ_STEP, execute ? kExecuteRunMode : kStepRunMode);
}

// Request 14: the server is to make the task that runs the current part.
void FillStartRequest(int runMode) {
    MsgSetInt(MsgOut, kMsgTaskId, 0);
    MsgSetInt(MsgOut, kMsgCode, MSG_START_TASK);
    MsgSetInt(MsgOut, kMsgData, 0);
    // Both texts empty and zero-filled whole: nothing of an earlier request
    // stays in them.
    MsgSetText(MsgOut, kMsgPart, kMsgPartWidth, "");
    MsgSetText(MsgOut, kMsgType, kMsgTypeWidth, "");
    MsgSetInt(MsgOut, kMsgRunMode, runMode);
    MsgSetInt(MsgOut, kMsgOpMode, OperatingModeWord(GetOnlineItem()));
    MsgSetInt(MsgOut, kMsgFamily, ControllerFamily);
}

} // namespace

int StartTaskRequest(int arg, int runMode) {
    // Initialise, load program, execute and program functions wait for the
    // message system.
    for (int row : {2, 3, 4, 10}) MainMenuTable[row - 1].enabled = 0;
    IndicatorOff(MainMenuIndicators[3]);
    FillStartRequest(runMode);
    if (SendMessage(arg) == -1) {
        ScreenMessage(LabText(300));
        // Only the pause button, the way to the exit screen.
        for (MainMenuEntry& row : MainMenuTable) row.enabled = 0;
        MainMenuTable[kPauseButton - 1].enabled = 1;
        return -1;
    }
    ShowLoadMessage();
    return 0;
}

int OperatingModeWord(int item) {
    if (item == 0) return 0;
    if (item == 2) return 0x2002;
    return 2;
}

void MakeExecuteScreen() {
    Exec.usesRunChoice = true;
    MakeChoiceFrame(Exec, ExecuteOk, ExecuteCancel, -1, 1);
    MakeChoiceButton(Exec, GridX[1], GridY[3], "VokExecute", ExecuteSelectCb, 1, 9,
                     "VokExecuteIns");
    MakeChoiceButton(Exec, GridX[5], GridY[3], "VokStep", StepSelectCb, 2, 10, "VokStepIns");
}

void ShowExecuteScreen() {
    if (ChoiceShown(Exec)) return;
    SetStatusLine("");
    if (PartValid == 0 || MachineHomed == 0) return;
    DisableMainMenu();
    if (SysgenState == 0) {
        ScreenMessage(LabText(202));
        ApplyMainMenu();
        return;
    }
    OpenChoiceScreen(Exec, MakeExecuteScreen, kTitleLabel);
    ShowNetworkLine(Exec.infoLeft[0], Exec.infoRight[0]);
    // A task that runs or is held leaves nothing to choose.
    const bool choosable = !TaskRunning();
    for (Widget b : Exec.buttons) SetSensitive(b, choosable);
    ManageChoiceScreen(Exec);
}

void ExecuteSelectCb(Widget w, XtPointer value, XtPointer) {
    Select(w, value);
}

void StepSelectCb(Widget w, XtPointer value, XtPointer) {
    Select(w, value);
}

void ExecuteOk(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(Exec.okBusy);
    if (!guard.entered()) return;
    SetChoiceToolbar(Exec, false);
    RequestRun();
    // OK and Cancel stay insensitive until the next Show.
    CloseChoiceScreen(Exec);
}

void ExecuteCancel(Widget, XtPointer, XtPointer) {
    CancelChoiceScreen(Exec);
}

void ExecuteMark(Widget button) {
    ChoiceMark(Exec, button);
}

void ExecuteUnmark() {
    ChoiceUnmark(Exec);
}

const ChoiceScreen& ExecuteScreenState() {
    return Exec;
}
