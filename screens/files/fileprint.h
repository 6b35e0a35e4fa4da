// Print and view: the file-utility screen that prints or views a file,
// several selected files one after another, every file of a folder, the
// current part's program, or a typed name or pattern. A thin view over the
// print model (prtmodel.h) on the file-screen frame (filemember.h).
#pragma once

#include "filemember.h"
#include "prtmodel.h"

#include <X11/Intrinsic.h>

// Entry of the file menu's print choice.
void FilePrint();
// The toolbar's Cancel.
void PrtCancelCB(Widget w, XtPointer client, XtPointer call);

// The screen's widgets and model, for tests.
struct PrtView : MemberView<PrtModel> {
    Widget targetLabel;             // null outside the target phase
    Widget viewButton, printButton; // null outside the target phase
};
PrtView PrtState();
