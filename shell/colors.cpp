// Colours and icons. The colour scheme reader comes with the screen toolkit;
// until then widgets keep the toolkit's own colours and no icon is loaded.
#include "colors.h"

#include <Xm/Xm.h>

void ResourcePaletteCreate(const std::string&) {}

int SetWidgetColors(Widget, const char*, int, int, int) {
    return 0;
}

Pixmap SetWidgetIcon(Widget, const char*, const char*, int, int, int) {
    return XmUNSPECIFIED_PIXMAP;
}
