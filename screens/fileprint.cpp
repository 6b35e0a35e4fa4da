// Print and view: the widgets of the print screen over its model.
#include "fileprint.h"

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
#include "xmwrap.h"

#include <Xm/List.h>
#include <Xm/PushB.h>
#include <Xm/Xm.h>

#include <cstdint>

namespace {

FileScreen Prt;
PrtModel Model;
std::vector<std::string> Names;
Widget TargetLabel = nullptr;
Widget ModeButtons[2] = {nullptr, nullptr};
// Set by the lister, so that the view applies a new listing's selection.
bool Relisted = false;

constexpr int kLoadingLabel = 154;
constexpr int kClosingLabel = 171;
constexpr int kTitleLabel = 177;
constexpr int kStatusLabel = 272;
constexpr int kUpOneHint = 243;
constexpr int kPrintFolderHint = 268;
constexpr int kCurLlfLabel = 248;
constexpr int kModeLabels[2] = {256, 257};
constexpr int kModeX[2] = {194, 454};

int ListInto(const std::string& folder) {
    Relisted = true;
    if (folder.empty()) {
        FillTopList(Prt.list, &Names, kPrtNavRules.topKey);
        RemoveHeader();
        return 1;
    }
    const int sub = FillDirList(Prt.list, &Names, folder);
    DrawHeader(folder);
    SetKeyinField(Prt.keyin);
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

void ModeLook(Widget w, bool chosen) {
    if (chosen)
        SetWidgetColors(w, "VokButtonON", 0, 0, 4);
    else
        SetWidgetColors(w, "VokButtonOFF", 0, 3, 1);
}

Widget MakeModeButton(int which) {
    XmStringHolder label(LabText(kModeLabels[which]));
    ArgBuilder a;
    a.Add(XmNx, kModeX[which]).Add(XmNy, WorkArea.height - 130);
    a.Add(XmNwidth, 132).Add(XmNheight, 33).Add(XmNrecomputeSize, False);
    a.Add(XmNlabelType, XmSTRING)
        .Add(XmNlabelString, reinterpret_cast<XtArgVal>(static_cast<XmString>(label)));
    if (FontListBig) a.Add(XmNfontList, reinterpret_cast<XtArgVal>(FontListBig));
    Widget w = XmCreatePushButton(Prt.window, XtRes(which ? "PrintMode" : "ViewMode"), a.list(),
                                  a.count());
    XtAddCallback(w, XmNactivateCallback, PrtModeCB,
                  reinterpret_cast<XtPointer>(static_cast<intptr_t>(which)));
    XtManageChild(w);
    return w;
}

void RemoveTarget() {
    if (TargetLabel) XtDestroyWidget(TargetLabel);
    for (Widget& w : ModeButtons) {
        if (w) XtDestroyWidget(w);
        w = nullptr;
    }
    TargetLabel = nullptr;
}

// Brings the widgets in line with the model after one of its steps. Each
// new target gets its label and mode buttons anew, in view mode.
void Show(bool newTarget) {
    ShowNavigation(Prt, Model.nav, Relisted);
    Relisted = false;
    const bool target = InTargetPhase(Model.nav.state);
    if (!target || newTarget) RemoveTarget();
    if (target && !TargetLabel) {
        TargetLabel = MakeWideLabel(Prt.window, 10, 280, XmALIGNMENT_CENTER);
        SetLabelText(PrtTargetText(Model, Ui()), TargetLabel);
        for (int i = 0; i < 2; ++i) ModeButtons[i] = MakeModeButton(i);
    }
    for (int i = 0; i < 2; ++i)
        if (ModeButtons[i]) ModeLook(ModeButtons[i], Model.mode == i);
    if (target)
        XtUnmanageChild(Prt.keyin);
    else
        XtManageChild(Prt.keyin);
    if (Model.setKeyin) SetKeyinText(Prt.keyin, Model.keyin);
    Model.setKeyin = false;
    if (Model.focusKeyin) {
        Model.focusKeyin = false;
        XmAnyCallbackStruct cb{XmCR_FOCUS, nullptr};
        PrtFocusCB(Prt.keyin, nullptr, &cb);
    }
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

void FilePrint() {
    PathCut = kInstallRootLength;
    OpenFileScreen(Prt, kLoadingLabel, MakePrtScreen);
}

void MakePrtScreen() {
    Names.clear();
    TargetLabel = ModeButtons[0] = ModeButtons[1] = nullptr;
    MakeFileFrame(Prt, kTitleLabel, kStatusLabel, PrtOkCB, PrtCancelCB);
    XtAddCallback(Prt.list, XmNsingleSelectionCallback, PrtListCB, nullptr);
    XtAddCallback(Prt.list, XmNmultipleSelectionCallback, PrtListCB, nullptr);
    XtAddCallback(Prt.list, XmNdefaultActionCallback, PrtOkCB, nullptr);
    Prt.upOne = MakeToolbarIcon(Prt, 115, "VokUpOne", kUpOneHint, PrtUpOneCB);
    Prt.wholeFolder = MakeToolbarIcon(Prt, 285, "VokPrint", kPrintFolderHint, PrtDirCB);
    if (!CurrentPart.empty()) {
        Prt.hotkeys[0] =
            MakeHotkeyButton(Prt.window, "CurLLF", 10, 330, LabText(kCurLlfLabel), false);
        XtAddCallback(Prt.hotkeys[0], XmNactivateCallback, PrtCurLlfCB, nullptr);
    }
    XtAddCallback(Prt.keyin, XmNfocusCallback, PrtFocusCB, nullptr);
    XtAddCallback(Prt.keyin, XmNactivateCallback, PrtOkCB, nullptr);
    PrtOpen(Model, CurrentPart, Io());
    Model.pathCut = PathCut;
    Show(false);
}

void PrtOkCB(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(Prt.okBusy);
    if (!guard.entered() || !Prt.window) return;
    const ListSelection selection = Selection();
    const std::string text = KeyinText(Prt.keyin);
    const bool acting = InTargetPhase(Model.nav.state);
    if (acting) DisableFileButtons(Prt);
    PrtOk(Model, selection, text, Io(), Ui());
    Show(true);
    if (acting) EnableFileButtons(Prt, Model.nav);
}

void PrtCancelCB(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(Prt.cancelBusy);
    if (!guard.entered() || !Prt.window) return;
    std::vector<std::string>().swap(Names);
    RemoveTarget();
    CloseFileScreen(Prt, kClosingLabel);
}

void PrtUpOneCB(Widget, XtPointer, XtPointer) {
    if (!Prt.window) return;
    PrtUpOne(Model, Io());
    SetKeyinField(Prt.keyin);
    Show(false);
}

void PrtDirCB(Widget, XtPointer, XtPointer) {
    if (!Prt.window) return;
    PrtWholeFolder(Model, Selection(), Ui());
    Show(true);
}

void PrtCurLlfCB(Widget, XtPointer, XtPointer call) {
    const auto* cb = static_cast<const XmAnyCallbackStruct*>(call);
    if (cb && cb->reason != XmCR_ACTIVATE) return;
    HotkeyOn(Prt.hotkeys[0]);
    NavHotkey(Model.nav, kPrtCurLlfHotkey);
    ClearListSelection(FileList);
}

void PrtModeCB(Widget w, XtPointer client, XtPointer call) {
    const auto* cb = static_cast<const XmAnyCallbackStruct*>(call);
    if (cb && cb->reason != XmCR_ACTIVATE) return;
    Model.mode =
        static_cast<int>(reinterpret_cast<intptr_t>(client)) == kPrtPrint ? kPrtPrint : kPrtView;
    for (int i = 0; i < 2; ++i)
        if (ModeButtons[i]) ModeLook(ModeButtons[i], Model.mode == i);
    if (w) XmProcessTraversal(w, XmTRAVERSE_CURRENT);
}

void PrtListCB(Widget, XtPointer, XtPointer call) {
    ChoiceGuard guard(Prt.listBusy);
    if (!guard.entered()) return;
    const auto* cb = static_cast<const XmListCallbackStruct*>(call);
    if (!cb) return;
    if (cb->reason != XmCR_SINGLE_SELECT && cb->reason != XmCR_MULTIPLE_SELECT) return;
    SetKeyinField(Prt.keyin);
    NavListSelected(Model.nav, cb->reason == XmCR_MULTIPLE_SELECT);
    if (cb->reason == XmCR_SINGLE_SELECT) HotkeyOff(Prt.hotkeys[0]);
    if (FileList) XmProcessTraversal(FileList, XmTRAVERSE_CURRENT);
}

void PrtFocusCB(Widget, XtPointer, XtPointer call) {
    const auto* cb = static_cast<const XmAnyCallbackStruct*>(call);
    if (cb && cb->reason != XmCR_FOCUS) return;
    if (Model.nav.state == kNavTop) HotkeyOff(Prt.hotkeys[0]);
    NavKeyinFocus(Model.nav);
    ClearListSelection(FileList);
    SetWidgetColors(Prt.keyin, "KeyinFocusIn", 0, 3, 7);
}

PrtView PrtState() {
    return {&Prt, &Model, &Names, TargetLabel, ModeButtons[0], ModeButtons[1]};
}
