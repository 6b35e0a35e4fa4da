// Main window's main menu, hint line and machine state: the ten buttons in
// two columns with the five lights beside the left one, which of them are
// active for the machine state, and the check of the controller that
// decides it.
#pragma once

#include "statusline.h" // the hint line: SetStatusLine, HintEventHandler

#include <X11/Intrinsic.h>

#include <string>

struct MainMenuEntry {
    Widget widget;
    int enabled; // 1: the button is to be sensitive (applied by ApplyMainMenu)
    int x, y;    // top left corner on MainForm
    int x2, y2;  // x + 65, y + 65
    int hint;    // label number of the hint text
    XtCallbackProc callback;
};

inline constexpr int kMainMenuRows = 10;
inline constexpr int kMainMenuLights = 5;

// A button's look: widget style and icon file.
struct MainMenuIcon {
    const char* style;
    const char* file;
};
// [0] the sensitive looks (Vok<n>, <ICON>.VOK), [1] the insensitive ones
// (Vok<n>Ins, <ICON>.MSK), one row per button.
extern const MainMenuIcon MainMenuIconTable[2][kMainMenuRows];

extern MainMenuEntry MainMenuTable[kMainMenuRows];
extern Widget MainMenuButtons[kMainMenuRows];
// [0] servo on, [1] homed, [2] current part valid, [3] run requested,
// [4] task running.
extern Widget MainMenuIndicators[kMainMenuLights];

// Results of the last MachineState.
extern int ServoOn;
extern int MachineHomed;
extern int OnlineMode;
extern int ControllerFamily;
// The current part (at most 79 characters) and whether it names a folder.
extern std::string CurrentPart;
extern int PartValid;
// The main-menu button (1 to 10) whose screen is open; 0 for none.
extern int ActiveMenuButton;
// Work window of the screen now shown; nullptr for none.
extern Widget ShownScreen;
extern int ScreenWidth;
extern int ScreenHeight;
// The icon-button grid of the choice screens.
extern int GridX[7];
extern int GridY[7];

// Builds the lights and the buttons on MainForm, all insensitive, each
// button with its two looks and its hint. Start-up registers the callbacks.
void MakeMainMenu();

// The screens that the buttons open, one entry per button (power, initialise
// and help are the shell's own). The program's top fills the table at
// start-up; a button whose entry is unset prints a console line and opens
// nothing.
struct MainMenuScreens {
    void (*loadProg)();  // 3: part selection
    void (*execute)();   // 4: execute and step
    void (*pause)();     // 5: pause and exit
    void (*status)();    // 6: information screen
    void (*utilities)(); // 8: service menu
    void (*fileUtil)();  // 9: file menu
    void (*progFunct)(); // 10: part-program menu
};
void SetMainMenuScreens(const MainMenuScreens& screens);

// The buttons' activate callbacks. Each ignores a press that comes while its
// previous one is still being handled.
void PowerButtonCB(Widget w, XtPointer client, XtPointer call);
void InitializeButtonCB(Widget w, XtPointer client, XtPointer call);
void LoadProgButtonCB(Widget w, XtPointer client, XtPointer call);
void ExecuteButtonCB(Widget w, XtPointer client, XtPointer call);
void PauseButtonCB(Widget w, XtPointer client, XtPointer call);
void StatusButtonCB(Widget w, XtPointer client, XtPointer call);
void HelpButtonCB(Widget w, XtPointer client, XtPointer call);
void UtilitiesButtonCB(Widget w, XtPointer client, XtPointer call);
void FileUtilButtonCB(Widget w, XtPointer client, XtPointer call);
void ProgFunctButtonCB(Widget w, XtPointer client, XtPointer call);

// Asks the controller whether it answers and whether the machine is homed;
// sets ControllerFamily, OnlineMode, ServoOn and MachineHomed.
void MachineState();
// Lights 1 to 3 and the enable flags from the machine state; changes no
// sensitivity.
void UpdateMainMenu();
// Each button sensitive exactly when its enable flag is set.
void ApplyMainMenu();
// Every button insensitive; the flags stay.
void DisableMainMenu();
// Loads CurrentPart from the partname file: 1 when it names a part folder,
// else 0 with CurrentPart cleared.
int ReadCurrentPart();
void ScreenDimensions();
void ComputeGrid();
