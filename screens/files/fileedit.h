// Text edit: the file-utility screen that opens selected, listed, typed or
// searched files in the editor their folder calls for, then runs the
// post-edit command of DOSHELLS. A thin view over the text-edit model
// (editmodel.h) on the file-screen frame (filemember.h).
#pragma once

#include "editmodel.h"
#include "filemember.h"

#include <X11/Intrinsic.h>

// Entry of the file menu's text-edit choice.
void FileEdit();
// The toolbar's Cancel.
void EdCancelCB(Widget w, XtPointer client, XtPointer call);

// The screen's widgets and model, for tests.
using EditView = MemberView<EditModel>;
EditView EditState();
