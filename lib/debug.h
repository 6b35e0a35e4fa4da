// The library's trace hook. The logical-name and blind-copy routines call it
// with a category mask and a printf format; it prints nothing.
#pragma once

void DebugPrint(int category, int flag, const char* format, ...);
