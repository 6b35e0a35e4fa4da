// Trace hook: silent by design.
#include "debug.h"

void DebugPrint(int /*category*/, int /*flag*/, const char* /*format*/, ...) {}
