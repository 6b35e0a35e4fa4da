// Main menu, hint line and machine state.
#include "mainmenu.h"

#include "colors.h"
#include "controller.h"
#include "dialogs.h"
#include "filelists.h"
#include "homing.h"
#include "labels.h"
#include "linereader.h"
#include "makers.h"
#include "password.h"
#include "paths.h"
#include "ports.h"
#include "settings.h"
#include "viewer.h"
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

const MainMenuIcon MainMenuIconTable[2][kMainMenuRows] = {
    {{"Vok1", "PWR_ON_OFF.VOK"},
     {"Vok2", "INITIALIZE.VOK"},
     {"Vok3", "LOAD_PROG.VOK"},
     {"Vok4", "EXECUTE.VOK"},
     {"Vok5", "PAUSE.VOK"},
     {"Vok6", "STATUS.VOK"},
     {"Vok7", "HELP.VOK"},
     {"Vok8", "UTILITIES.VOK"},
     {"Vok9", "FILE_UTIL.VOK"},
     {"Vok10", "PROG_FUNCT.VOK"}},
    {{"Vok1Ins", "PWR_ON_OFF.MSK"},
     {"Vok2Ins", "INITIALIZE.MSK"},
     {"Vok3Ins", "LOAD_PROG.MSK"},
     {"Vok4Ins", "EXECUTE.MSK"},
     {"Vok5Ins", "PAUSE.MSK"},
     {"Vok6Ins", "STATUS.MSK"},
     {"Vok7Ins", "HELP.MSK"},
     {"Vok8Ins", "UTILITIES.MSK"},
     {"Vok9Ins", "FILE_UTIL.MSK"},
     {"Vok10Ins", "PROG_FUNCT.MSK"}},
};

Widget MainMenuButtons[kMainMenuRows] = {};
Widget MainMenuIndicators[kMainMenuLights] = {};

int ServoOn = 0;
int MachineHomed = 0;
int OnlineMode = 0;
int ControllerFamily = kFamilyA;
std::string CurrentPart;
int PartValid = 0;
int ActiveMenuButton = 0;
Widget ShownScreen = nullptr;
int ScreenWidth = 800;
int ScreenHeight = 600;
int GridX[7] = {};
int GridY[7] = {};

namespace {

constexpr const char* kPartnameFile = "/u/qel/sys_data/files/partname";
constexpr size_t kPartNameMax = 79;

// One flag per callback, set while its press is being handled.
int MenuBusy[kMainMenuRows] = {};

MainMenuScreens Screens = {};

// Holds a callback's flag for the length of the call; a press that finds the
// flag set gets a guard that is not entered and leaves the flag alone.
class ReentryGuard {
  public:
    explicit ReentryGuard(int row) : flag_(MenuBusy[row]), entered_(flag_ == 0) {
        if (entered_) flag_ = 1;
    }
    ~ReentryGuard() {
        if (entered_) flag_ = 0;
    }
    ReentryGuard(const ReentryGuard&) = delete;
    ReentryGuard& operator=(const ReentryGuard&) = delete;
    bool entered() const { return entered_; }

  private:
    int& flag_;
    bool entered_;
};

// Runs the action of a row unless that row's previous press is still busy.
template <typename F> void Guarded(int row, F action) {
    ReentryGuard guard(row);
    if (guard.entered()) action();
}

void MakeLight(int row) {
    const MainMenuEntry& entry = MainMenuTable[row];
    ArgBuilder a;
    a.Add(XmNheight, 16).Add(XmNwidth, 16).Add(XmNy, entry.y + 25).Add(XmNx, entry.x - 23);
    a.Add(XmNrecomputeSize, False).Add(XmNlabelType, XmPIXMAP).Add(XmNsensitive, False);
    Widget light = XmCreatePushButton(MainForm, XtRes("light"), a.list(), a.count());
    SetWidgetColors(light, "VokButtonOFF", 4, 3, 1);
    XtManageChild(light);
    MainMenuIndicators[row] = light;
}

void MakeButton(int row) {
    MainMenuEntry& entry = MainMenuTable[row];
    ArgBuilder a;
    a.Add(XmNsensitive, False).Add(XmNheight, 66).Add(XmNwidth, 66);
    a.Add(XmNrecomputeSize, False).Add(XmNlabelType, XmPIXMAP);
    a.Add(XmNy, entry.y).Add(XmNx, entry.x);
    Widget button = XmCreatePushButton(MainForm, XtRes("button"), a.list(), a.count());
    const MainMenuIcon& on = MainMenuIconTable[0][row];
    const MainMenuIcon& off = MainMenuIconTable[1][row];
    SetWidgetIcon(button, on.style, on.file, 2, 0, 10);
    SetWidgetIcon(button, off.style, off.file, 4, 0, 10);
    XtManageChild(button);
    MainMenuButtons[row] = button;
    entry.widget = button;
    XtAddEventHandler(button, HintEventMask, False, HintEventHandler, HintLabel(entry.hint));
}

// The power button: check the controller again and follow what it says.
void RecheckMachine() {
    SetSensitive(MainMenuButtons[0], false);
    WaitSeconds(0);
    MachineState();
    if (!ServoOn) ShowHomeMessage(101);
    UpdateMainMenu();
    ApplyMainMenu();
}

void InitializeMachine() {
    if (CheckPassword(1)) HomeMachine();
}

// Opens the screen of a button (1 to 10) through its entry.
void OpenScreen(int button, void (*entry)()) {
    if (entry) {
        entry();
        return;
    }
    std::printf("Main menu: button %d not wired to a screen\n", button);
    std::fflush(stdout);
}

void SetRow(int row, int enabled) {
    MainMenuTable[row - 1].enabled = enabled;
}

void Light(int index, bool on) {
    if (on)
        IndicatorOn(MainMenuIndicators[index]);
    else
        IndicatorOff(MainMenuIndicators[index]);
}

} // namespace

