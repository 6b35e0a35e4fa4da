// What the parts of the colour module (colors.cpp, icons.cpp,
// plotcolors.cpp) share among themselves; not for other modules.
#pragma once

#include "colorfile.h"
#include "xmwrap.h"

#include <X11/Intrinsic.h>

// The screen and display that start-up took from TopShell (null before).
Screen* SchemeScreen();
Display* SchemeDisplay();

// The current scheme's override of a style, or null.
const WidgetColorOverride* FindStyleOverride(const std::string& style);
// The pixel of a colour index (index 0's for one outside 0 .. 10).
Pixel IndexPixel(int index);
// The override's pixel if it sets one, else the index's.
Pixel StylePixel(const std::optional<ColorPixel>& set, int index);
// Adds the override's shadow resources for a widget of a shadowed class.
void AddShadowArgs(ArgBuilder& a, Widget w, const WidgetColorOverride* o);

// Makes a registered widget leave both registries when it is destroyed.
void WatchDestroy(Widget w);
// Drops a widget's rows from the icon registry.
void ForgetIconWidget(Widget w);
// Empties the icon registry and the cache (start-up).
void ResetIcons();
