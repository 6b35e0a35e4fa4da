// Information screen: opened by the status button, a read-only page of the
// system's state (date, time, version, controller family, online mode, task
// state, network name, network monitor) in eight rows of caption and value.
// Its toolbar has Cancel and Help (the general help text), no OK.
#pragma once

#include "choice.h"

#include <X11/Intrinsic.h>

#include <string>

// Entry of the status button of the main menu. The values are read when it
// opens; they do not change while it is up.
void ShowInfoScreen();
void MakeInfoScreen();
// The screen's Cancel.
void InfoScreenClose(Widget w, XtPointer client, XtPointer call);

// The version row: the first line of /u/qel/database/VERSION without its
// line end (at most 78 characters); "5.0310/NT" when the file is missing or
// its first line is empty.
std::string InfoVersionText();

// The screen's widgets, for tests.
const ChoiceScreen& InfoScreenState();
