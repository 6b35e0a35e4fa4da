// Screens to come: their entries, doing nothing until each screen is built.
#include "entries.h"

void ShowInfoScreen() {}
void ShowServiceMenu() {}

void FileBackup() {}
void FileRestore() {}
