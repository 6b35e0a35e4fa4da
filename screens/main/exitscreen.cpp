// Pause and exit screen. Its open state is ActiveMenuButton (the pause
// button), not ShownScreen, so that the message poll can close it when the
// task runs again or is held. Only while OK asks its questions does it count
// as ShownScreen, so that the poll leaves the main menu alone.
#include "exitscreen.h"

#include "dialogs.h"
#include "labels.h"
#include "mainmenu.h"
#include "makers.h"
#include "msgsys.h"
#include "password.h"
#include "vok.h"

#include <cstdio>

namespace {

ChoiceScreen Exit;

constexpr int kTitleLabel = 14;
constexpr int kPasswordItem = 3;
// Argument word of the task-control requests (hold, abort).
constexpr int kTaskControlArg = 4;

// Until the program's top sets the end of the program, OK ends nothing.
void EndNotWired() {
    std::printf("ExitScreenOk: program end not wired\n");
    std::fflush(stdout);
}
ExitVokHook EndProgram = EndNotWired;

std::string Line(int label) {
    return ScreenLineText(LabText(label), Language);
}

// Holds a running task; the texts of rows 1 and 2.
void TakeTaskState(std::string* hold, std::string* state) {
    switch (GetTaskState(CurrentTaskId)) {
    case SLOT_RUNNING:
        *state = Line(196);
        if (SendTaskControl(TASK_HOLD, kTaskControlArg) == 0) {
            SetTaskState(CurrentTaskId, nullptr, SLOT_HELD, TASK_HOLD);
            *hold = Line(167);
            IndicatorOff(MainMenuIndicators[4]);
            Exit.choice = TASK_HOLD;
        }
        break;
    case SLOT_HELD:
        *state = Line(215);
        break;
    case SLOT_READY:
        *state = Line(216);
        break;
    default: // free, or no task of that id
        *state = Line(194);
        break;
    }
}

// The password of the exit item, then the operator's confirmation.
bool LeaveConfirmed() {
    if (CheckPassword(kPasswordItem) != 1) return false;
    return ScreenMessage(" \n" + LabText(90)) == 1;
}

} // namespace

void MakeExitScreen() {
    MakeChoiceFrame(Exit, ExitScreenOk, ExitScreenCancel, -1, 3);
    MakeChoiceButton(Exit, GridX[3], GridY[3], "VokExit", ExitSelectCb, TASK_ABORT, 75, nullptr);
}

void ShowExitScreen() {
    if (ActiveMenuButton == kPauseButton) return;
    // OK clears ActiveMenuButton before its questions, while the screen is
    // still up: it is not opened over itself.
    if (Exit.okBusy) return;
    SetStatusLine("");
    DisableMainMenu();
    EnsureChoiceMade(Exit, MakeExitScreen);
    ActiveMenuButton = kPauseButton;
    SetChoiceToolbar(Exit, true);
    ShowChoiceHeader(Exit, kTitleLabel);

    std::string hold = " ";
    std::string state = " ";
    Exit.choice = 0;
    TakeTaskState(&hold, &state);
    SetLabelText(" ", Exit.infoLeft[0]);
    SetLabelText(hold, Exit.infoRight[0]);
    SetLabelText(LabText(294), Exit.infoLeft[1]);
    SetLabelText(state, Exit.infoRight[1]);
    ShowNetworkLine(Exit.infoLeft[2], Exit.infoRight[2]);

    XtManageChild(Exit.window);
    if (TheDisplay && XtIsRealized(Exit.window)) XRaiseWindow(TheDisplay, XtWindow(Exit.window));
}

void ExitSelectCb(Widget w, XtPointer, XtPointer) {
    ChoiceSelect(Exit, w, TASK_ABORT);
}

void ExitScreenOk(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(Exit.okBusy);
    if (!guard.entered()) return;
    // A state report during the questions below must not close the screen,
    // nor make the main menu live under it: the screen counts as shown.
    ActiveMenuButton = 0;
    ShownScreen = Exit.window;
    SetChoiceToolbar(Exit, false);
    WaitSeconds(0);
    if (Exit.choice == TASK_ABORT && LeaveConfirmed()) {
        ChangeCursor(BusyCursor);
        // ExitVok aborts once more and waits for the end.
        if (AnyTaskActive()) SendTaskControl(TASK_ABORT, kTaskControlArg);
        EndProgram();
        return;
    }
    // A task this screen held stays held. OK and Cancel stay insensitive
    // until the next Show.
    CloseChoiceScreen(Exit);
}

void ExitScreenCancel(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(Exit.cancelBusy);
    if (!guard.entered() || !Exit.made) return;
    SetChoiceToolbar(Exit, false);
    WaitSeconds(0);
    ActiveMenuButton = 0;
    CloseChoiceScreen(Exit);
}

void ExitMark(Widget button) {
    ChoiceMark(Exit, button);
}

void ExitUnmark() {
    ChoiceUnmark(Exit);
}

void SetExitVokHook(ExitVokHook hook) {
    EndProgram = hook ? hook : EndNotWired;
}

const ChoiceScreen& ExitScreenState() {
    return Exit;
}
