// Part-program menu: the program-functions button's screen. The operator
// makes a new part, or has the message server start the part-program task
// of the current part to learn a new program, append to it or inspect; two
// optional buttons start the data page and show the DMIS function. The same
// module asks the server for the data page and the contour program at
// start-up.
#pragma once

#include "choice.h"

#include <X11/Intrinsic.h>

// Argument words of the task request, and the menu's other choices.
inline constexpr int REQ_MAKE_PART = 99;
inline constexpr int REQ_LEARN = 100;
inline constexpr int REQ_APPEND = 101;
inline constexpr int REQ_INSPECT = 102;
inline constexpr int REQ_DATAPAGE = 111;
inline constexpr int REQ_DMIS = 113;

// Entry of the program-functions button.
void ShowPartProgMenu();
void MakePartProgMenu();
// Activate callback of the choice buttons; the client data is the value.
void PartProgSelectCb(Widget w, XtPointer value, XtPointer call);
void PartProgOk(Widget w, XtPointer client, XtPointer call);
void PartProgCancel(Widget w, XtPointer client, XtPointer call);
void PartProgMark(Widget button);
void PartProgUnmark();
// Asks for the new part's name and creates the part.
void MakePartCb(Widget w, XtPointer client, XtPointer call);
// Sends the task request for learn, append or inspect.
void StartPartProgram();

// Ask the message server for the data page (request 18) or the contour
// program (request 27) when its program is installed; 0 when nothing is
// sent, else the send's answer. The argument word is the menu's choice.
int LoadDataPage(int flag);
int LoadContour(int flag);

// The menu's widgets and state, for tests.
struct PartProgView {
    const ChoiceScreen* frame;
    Widget makePart, learn, append, inspect;
    Widget dataPage, dmis; // null when not present
};
PartProgView PartProgState();
