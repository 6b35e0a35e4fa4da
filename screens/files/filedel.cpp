// File delete: the widgets of the delete screen over its model.
#include "filedel.h"

#include "filemember.h"
#include "labels.h"
#include "listfill.h"
#include "mainmenu.h"
#include "makers.h"

namespace {

DelModel Model;
Widget AllButDepend = nullptr;

constexpr int kTitleLabel = 147, kStatusLabel = 273;
// The hints of the whole-folder and the all-but-needed buttons.
constexpr int kWholeFolderHint = 269, kAllButDependHint = 260;
// The execute button's row and the part light.
constexpr int kExecuteRow = 3;
constexpr int kPartLight = 2;

// The current part's folder is gone: no part is current, and the main menu
// says so.
void ForgetCurrentPart() {
    CurrentPart.clear();
    PartValid = 0;
    SetSensitive(MainMenuButtons[kExecuteRow], false);
    MainMenuTable[kExecuteRow].enabled = 0;
    IndicatorOff(MainMenuIndicators[kPartLight]);
}

// The deletions, each with OK, Cancel and the up-one button off until it
// has ended: OK's (also a step of the navigation), the whole folder's and
// all but what the part needs.
void Ok(const ListSelection& selection, const std::string& text, const NavIo& io) {
    DelOk(Model, selection, text, io, FileScreenUi());
}
void WholeFolder(const ListSelection& selection, const std::string&, const NavIo& io) {
    DelWholeFolder(Model, selection, io, FileScreenUi());
}
void AllButNeeded(const ListSelection& selection, const std::string&, const NavIo& io) {
    DelAllButNeeded(Model, selection, io, FileScreenUi());
}
void WholeFolderCB(Widget, XtPointer client, XtPointer) {
    FileMemberOk(MemberOf(client), OkButtons::kOff, WholeFolder);
}
void AllButNeededCB(Widget, XtPointer client, XtPointer) {
    FileMemberOk(MemberOf(client), OkButtons::kOff, AllButNeeded);
}

void Make(FileMember& m) {
    FileScreen& s = m.screen;
    s.wholeFolder = MakeToolbarIcon(s, 285, "VokFileDelete", kWholeFolderHint, WholeFolderCB, &m);
    AllButDepend =
        MakeToolbarIcon(s, 355, "VokAllButDepend", kAllButDependHint, AllButNeededCB, &m);
    MakeMemberHotkey(m, kDelHotkey1, "Hotkey1", kDelCurPartLabel);
    MakeMemberHotkey(m, kDelHotkey2, "Hotkey2", kDelPurgeAllLabel);
    DelOpen(Model, CurrentPart, m.io, ForgetCurrentPart);
    Model.pathCut = PathCut;
}

// The all-but-needed button, and Hotkey1's label, as the folder listed asks.
void ShowOwn(FileMember& m) {
    SetManaged(AllButDepend, DelAllButNeededShown(Model));
    SetHotkeyLabel(m.screen.hotkeys[0], LabText(Model.hotkey1Label));
}

// The hotkeys follow the folder listed.
bool HotkeyShown(int which) {
    return which == kDelHotkey1 ? Model.hotkey1Shown : Model.hotkey2Shown;
}

FileMember Del{{kTitleLabel, kStatusLabel, DelCancelCB},
               {FillDirList, true},
               Model,
               {Ok, OkButtons::kOff},
               {Make, [](const NavIo& io) { DelUpOne(Model, io); }, ShowOwn,
                [](int which) { DelHotkey(Model, which); }, HotkeyShown,
                [] { AllButDepend = nullptr; }}};

} // namespace

void FileDelete() {
    OpenFileMember(Del);
}

DelView DelState() {
    const FileScreen& s = Del.screen;
    return {{&s, &Model, &Del.names}, AllButDepend, s.hotkeys[0], s.hotkeys[1]};
}

void DelCancelCB(Widget, XtPointer, XtPointer) {
    CloseFileMember(Del);
}
