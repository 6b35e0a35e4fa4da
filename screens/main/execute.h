// Execute and step screen: the operator chooses a run or a single-step run
// of the current part's program, and OK asks the message server for the
// task that runs it.
#pragma once

#include "choice.h"

#include <X11/Intrinsic.h>

// Argument words of the task request: run, single-step run.
inline constexpr int REQ_EXECUTE = 4;
inline constexpr int REQ_STEP = 114;

// Entry of the execute button of the main menu.
void ShowExecuteScreen();
void MakeExecuteScreen();
// Activate callbacks of the two choice buttons; the client data is the run
// kind (1 execute, 2 step).
void ExecuteSelectCb(Widget w, XtPointer value, XtPointer call);
void StepSelectCb(Widget w, XtPointer value, XtPointer call);
void ExecuteOk(Widget w, XtPointer client, XtPointer call);
void ExecuteCancel(Widget w, XtPointer client, XtPointer call);
void ExecuteMark(Widget button);
void ExecuteUnmark();

// The operating-mode word of the task request for configuration item 3.
int OperatingModeWord(int item);

// Asks the server for the task of the current part (request 14 with the
// argument word and the run mode): initialise, load program, execute and
// program functions wait for the message system, the run-requested light
// goes off. Sent: the loading notice, 0. Not sent: the message and only the
// pause button left, -1. The caller applies the main menu.
int StartTaskRequest(int arg, int runMode);

// The screen's widgets and state, for tests.
const ChoiceScreen& ExecuteScreenState();
