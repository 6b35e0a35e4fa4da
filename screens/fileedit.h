// Text edit: the file-utility screen that opens selected, listed, typed or
// searched files in the editor their folder calls for, then runs the
// post-edit command of DOSHELLS. A thin view over the text-edit model
// (editmodel.h) on the file-screen frame (filescreen.h).
#pragma once

#include "editmodel.h"
#include "filescreen.h"

#include <X11/Intrinsic.h>

#include <string>
#include <vector>

// Entry of the file menu's text-edit choice.
void FileEdit();
void MakeEdScreen();
void EdOkCB(Widget w, XtPointer client, XtPointer call);
void EdCancelCB(Widget w, XtPointer client, XtPointer call);
void EdUpOneCB(Widget w, XtPointer client, XtPointer call);
void EdHotkeyCB(Widget w, XtPointer client, XtPointer call);
void EdListCB(Widget w, XtPointer client, XtPointer call);
void EdFocusCB(Widget w, XtPointer client, XtPointer call);

// The screen's widgets and model, for tests.
struct EditView {
    const FileScreen* frame;
    const EditModel* model;
    const std::vector<std::string>* names; // the names listed
};
EditView EditState();
