// Text edit: the widgets of the text-edit screen over its model.
#include "fileedit.h"

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

namespace {

FileScreen Ed;
EditModel Model;
std::vector<std::string> Names;
// Set by the lister, so that the view applies a new listing's selection.
bool Relisted = false;

constexpr int kLoadingLabel = 154;
constexpr int kClosingLabel = 171;
constexpr int kTitleLabel = 262;
constexpr int kStatusLabel = 274;
constexpr int kUpOneHint = 243;

int ListInto(const std::string& folder) {
    Relisted = true;
    if (folder.empty()) {
        FillTopList(Ed.list, &Names, kEditNavRules.topKey);
        RemoveHeader();
        return 1;
    }
    const int sub = FillEditList(Ed.list, &Names, folder);
    DrawHeader(folder);
    SetKeyinField(Ed.keyin);
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

// Brings the widgets in line with the model after one of its steps.
void Show() {
    ShowNavigation(Ed, Model.nav, Relisted);
    Relisted = false;
    if (Model.setKeyin) SetKeyinText(Ed.keyin, Model.keyin);
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

} // namespace

void FileEdit() {
    OpenFileScreen(Ed, kLoadingLabel, MakeEdScreen);
}

void MakeEdScreen() {
    Names.clear();
    MakeFileFrame(Ed, kTitleLabel, kStatusLabel, EdOkCB, EdCancelCB);
    XtAddCallback(Ed.list, XmNsingleSelectionCallback, EdListCB, nullptr);
    XtAddCallback(Ed.list, XmNmultipleSelectionCallback, EdListCB, nullptr);
    XtAddCallback(Ed.list, XmNdefaultActionCallback, EdOkCB, nullptr);
    Ed.upOne = MakeToolbarIcon(Ed, 115, "VokUpOne", kUpOneHint, EdUpOneCB);
    Ed.hotkeys[0] = MakeHotkeyButton(Ed.window, "Hotkey1", 10, 330, LabText(kEditLlfLabel), false);
    XtAddCallback(Ed.hotkeys[0], XmNactivateCallback, EdHotkeyCB, nullptr);
    XtAddCallback(Ed.keyin, XmNfocusCallback, EdFocusCB, nullptr);
    XtAddCallback(Ed.keyin, XmNactivateCallback, EdOkCB, nullptr);
    EditOpen(Model, CurrentPart, Io());
    Show();
}

void EdOkCB(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(Ed.okBusy);
    if (!guard.entered() || !Ed.window) return;
    const ListSelection selection = Selection();
    const std::string text = KeyinText(Ed.keyin);
    DisableFileButtons(Ed);
    EditOk(Model, selection, text, Io(), Ui());
    Show();
    EnableFileButtons(Ed, Model.nav);
}

void EdCancelCB(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(Ed.cancelBusy);
    if (!guard.entered() || !Ed.window) return;
    std::vector<std::string>().swap(Names);
    CloseFileScreen(Ed, kClosingLabel);
}

void EdUpOneCB(Widget, XtPointer, XtPointer) {
    if (!Ed.window) return;
    EditUpOne(Model, Io());
    SetKeyinField(Ed.keyin);
    Show();
}

void EdHotkeyCB(Widget, XtPointer, XtPointer call) {
    const auto* cb = static_cast<const XmAnyCallbackStruct*>(call);
    if (cb && cb->reason != XmCR_ACTIVATE) return;
    HotkeyOn(Ed.hotkeys[0]);
    NavHotkey(Model.nav, kEditLlfHotkey);
    ClearListSelection(FileList);
}

void EdListCB(Widget, XtPointer, XtPointer call) {
    ChoiceGuard guard(Ed.listBusy);
    if (!guard.entered()) return;
    const auto* cb = static_cast<const XmListCallbackStruct*>(call);
    if (!cb) return;
    if (cb->reason != XmCR_SINGLE_SELECT && cb->reason != XmCR_MULTIPLE_SELECT) return;
    SetKeyinField(Ed.keyin);
    NavListSelected(Model.nav, cb->reason == XmCR_MULTIPLE_SELECT);
    HotkeyOff(Ed.hotkeys[0]);
    if (FileList) XmProcessTraversal(FileList, XmTRAVERSE_CURRENT);
}

void EdFocusCB(Widget, XtPointer, XtPointer call) {
    const auto* cb = static_cast<const XmAnyCallbackStruct*>(call);
    if (cb && cb->reason != XmCR_FOCUS) return;
    HotkeyOff(Ed.hotkeys[0]);
    NavKeyinFocus(Model.nav);
    ClearListSelection(FileList);
    SetWidgetColors(Ed.keyin, "KeyinFocusIn", 0, 3, 7);
}

EditView EditState() {
    return {&Ed, &Model, &Names};
}
