// Program-wide handles: made by start-up, read by every module.
#include "vok.h"

XtAppContext AppContext = nullptr;
Widget TopShell = nullptr;
Display* TheDisplay = nullptr;
Window TopWindow = 0;
Widget MainForm = nullptr;
Widget LogoGadget = nullptr;
Cursor BusyCursor = 0;
Cursor NormalCursor = 0;
Widget StatusLine = nullptr;
Atom WmDeleteWindow = 0;
std::string ColorFileName = "colors.QEL";
