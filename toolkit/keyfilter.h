// The one gate of key events: a KeyPress or KeyRelease whose keycode lies
// outside the display's keycode range (any client can send one) is dropped
// before any widget sees it, since the toolkit indexes its keyboard tables
// with the keycode unchecked. Every loop of the program (the main loop, the
// pumps, the dialogs' waits) dispatches through it.
#pragma once

#include <X11/Intrinsic.h>

// Puts the gate in front of the toolkit's dispatch of key events.
void InstallKeyFilter(Display* display);
// Whether the gate lets the event through to the toolkit.
bool KeyEventAllowed(const XEvent& event);
