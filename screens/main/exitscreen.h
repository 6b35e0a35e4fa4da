// Pause and exit screen: opened by the pause button, it holds a running task
// and offers the one way out of the program.
#pragma once

#include "choice.h"

#include <X11/Intrinsic.h>

// Entry of the pause button of the main menu.
void ShowExitScreen();
void MakeExitScreen();
// Activate callback of the exit button: the exit is chosen.
void ExitSelectCb(Widget w, XtPointer client, XtPointer call);
// OK: with the exit chosen, asks the password and a confirmation, aborts an
// active task and ends the program; otherwise closes the screen.
void ExitScreenOk(Widget w, XtPointer client, XtPointer call);
// The screen's Cancel. The message poll calls it too, with null arguments,
// when the task starts running or is held while the screen is open.
void ExitScreenCancel(Widget w, XtPointer client, XtPointer call);
void ExitMark(Widget button);
void ExitUnmark();

// What OK calls to end the program: ExitVok, which the program's top sets at
// start-up; tests set their own. Unset (or null), OK prints a console line
// and ends nothing.
using ExitVokHook = void (*)();
void SetExitVokHook(ExitVokHook hook);

// The screen's widgets and state (its choice word in choice), for tests.
const ChoiceScreen& ExitScreenState();
