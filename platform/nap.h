// The porting layer's millisecond pause. Every pause of the program goes
// through nap(), so that tests can run waits on a virtual clock (a hook) or
// shorten them in a whole process (QEL_NAP_PERCENT, read once).
#pragma once

// Pause for ms milliseconds (nothing for ms <= 0); restarted after signals.
void nap(long ms);

// Test seam: when set, nap() calls the hook instead of sleeping.
using NapHook = void (*)(long ms);
void SetNapHook(NapHook hook);

// A bound on a wait for a peer, scaled like the pauses (QEL_NAP_PERCENT) so
// that tests need not wait it out; never below 1 s (or ms, when shorter).
long ScaledBoundMs(long ms);
