// Print and view: the file-utility screen that prints or views a file,
// several selected files one after another, every file of a folder, the
// current part's program, or a typed name or pattern. A thin view over the
// print model (prtmodel.h) on the file-screen frame (filescreen.h).
#pragma once

#include "filescreen.h"
#include "prtmodel.h"

#include <X11/Intrinsic.h>

#include <string>
#include <vector>

// Entry of the file menu's print choice.
void FilePrint();
void MakePrtScreen();
void PrtOkCB(Widget w, XtPointer client, XtPointer call);
void PrtCancelCB(Widget w, XtPointer client, XtPointer call);
void PrtUpOneCB(Widget w, XtPointer client, XtPointer call);
void PrtDirCB(Widget w, XtPointer client, XtPointer call);
void PrtCurLlfCB(Widget w, XtPointer client, XtPointer call);
// The view (client data 0) and print (1) buttons of the target phase.
void PrtModeCB(Widget w, XtPointer client, XtPointer call);
void PrtListCB(Widget w, XtPointer client, XtPointer call);
void PrtFocusCB(Widget w, XtPointer client, XtPointer call);

// The screen's widgets and model, for tests.
struct PrtView {
    const FileScreen* frame;
    const PrtModel* model;
    const std::vector<std::string>* names; // the names listed
    Widget targetLabel;                    // null outside the target phase
    Widget viewButton, printButton;        // null outside the target phase
};
PrtView PrtState();
