// Reset hooks for tests only: they return the library's process-wide state
// ("loaded once" flags, caches) to its start. Production code never calls them.
#pragma once

void SysgenResetForTest();
