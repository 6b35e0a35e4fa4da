// A member of the file-screen frame: its window, list and keyin field, the
// lister and dialogs its model takes, and the frame's callbacks for it.
#include "filemember.h"

#include "busyguard.h"
#include "choice.h"
#include "colors.h"
#include "dialogs.h"
#include "filelists.h"
#include "filematch.h"
#include "labels.h"
#include "launch.h"
#include "listfill.h"
#include "vok.h"

#include <Xm/List.h>
#include <Xm/Xm.h>

namespace {

// The list lives in a scrolled window, which shows and hides with it.
Widget ListFrame(Widget list) {
    return list ? XtParent(list) : nullptr;
}

void HotkeysOff(const FileMember& m) {
    HotkeyOff(m.screen.hotkeys[0]);
    HotkeyOff(m.screen.hotkeys[1]);
}

// The top list at the top (an empty folder), else the folder through the
// member's loader with its header.
int ListInto(FileMember& m, const std::string& folder) {
    m.relisted = true;
    if (folder.empty()) {
        FillTopList(m.screen.list, &m.names, m.model.nav->rules.topKey);
        RemoveHeader();
        return 1;
    }
    const int sub = m.folders.fill(m.screen.list, &m.names, folder);
    DrawHeader(folder);
    SetKeyinField(m.screen.keyin);
    return sub;
}

bool IsRegularFile(const std::string& path) {
    return FileType(path) == 2;
}

// What the navigation says: the up-one and whole-folder buttons, the
// hotkeys and their looks, the list or none. After a new listing also its
// selection policy: multiple with nothing selected, or single.
void ShowNavigation(FileMember& m) {
    FileScreen& s = m.screen;
    const FileNav& nav = *m.model.nav;
    SetManaged(s.upOne, nav.upOne);
    SetManaged(s.wholeFolder, nav.wholeFolder);
    for (int i = 0; i < 2; ++i) {
        SetManaged(s.hotkeys[i], m.steps.hotkeyShown ? m.steps.hotkeyShown(i + 1) : nav.hotkeys);
        HotkeyLook(s.hotkeys[i], nav.hotkeyMode == i + 1);
    }
    SetManaged(ListFrame(s.list), nav.list);
    FileList = nav.list ? s.list : nullptr;
    if (!nav.header) RemoveHeader();
    if (!nav.list || !m.relisted) return;
    XtVaSetValues(s.list, XmNselectionPolicy, nav.multiple ? XmMULTIPLE_SELECT : XmSINGLE_SELECT,
                  nullptr);
    // A hotkey that is on stands for the selection.
    if (nav.multiple || nav.hotkeyMode != 0) XmListDeselectAllItems(s.list);
}

// A selection in the list: the keyin field gets its normal look, the
// hotkeys go off (on a multiple selection only where the rules say so) and
// the list takes the focus.
void ListCB(Widget, XtPointer client, XtPointer call) {
    FileMember& m = MemberOf(client);
    BusyGuard guard(m.screen.listBusy);
    if (!guard.entered()) return;
    const auto* cb = static_cast<const XmListCallbackStruct*>(call);
    if (!cb) return;
    if (cb->reason != XmCR_SINGLE_SELECT && cb->reason != XmCR_MULTIPLE_SELECT) return;
    const bool multiple = cb->reason == XmCR_MULTIPLE_SELECT;
    m.focusGivenBack = false;
    SetKeyinField(m.screen.keyin);
    NavListSelected(*m.model.nav, multiple);
    if (!multiple || m.model.nav->rules.multipleSelectionClearsHotkeys) HotkeysOff(m);
    if (FileList) XmProcessTraversal(FileList, XmTRAVERSE_CURRENT);
}

void FocusCB(Widget, XtPointer client, XtPointer call) {
    FileMember& m = MemberOf(client);
    const auto* cb = static_cast<const XmAnyCallbackStruct*>(call);
    if ((cb && cb->reason != XmCR_FOCUS) || !m.screen.window) return;
    FileMemberKeyinFocus(m);
}

void LosingFocusCB(Widget, XtPointer client, XtPointer) {
    MemberOf(client).focusGivenBack = false;
}

void UpOneCB(Widget, XtPointer client, XtPointer) {
    FileMember& m = MemberOf(client);
    if (!m.screen.window) return;
    m.steps.upOne(m.io);
    SetKeyinField(m.screen.keyin);
    ShowFileMember(m);
}

// A hotkey pressed: it goes on and the other off, the model takes it, the
// list's selection goes.
void HotkeyCB(Widget w, XtPointer client, XtPointer call) {
    FileMember& m = MemberOf(client);
    if (!m.screen.window || !Activated(call)) return;
    const int which = w && w == m.screen.hotkeys[1] ? 2 : 1;
    m.focusGivenBack = false;
    HotkeyOn(m.screen.hotkeys[which - 1]);
    HotkeyOff(m.screen.hotkeys[2 - which]);
    if (m.steps.hotkey)
        m.steps.hotkey(which);
    else
        NavHotkey(*m.model.nav, which);
    ClearListSelection(FileList);
    ShowFileMember(m);
}

void OkCB(Widget, XtPointer client, XtPointer) {
    FileMember& m = MemberOf(client);
    FileMemberOk(m, m.ok.buttons, m.ok.step);
}

void MakeMember(FileMember& m) {
    m.names.clear();
    m.relisted = false;
    m.focusGivenBack = false;
    m.io = NavIo{[&m](const std::string& folder) { return ListInto(m, folder); }, IsRegularFile};
    FileScreen& s = m.screen;
    MakeFileFrame(s, m.window.titleLabel, m.window.statusLabel, OkCB, m.window.cancel, &m);
    XtAddCallback(s.list, XmNsingleSelectionCallback, ListCB, &m);
    XtAddCallback(s.list, XmNmultipleSelectionCallback, ListCB, &m);
    XtAddCallback(s.list, XmNdefaultActionCallback, OkCB, &m);
    s.upOne = MakeToolbarIcon(s, 115, "VokUpOne", kUpOneHint, UpOneCB, &m);
    XtAddCallback(s.keyin, XmNfocusCallback, FocusCB, &m);
    XtAddCallback(s.keyin, XmNlosingFocusCallback, LosingFocusCB, &m);
    XtAddCallback(s.keyin, XmNactivateCallback, OkCB, &m);
    m.steps.make(m);
    ShowFileMember(m);
}

} // namespace

