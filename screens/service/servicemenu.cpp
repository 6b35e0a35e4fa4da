// Service menu.
#include "servicemenu.h"

#include "colors.h"
#include "controller.h"
#include "dialogs.h"
#include "labels.h"
#include "launch.h"
#include "mainmenu.h"
#include "makers.h"
#include "mediaedit.h"
#include "msgsys.h"
#include "password.h"
#include "portconfig.h"
#include "servicescreen.h"
#include "settings.h"
#include "vok.h"

#include <cstdint>
#include <cstdio>

namespace {

ChoiceScreen Menu;
Widget Buttons[8] = {};
ConstantsUpload Upload = nullptr;

constexpr int kTitleLabel = 21;
// The utilities button, whose screen the menu is.
constexpr int kUtilitiesButton = 8;
// Header row 2 registers its colours, so that a new scheme re-colours it.
constexpr int kPartLineMode = 2;
constexpr int kNotAvailableLabel = 275;
// Argument word of the abort that a changed configuration sends.
constexpr int kReloadAbortArg = 100;

constexpr const char* kSyspgen = "/u/qel/xeq/syspgen.exe";
constexpr const char* kSysgen = "/u/qel/xeq/sysgen.exe";
constexpr const char* kPassgen = "/u/qel/xeq/passgen.exe";
constexpr const char* kConstants = "/u/qel/sys_data/files/constant.asc";

// Upload answers.
constexpr int kUploadDone = 0;
constexpr int kUploadFailed = -2;

struct Choice {
    int value;
    const char* style;
    int gridX, gridY; // gridY 0: on the toolbar
    int hint;
};

const Choice kChoices[] = {
    {kServiceMenuParams, "VokSyspgen", 1, 1, 15},   {kServiceMenuScreen, "VokService", 3, 0, 16},
    {kServiceMenuPorts, "VokPortConfig", 5, 1, 17}, {kServiceMenuMedia, "VokMedia", 5, 3, 18},
    {kServiceMenuRestore, "VokRestore", 1, 5, 193}, {kServiceMenuSysgen, "VokSysgen", 3, 1, 24},
    {kServiceMenuPassgen, "VokPassgen", 1, 3, 225}, {kServiceMenuAvail, "VokAvailQEL", 5, 5, 319},
};

Widget ButtonOf(int value) {
    for (size_t i = 0; i < std::size(kChoices); ++i)
        if (kChoices[i].value == value) return Buttons[i];
    return nullptr;
}

// A question of the menu: OK gives 1.
bool Agreed(const std::string& text) {
    return ScreenMessage(text) == 1;
}

// Starts a configuration program with the family switch and waits for it.
void RunWithSwitch(const char* program) {
    const std::string sw = ProgramFamilySwitch(ControllerFamily);
    ArgRow row;
    PutArgRow(row, sw);
    ForkExec(0, program, &row, sw.empty() ? 0 : 1);
}

// Request 9: the server prints the file.
void PrintFile(const char* path) {
    if (!SetPrintPath(path)) return;
    MsgSetInt(MsgOut, kMsgSubState, 0);
    MsgSetInt(MsgOut, kMsgExit, 0);
    MsgSetInt(MsgOut, kMsgCode, MSG_PRINT);
    SendMessage(0);
}

// Family B: the controller's constants are read into constant.asc (or the
// old file kept), edited, and printed when the operator asks for it.
void FamilyBConstants() {
    const std::string goOn = "\n \n" + LabText(172);
    if (Agreed(LabText(345) + goOn)) {
        const int result =
            Upload ? Upload(ControllerFamily) : ServoUploadConstants(ControllerFamily);
        if (result == kUploadFailed) {
            if (!Agreed(LabText(343) + "\n " + LabText(344) + goOn)) return;
        } else if (result != kUploadDone) {
            return;
        }
    }
    ArgRow file;
    PutArgRow(file, kConstants);
    LaunchEditor(Language, EditorType, &file, 1);
    if (Agreed(LabText(341) + goOn)) PrintFile(kConstants);
}

void ControllerParameters() {
    if (CheckPassword(13) != 1) return;
    if (ControllerFamily == kFamilyB)
        FamilyBConstants();
    else
        RunWithSwitch(kSyspgen);
}

// The settings that the system generation may change, copied.
struct Settings {
    int language, online, item21, item7, network;
    std::string str6, colors;
    static Settings Now() {
        return {Language,      OnlineItem, SysgenItem21, SysgenItem7Is1,
                NetworkOption, SysgenStr6, ColorFileName};
    }
    bool operator==(const Settings& o) const {
        return language == o.language && online == o.online && item21 == o.item21 &&
               item7 == o.item7 && network == o.network && str6 == o.str6 && colors == o.colors;
    }
};

void SystemGeneration() {
    if (CheckPassword(11) != 1) return;
    const Settings before = Settings::Now();
    RunWithSwitch(kSysgen);
    ReadSysgen();
    const Settings after = Settings::Now();
    if (after.language != before.language) PasswordInit("vok", MainForm, Language, AppContext);
    if (after.colors != before.colors) {
        ServiceMenuUnmark();
        UpdateQELColors(ColorFileName);
        ServiceMenuMark(ButtonOf(kServiceMenuSysgen));
    }
    if (after == before) return;
    if (AnyTaskActive()) SendTaskControl(TASK_ABORT, kReloadAbortArg);
    if (after.online != before.online) {
        MachineState();
        UpdateMainMenu();
    }
}

void PasswordProgram() {
    if (CheckPassword(12) != 1) return;
    ForkExec(0, kPassgen, nullptr, 0);
    PasswordInit("vok", MainForm, Language, AppContext);
}

void PortConfiguration() {
    if (CheckPassword(14) != 1 || ConfirmStopTasks() != 1) return;
    DisableMainMenu();
    ShowPortConfig();
}

void MediaRecords() {
    if (CheckPassword(15) == 1) ShowMediaEditor();
}

// What OK does for a choice.
void Dispatch(int choice) {
    switch (choice) {
    case kServiceMenuParams:
        ControllerParameters();
        break;
    case kServiceMenuScreen:
        ShowServiceScreen();
        break;
    case kServiceMenuPorts:
        PortConfiguration();
        break;
    case kServiceMenuMedia:
        MediaRecords();
        break;
    case kServiceMenuRestore:
    case kServiceMenuAvail:
        ScreenMessage(LabText(kNotAvailableLabel));
        break;
    case kServiceMenuSysgen:
        SystemGeneration();
        break;
    case kServiceMenuPassgen:
        PasswordProgram();
        break;
    default:
        break;
    }
}

bool KnownChoice(int choice) {
    for (const Choice& c : kChoices)
        if (c.value == choice) return true;
    return false;
}

} // namespace

