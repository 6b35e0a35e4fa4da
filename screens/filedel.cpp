// File delete: the widgets of the delete screen over its model.
#include "filedel.h"

#include "choice.h"
#include "colors.h"
#include "dialogs.h"
#include "filelists.h"
#include "filematch.h"
#include "labels.h"
#include "launch.h"
#include "listfill.h"
#include "mainmenu.h"
#include "makers.h"
#include "vok.h"

#include <Xm/List.h>
#include <Xm/Xm.h>

#include <cstdint>

namespace {

FileScreen Del;
DelModel Model;
std::vector<std::string> Names;
Widget AllButDepend = nullptr;
Widget Hotkey1 = nullptr;
Widget Hotkey2 = nullptr;
// Set by the lister, so that the view applies a new listing's selection.
bool Relisted = false;

constexpr int kLoadingLabel = 154;
constexpr int kClosingLabel = 171;
constexpr int kTitleLabel = 147;
constexpr int kStatusLabel = 273;
constexpr int kUpOneHint = 243;
constexpr int kWholeFolderHint = 269;
constexpr int kAllButDependHint = 260;
// The execute button's row and the part light.
constexpr int kExecuteRow = 3;
constexpr int kPartLight = 2;

int ListInto(const std::string& folder) {
    Relisted = true;
    if (folder.empty()) {
        FillTopList(Del.list, &Names, kDelNavRules.topKey);
        RemoveHeader();
        return 1;
    }
    const int sub = FillDirList(Del.list, &Names, folder);
    DrawHeader(folder);
    SetKeyinField(Del.keyin);
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

void SetManaged(Widget w, bool on) {
    if (!w) return;
    if (on)
        XtManageChild(w);
    else
        XtUnmanageChild(w);
}

void HotkeyLook(Widget w, bool on) {
    if (on)
        SetWidgetColors(w, "VokButtonON", 0, 0, 4);
    else
        HotkeyOff(w);
}

// The current part's folder is gone: no part is current, and the main menu
// says so.
void ForgetCurrentPart() {
    CurrentPart.clear();
    PartValid = 0;
    SetSensitive(MainMenuButtons[kExecuteRow], false);
    MainMenuTable[kExecuteRow].enabled = 0;
    IndicatorOff(MainMenuIndicators[kPartLight]);
}

// Brings the widgets in line with the model after one of its steps.
void Show() {
    ShowNavigation(Del, Model.nav, Relisted);
    Relisted = false;
    SetManaged(AllButDepend, DelAllButNeededShown(Model));
    SetHotkeyLabel(Hotkey1, LabText(Model.hotkey1Label));
    SetManaged(Hotkey1, Model.hotkey1Shown);
    SetManaged(Hotkey2, Model.hotkey2Shown);
    HotkeyLook(Hotkey1, Model.nav.hotkeyMode == kDelHotkey1);
    HotkeyLook(Hotkey2, Model.nav.hotkeyMode == kDelHotkey2);
    if (Model.setKeyin) SetKeyinText(Del.keyin, Model.keyin);
    Model.setKeyin = false;
}

ListSelection Selection() {
    ListSelection sel;
    if (!FileList) return sel;
    for (int pos : SelectedListPositions(FileList)) {
        if (pos < 1 || pos > static_cast<int>(Names.size())) continue;
        if (sel.names.empty()) sel.firstPosition = pos;
        sel.names.push_back(Names[pos - 1]);
    }
    return sel;
}

// A deletion or a navigation step with OK, Cancel and the up-one button off
// until it has ended.
template <typename Step> void WithButtonsOff(Step step) {
    DisableFileButtons(Del);
    step();
    Show();
    EnableFileButtons(Del, Model.nav);
}

} // namespace

void FileDelete() {
    PathCut = kInstallRootLength;
    OpenFileScreen(Del, kLoadingLabel, MakeDelScreen);
}

void MakeDelScreen() {
    Names.clear();
    MakeFileFrame(Del, kTitleLabel, kStatusLabel, DelOkCB, DelCancelCB);
    XtAddCallback(Del.list, XmNsingleSelectionCallback, DelListCB, nullptr);
    XtAddCallback(Del.list, XmNmultipleSelectionCallback, DelListCB, nullptr);
    XtAddCallback(Del.list, XmNdefaultActionCallback, DelOkCB, nullptr);
    Del.upOne = MakeToolbarIcon(Del, 115, "VokUpOne", kUpOneHint, DelUpOneCB);
    Del.wholeFolder = MakeToolbarIcon(Del, 285, "VokFileDelete", kWholeFolderHint, DelDirCB);
    AllButDepend =
        MakeToolbarIcon(Del, 355, "VokAllButDepend", kAllButDependHint, DelAllButDependCB);
    Hotkey1 = MakeHotkeyButton(Del.window, "Hotkey1", 10, 330, LabText(kDelCurPartLabel), false);
    Hotkey2 = MakeHotkeyButton(Del.window, "Hotkey2", 10, 360, LabText(kDelPurgeAllLabel), false);
    XtAddCallback(Hotkey1, XmNactivateCallback, DelHotkeyCB, reinterpret_cast<XtPointer>(0));
    XtAddCallback(Hotkey2, XmNactivateCallback, DelHotkeyCB, reinterpret_cast<XtPointer>(1));
    XtAddCallback(Del.keyin, XmNfocusCallback, DelFocusCB, nullptr);
    XtAddCallback(Del.keyin, XmNactivateCallback, DelOkCB, nullptr);
    DelOpen(Model, CurrentPart, Io(), ForgetCurrentPart);
    Model.pathCut = PathCut;
    Show();
}

void DelOkCB(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(Del.okBusy);
    if (!guard.entered() || !Del.window) return;
    const ListSelection selection = Selection();
    const std::string text = KeyinText(Del.keyin);
    WithButtonsOff([&] { DelOk(Model, selection, text, Io(), Ui()); });
}

void DelCancelCB(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(Del.cancelBusy);
    if (!guard.entered() || !Del.window) return;
    std::vector<std::string>().swap(Names);
    CloseFileScreen(Del, kClosingLabel);
    AllButDepend = Hotkey1 = Hotkey2 = nullptr;
}

void DelUpOneCB(Widget, XtPointer, XtPointer) {
    if (!Del.window) return;
    DelUpOne(Model, Io());
    SetKeyinField(Del.keyin);
    Show();
}

void DelDirCB(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(Del.okBusy);
    if (!guard.entered() || !Del.window) return;
    const ListSelection selection = Selection();
    WithButtonsOff([&] { DelWholeFolder(Model, selection, Io(), Ui()); });
}

void DelAllButDependCB(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(Del.okBusy);
    if (!guard.entered() || !Del.window) return;
    const ListSelection selection = Selection();
    WithButtonsOff([&] { DelAllButNeeded(Model, selection, Io(), Ui()); });
}

void DelHotkeyCB(Widget, XtPointer client, XtPointer call) {
    const auto* cb = static_cast<const XmAnyCallbackStruct*>(call);
    if (cb && cb->reason != XmCR_ACTIVATE) return;
    const bool second = reinterpret_cast<intptr_t>(client) == 1;
    DelHotkey(Model, second ? kDelHotkey2 : kDelHotkey1);
    HotkeyOn(second ? Hotkey2 : Hotkey1);
    HotkeyOff(second ? Hotkey1 : Hotkey2);
    ClearListSelection(FileList);
}

void DelListCB(Widget, XtPointer, XtPointer call) {
    ChoiceGuard guard(Del.listBusy);
    if (!guard.entered()) return;
    const auto* cb = static_cast<const XmListCallbackStruct*>(call);
    if (!cb) return;
    if (cb->reason != XmCR_SINGLE_SELECT && cb->reason != XmCR_MULTIPLE_SELECT) return;
    SetKeyinField(Del.keyin);
    NavListSelected(Model.nav, cb->reason == XmCR_MULTIPLE_SELECT);
    HotkeyOff(Hotkey1);
    HotkeyOff(Hotkey2);
    if (FileList) XmProcessTraversal(FileList, XmTRAVERSE_CURRENT);
}

void DelFocusCB(Widget, XtPointer, XtPointer call) {
    const auto* cb = static_cast<const XmAnyCallbackStruct*>(call);
    if (cb && cb->reason != XmCR_FOCUS) return;
    HotkeyOff(Hotkey1);
    HotkeyOff(Hotkey2);
    NavKeyinFocus(Model.nav);
    ClearListSelection(FileList);
    SetWidgetColors(Del.keyin, "KeyinFocusIn", 0, 3, 7);
}

DelView DelState() {
    return {&Del, &Model, &Names, AllButDepend, Hotkey1, Hotkey2};
}
