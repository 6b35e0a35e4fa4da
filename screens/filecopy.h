// File copy: the file-utility screen that copies a file, several selected
// files one after another, the files a pattern names, or a whole folder,
// always to the same folder depth. A thin view over the copy model
// (copymodel.h) on the file-screen frame (filescreen.h).
#pragma once

#include "copymodel.h"
#include "filescreen.h"

#include <X11/Intrinsic.h>

#include <string>
#include <vector>

// Entry of the file menu's copy choice.
void FileCopy();
void MakeCopyScreen();
void CopyOkCB(Widget w, XtPointer client, XtPointer call);
void CopyCancelCB(Widget w, XtPointer client, XtPointer call);
void CopyUpOneCB(Widget w, XtPointer client, XtPointer call);
void CopyEntireDirCB(Widget w, XtPointer client, XtPointer call);
void CopyCurLlfCB(Widget w, XtPointer client, XtPointer call);
void CopyCurPartCB(Widget w, XtPointer client, XtPointer call);
void CopyListCB(Widget w, XtPointer client, XtPointer call);
void CopyFocusCB(Widget w, XtPointer client, XtPointer call);

// The screen's widgets and model, for tests.
struct CopyView {
    const FileScreen* frame;
    const CopyModel* model;
    const std::vector<std::string>* names; // the names listed
    Widget sourceLabel, destLabel;         // null outside the destination phase
};
CopyView CopyState();
