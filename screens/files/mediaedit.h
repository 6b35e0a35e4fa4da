// Media table editor: service-menu item 4 switches the media of the media
// table on and off and rewrites the table. A work window made once and
// shown again, with a button per record (the first nine), rebuilt at every
// showing from the file as it is then.
#pragma once

#include "media.h"

#include <X11/Intrinsic.h>

#include <vector>

// Entry of the service menu (after its password check).
void ShowMediaEditor();
void MakeMediaEditor();
void MakeMediaToggles();
void MediaToggleCb(Widget w, XtPointer index, XtPointer call);
void MediaEditorOk(Widget w, XtPointer client, XtPointer call);
void MediaEditorCancel(Widget w, XtPointer client, XtPointer call);

// The editor's widgets and table, for tests.
struct MediaEditorView {
    Widget window;
    Widget row1, row2;
    Widget ok, cancel;
    std::vector<Widget> toggles;
    const MediaTable* table;
};
MediaEditorView MediaEditorState();
