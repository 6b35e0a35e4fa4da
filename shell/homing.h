// Homing and the probe changer: the main menu's initialise action, the
// homing of the serial controller families and of the counter board, and the
// boxes the homing shows. The home dialog itself is in homedialog.h.
#pragma once

// The message of label: the controller did not answer (101, 116), or its
// state could not be read before homing (105).
void ShowHomeMessage(int label);
// The message that homing needs the controller online.
void ShowNoServoMessage();
// The busy label over the main window while the homing action runs: made
// (not yet managed), and taken down again.
void ShowHomeBusy();
void CloseHomeBusy();
// The homing action of the main menu's initialise button.
void HomeMachine();
// Homing of the serial families (1 and 3) and of the counter board (2).
void HomeSerial();
void HomeImbedded();
