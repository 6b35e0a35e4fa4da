// The probe changer: a device on its own serial port (the PCHANGER port
// record) that is told, before and after each serial homing, whether a
// probe is loaded. The first word of the changer's tool inventory decides:
// a word beginning with NONE, EMPTY or NOTOOL means no probe.
#pragma once

// Changer types (configuration item 26) that take the letters; types 1 and
// 2 keep their inventory in ToolInvList, types 4 and 6 in TIL.ACR1.
//
// Sends two letters, each with CR and a 2 s pause after it: no probe, "D"
// then "I" before homing and "D" then "J" after it; a probe loaded, "K" then
// "J". A missing port record, device or inventory (an empty one included)
// gives a console line and sends nothing.
void SendChangerState(int changerType, int beforeHoming);
