// Part-program menu, data page and contour.
#include "partprog.h"

#include "dialogs.h"
#include "execute.h"
#include "filelists.h"
#include "labels.h"
#include "listreader.h"
#include "mainmenu.h"
#include "makers.h"
#include "msgsys.h"
#include "partselect.h"
#include "password.h"
#include "settings.h"
#include "vok.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

ChoiceScreen Menu;
Widget MakePartButton = nullptr;
Widget LearnButton = nullptr;
Widget AppendButton = nullptr;
Widget InspectButton = nullptr;
Widget DataPageButton = nullptr;
Widget DmisButton = nullptr;
int MakePartBusy = 0;

constexpr int kTitleLabel = 25;
constexpr int kNoPartLabel = 26;
constexpr int kNotHomedLabel = 27;
constexpr int kNewPartPromptLabel = 72;
constexpr int kNoProgramLabel = 99;
constexpr int kNoConfigLabel = 202;
// The confirmation of a learn over an existing program: 96, 97, 64.
constexpr int kLearnOverLabels[] = {96, 97, 64};
// Password items.
constexpr int kLearnItem = 31;
constexpr int kAppendItem = 32;
constexpr int kInspectItem = 33;
constexpr int kMakePartItem = 34;
constexpr int kDataPageItem = 61;
// Run kinds of RunChoice.
constexpr int kRunExecute = 1;
constexpr int kRunStep = 2;

int ValueOf(XtPointer client) {
    return static_cast<int>(reinterpret_cast<intptr_t>(client));
}

bool DmisPresent() {
    const char* dmis = std::getenv("DMIS");
    return dmis && *dmis && FileExists(dmis);
}

// Learn, append and inspect need a valid part and no task that runs or is
// held; make part needs no such task.
void SetButtonsForState() {
    const bool busy = TaskRunning() != 0;
    for (Widget b : {LearnButton, AppendButton, InspectButton})
        SetSensitive(b, PartValid == 1 && !busy);
    SetSensitive(MakePartButton, !busy);
}

int LoadProgram(const char* program, int code, int flag) {
    if (!FileExists(program)) return 0;
    MsgSetInt(MsgOut, kMsgTaskId, 0);
    MsgSetInt(MsgOut, kMsgCode, code);
    MsgSetInt(MsgOut, kMsgData, flag);
    return SendMessage(Menu.choice);
}

// Learn, append or inspect: false when the menu is to stay open.
bool RunPartProgram() {
    if (SysgenState == 0) {
        ScreenMessage(LabText(kNoConfigLabel));
        return false;
    }
    if (PartValid == 0) {
        ScreenMessage(LabText(kNoPartLabel));
        return false;
    }
    // The run request carries the part's name in a field that a longer name
    // does not fit: it would run another part.
    if (!CurrentPartRunnable()) return false;
    if (MachineHomed == 0) {
        ScreenMessage(LabText(kNotHomedLabel));
        return false;
    }
    const std::string program = "/u/qel/part/" + CurrentPart + "/program/llf";
    const bool exists = FileExists(program) != 0;
    const long size = exists ? FileSize(program) : 0;
    int allowed = 0;
    switch (Menu.choice) {
    case REQ_LEARN:
        if (exists) {
            FlushEventsNoInput();
            const std::string text = LabText(kLearnOverLabels[0]) + "\n" +
                                     LabText(kLearnOverLabels[1]) + "\n" +
                                     LabText(kLearnOverLabels[2]);
            if (ScreenMessage(text) != 1) return false;
        }
        allowed = CheckPassword(kLearnItem);
        break;
    case REQ_APPEND:
        if (!exists || size == 0) {
            ScreenMessage(LabText(kNoProgramLabel));
            return false;
        }
        allowed = CheckPassword(kAppendItem);
        break;
    default: // REQ_INSPECT: the program need not be there
        allowed = CheckPassword(kInspectItem);
        break;
    }
    if (allowed == 1 && RunChoice != 0) {
        if (!MakePartDirs()) std::printf("PartProgOk: no dirfile, no part folders made\n");
        StartPartProgram();
    }
    return true;
}

} // namespace

