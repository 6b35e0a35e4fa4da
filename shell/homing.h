// Homing and the probe changer.
#pragma once

// The message of label: the controller did not answer, or its state is unknown.
void ShowHomeMessage(int label);
// The homing action of the main menu's initialise button.
void HomeMachine();
