// Pause and exit screen. The screen itself is still to come; until then it
// is never open, and its Cancel has nothing to close.
#include "exitscreen.h"

void ExitScreenCancel(Widget, XtPointer, XtPointer) {}
