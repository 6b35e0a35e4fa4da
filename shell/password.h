// User levels and the password dialog.
#pragma once

#include <X11/Intrinsic.h>

void PasswordInit(const char* title, Widget parent, int language, XtAppContext app);
// 1 when the action of the item may go on.
int CheckPassword(int item);