std::string ProgramFamilySwitch(int family) {
    switch (family) {
    case kFamilyA:
        return "-VANTOR";
    case kCounterBoard:
        return "-TORVI";
    case kFamilyB:
        return "-KROMI";
    default:
        std::printf("ServiceMenuOk: controller family %d has no switch, the program gets none\n",
                    family);
        std::fflush(stdout);
        return "";
    }
}

void MakeServiceMenu() {
    MakeChoiceFrame(Menu, ServiceMenuOk, ServiceMenuCancel, -1, 0);
    for (size_t i = 0; i < std::size(kChoices); ++i) {
        const Choice& c = kChoices[i];
        if (c.gridY == 0) {
            // On the toolbar, between Cancel and OK.
            Buttons[i] = MakeIconButton(Menu.toolbar, GridX[c.gridX], 5, c.style, 2);
            XtAddCallback(Buttons[i], XmNactivateCallback, ServiceMenuSelectCb,
                          reinterpret_cast<XtPointer>(static_cast<intptr_t>(c.value)));
            XtAddEventHandler(Buttons[i], HintEventMask, False, HintEventHandler,
                              HintLabel(c.hint));
            Menu.buttons.push_back(Buttons[i]);
        } else {
            Buttons[i] = MakeChoiceButton(Menu, GridX[c.gridX], GridY[c.gridY], c.style,
                                          ServiceMenuSelectCb, c.value, c.hint, nullptr);
        }
    }
}

void ShowServiceMenu() {
    if (ChoiceShown(Menu) || ActiveMenuButton == kUtilitiesButton) return;
    SetStatusLine("");
    DisableMainMenu();
    OpenChoiceScreen(Menu, MakeServiceMenu, kTitleLabel, kPartLineMode);
    ActiveMenuButton = kUtilitiesButton;
    ManageChoiceScreen(Menu);
}

void ServiceMenuSelectCb(Widget w, XtPointer value, XtPointer) {
    ChoiceSelect(Menu, w, static_cast<int>(reinterpret_cast<intptr_t>(value)));
}

void ServiceMenuOk(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(Menu.okBusy);
    if (!guard.entered()) return;
    SetChoiceToolbar(Menu, false);
    if (!KnownChoice(Menu.choice)) {
        SetChoiceToolbar(Menu, true);
        return;
    }
    // Clicks that came while the toolbar was live are dropped.
    DropQueuedInput();
    Dispatch(Menu.choice);
    SetChoiceToolbar(Menu, true);
    WaitSeconds(0);
    SetStatusLine("");
}

void ServiceMenuCancel(Widget, XtPointer, XtPointer) {
    if (!Menu.window) return;
    CancelChoiceScreen(Menu);
    if (ShownScreen == nullptr) ActiveMenuButton = 0;
}

void ServiceMenuMark(Widget button) {
    ChoiceMark(Menu, button);
}

void ServiceMenuUnmark() {
    ChoiceUnmark(Menu);
}

void SetConstantsUploadForTest(ConstantsUpload upload) {
    Upload = upload;
}

ServiceMenuView ServiceMenuState() {
    ServiceMenuView v{&Menu, {}};
    for (int i = 0; i < 8; ++i) v.buttons[i] = Buttons[i];
    return v;
}
