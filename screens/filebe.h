// Block edit and contour edit: the twin file-utility screens that choose a
// part and start the block editor or the contour editor on it. A thin view
// over their model (partedit.h) on the file-screen frame (filescreen.h).
#pragma once

#include "filescreen.h"
#include "partedit.h"

#include <X11/Intrinsic.h>

#include <string>
#include <vector>

// Entries of the file menu's block-edit and contour-edit choices.
void FileBe();
void FileCe();
void BeOkCB(Widget w, XtPointer client, XtPointer call);
void BeCancelCB(Widget w, XtPointer client, XtPointer call);
void CeOkCB(Widget w, XtPointer client, XtPointer call);
void CeCancelCB(Widget w, XtPointer client, XtPointer call);
void PartEditUpOneCB(Widget w, XtPointer client, XtPointer call);
void PartEditFocusCB(Widget w, XtPointer client, XtPointer call);

// The screen's widgets and model, for tests.
struct PartEditView {
    const FileScreen* frame;
    const PartEditModel* model;
    const std::vector<std::string>* names; // the names listed
};
PartEditView PartEditState();
