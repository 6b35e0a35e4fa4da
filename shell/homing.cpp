// Homing and the probe changer.
#include "homing.h"

#include "controller.h"
#include "dialogs.h"
#include "homedialog.h"
#include "labels.h"
#include "linereader.h"
#include "mainmenu.h"
#include "makers.h"
#include "nap.h"
#include "operator_ui.h"
#include "paths.h"
#include "probe_changer.h"
#include "settings.h"
#include "sysgen.h"
#include "vok.h"

#include <cstdio>
#include <ctime>
#include <string>

namespace {

constexpr const char* kRule = " \n ************************* \n";
constexpr const char* kRuleLine = " ************************* \n";
constexpr const char* kLastTimeHomed = "/u/qel/run_data/toolchange/LastTimeHomed";
constexpr int kInitializeButton = 2;
constexpr int kBoardPollMs = 20;

// Labels of the homing's boxes.
constexpr int kLabelHomeQuestion = 1, kLabelHomeBusy = 2, kLabelPressOk = 66;
constexpr int kLabelAlreadyHomed = 67, kLabelContinue = 100, kLabelCheckController = 121;
constexpr int kLabelOffline = 118, kLabelNeedsOnline = 119, kLabelSilent = 116;
constexpr int kLabelBoardCancel = 310, kLabelBoardMove = 311;
constexpr int kLabelBoardHomed = 312, kLabelBoardAgain = 313;

Widget HomeBusyLabel = nullptr;

void WriteLastTimeHomed() {
    UniqueFile f(f_Fopen(kLastTimeHomed, "w+"));
    if (f) std::fprintf(f.get(), "%ld", static_cast<long>(std::time(nullptr)));
}

} // namespace

void ShowHomeMessage(int label) {
    MessageDialog(LabText(label) + " \n" + LabText(kLabelCheckController) + kRule +
                      LabText(kLabelContinue),
                  0);
}

void ShowNoServoMessage() {
    MessageDialog(LabText(kLabelOffline) + kRule + LabText(kLabelNeedsOnline) + " \n" +
                      LabText(kLabelContinue),
                  0);
}

void ShowHomeBusy() {
    if (!MainForm) return;
    CloseHomeBusy();
    HomeBusyLabel = MakeLoadingLabel(LabText(kLabelHomeBusy), MainForm);
}

void CloseHomeBusy() {
    if (!HomeBusyLabel) return;
    XtUnmanageChild(HomeBusyLabel);
    FlushEventsNoInput();
    XtDestroyWidget(HomeBusyLabel);
    HomeBusyLabel = nullptr;
}

void HomeMachine() {
    DisableMainMenu();
    ShowHomeBusy();
    if (HomeBusyLabel) XtManageChild(HomeBusyLabel);
    ShownScreen = HomeBusyLabel;
    ActiveMenuButton = kInitializeButton;
    WaitSeconds(1);
    if (UiConfirmStopTasks() == 1) {
        // The message poll may have applied the menu during the question.
        DisableMainMenu();
        IndicatorOff(MainMenuIndicators[1]);
        FlushEventsNoInput();
        WaitSecondsAll(0);
        MachineState();
        if (!OnlineMode)
            ShowNoServoMessage();
        else if (!ServoOn)
            ShowHomeMessage(kLabelSilent);
        else if (ControllerFamily == kFamilyA || ControllerFamily == kFamilyB)
            HomeSerial();
        else if (ControllerFamily == kCounterBoard)
            HomeImbedded();
    }
    CloseHomeBusy();
    UpdateMainMenu();
    ApplyMainMenu();
    ActiveMenuButton = 0;
    ShownScreen = nullptr;
    SetStatusLine("");
}

void HomeSerial() {
    const int family = ControllerFamily;
    if (!ServoOpenDisp(family)) {
        ChangeCursor(NormalCursor);
        return;
    }
    ChangeCursor(BusyCursor);
    InitConfigure();
    ServoHomeDisp(family, 0); // the download; the question follows whatever it answered
    CloseSysgen();
    ChangeCursor(NormalCursor);

    std::string question;
    if (MachineHomed) question = LabText(kLabelAlreadyHomed) + kRule;
    question += LabText(kLabelHomeQuestion) + kRule + LabText(kLabelPressOk);
    if (MessageDialog(question, 0) == 0) {
        ServoCloseDisp(family);
        return;
    }

    ChangeCursor(BusyCursor);
    SendChangerState(GetSysgenItem26(), 1);
    InitConfigure();
    const int homed = ServoHomeDisp(family, 1);
    CloseSysgen();
    if (homed == kServoOk && HomeResult == kServoOk) {
        MachineHomed = 1;
        SendChangerState(GetSysgenItem26(), 0);
        WriteLastTimeHomed();
    } else {
        MachineHomed = 0;
    }
    ServoCloseDisp(family);
    ChangeCursor(NormalCursor);
}

void HomeImbedded() {
    if (MachineHomed &&
        MessageDialog(LabText(kLabelBoardHomed) + kRule + LabText(kLabelBoardAgain), 0) == 0)
        return;
    ShowHomeDialog(kRuleLine + LabText(kLabelBoardMove) + " \n" + LabText(kLabelBoardCancel) +
                   kRule);
    MachineHomed = 0;
    HomeAbort = 0;
    if (ServoOpenDisp(ControllerFamily)) {
        // No time limit: the board's event or the operator's Cancel ends it.
        while (!HomeAbort) {
            WaitSecondsAll(0);
            if (ImbedPollEvent()) {
                MachineHomed = 1;
                HomeAbort = 1;
                break;
            }
            nap(kBoardPollMs);
        }
        ServoCloseDisp(ControllerFamily);
    }
    CloseHomeDialog();
}
