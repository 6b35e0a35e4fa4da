// Program and editor launchers.
#pragma once

#include <string>

// Echoes "SYSTEM('<command>')", runs the command through the system shell and
// answers its wait status (as system() does).
int SystemCmd(const std::string& command);
