// Screens to come: their entries, doing nothing until each screen is built.
#include "entries.h"

void FileBackup() {}
void FileRestore() {}
