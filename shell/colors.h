// Colours and icons: widget styles from the colour scheme.
#pragma once

#include <X11/Intrinsic.h>

#include <string>

void ResourcePaletteCreate(const std::string& colorFile);
int SetWidgetColors(Widget w, const char* style, int mode, int fg, int bg);
Pixmap SetWidgetIcon(Widget w, const char* style, const char* file, int mode, int fg, int bg);
