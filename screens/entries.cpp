// Screens to come: their entries, doing nothing until each screen is built.
#include "entries.h"

void ShowPartSelect() {}
void ShowServiceMenu() {}
void ShowFileMenu() {}
void ShowPartProgMenu() {}
