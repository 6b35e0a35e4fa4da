// Homing and the probe changer.
#pragma once

// The message of label: the controller did not answer, or its state is unknown.
void ShowHomeMessage(int label);
