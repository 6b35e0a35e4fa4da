// The homing motion shared by the serial families.
#include "servomotion.h"

#include "controller.h"
#include "nap.h"
#include "operator_ui.h"
#include "serial_line.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kLabelHomingBusy = 76;
constexpr int kLabelHomingError = 190;
constexpr int kLabelHomingSilent = 116;
constexpr const char* kStars = "*************************"; // 25

bool HomingEnds(int result) {
    return result == kServoOk || result == kServoError || result == kServoFault ||
           result == kServoNoStatus;
}

} // namespace

void WatchHomingMotion(int (*status)(int nocheck)) {
    // No bound on the passes: the operator's Cancel or silence ends them.
    for (;;) {
        std::printf(".");
        std::fflush(stdout);
        HomeResult = status(1);
        UiWaitSecondsAll(0); // the home dialog's Cancel may run here
        if (HomingEnds(HomeResult)) break;
        nap(500);
    }
    std::printf("\n\n");
    std::fflush(stdout);
}

int HomeUnderDialog(void (*autoZero)(), int (*errorReport)(int label, int flag)) {
    ServoLine.msgBuf =
        std::string(" ") + kStars + " \n" + UiLabText(kLabelHomingBusy) + " \n " + kStars + " \n";
    UiShowHomeDialog(ServoLine.msgBuf);
    autoZero();
    UiCloseHomeDialog();
    if (HomeResult == kServoOk) return 0;

    // The motion ended on a status query that went unanswered, not on the
    // operator's Cancel (which leaves 99).
    const bool silent = HomeResult == kServoNoStatus;
    const int answer = errorReport(kLabelHomingError, 0);
    if (answer == 1) return kHomeAgain;
    if (answer == 0) return HomeResult = kServoFault;
    if (silent) {
        std::printf("ServoHome: the controller does not answer, the machine is not homed\n");
        std::fflush(stdout);
        UiShowHomeMessage(kLabelHomingSilent);
    }
    return 1;
}
