// The home dialog: the modal box that the controller drivers show while the
// machine homes. Its Cancel button stops the motion.
#pragma once

#include <X11/Intrinsic.h>

#include <string>

// The home dialog while it is up, else null.
extern Widget HomeDialog;
// 1 once the counter board's homing wait is to end (homed or cancelled).
extern int HomeAbort;

// The dialog with the text (its line ends make separate lines) and a Cancel
// button, managed and drawn. Made on first use and kept for the program's
// life; each showing sets its text and its look anew.
Widget MakeHomeDialog(const std::string& text);
// Makes the dialog, keeps it in HomeDialog, marks it as waiting (a raise of
// the main window raises it again) and lets pending events run once so that
// it is drawn; 0. The caller homes and keeps serving events through the
// pumps, which drain the message queue, so that Cancel can be pressed.
int ShowHomeDialog(const std::string& text);
// Ends its waiting mark, releases any pointer grab, lets pending events run,
// takes the dialog down.
void CloseHomeDialog();
// Cancel: stops the motion, HomeResult 99, HomeAbort 1.
void HomeCancelCb(Widget w, XtPointer client, XtPointer call);