void MakePartProgMenu() {
    Menu.usesRunChoice = true;
    MakeChoiceFrame(Menu, PartProgOk, PartProgCancel, -1, 1);
    MakePartButton = MakeIconButton(Menu.toolbar, GridX[3], 5, "VokMakePart", 2);
    XtAddCallback(MakePartButton, XmNactivateCallback, PartProgSelectCb,
                  reinterpret_cast<XtPointer>(static_cast<intptr_t>(REQ_MAKE_PART)));
    XtAddEventHandler(MakePartButton, HintEventMask, False, HintEventHandler, HintLabel(73));
    SetHelpIcon(MakePartButton, "VokMakePart", 2);
    Menu.buttons.push_back(MakePartButton);
    LearnButton = MakeChoiceButton(Menu, GridX[1], GridY[3], "VokLearn", PartProgSelectCb,
                                   REQ_LEARN, 22, "VokLearnIns");
    AppendButton = MakeChoiceButton(Menu, GridX[3], GridY[3], "VokAppend", PartProgSelectCb,
                                    REQ_APPEND, 23, "VokAppendIns");
    InspectButton = MakeChoiceButton(Menu, GridX[5], GridY[3], "VokInspect", PartProgSelectCb,
                                     REQ_INSPECT, 112, "VokInspectIns");
    // The optional buttons are there or not from the first opening on.
    if (FileExists("/u/qel/xeq/datapage"))
        DataPageButton = MakeChoiceButton(Menu, GridX[3], GridY[5], "VokDataPage", PartProgSelectCb,
                                          REQ_DATAPAGE, 102, nullptr);
    if (DmisPresent())
        DmisButton = MakeChoiceButton(Menu, GridX[5], GridY[5], "VokDMIS", PartProgSelectCb,
                                      REQ_DMIS, 212, nullptr);
}

void ShowPartProgMenu() {
    if (ChoiceShown(Menu)) return;
    SetStatusLine("");
    DisableMainMenu();
    OpenChoiceScreen(Menu, MakePartProgMenu, kTitleLabel);
    ShowNetworkLine(Menu.infoLeft[0], Menu.infoRight[0]);
    SetButtonsForState();
    ManageChoiceScreen(Menu);
    FlushEventsNoInput();
}

void PartProgSelectCb(Widget w, XtPointer value, XtPointer) {
    const int v = ValueOf(value);
    ChoiceSelect(Menu, w, v);
    if (v == REQ_LEARN || v == REQ_INSPECT) RunChoice = kRunExecute;
    if (v == REQ_APPEND) RunChoice = kRunStep;
}

void PartProgOk(Widget w, XtPointer, XtPointer) {
    ChoiceGuard guard(Menu.okBusy);
    if (!guard.entered()) return;
    SetChoiceToolbar(Menu, false);
    // What was queued while OK was pressed is not acted on.
    DropQueuedInput();
    switch (Menu.choice) {
    case REQ_MAKE_PART:
        if (CheckPassword(kMakePartItem)) MakePartCb(w, nullptr, nullptr);
        break;
    case REQ_DATAPAGE:
        if (CheckPassword(kDataPageItem) && LoadDataPage(1) == -1)
            std::printf("LoadDataPage: send failed\n");
        break;
    case REQ_LEARN:
    case REQ_APPEND:
    case REQ_INSPECT:
        if (RunPartProgram()) {
            CloseChoiceScreen(Menu);
            FlushEventsNoInput();
        }
        break;
    default: // DMIS, or nothing chosen
        break;
    }
    std::fflush(stdout);
    SetChoiceToolbar(Menu, true);
}

void PartProgCancel(Widget, XtPointer, XtPointer) {
    CancelChoiceScreen(Menu);
}

void PartProgMark(Widget button) {
    ChoiceMark(Menu, button);
}

void PartProgUnmark() {
    ChoiceUnmark(Menu);
}

void MakePartCb(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(MakePartBusy);
    if (!guard.entered()) return;
    SetChoiceToolbar(Menu, false);
    FlushEventsNoInput();
    const char* answer = AskText(LabText(kNewPartPromptLabel));
    std::string name = answer ? answer : "";
    if (!name.empty()) {
        RemoveBlanks(name);
        if (CreatePart(name)) {
            ShowChoiceHeader(Menu, kTitleLabel);
            SetButtonsForState();
        }
    }
    SetChoiceToolbar(Menu, true);
}

void StartPartProgram() {
    // The run mode of this request is 0, as the first one after start-up.
    StartTaskRequest(Menu.choice, 0);
    ApplyMainMenu();
}

int LoadDataPage(int flag) {
    return LoadProgram("/u/qel/xeq/datapage", MSG_DATAPAGE, flag);
}

int LoadContour(int flag) {
    return LoadProgram("/u/qel/xeq/Contour.exe", MSG_CONTOUR, flag);
}

PartProgView PartProgState() {
    return {&Menu,         MakePartButton, LearnButton, AppendButton,
            InspectButton, DataPageButton, DmisButton};
}
