// Part selection: the load-program button's screen. A sorted, paged list of
// the part folders (or of the parts a configured list file names) and a
// field for a typed name; choosing a part makes it the current part, writes
// the partname file and makes its subfolders. Also the checked creation of
// a new part, asked for by the part-program menu.
#pragma once

#include "choice.h"
#include "partpaging.h"
#include "partsel.h"

#include <X11/Intrinsic.h>

#include <string>
#include <vector>

// Entry of the load-program button.
void ShowPartSelect();
void MakePartSelect();
// OK: client 0 takes the list's selected entry (OK button, the list's
// default action), 1 the typed name (the name field).
void PartSelectOk(Widget w, XtPointer client, XtPointer call);
void PartSelectCancel(Widget w, XtPointer client, XtPointer call);
void PartListSelectCb(Widget w, XtPointer client, XtPointer call);
// The scroll buttons; the client data is kScrollUp ... kScrollPageDown.
void PartListScrollCb(Widget w, XtPointer which, XtPointer call);
Widget MakePartNameField();
void PartNameFieldCb(Widget w, XtPointer client, XtPointer call);

// 1 when the part may have the name, else 0 after the message of its rule.
int CheckPartName(const std::string& name);
// Checks the name, creates the part's folder and its dirfile subfolders and
// makes it the current part: 1, or 0 after a message. The execute button
// becomes live when the machine state allows a run.
int CreatePart(const std::string& name);

// The screen's widgets and state, for tests.
struct PartSelectView {
    const ChoiceScreen* frame;
    Widget list;
    Widget nameField;
    Widget scroll[4]; // up, down, page up, page down
    const std::vector<std::string>* names;
    const PartPaging* paging;
    bool useListFile;
};
PartSelectView PartSelectState();
