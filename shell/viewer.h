// Text viewer: shows a help file or a text file in a window of its own over
// the main window.
#pragma once

#include <X11/Intrinsic.h>

// Shows help file index (0 the general help, 1 the program's own) in the
// viewer; w is the button that asked.
void ShowHelpText(Widget w, int index);
