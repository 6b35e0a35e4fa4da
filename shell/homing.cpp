// Homing and the probe changer.
#include "homing.h"

#include "dialogs.h"
#include "labels.h"

void ShowHomeMessage(int label) {
    MessageDialog(LabText(label) + " \n" + LabText(121) + " \n ************************* \n" +
                      LabText(100),
                  0);
}
