// Block edit and contour edit: the widgets of the twin screens over their
// model. One of them is open at a time.
#include "filebe.h"

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

FileScreen PartScreen; // the screen open, block or contour edit
PartEditModel Model;
std::vector<std::string> Names;
PartEditor Opening = PartEditor::kBlock;
// Set by the lister, so that the view applies a new listing's selection.
bool Relisted = false;

constexpr int kLoadingLabel = 154;
constexpr int kClosingLabel = 171;
constexpr int kUpOneHint = 243;

struct Twin {
    int title, status;
    XtCallbackProc ok, cancel;
};
Twin TwinOf(PartEditor editor) {
    if (editor == PartEditor::kBlock) return {285, 286, BeOkCB, BeCancelCB};
    return {287, 288, CeOkCB, CeCancelCB};
}

int ListInto(const std::string& folder) {
    Relisted = true;
    if (folder.empty()) {
        FillTopList(PartScreen.list, &Names, kPartEditNavRules.topKey);
        RemoveHeader();
        return 1;
    }
    const int sub = FillEditList(PartScreen.list, &Names, folder);
    DrawHeader(folder);
    SetKeyinField(PartScreen.keyin);
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

void Show() {
    ShowNavigation(PartScreen, Model.nav, Relisted);
    Relisted = false;
    if (Model.setKeyin) SetKeyinText(PartScreen.keyin, Model.keyin);
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

// A selection in the list: the keyin field gets its normal look.
void ListCB(Widget, XtPointer, XtPointer) {
    SetKeyinField(PartScreen.keyin);
}

void MakeScreen() {
    Names.clear();
    const Twin twin = TwinOf(Opening);
    MakeFileFrame(PartScreen, twin.title, twin.status, twin.ok, twin.cancel);
    for (const char* reason : {XmNsingleSelectionCallback, XmNmultipleSelectionCallback})
        XtAddCallback(PartScreen.list, reason, ListCB, nullptr);
    XtAddCallback(PartScreen.list, XmNdefaultActionCallback, twin.ok, nullptr);
    PartScreen.upOne = MakeToolbarIcon(PartScreen, 115, "VokUpOne", kUpOneHint, PartEditUpOneCB);
    XtAddCallback(PartScreen.keyin, XmNfocusCallback, PartEditFocusCB, nullptr);
    XtAddCallback(PartScreen.keyin, XmNactivateCallback, twin.ok, nullptr);
    PartEditOpen(Model, Opening, CurrentPart, Io());
    Show();
}

void Open(PartEditor editor) {
    PathCut = kInstallRootLength;
    Opening = editor;
    OpenFileScreen(PartScreen, kLoadingLabel, MakeScreen);
}

// OK of either twin: the editor runs with OK, Cancel and the up-one button
// off, and the screen waits for it.
void Ok(PartEditor editor) {
    ChoiceGuard guard(PartScreen.okBusy);
    if (!guard.entered() || !PartScreen.window || Model.editor != editor) return;
    const ListSelection selection = Selection();
    const std::string text = KeyinText(PartScreen.keyin);
    DisableFileButtons(PartScreen);
    PartEditOk(Model, selection, text, Io(), Ui());
    Show();
    EnableFileButtons(PartScreen, Model.nav);
}

void Cancel(PartEditor editor) {
    ChoiceGuard guard(PartScreen.cancelBusy);
    if (!guard.entered() || !PartScreen.window || Model.editor != editor) return;
    std::vector<std::string>().swap(Names);
    CloseFileScreen(PartScreen, kClosingLabel);
}

} // namespace

void FileBe() {
    Open(PartEditor::kBlock);
}

void FileCe() {
    Open(PartEditor::kContour);
}

void BeOkCB(Widget, XtPointer, XtPointer) {
    Ok(PartEditor::kBlock);
}

void BeCancelCB(Widget, XtPointer, XtPointer) {
    Cancel(PartEditor::kBlock);
}

void CeOkCB(Widget, XtPointer, XtPointer) {
    Ok(PartEditor::kContour);
}

void CeCancelCB(Widget, XtPointer, XtPointer) {
    Cancel(PartEditor::kContour);
}

void PartEditUpOneCB(Widget, XtPointer, XtPointer) {
    if (!PartScreen.window) return;
    PartEditUpOne(Model, Io());
    SetKeyinField(PartScreen.keyin);
    Show();
}

// The keyin field takes the focus: the list's selection goes, so that OK
// and Return take the typed name.
void PartEditFocusCB(Widget, XtPointer, XtPointer call) {
    const auto* cb = static_cast<const XmAnyCallbackStruct*>(call);
    if ((cb && cb->reason != XmCR_FOCUS) || !PartScreen.window) return;
    NavKeyinFocus(Model.nav);
    ClearListSelection(FileList);
    SetWidgetColors(PartScreen.keyin, "KeyinFocusIn", 0, 3, 7);
}

PartEditView PartEditState() {
    return {&PartScreen, &Model, &Names};
}