void MakeMainMenu() {
    for (int row = 0; row < kMainMenuRows; ++row) {
        if (row < kMainMenuLights) MakeLight(row);
        MakeButton(row);
    }
}

void PowerButtonCB(Widget, XtPointer, XtPointer) {
    Guarded(0, RecheckMachine);
}
void InitializeButtonCB(Widget, XtPointer, XtPointer) {
    Guarded(1, InitializeMachine);
}
void LoadProgButtonCB(Widget, XtPointer, XtPointer) {
    Guarded(2, [] { OpenScreen(3, Screens.loadProg); });
}
void ExecuteButtonCB(Widget, XtPointer, XtPointer) {
    Guarded(3, [] { OpenScreen(4, Screens.execute); });
}
void PauseButtonCB(Widget, XtPointer, XtPointer) {
    Guarded(4, [] { OpenScreen(5, Screens.pause); });
}
void StatusButtonCB(Widget, XtPointer, XtPointer) {
    Guarded(5, [] { OpenScreen(6, Screens.status); });
}
void HelpButtonCB(Widget w, XtPointer, XtPointer) {
    Guarded(6, [w] { ShowHelpText(w, 1); });
}
void UtilitiesButtonCB(Widget, XtPointer, XtPointer) {
    Guarded(7, [] { OpenScreen(8, Screens.utilities); });
}
void FileUtilButtonCB(Widget, XtPointer, XtPointer) {
    Guarded(8, [] { OpenScreen(9, Screens.fileUtil); });
}
void ProgFunctButtonCB(Widget, XtPointer, XtPointer) {
    Guarded(9, [] { OpenScreen(10, Screens.progFunct); });
}

void SetMainMenuScreens(const MainMenuScreens& screens) {
    Screens = screens;
}

void MachineState() {
    std::printf("\nPlease wait ... checking the controller ...\n");
    std::fflush(stdout);
    OnlineMode = ServoOn = MachineHomed = 0;
    ControllerFamily = kFamilyA;
    const int family = GetPortType("SERVO");
    if (family == -1) {
        std::fprintf(stderr, "defaulting to offline vantor control!\n");
        return;
    }
    ControllerFamily = family;
    OnlineMode = IsOnline();
    if (!OnlineMode) {
        ServoOn = MachineHomed = 1;
        return;
    }
    ChangeCursor(BusyCursor);
    ServoParamDisp(family);
    if (family == kFamilyA || family == kFamilyB) {
        if (ServoOpenDisp(family)) {
            ServoOn = ServoPingDisp(family) != kServoTimeout;
            if (ServoOn) MachineHomed = ServoStatusDisp(family) == kServoOk;
            ServoCloseDisp(family);
        }
    } else if (family == kCounterBoard) {
        ServoOn = ServoPingDisp(family);
        if (ServoOn) MachineHomed = ServoStatusDisp(family);
    }
    ChangeCursor(NormalCursor);
}

void UpdateMainMenu() {
    for (int row : {5, 6, 7, 8, 9}) SetRow(row, 1);
    Light(0, ServoOn != 0);
    SetRow(1, ServoOn ? 0 : 1);
    SetRow(2, ServoOn ? 1 : 0);
    Light(1, MachineHomed != 0);
    SetRow(3, MachineHomed ? 1 : 0);
    if (ServoOn && MachineHomed) {
        PartValid = ReadCurrentPart();
        if (PartValid == 1) {
            Light(2, true);
            SetRow(4, 1);
            SetRow(10, 1);
            return;
        }
    }
    Light(2, false);
    SetRow(4, 0);
    SetRow(10, 1);
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
    UniqueFile f(f_Fopen(kPartnameFile, "r"));
    if (!f) return 0;
    std::string name;
    if (!ReadPiece(f.get(), kPartNameMax, &name)) return 0;
    // The name ends at a NUL, and a line end written by an editor is not
    // part of it.
    name = name.substr(0, name.find('\0'));
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
    if (name.empty()) return 0;
    if (FileType("/u/qel/part/" + name) != 1) return 0;
    CurrentPart = name;
    return 1;
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
