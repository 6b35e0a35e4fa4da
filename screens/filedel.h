// File delete: the file-utility screen that deletes selected files, a file,
// a typed name or pattern, a whole folder or part, the purges of a contour
// or program folder, and all a part does not need, each after its question
// and never outside the install tree. A thin view over the delete model
// (delmodel.h) on the file-screen frame (filescreen.h).
#pragma once

#include "delmodel.h"
#include "filescreen.h"

#include <X11/Intrinsic.h>

#include <string>
#include <vector>

// Entry of the file menu's delete choice.
void FileDelete();
void MakeDelScreen();
void DelOkCB(Widget w, XtPointer client, XtPointer call);
void DelCancelCB(Widget w, XtPointer client, XtPointer call);
void DelUpOneCB(Widget w, XtPointer client, XtPointer call);
void DelDirCB(Widget w, XtPointer client, XtPointer call);
void DelAllButDependCB(Widget w, XtPointer client, XtPointer call);
// Hotkey1 (client data 0) and Hotkey2 (1).
void DelHotkeyCB(Widget w, XtPointer client, XtPointer call);
void DelListCB(Widget w, XtPointer client, XtPointer call);
void DelFocusCB(Widget w, XtPointer client, XtPointer call);

// The screen's widgets and model, for tests.
struct DelView {
    const FileScreen* frame;
    const DelModel* model;
    const std::vector<std::string>* names; // the names listed
    Widget allButDepend;
    Widget hotkey1, hotkey2;
};
DelView DelState();
