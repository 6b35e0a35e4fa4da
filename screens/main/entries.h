// Entries of the screens that the main menu opens: each opens its screen in
// the work area.
#pragma once

#include "execute.h"     // ShowExecuteScreen: execute and step
#include "exitscreen.h"  // ShowExitScreen: pause and exit
#include "filemenu.h"    // ShowFileMenu: file menu
#include "infoscreen.h"  // ShowInfoScreen: information screen
#include "partprog.h"    // ShowPartProgMenu: part-program menu
#include "partselect.h"  // ShowPartSelect: part selection
#include "servicemenu.h" // ShowServiceMenu: service menu
