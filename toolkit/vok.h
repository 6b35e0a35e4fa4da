// Program-wide handles that start-up creates and every module reads.
#pragma once

#include <X11/Intrinsic.h>
#include <X11/Xlib.h>

#include <string>

extern XtAppContext AppContext;
extern Widget TopShell;
extern Display* TheDisplay;
extern Window TopWindow;
extern Widget MainForm;
extern Widget LogoGadget;
extern Cursor BusyCursor;
extern Cursor NormalCursor;
extern Widget StatusLine;
extern Atom WmDeleteWindow;
// Name of the colour file (configuration item 96), kept whole.
extern std::string ColorFileName;
