// The wall clock in seconds (time()). The screens that show or stamp the
// time read it here, so that a test can set the time it shows.
#pragma once

#include <ctime>

time_t WallClock();

// Test seam: when set, WallClock() answers the hook; null restores time().
using WallClockHook = time_t (*)();
void SetWallClockHook(WallClockHook hook);
