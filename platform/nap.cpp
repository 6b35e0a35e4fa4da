// Millisecond pause on nanosleep.
#include "nap.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace {
NapHook gHook = nullptr;

long Percent() {
    static long percent = [] {
        const char* v = std::getenv("QEL_NAP_PERCENT");
        if (!v || !*v) return 100L;
        long p = std::strtol(v, nullptr, 10);
        return p < 0 ? 100L : p;
    }();
    return percent;
}
} // namespace

void SetNapHook(NapHook hook) {
    gHook = hook;
}

namespace {
void Sleep(long ms) {
    if (ms <= 0) return;
    timespec left{ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}
} // namespace

void nap(long ms) {
    if (gHook) {
        gHook(ms);
        return;
    }
    Sleep(ms * Percent() / 100);
}

void PeerNap(long ms) {
    if (gHook) {
        gHook(ms);
        return;
    }
    Sleep(ms);
}

long ScaledBoundMs(long ms) {
    const long scaled = ms * Percent() / 100;
    return std::max(scaled, std::min(ms, kPeerBoundFloorMs));
}
