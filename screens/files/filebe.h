// Block edit and contour edit: the twin file-utility screens that choose a
// part and start the block editor or the contour editor on it. A thin view
// over their model (partedit.h) on the file-screen frame (filemember.h).
#pragma once

#include "filemember.h"
#include "partedit.h"

#include <X11/Intrinsic.h>

// Entries of the file menu's block-edit and contour-edit choices.
void FileBe();
void FileCe();
// The toolbar's Cancel of each.
void BeCancelCB(Widget w, XtPointer client, XtPointer call);
void CeCancelCB(Widget w, XtPointer client, XtPointer call);

// The screen's widgets and model, for tests.
using PartEditView = MemberView<PartEditModel>;
PartEditView PartEditState();
