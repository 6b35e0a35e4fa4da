// Restore: the file-utility screen that reads back an archive from a
// removable medium. The operator chooses the medium, then some or all of
// the archive's members, removes from the chosen ones that exist on disk
// those that must stay as they are, and the rest is extracted in place. A
// thin view over the restore model (restoremodel.h) in a window of the
// file-screen frame's kind, with no top list, navigation or keyin field.
#pragma once

#include "filescreen.h"
#include "restoremodel.h"

#include <X11/Intrinsic.h>

// Entry of the file menu's restore choice.
void FileRestore();
// Builds the screen and lists the archive: -1 when the medium was
// refused, else 0.
int MakeRestScreen();
void RestOkCB(Widget w, XtPointer client, XtPointer call);
void RestCancelCB(Widget w, XtPointer client, XtPointer call);
void RestDoRestoreCB(Widget w, XtPointer client, XtPointer call);
void RestRemoveCB(Widget w, XtPointer client, XtPointer call);
void RestUpOneCB(Widget w, XtPointer client, XtPointer call);
void RestPrintCB(Widget w, XtPointer client, XtPointer call);

// The screen's widgets and model, for tests (frame->window nullptr when
// closed).
struct RestoreView {
    const FileScreen* frame;
    const RestoreModel* model;
    Widget listTitle, removeButton, printButton, restoreButton;
};
RestoreView RestoreState();