const FileUi& FileScreenUi() {
    static const FileUi ui{LabText, ScreenMessage, SystemCmd,
                           [](bool busy) { ChangeCursor(busy ? BusyCursor : NormalCursor); }};
    return ui;
}

bool OpenFileMember(FileMember& m) {
    if (m.folders.cutInstallRoot) PathCut = kInstallRootLength;
    return OpenFileScreen(m.screen, kFileLoadingLabel, [&m] { MakeMember(m); });
}

void CloseFileMember(FileMember& m) {
    BusyGuard guard(m.screen.cancelBusy);
    if (!guard.entered() || !m.screen.window) return;
    std::vector<std::string>().swap(m.names);
    if (m.steps.close) m.steps.close();
    CloseFileScreen(m.screen, kFileClosingLabel);
}

void FileMemberOk(FileMember& m, OkButtons buttons, FileOkStep step) {
    BusyGuard guard(m.screen.okBusy);
    if (!guard.entered() || !m.screen.window) return;
    const ListSelection selection = FileMemberSelection(m);
    const std::string text = KeyinText(m.screen.keyin);
    const bool off = buttons == OkButtons::kOff ||
                     (buttons == OkButtons::kOffInTargetPhase && InTargetPhase(m.model.nav->state));
    if (off) DisableFileButtons(m.screen);
    step(selection, text, m.io);
    ShowFileMember(m);
    if (off) EnableFileButtons(m.screen, *m.model.nav);
}

void FileMemberAct(FileMember& m, void (*step)(const ListSelection& selection)) {
    if (!m.screen.window) return;
    step(FileMemberSelection(m));
    ShowFileMember(m);
}

void ShowFileMember(FileMember& m) {
    ShowNavigation(m);
    m.relisted = false;
    if (*m.model.setKeyin) SetKeyinText(m.screen.keyin, *m.model.keyin);
    *m.model.setKeyin = false;
    if (m.steps.show) m.steps.show(m);
}

ListSelection FileMemberSelection(const FileMember& m) {
    ListSelection sel;
    if (!FileList) return sel;
    // The positions themselves: a row shows what fits of a name, so two
    // rows may read alike while their names differ.
    for (int pos : SelectedListPositions(FileList)) {
        if (pos < 1 || pos > static_cast<int>(m.names.size())) continue;
        if (sel.names.empty()) sel.firstPosition = pos;
        sel.names.push_back(m.names[pos - 1]);
    }
    return sel;
}

void MakeMemberHotkey(FileMember& m, int which, const char* name, int label) {
    Widget& w = m.screen.hotkeys[which - 1];
    w = MakeHotkeyButton(m.screen.window, name, 10, 300 + 30 * which, LabText(label), false);
    XtAddCallback(w, XmNactivateCallback, HotkeyCB, &m);
}

void FileMemberKeyinFocus(FileMember& m) {
    const bool givenBack = m.focusGivenBack;
    m.focusGivenBack = false;
    if (!givenBack) {
        if (m.model.nav->state == kNavTop || m.model.nav->rules.focusClearsHotkeysEverywhere)
            HotkeysOff(m);
        NavKeyinFocus(*m.model.nav);
    }
    ClearListSelection(FileList);
    SetWidgetColors(m.screen.keyin, "KeyinFocusIn", 0, 3, 7);
}

void GiveKeyinFocusBack(FileMember& m) {
    m.focusGivenBack = true;
    XmProcessTraversal(m.screen.keyin, XmTRAVERSE_CURRENT);
}
