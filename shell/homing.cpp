// Homing and the probe changer. The homing action itself is still to come:
// HomeMachine does nothing yet.
#include "homing.h"

#include "dialogs.h"
#include "labels.h"

void ShowHomeMessage(int label) {
    MessageDialog(LabText(label) + " \n" + LabText(121) + " \n ************************* \n" +
                      LabText(100),
                  0);
}

void HomeMachine() {}
