// Screens to come: their entries, doing nothing until each screen is built.
#include "entries.h"

void FilePrint() {}
void FileDelete() {}
void FileBe() {}
void FileEdit() {}
void FileCe() {}
