// Main menu, hint line and machine state.
//
// For now the buttons stand at their places without icons or hints and do
// nothing when pressed, and the machine state is taken as "no controller
// record"; the port records and the screens complete them.
#include "mainmenu.h"

#include "dialogs.h"
#include "labels.h"
#include "makers.h"
#include "vok.h"
#include "xmwrap.h"

#include <Xm/PushB.h>

#include <cstdio>

MainMenuEntry MainMenuTable[kMainMenuRows] = {
    {nullptr, 0, 30, 56, 95, 121, 54, PowerButtonCB},
    {nullptr, 0, 30, 152, 95, 217, 55, InitializeButtonCB},
    {nullptr, 0, 30, 248, 95, 313, 56, LoadProgButtonCB},
    {nullptr, 0, 30, 344, 95, 409, 57, ExecuteButtonCB},
    {nullptr, 0, 30, 440, 95, 505, 58, PauseButtonCB},
    {nullptr, 0, 690, 56, 755, 121, 59, StatusButtonCB},
    {nullptr, 0, 690, 152, 755, 217, 60, HelpButtonCB},
    {nullptr, 0, 690, 248, 755, 313, 61, UtilitiesButtonCB},
    {nullptr, 0, 690, 344, 755, 409, 62, FileUtilButtonCB},
    {nullptr, 0, 690, 440, 755, 505, 63, ProgFunctButtonCB},
};
Widget MainMenuButtons[kMainMenuRows] = {};
Widget MainMenuIndicators[5] = {};

int ServoOn = 0;
int MachineHomed = 0;
int OnlineMode = 0;
int ControllerFamily = 1;
std::string CurrentPart;
int PartValid = 0;
int ActiveMenuButton = 0;
int ScreenWidth = 800;
int ScreenHeight = 600;
int GridX[7] = {};
int GridY[7] = {};

void MakeMainMenu() {
    for (int i = 0; i < kMainMenuRows; ++i) {
        MainMenuEntry& row = MainMenuTable[i];
        if (i < 5) {
            ArgBuilder a;
            a.Add(XmNheight, 16).Add(XmNwidth, 16).Add(XmNy, row.y + 25).Add(XmNx, row.x - 23);
            a.Add(XmNrecomputeSize, False).Add(XmNsensitive, False);
            Widget light = XmCreatePushButton(MainForm, XtRes("light"), a.list(), a.count());
            XtManageChild(light);
            MainMenuIndicators[i] = light;
        }
        ArgBuilder a;
        a.Add(XmNsensitive, False).Add(XmNheight, 66).Add(XmNwidth, 66);
        a.Add(XmNrecomputeSize, False).Add(XmNy, row.y).Add(XmNx, row.x);
        Widget button = XmCreatePushButton(MainForm, XtRes("button"), a.list(), a.count());
        XtManageChild(button);
        MainMenuButtons[i] = button;
        row.widget = button;
    }
}

void PowerButtonCB(Widget, XtPointer, XtPointer) {}
void InitializeButtonCB(Widget, XtPointer, XtPointer) {}
void LoadProgButtonCB(Widget, XtPointer, XtPointer) {}
void ExecuteButtonCB(Widget, XtPointer, XtPointer) {}
void PauseButtonCB(Widget, XtPointer, XtPointer) {}
void StatusButtonCB(Widget, XtPointer, XtPointer) {}
void HelpButtonCB(Widget, XtPointer, XtPointer) {}
void UtilitiesButtonCB(Widget, XtPointer, XtPointer) {}
void FileUtilButtonCB(Widget, XtPointer, XtPointer) {}
void ProgFunctButtonCB(Widget, XtPointer, XtPointer) {}

void HintEventHandler(Widget, XtPointer hintLabel, XEvent* event, Boolean*) {
    if (event->type == EnterNotify)
        SetStatusLine(LabText(static_cast<int>(reinterpret_cast<intptr_t>(hintLabel))));
    else if (event->type == LeaveNotify)
        SetStatusLine("");
}

void SetStatusLine(const std::string& text) {
    if (!StatusLine) return;
    XmStringHolder s(text);
    if (FontListBig)
        XtVaSetValues(StatusLine, XmNlabelString, static_cast<XmString>(s), XmNfontList,
                      FontListBig, nullptr);
    else
        XtVaSetValues(StatusLine, XmNlabelString, static_cast<XmString>(s), nullptr);
}

void MachineState() {
    std::printf("\nPlease wait ... checking the controller ...\n");
    std::fflush(stdout);
    OnlineMode = ServoOn = MachineHomed = 0;
    ControllerFamily = 1;
    std::fprintf(stderr, "defaulting to offline vantor control!\n");
}

void UpdateMainMenu() {
    for (int row : {5, 6, 7, 8, 9}) MainMenuTable[row - 1].enabled = 1;
    if (ServoOn) {
        IndicatorOn(MainMenuIndicators[0]);
        MainMenuTable[0].enabled = 0;
        MainMenuTable[1].enabled = 1;
    } else {
        IndicatorOff(MainMenuIndicators[0]);
        MainMenuTable[0].enabled = 1;
        MainMenuTable[1].enabled = 0;
    }
    if (MachineHomed) {
        IndicatorOn(MainMenuIndicators[1]);
        MainMenuTable[2].enabled = 1;
    } else {
        IndicatorOff(MainMenuIndicators[1]);
        MainMenuTable[2].enabled = 0;
    }
    if (ServoOn && MachineHomed) {
        PartValid = ReadCurrentPart();
        if (PartValid == 1) {
            IndicatorOn(MainMenuIndicators[2]);
            MainMenuTable[3].enabled = 1;
            MainMenuTable[9].enabled = 1;
            return;
        }
    }
    IndicatorOff(MainMenuIndicators[2]);
    MainMenuTable[3].enabled = 0;
    MainMenuTable[9].enabled = 1;
}

void ApplyMainMenu() {
    for (const MainMenuEntry& row : MainMenuTable) SetSensitive(row.widget, row.enabled != 0);
    FlushEventsNoInput();
}

void DisableMainMenu() {
    for (const MainMenuEntry& row : MainMenuTable) SetSensitive(row.widget, false);
    FlushEventsNoInput();
}

int ReadCurrentPart() {
    CurrentPart.clear();
    return 0;
}

void ScreenDimensions() {
    ScreenWidth = 800;
    ScreenHeight = 600;
    ComputeGrid();
}

void ComputeGrid() {
    const int dx = (WorkArea.width - 100) / 6;
    const int dy = (WorkArea.height - 200) / 6;
    for (int i = 0; i < 7; ++i) {
        GridX[i] = 17 + i * dx;
        GridY[i] = 67 + i * dy;
    }
}
