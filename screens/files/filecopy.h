// File copy: the file-utility screen that copies a file, several selected
// files one after another, the files a pattern names, or a whole folder,
// always to the same folder depth. A thin view over the copy model
// (copymodel.h) on the file-screen frame (filemember.h).
#pragma once

#include "copymodel.h"
#include "filemember.h"

#include <X11/Intrinsic.h>

// Entry of the file menu's copy choice.
void FileCopy();
// The toolbar's Cancel.
void CopyCancelCB(Widget w, XtPointer client, XtPointer call);

// The screen's widgets and model, for tests.
struct CopyView : MemberView<CopyModel> {
    Widget sourceLabel, destLabel; // null outside the destination phase
};
CopyView CopyState();
