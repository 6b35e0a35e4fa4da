// Information screen. It keeps no ShownScreen; while it is up it holds the
// status button as ActiveMenuButton, so that no reply of the message server
// makes the main menu live under it.
#include "infoscreen.h"

#include "clock.h"
#include "labels.h"
#include "language.h"
#include "linereader.h"
#include "mainmenu.h"
#include "makers.h"
#include "msgsys.h"
#include "paths.h"
#include "settings.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

ChoiceScreen Info;

constexpr int kTitleLabel = 59;
constexpr int kInfoRows = 8;
constexpr int kHelpIndex = 0;
constexpr size_t kTimeTextMax = 50; // the strftime buffers
constexpr size_t kVersionKeep = 78;
constexpr const char* kVersionFile = "/u/qel/database/VERSION";

enum Row { kDate, kTime, kVersion, kFamily, kOnline, kTaskState, kNetName, kNetMon };
// The caption label of each row.
constexpr int kCaptions[kInfoRows - 1] = {291, 292, 295, 297, 293, 294, 296};

std::string TimeText(const char* format, const std::tm& when) {
    char text[kTimeTextMax];
    const size_t n = std::strftime(text, sizeof text, format, &when);
    return std::string(text, n);
}

std::string FamilyName(int family) {
    switch (family) {
    case 1:
        return "Vantor";
    case 2:
        return "Torvi";
    case 3:
        return "Kromi";
    default:
        return "";
    }
}

int TaskStateLabel() {
    switch (GetTaskState(CurrentTaskId)) {
    case SLOT_RUNNING:
        return 196;
    case SLOT_HELD:
        return 215;
    case SLOT_READY:
        return 216;
    default:
        return 194;
    }
}

std::string EnvText(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

void SetRow(int row, const std::string& caption, const std::string& value) {
    SetLabelText(caption, Info.infoLeft[row]);
    SetLabelText(value, Info.infoRight[row]);
}

} // namespace

std::string InfoVersionText() {
    std::string line;
    UniqueFile f(f_Fopen(kVersionFile, "r"));
    if (f && ReadCutLine(f.get(), kVersionKeep, &line) && !line.empty()) return line;
    char text[32];
    std::snprintf(text, sizeof text, "%1.*f/NT", 4, kTitleVersion);
    return text;
}

void MakeInfoScreen() {
    MakeChoiceFrame(Info, nullptr, InfoScreenClose, kHelpIndex, kInfoRows);
}

void ShowInfoScreen() {
    const time_t now = WallClock();
    std::tm when{};
    localtime_r(&now, &when);
    const std::string date = TimeText("%A, %B %d, %Y", when);
    const std::string time = TimeText("%I:%M:%S %p %Z", when);

    DisableMainMenu();
    EnsureChoiceMade(Info, MakeInfoScreen);
    ActiveMenuButton = kStatusButton;
    ShowChoiceHeader(Info, kTitleLabel);

    SetRow(kDate, LabText(kCaptions[kDate]), date);
    SetRow(kTime, LabText(kCaptions[kTime]), time);
    SetRow(kVersion, LabText(kCaptions[kVersion]), InfoVersionText());
    SetRow(kFamily, LabText(kCaptions[kFamily]), FamilyName(ControllerFamily));
    SetRow(kOnline, LabText(kCaptions[kOnline]), LabText(IsOnline() ? 120 : 118));
    SetRow(kTaskState, LabText(kCaptions[kTaskState]),
           ScreenLineText(LabText(TaskStateLabel()), Language));
    SetRow(kNetName, LabText(kCaptions[kNetName]), EnvText("NETNAME"));
    ShowNetworkLine(Info.infoLeft[kNetMon], Info.infoRight[kNetMon]);

    SetChoiceToolbar(Info, true);
    XtManageChild(Info.window);
}

void InfoScreenClose(Widget, XtPointer, XtPointer) {
    if (Info.window) XtUnmanageChild(Info.window);
    ActiveMenuButton = 0;
    ApplyMainMenu();
}

const ChoiceScreen& InfoScreenState() {
    return Info;
}
