// File copy: the widgets of the copy screen over its model.
#include "filecopy.h"

#include "colors.h"
#include "dialogs.h"
#include "filelists.h"
#include "labels.h"
#include "launch.h"
#include "listfill.h"
#include "mainmenu.h"
#include "makers.h"
#include "vok.h"

#include "choice.h"

#include <Xm/List.h>
#include <Xm/Xm.h>

namespace {

FileScreen Copy;
CopyModel Model;
std::vector<std::string> Names;
Widget SourceLabel = nullptr;
Widget DestLabel = nullptr;
// Set by the lister, so that the view applies a new listing's selection.
bool Relisted = false;
// Set when the screen gives the keyin field the focus back after a copy.
// The focus callback that this brings, at once or only when the window
// gets the focus back from a message box (after the screen went up to the
// top), is not the operator moving into the field: it leaves the hotkeys as
// they are. Forgotten when the field loses the focus, or a hotkey or a list
// row is pressed.
bool FocusGivenBack = false;

constexpr int kLoadingLabel = 154;
constexpr int kClosingLabel = 171;
constexpr int kTitleLabel = 138;
constexpr int kStatusLabel = 271;
constexpr int kUpOneHint = 243;
constexpr int kEntireDirHint = 245;
constexpr int kCurLlfLabel = 248;
constexpr int kCurPartLabel = 237;

int ListInto(const std::string& folder) {
    Relisted = true;
    if (folder.empty()) {
        FillTopList(Copy.list, &Names, kCopyNavRules.topKey);
        RemoveHeader();
        return 1;
    }
    const int sub = FillDirList(Copy.list, &Names, folder);
    DrawHeader(folder);
    SetKeyinField(Copy.keyin);
    return sub;
}

const NavIo& Io() {
    static const NavIo io{ListInto, [](const std::string& path) { return FileType(path) == 2; }};
    return io;
}

const FileUi& Ui() {
    static const FileUi ui{LabText, ScreenMessage, SystemCmd,
                           [](bool busy) { ChangeCursor(busy ? BusyCursor : NormalCursor); }};
    return ui;
}

void RemoveFromTo() {
    if (SourceLabel) XtDestroyWidget(SourceLabel);
    if (DestLabel) XtDestroyWidget(DestLabel);
    SourceLabel = DestLabel = nullptr;
}

// Brings the widgets in line with the model after one of its steps.
void Show() {
    ShowNavigation(Copy, Model.nav, Relisted);
    Relisted = false;
    if (InTargetPhase(Model.nav.state)) {
        if (!SourceLabel) {
            SourceLabel = MakeWideLabel(Copy.window, 10, 325, XmALIGNMENT_BEGINNING);
            DestLabel = MakeWideLabel(Copy.window, 10, 375, XmALIGNMENT_BEGINNING);
        }
        SetLabelTextLeft(CopySourceText(Model, Ui()), SourceLabel);
        SetLabelTextLeft(CopyDestText(Model, Ui()), DestLabel);
    } else {
        RemoveFromTo();
    }
    if (Model.setKeyin) SetKeyinText(Copy.keyin, Model.keyin);
    Model.setKeyin = false;
}

ListSelection Selection() {
    ListSelection sel;
    if (!FileList) return sel;
    // The positions themselves: a row shows what fits of a name, so two
    // rows may read alike while their names differ.
    for (int pos : SelectedListPositions(FileList)) {
        if (pos < 1 || pos > static_cast<int>(Names.size())) continue;
        if (sel.names.empty()) sel.firstPosition = pos;
        sel.names.push_back(Names[pos - 1]);
    }
    return sel;
}

void HotkeyPressed(int which, XtPointer call) {
    const auto* cb = static_cast<const XmAnyCallbackStruct*>(call);
    if (cb && cb->reason != XmCR_ACTIVATE) return;
    FocusGivenBack = false;
    HotkeyOn(Copy.hotkeys[which - 1]);
    HotkeyOff(Copy.hotkeys[2 - which]);
    NavHotkey(Model.nav, which);
    ClearListSelection(FileList);
}

void GiveFocusBack() {
    FocusGivenBack = true;
    XmProcessTraversal(Copy.keyin, XmTRAVERSE_CURRENT);
}

void KeyinLosesFocus(Widget, XtPointer, XtPointer) {
    FocusGivenBack = false;
}

} // namespace

void FileCopy() {
    PathCut = kInstallRootLength;
    if (!OpenFileScreen(Copy, kLoadingLabel, MakeCopyScreen)) return;
}

