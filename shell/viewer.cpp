// Text viewer. Only the entry that the toolbars' Help button calls exists so
// far: it shows nothing until the viewer window is built.
#include "viewer.h"

void ShowHelpText(Widget, int) {}
