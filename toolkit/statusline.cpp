// The status line and the buttons' hints.
#include "statusline.h"

#include "labels.h"
#include "vok.h"
#include "xmwrap.h"

void HintEventHandler(Widget, XtPointer hintLabel, XEvent* event, Boolean*) {
    if (event->type == EnterNotify)
        SetStatusLine(GetLabText(static_cast<int>(reinterpret_cast<intptr_t>(hintLabel))));
    else if (event->type == LeaveNotify)
        SetStatusLine("");
}

void SetStatusLine(const char* text) {
    SetStatusLine(std::string(text ? text : ""));
}

void SetStatusLine(const std::string& text) {
    if (!StatusLine) return;
    XmStringHolder s(text);
    if (FontListBig)
        XtVaSetValues(StatusLine, XmNlabelString, static_cast<XmString>(s), XmNfontList,
                      FontListBig, nullptr);
    else
        XtVaSetValues(StatusLine, XmNlabelString, static_cast<XmString>(s), nullptr);
}
