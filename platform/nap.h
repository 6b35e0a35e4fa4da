// The porting layer's millisecond pause. Every pause of the program goes
// through nap(), so that tests can run waits on a virtual clock (a hook) or
// shorten them in a whole process (QEL_NAP_PERCENT, read once).
#pragma once

// Pause for ms milliseconds (nothing for ms <= 0); restarted after signals.
void nap(long ms);

// One slice of a wait for a peer (a queue, a reply, a line): goes through
// the hook as nap() does, but sleeps its full length whatever
// QEL_NAP_PERCENT says, since a peer on a busy machine takes its time however
// short a test makes the program's own pauses.
void PeerNap(long ms);

// Test seam: when set, nap() and PeerNap() call the hook instead of sleeping.
using NapHook = void (*)(long ms);
void SetNapHook(NapHook hook);

// A bound on a wait for a peer, scaled like the pauses (QEL_NAP_PERCENT) so
// that tests need not wait it out; never below kPeerBoundFloorMs (or ms,
// when shorter), what a busy machine may take to answer at all.
inline constexpr long kPeerBoundFloorMs = 5000;
long ScaledBoundMs(long ms);
