// File delete: the file-utility screen that deletes selected files, a file,
// a typed name or pattern, a whole folder or part, the purges of a contour
// or program folder, and all a part does not need, each after its question
// and never outside the install tree. A thin view over the delete model
// (delmodel.h) on the file-screen frame (filemember.h).
#pragma once

#include "delmodel.h"
#include "filemember.h"

#include <X11/Intrinsic.h>

// Entry of the file menu's delete choice.
void FileDelete();
// The toolbar's Cancel.
void DelCancelCB(Widget w, XtPointer client, XtPointer call);

// The screen's widgets and model, for tests.
struct DelView : MemberView<DelModel> {
    Widget allButDepend;
    Widget hotkey1, hotkey2;
};
DelView DelState();
