// Print and view: the widgets of the print screen over its model.
#include "fileprint.h"

#include "filemember.h"
#include "labels.h"
#include "listfill.h"
#include "mainmenu.h"
#include "makers.h"
#include "vok.h"
#include "xmwrap.h"

#include <Xm/PushB.h>
#include <Xm/Xm.h>

#include <cstdint>

namespace {

PrtModel Model;
Widget TargetLabel = nullptr;
Widget ModeButtons[2] = {nullptr, nullptr};
// Set by a step that may have chosen a new target: each new target gets
// its label and mode buttons anew, in view mode.
bool NewTarget = false;

constexpr int kTitleLabel = 177, kStatusLabel = 272;
constexpr int kPrintFolderHint = 268;
constexpr int kCurLlfLabel = 248;
// The view and print buttons of the target phase.
constexpr int kModeLabels[2] = {256, 257};
constexpr int kModeX[2] = {194, 454};

void RemoveTarget() {
    if (TargetLabel) XtDestroyWidget(TargetLabel);
    for (Widget& w : ModeButtons) {
        if (w) XtDestroyWidget(w);
        w = nullptr;
    }
    TargetLabel = nullptr;
}

// The view (client data 0) and print (1) buttons of the target phase.
void ModeCB(Widget w, XtPointer client, XtPointer call) {
    if (!Activated(call)) return;
    Model.mode =
        static_cast<int>(reinterpret_cast<intptr_t>(client)) == kPrtPrint ? kPrtPrint : kPrtView;
    for (int i = 0; i < 2; ++i) HotkeyLook(ModeButtons[i], Model.mode == i);
    if (w) XmProcessTraversal(w, XmTRAVERSE_CURRENT);
}

Widget MakeModeButton(Widget window, int which) {
    XmStringHolder label(LabText(kModeLabels[which]));
    ArgBuilder a;
    a.Add(XmNx, kModeX[which]).Add(XmNy, WorkArea.height - 130);
    a.Add(XmNwidth, 132).Add(XmNheight, 33).Add(XmNrecomputeSize, False);
    a.Add(XmNlabelType, XmSTRING)
        .Add(XmNlabelString, reinterpret_cast<XtArgVal>(static_cast<XmString>(label)));
    if (FontListBig) a.Add(XmNfontList, reinterpret_cast<XtArgVal>(FontListBig));
    Widget w =
        XmCreatePushButton(window, XtRes(which ? "PrintMode" : "ViewMode"), a.list(), a.count());
    XtAddCallback(w, XmNactivateCallback, ModeCB,
                  reinterpret_cast<XtPointer>(static_cast<intptr_t>(which)));
    XtManageChild(w);
    return w;
}

// The target's label and mode buttons in the target phase, the keyin field
// outside it.
void ShowTarget(FileMember& m) {
    const bool target = InTargetPhase(Model.nav.state);
    if (!target || NewTarget) RemoveTarget();
    NewTarget = false;
    if (target && !TargetLabel) {
        TargetLabel = MakeWideLabel(m.screen.window, 10, 280, XmALIGNMENT_CENTER);
        SetLabelText(PrtTargetText(Model, FileScreenUi()), TargetLabel);
        for (int i = 0; i < 2; ++i) ModeButtons[i] = MakeModeButton(m.screen.window, i);
    }
    for (int i = 0; i < 2; ++i) HotkeyLook(ModeButtons[i], Model.mode == i);
    SetManaged(m.screen.keyin, !target);
    if (Model.focusKeyin) {
        Model.focusKeyin = false;
        FileMemberKeyinFocus(m);
    }
}

// The whole-folder button: every file below the folder selected.
void WholeFolderCB(Widget, XtPointer client, XtPointer) {
    FileMemberAct(MemberOf(client), [](const ListSelection& selection) {
        NewTarget = true;
        PrtWholeFolder(Model, selection, FileScreenUi());
    });
}

void Make(FileMember& m) {
    TargetLabel = ModeButtons[0] = ModeButtons[1] = nullptr;
    NewTarget = false;
    m.screen.wholeFolder =
        MakeToolbarIcon(m.screen, 285, "VokPrint", kPrintFolderHint, WholeFolderCB, &m);
    if (!CurrentPart.empty()) MakeMemberHotkey(m, kPrtCurLlfHotkey, "CurLLF", kCurLlfLabel);
    PrtOpen(Model, CurrentPart, m.io);
    Model.pathCut = PathCut;
}

// In the target phase the print or view runs with OK, Cancel and the up-one
// button off.
FileMember Prt{{kTitleLabel, kStatusLabel, PrtCancelCB},
               {FillDirList, true},
               Model,
               {[](const ListSelection& selection, const std::string& text, const NavIo& io) {
                    NewTarget = true;
                    PrtOk(Model, selection, text, io, FileScreenUi());
                },
                OkButtons::kOffInTargetPhase},
               {Make, [](const NavIo& io) { PrtUpOne(Model, io); }, ShowTarget, nullptr, nullptr,
                RemoveTarget}};

} // namespace

void FilePrint() {
    OpenFileMember(Prt);
}

PrtView PrtState() {
    return {{&Prt.screen, &Model, &Prt.names}, TargetLabel, ModeButtons[0], ModeButtons[1]};
}

void PrtCancelCB(Widget, XtPointer, XtPointer) {
    CloseFileMember(Prt);
}
