// Entries of the screens that the main menu opens: each opens its screen in
// the work area. Until a screen is built its entry does nothing.
#pragma once

#include "execute.h"    // ShowExecuteScreen: execute and step
#include "exitscreen.h" // ShowExitScreen: pause and exit
#include "infoscreen.h" // ShowInfoScreen: information screen

void ShowPartSelect();   // part selection
void ShowServiceMenu();  // service menu
void ShowFileMenu();     // file menu
void ShowPartProgMenu(); // part-program menu