void MakeCopyScreen() {
    Names.clear();
    FocusGivenBack = false;
    SourceLabel = DestLabel = nullptr;
    MakeFileFrame(Copy, kTitleLabel, kStatusLabel, CopyOkCB, CopyCancelCB);
    XtAddCallback(Copy.list, XmNsingleSelectionCallback, CopyListCB, nullptr);
    XtAddCallback(Copy.list, XmNmultipleSelectionCallback, CopyListCB, nullptr);
    XtAddCallback(Copy.list, XmNdefaultActionCallback, CopyOkCB, nullptr);
    Copy.upOne = MakeToolbarIcon(Copy, 115, "VokUpOne", kUpOneHint, CopyUpOneCB);
    Copy.wholeFolder = MakeToolbarIcon(Copy, 285, "VokEntireDir", kEntireDirHint, CopyEntireDirCB);
    if (!CurrentPart.empty()) {
        Copy.hotkeys[0] =
            MakeHotkeyButton(Copy.window, "CurLLF", 10, 330, LabText(kCurLlfLabel), false);
        Copy.hotkeys[1] =
            MakeHotkeyButton(Copy.window, "CurPart", 10, 360, LabText(kCurPartLabel), false);
        XtAddCallback(Copy.hotkeys[0], XmNactivateCallback, CopyCurLlfCB, nullptr);
        XtAddCallback(Copy.hotkeys[1], XmNactivateCallback, CopyCurPartCB, nullptr);
    }
    XtAddCallback(Copy.keyin, XmNfocusCallback, CopyFocusCB, nullptr);
    XtAddCallback(Copy.keyin, XmNlosingFocusCallback, KeyinLosesFocus, nullptr);
    XtAddCallback(Copy.keyin, XmNactivateCallback, CopyOkCB, nullptr);
    CopyOpen(Model, CurrentPart, Io());
    Model.pathCut = PathCut;
    Show();
}

void CopyOkCB(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(Copy.okBusy);
    if (!guard.entered() || !Copy.window) return;
    const ListSelection selection = Selection();
    const std::string text = KeyinText(Copy.keyin);
    if (!InTargetPhase(Model.nav.state)) {
        CopyOk(Model, selection, text, Io(), Ui());
        Show();
        return;
    }
    DisableFileButtons(Copy);
    CopyOk(Model, selection, text, Io(), Ui(), GiveFocusBack);
    Show();
    EnableFileButtons(Copy, Model.nav);
}

void CopyCancelCB(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(Copy.cancelBusy);
    if (!guard.entered() || !Copy.window) return;
    std::vector<std::string>().swap(Names);
    RemoveFromTo();
    CloseFileScreen(Copy, kClosingLabel);
}

void CopyUpOneCB(Widget, XtPointer, XtPointer) {
    if (!Copy.window) return;
    CopyUpOne(Model, Io());
    SetKeyinField(Copy.keyin);
    Show();
}

void CopyEntireDirCB(Widget, XtPointer, XtPointer) {
    if (!Copy.window) return;
    CopyWholeFolder(Model, Selection(), Ui());
    Show();
}

void CopyCurLlfCB(Widget, XtPointer, XtPointer call) {
    HotkeyPressed(kCurLlfHotkey, call);
}

void CopyCurPartCB(Widget, XtPointer, XtPointer call) {
    HotkeyPressed(kCurPartHotkey, call);
}

void CopyListCB(Widget, XtPointer, XtPointer call) {
    ChoiceGuard guard(Copy.listBusy);
    if (!guard.entered()) return;
    const auto* cb = static_cast<const XmListCallbackStruct*>(call);
    if (!cb) return;
    if (cb->reason != XmCR_SINGLE_SELECT && cb->reason != XmCR_MULTIPLE_SELECT) return;
    FocusGivenBack = false;
    SetKeyinField(Copy.keyin);
    NavListSelected(Model.nav, cb->reason == XmCR_MULTIPLE_SELECT);
    if (cb->reason == XmCR_SINGLE_SELECT) {
        HotkeyOff(Copy.hotkeys[0]);
        HotkeyOff(Copy.hotkeys[1]);
    }
    if (FileList) XmProcessTraversal(FileList, XmTRAVERSE_CURRENT);
}

void CopyFocusCB(Widget, XtPointer, XtPointer call) {
    const auto* cb = static_cast<const XmAnyCallbackStruct*>(call);
    if (cb && cb->reason != XmCR_FOCUS) return;
    const bool givenBack = FocusGivenBack;
    FocusGivenBack = false;
    if (!givenBack) {
        if (Model.nav.state == kNavTop) {
            HotkeyOff(Copy.hotkeys[0]);
            HotkeyOff(Copy.hotkeys[1]);
        }
        NavKeyinFocus(Model.nav);
    }
    ClearListSelection(FileList);
    SetWidgetColors(Copy.keyin, "KeyinFocusIn", 0, 3, 7);
}

CopyView CopyState() {
    return {&Copy, &Model, &Names, SourceLabel, DestLabel};
}
