// What the toolkit keeps for a window after its widget is gone. Motif draws
// the texts of labels, lists and texts through a drawing context that it
// keeps per window in a table of its own, and never drops it when the
// window is destroyed: every file screen, built for each opening, would
// leave some ten of them behind, and the table, searched on every drawing
// of a text, would only grow. The teardown drops them with the window.
#pragma once

#include <X11/Intrinsic.h>

// Has every widget tree destroyed on the display leave the table as it was
// before the tree was drawn. Installed again, it is installed once.
void InstallWidgetTeardown(Display* display);
