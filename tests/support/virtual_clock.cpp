// The virtual clock behind nap().
#include "virtual_clock.h"

#include "nap.h"

#include <stdexcept>

namespace {
VirtualClock* gClock = nullptr;
} // namespace

VirtualClock::VirtualClock() {
    if (gClock) throw std::logic_error("one virtual clock at a time");
    gClock = this;
    SetNapHook(&VirtualClock::Hook);
}

VirtualClock::~VirtualClock() {
    SetNapHook(nullptr);
    gClock = nullptr;
}

int VirtualClock::NapsOf(long ms) const {
    int n = 0;
    for (long m : naps_) n += m == ms;
    return n;
}

void VirtualClock::OnNap(std::function<void(long now)> listener) {
    listeners_.push_back(std::move(listener));
}

void VirtualClock::Hook(long ms) {
    VirtualClock* c = gClock;
    if (!c) return;
    c->naps_.push_back(ms);
    if (ms > 0) c->now_ += ms;
    for (auto& listener : c->listeners_) listener(c->now_);
}
