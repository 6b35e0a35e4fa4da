// Widget makers. The indicator looks and the loading label come with the
// colour scheme; until then lights keep the toolkit's look.
#include "makers.h"

const WorkAreaRect WorkArea = {110, 53, 565, 450};
Widget LoadingLabel = nullptr;

void SetSensitive(Widget w, bool on) {
    if (w) XtSetSensitive(w, on ? True : False);
}

void IndicatorOn(Widget) {}
void IndicatorOff(Widget) {}
void MakeLoadMessage() {}
