// The medium buttons that the media dialog and the media table editor share:
// one push button per record of the media table, one under the other from
// y 90, in the chosen or the plain look.
#pragma once

#include <X11/Intrinsic.h>

#include <string>

// The place of button index (0-based) of count: a pitch of 35 and a height
// of 30 for up to eight buttons; with nine, 30 and 28, so that the last one
// ends above the toolbar.
struct MediumButtonPlace {
    int y;
    int height;
};
MediumButtonPlace MediumButtonAt(int index, int count);

// A button at x 40, as wide as the work area less 80, with the label, the
// plain look in the style mode (the editor's 2 registers it for a new colour
// scheme), and the callback with the index as client data; managed.
Widget MakeMediumButton(Widget parent, int index, int count, const std::string& label, int mode,
                        XtCallbackProc activate);
// The chosen ("VokButtonON") or the plain ("VokButtonOFF") look.
void MediumButtonLook(Widget button, bool chosen, int mode);
