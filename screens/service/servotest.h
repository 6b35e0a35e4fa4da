// Servo self test screen: a terminal on the line of a family A controller,
// opened from the service screen. Typed lines go to the controller ('~'
// for ESC), the toolbar switches its debug mode on and off and asks for its
// status, and the controller's replies (the status decoded into texts) fill
// a nine-line list. The screen runs its own loop until Cancel, which reads
// a last status and closes the line.
#pragma once

#include <X11/Intrinsic.h>

// Entry of the service screen; returns when the self test has ended (at
// once when the self test is already shown, or after the message that it
// cannot start).
void ShowSelfTest();
void MakeSelfTestScreen();

// Cancel: the exit sequence, then the screen closes and the loop ends.
void SelfTestExit(Widget w, XtPointer client, XtPointer call);
// The toolbar's buttons and the entry field's Enter.
void StestStatusCb(Widget w, XtPointer client, XtPointer call);
void DebugOnCb(Widget w, XtPointer client, XtPointer call);
void DebugOffCb(Widget w, XtPointer client, XtPointer call);
void StestTextCb(Widget w, XtPointer client, XtPointer call);

// The screen's widgets, for tests.
struct SelfTestScreen {
    Widget window = nullptr;
    Widget row1 = nullptr; // header: title
    Widget row2 = nullptr; // header: the line's mode
    Widget cancel = nullptr;
    Widget debugOff = nullptr;
    Widget status = nullptr;
    Widget debugOn = nullptr;
    Widget entry = nullptr; // StestText
    Widget echo = nullptr;  // the last line typed
    Widget list = nullptr;  // the controller's replies
};
const SelfTestScreen& SelfTestScreenState();
