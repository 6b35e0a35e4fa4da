// The homing motion that both serial families run under the home dialog:
// the dialog's text, the watch of the motion and the report that closes it.
// Each family passes its own status query, motion start and error report.
#pragma once

// Polls the status once a pass (a dot on the console each), letting the
// home dialog's Cancel run between polls, until the result ends the homing:
// homed, an error, a fault or no status. HomeResult holds each answer.
void WatchHomingMotion(int (*status)(int nocheck));

// What comes after the motion.
inline constexpr int kHomeAgain = -1;
// The home dialog over autoZero, which starts the motion and watches it.
// Then 0 when the machine is homed; else the family's closing error report
// (label 190) decides: kHomeAgain for Retry, kServoFault (also put in
// HomeResult) for Cancel, 1 when it showed nothing to answer. A motion that
// ended because the controller stopped answering, with no error reported,
// is then told on the console and in the home message of a silent
// controller (label 116).
int HomeUnderDialog(void (*autoZero)(), int (*errorReport)(int label, int flag));
