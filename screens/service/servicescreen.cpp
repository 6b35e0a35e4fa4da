// Service screen and the question before a task is stopped.
#include "servicescreen.h"

#include "controller.h"
#include "dialogs.h"
#include "labels.h"
#include "launch.h"
#include "mainmenu.h"
#include "makers.h"
#include "msgsys.h"
#include "password.h"
#include "servotest.h"

#include <cstdint>
#include <cstdio>

namespace {

ChoiceScreen Service;
Widget Buttons[4] = {};

constexpr int kTitleLabel = 41;
// The question before a task is stopped, and the notice while it ends.
constexpr int kStopLabels[] = {74, 94, 64};
constexpr int kStoppingLabel = 95;
// Argument word of the abort request, and the seconds a task may take to end.
constexpr int kAbortArg = 4;
constexpr int kTaskEndTries = 10;
// The self test of family B runs on the service terminal program.
constexpr const char* kNoSelfTestText =
    "This function is not available in NT. \n Please use kolbrin in Hyperterminal instead.";

struct Choice {
    int value;
    const char* style;
    int gridX, gridY;
    int hint;
    int item; // password item
    const char* script;
};

const Choice kChoices[] = {
    {kServiceSelfTest, "VokStest", 1, 1, 35, 21, nullptr},
    {kServiceBackup, "VokSave", 3, 1, 19, 22, "SYS.BACKUP"},
    {kServiceRestore, "VokRestore", 5, 1, 20, 23, "SYS.RESTORE"},
    {kServiceScript, "VokServiceMenu", 3, 5, 16, 24, "SYS.SERVICE"},
};

const Choice* ChoiceOf(int value) {
    for (const Choice& c : kChoices)
        if (c.value == value) return &c;
    return nullptr;
}

bool SelfTestOffered() {
    return OnlineMode != 0 && (ControllerFamily == kFamilyA || ControllerFamily == kFamilyB);
}

void SelfTest() {
    if (ControllerFamily == kFamilyA)
        ShowSelfTest();
    else if (ControllerFamily == kFamilyB)
        ScreenMessage(kNoSelfTestText);
}

void RunScript(const char* script) {
    const std::string sw = ScriptFamilySwitch(ControllerFamily);
    ArgRow row;
    PutArgRow(row, sw);
    ForkExec(3, script, &row, sw.empty() ? 0 : 1);
}

} // namespace

std::string ScriptFamilySwitch(int family) {
    if (family == kFamilyA || family == kCounterBoard) return "-VANTOR";
    if (family == kFamilyB) return "-KROMI";
    std::printf("ServiceScreenOk: controller family %d has no switch, the script gets none\n",
                family);
    std::fflush(stdout);
    return "";
}

void MakeServiceScreen() {
    MakeChoiceFrame(Service, ServiceScreenOk, ServiceScreenCancel, -1, 0);
    for (size_t i = 0; i < std::size(kChoices); ++i) {
        const Choice& c = kChoices[i];
        // Only the self test can be insensitive: it gets the look of that.
        Buttons[i] = MakeChoiceButton(Service, GridX[c.gridX], GridY[c.gridY], c.style,
                                      ServiceSelectCb, c.value, c.hint,
                                      c.value == kServiceSelfTest ? "VokStestIns" : nullptr);
    }
}

void ShowServiceScreen() {
    if (ChoiceShown(Service)) return;
    SetStatusLine("");
    OpenChoiceScreen(Service, MakeServiceScreen, kTitleLabel, 0);
    SetSensitive(Buttons[0], SelfTestOffered());
    ManageChoiceScreen(Service);
}

void ServiceSelectCb(Widget w, XtPointer value, XtPointer) {
    ChoiceSelect(Service, w, static_cast<int>(reinterpret_cast<intptr_t>(value)));
}

void ServiceScreenOk(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(Service.okBusy);
    if (!guard.entered()) return;
    SetChoiceToolbar(Service, false);
    WaitSeconds(0);
    if (const Choice* c = ChoiceOf(Service.choice);
        c && CheckPassword(c->item) == 1 && ConfirmStopTasks() == 1) {
        DisableMainMenu();
        if (c->script)
            RunScript(c->script);
        else
            SelfTest();
    }
    SetChoiceToolbar(Service, true);
    WaitSeconds(0);
    SetStatusLine("");
}

void ServiceScreenCancel(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(Service.cancelBusy);
    if (!guard.entered() || !Service.window) return;
    SetChoiceToolbar(Service, false);
    WaitSeconds(0);
    XtUnmanageChild(Service.window);
    ShownScreen = nullptr;
    SetStatusLine("");
}

void ServiceMark(Widget button) {
    ChoiceMark(Service, button);
}

void ServiceUnmark() {
    ChoiceUnmark(Service);
}

int ConfirmStopTasks() {
    if (!AnyTaskActive()) return 1;
    std::string text;
    for (int label : kStopLabels) text += (text.empty() ? "" : " \n") + LabText(label);
    const int answer = ScreenMessage(text);
    if (answer != 1) return answer;
    SendTaskControl(TASK_ABORT, kAbortArg);
    ShowLoading(LabText(kStoppingLabel));
    const int ended = WaitTasksEnd(kTaskEndTries);
    HideLoading();
    WaitSecondsAll(0);
    return ended == 0 ? 1 : 0;
}

ServiceScreenView ServiceScreenState() {
    ServiceScreenView v{&Service, {}};
    for (int i = 0; i < 4; ++i) v.buttons[i] = Buttons[i];
    return v;
}
