// Widget makers: the work area and the small helpers every screen uses.
#pragma once

#include <X11/Intrinsic.h>

struct WorkAreaRect {
    int x, y, width, height;
};
// The rectangle of the main form between the two main-menu columns.
extern const WorkAreaRect WorkArea;

extern Widget LoadingLabel;

void SetSensitive(Widget w, bool on);
void IndicatorOn(Widget light);
void IndicatorOff(Widget light);
void MakeLoadMessage();
