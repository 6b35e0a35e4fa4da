// Service screen: a choice screen over the service menu with the controller
// self test and the install's three service scripts (system backup, system
// restore, service). Each asks its password and stops the running task with
// the operator's consent first (ConfirmStopTasks, which the homing, the
// service menu and the constants upload ask as well).
#pragma once

#include "choice.h"

#include <X11/Intrinsic.h>

#include <string>

// The choice values.
inline constexpr int kServiceSelfTest = 4;
inline constexpr int kServiceBackup = 32;
inline constexpr int kServiceRestore = 33;
inline constexpr int kServiceScript = 34;

// Entry, from the service menu's OK.
void ShowServiceScreen();
void MakeServiceScreen();
void ServiceSelectCb(Widget w, XtPointer value, XtPointer call);
void ServiceScreenOk(Widget w, XtPointer client, XtPointer call);
void ServiceScreenCancel(Widget w, XtPointer client, XtPointer call);
void ServiceMark(Widget button);
void ServiceUnmark();

// 1 when the caller may go on: no task is active, or the operator agreed to
// stop it and it ended within ten seconds of the abort request; else 0 (or
// the question's own answer when it was not OK).
int ConfirmStopTasks();

// The family switch of the scripts: "-VANTOR" for families 1 and 2, "-KROMI"
// for 3, none (with a console line) for any other.
std::string ScriptFamilySwitch(int family);

// The screen's frame and its buttons in the table's order: self test,
// backup, restore, service script.
struct ServiceScreenView {
    const ChoiceScreen* frame;
    Widget buttons[4];
};
ServiceScreenView ServiceScreenState();
