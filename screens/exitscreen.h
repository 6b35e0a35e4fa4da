// Pause and exit screen: opened by the pause button, it holds a running task
// and offers the one way out of the program.
#pragma once

#include <X11/Intrinsic.h>

// The screen's Cancel. The message poll calls it too, with null arguments,
// when the task starts running or is held while the screen is open.
void ExitScreenCancel(Widget w, XtPointer client, XtPointer call);
