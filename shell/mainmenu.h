// Main window's main menu, hint line and machine state.
#pragma once

#include <X11/Intrinsic.h>

#include <cstdint>
#include <string>

struct MainMenuEntry {
    Widget widget;
    int enabled;
    int x, y;
    int x2, y2;
    int hint; // label number of the hint text
    XtCallbackProc callback;
};

inline constexpr int kMainMenuRows = 10;
inline constexpr EventMask HintEventMask = 0x33;

extern MainMenuEntry MainMenuTable[kMainMenuRows];
extern Widget MainMenuButtons[kMainMenuRows];
extern Widget MainMenuIndicators[5];

extern int ServoOn;
extern int MachineHomed;
extern int OnlineMode;
extern int ControllerFamily;
extern std::string CurrentPart;
extern int PartValid;
extern int ActiveMenuButton;
extern int ScreenWidth;
extern int ScreenHeight;
extern int GridX[7];
extern int GridY[7];

void MakeMainMenu();
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

// Shows a button's hint in the status line while the pointer is over it.
// The client data is the hint's label number, looked up on each Enter, so a
// language change shows the new text.
void HintEventHandler(Widget w, XtPointer hintLabel, XEvent* event, Boolean* continueDispatch);
// Client data of HintEventHandler for a label number.
inline XtPointer HintLabel(int label) {
    return reinterpret_cast<XtPointer>(static_cast<intptr_t>(label));
}

void SetStatusLine(const std::string& text);
void MachineState();
void UpdateMainMenu();
void ApplyMainMenu();
void DisableMainMenu();
int ReadCurrentPart();
void ScreenDimensions();
void ComputeGrid();
