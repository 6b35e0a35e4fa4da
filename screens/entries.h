// Entries of the screens that the main menu opens and that are still to
// come: each opens its screen in the work area. Until a screen is built its
// entry does nothing.
#pragma once

void ShowPartSelect();    // part selection
void ShowExecuteScreen(); // execute and step
void ShowExitScreen();    // pause and exit
void ShowInfoScreen();    // information screen
void ShowServiceMenu();   // service menu
void ShowFileMenu();      // file menu
void ShowPartProgMenu();  // part-program menu
