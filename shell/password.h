// User levels and the password dialog: protected actions ask CheckPassword
// for their item number before they go on.
#pragma once

#include <X11/Intrinsic.h>

// (Re)loads the prompts and the password file; the first time it also
// builds the dialog on the parent.
void PasswordInit(const char* title, Widget parent, int language, XtAppContext app);
// 1 when the action of the item may go on, 0 when not. Asks for a password
// in a modal dialog when the item is protected; runs its own event loop.
int CheckPassword(int item);

// The dialog's form (nullptr before PasswordInit has built it).
Widget PasswordDialogWidget();

// Test seam: when set, CheckPassword answers with the hook and shows nothing.
using CheckPasswordHook = int (*)(int item);
void SetCheckPasswordHook(CheckPasswordHook hook);
