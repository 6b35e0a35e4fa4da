// Service menu: the utilities button's screen, a choice screen with the
// maintenance functions: the controller parameters, the service screen, the
// port configuration, the media records, the system generation (with the
// reload of the settings it changes) and the password program. The menu
// stays shown while a function runs and after it, until its Cancel.
#pragma once

#include "choice.h"

#include <X11/Intrinsic.h>

#include <string>

// The choice values.
inline constexpr int kServiceMenuParams = 1;
inline constexpr int kServiceMenuScreen = 2;
inline constexpr int kServiceMenuPorts = 3;
inline constexpr int kServiceMenuMedia = 4;
inline constexpr int kServiceMenuRestore = 7;
inline constexpr int kServiceMenuSysgen = 8;
inline constexpr int kServiceMenuPassgen = 9;
inline constexpr int kServiceMenuAvail = 10;

// Entry of the utilities button.
void ShowServiceMenu();
void MakeServiceMenu();
void ServiceMenuSelectCb(Widget w, XtPointer value, XtPointer call);
void ServiceMenuOk(Widget w, XtPointer client, XtPointer call);
void ServiceMenuCancel(Widget w, XtPointer client, XtPointer call);
void ServiceMenuMark(Widget button);
void ServiceMenuUnmark();

// The family switch of the configuration programs: "-VANTOR", "-TORVI" and
// "-KROMI" for families 1, 2 and 3; none (with a console line) for any
// other.
std::string ProgramFamilySwitch(int family);

// Test seam: the constants upload of family B (ServoUploadConstants when
// null).
using ConstantsUpload = int (*)(int family);
void SetConstantsUploadForTest(ConstantsUpload upload);

// The menu's frame and its buttons in the order of their values: 1, 2, 3,
// 4, 7, 8, 9, 10.
struct ServiceMenuView {
    const ChoiceScreen* frame;
    Widget buttons[8];
};
ServiceMenuView ServiceMenuState();
