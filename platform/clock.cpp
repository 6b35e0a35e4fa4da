// The wall clock.
#include "clock.h"

namespace {
WallClockHook gHook = nullptr;
} // namespace

time_t WallClock() {
    return gHook ? gHook() : std::time(nullptr);
}

void SetWallClockHook(WallClockHook hook) {
    gHook = hook;
}
