// Backup: the widgets of the backup screen over its model.
#include "filebackup.h"

#include "busyguard.h"
#include "choice.h"
#include "dialogs.h"
#include "filehead.h"
#include "filemember.h"
#include "labels.h"
#include "launch.h"
#include "listfill.h"
#include "mainmenu.h"
#include "makers.h"
#include "mediaselect.h"
#include "vok.h"
#include "xmwrap.h"

#include <Xm/List.h>
#include <Xm/Separator.h>
#include <Xm/Xm.h>

namespace {

BackupModel Model;
Widget SetList = nullptr;
Widget SetTitle = nullptr;
Widget BackupButton = nullptr; // "BuOK"
Widget MinusButton = nullptr;  // "Minus"
Widget PlusButton = nullptr;   // VokBackupPlus
int BackupBusy = 0;
// Set by OK on a typed path or with "AllParts": once the widgets follow,
// the focus goes back to the keyin field.
bool ResetAfterOk = false;

constexpr int kTitleLabel = 148, kStatusLabel = 277;
// The hints of the whole-folder and the plus buttons.
constexpr int kEntireHint = 245, kPlusHint = 305;
constexpr int kAllPartsLabel = 265;
// The set list's title, and the backup and minus buttons beside it.
constexpr int kSetTitleLabel = 264;
constexpr int kBackupLabel = 43, kMinusLabel = 244;

const BackupUi& Ui();

// The set list shows the set, nothing selected.
void ShowSet() {
    XmListDeleteAllItems(SetList);
    for (const std::string& path : Model.set) {
        XmStringHolder item(path);
        XmListAddItemUnselected(SetList, item, 0);
    }
    SetManaged(MinusButton, !Model.set.empty());
    SetManaged(BackupButton, !Model.set.empty());
}

// After OK on a typed path or with "AllParts": no selection, the focus in
// the keyin field.
void ResetFocus(FileMember& m) {
    ClearListSelection(FileList);
    XmProcessTraversal(m.screen.keyin, XmTRAVERSE_CURRENT);
    ChangeCursor(NormalCursor);
}

void ShowOwn(FileMember& m) {
    SetManaged(PlusButton, Model.plus);
    ShowSet();
    if (ResetAfterOk) ResetFocus(m);
    ResetAfterOk = false;
}

// The whole-folder button: the folder selected joins the set.
void EntireCB(Widget, XtPointer client, XtPointer) {
    FileMember& m = MemberOf(client);
    if (!m.screen.window) return;
    BackupWholeFolder(Model, FileMemberSelection(m));
    ShowSet();
}

// The plus button: what files4part.exe names for the part selected.
void PlusCB(Widget, XtPointer client, XtPointer call) {
    FileMember& m = MemberOf(client);
    if (!m.screen.window || !Activated(call)) return;
    BackupPlus(Model, FileMemberSelection(m), Ui());
    ShowSet();
}

// "Minus": the paths selected in the set list leave the set.
void MinusCB(Widget, XtPointer client, XtPointer call) {
    if (!MemberOf(client).screen.window || !Activated(call)) return;
    HotkeyOn(MinusButton);
    BackupRemove(Model, SelectedListPositions(SetList));
    ShowSet();
    HotkeyOff(MinusButton);
}

// "BuOK": the set's size is estimated and the archive written.
void DoBackupCB(Widget, XtPointer client, XtPointer call) {
    FileMember& m = MemberOf(client);
    if (!m.screen.window || !Activated(call)) return;
    BusyGuard guard(BackupBusy);
    if (!guard.entered()) return;
    HotkeyOn(BackupButton);
    if (BackupEstimate(Model, Ui())) {
        SetManaged(m.screen.upOne, false);
        SetManaged(m.screen.wholeFolder, false);
        XtSetSensitive(m.screen.window, False);
        const BackupOutcome outcome = BackupTar(Model, Ui());
        XtSetSensitive(m.screen.window, True);
        BackupFinish(Model, outcome, m.io);
        ShowFileMember(m);
    }
    HotkeyOff(BackupButton);
}

Widget MakeSetList(Widget window) {
    Widget list = MakeScrolledList(window, 410, 110, 700, 14);
    XtVaSetValues(list, XmNselectionPolicy, XmMULTIPLE_SELECT, XmNdoubleClickInterval, 0, nullptr);
    return list;
}

void Make(FileMember& m) {
    FileScreen& s = m.screen;
    Model = BackupModel{};
    ResetAfterOk = false;
    SetList = MakeSetList(s.window);
    SetTitle = MakeLabelGadget(s.window, 405, 80);
    XtVaSetValues(SetTitle, XmNwidth, 350, nullptr);
    SetLabelTextLeft(LabText(kSetTitleLabel), SetTitle);
    ArgBuilder a;
    a.Add(XmNx, 385).Add(XmNy, 285).Add(XmNheight, 115);
    a.Add(XmNorientation, XmVERTICAL).Add(XmNshadowThickness, 3);
    a.Add(XmNseparatorType, XmSHADOW_ETCHED_IN);
    XtManageChild(XmCreateSeparator(s.window, XtRes(""), a.list(), a.count()));
    s.wholeFolder = MakeToolbarIcon(s, 285, "VokBackupEntire", kEntireHint, EntireCB, &m);
    PlusButton = MakeToolbarIcon(s, 355, "VokBackupPlus", kPlusHint, PlusCB, &m);
    MakeMemberHotkey(m, kAllPartsHotkey, "AllParts", kAllPartsLabel);
    BackupButton = MakeHotkeyButton(s.window, "BuOK", 410, 355, LabText(kBackupLabel), false);
    XtAddCallback(BackupButton, XmNactivateCallback, DoBackupCB, &m);
    MinusButton = MakeHotkeyButton(s.window, "Minus", 410, 320, LabText(kMinusLabel), false);
    XtAddCallback(MinusButton, XmNactivateCallback, MinusCB, &m);
    BackupOpen(Model, CurrentPart, m.io);
}

void Close() {
    Model = BackupModel{};
    SetList = SetTitle = BackupButton = MinusButton = PlusButton = nullptr;
}

// OK adds to the set or navigates, the buttons left as they are.
FileMember Bu{{kTitleLabel, kStatusLabel, BuCancelCB},
              {FillDirList, false},
              Model,
              {[](const ListSelection& selection, const std::string& text, const NavIo& io) {
                   BackupOk(Model, selection, text, io, Ui());
                   ResetAfterOk = selection.names.empty();
               },
               OkButtons::kOn},
              {Make, [](const NavIo& io) { BackupUpOne(Model, io); }, ShowOwn,
               [](int) { BackupAllParts(Model); }, nullptr, Close}};

// Long work: the busy cursor, the window insensitive.
void Busy(bool busy) {
    ChangeCursor(busy ? BusyCursor : NormalCursor);
    if (Bu.screen.window) XtSetSensitive(Bu.screen.window, !busy);
}

int ChooseMedium(std::string* device) {
    MediaReply = 0;
    ShowMediaSelect(kMediaForBackup);
    const int reply = WaitMediaReply();
    *device = ChosenDevice();
    return reply;
}

const BackupUi& Ui() {
    static const BackupUi ui{
        LabText,
        ScreenMessage,
        SystemCmd,
        Busy,
        ShowFileHead,
        ChooseMedium,
        [](const std::string& device) { return WaitForMedia(0, device.c_str()); }};
    return ui;
}

} // namespace

void FileBackup() {
    OpenFileMember(Bu);
}

BackupView BackupState() {
    return {
        {&Bu.screen, &Model, &Bu.names}, SetList, SetTitle, BackupButton, MinusButton, PlusButton};
}

void BuCancelCB(Widget, XtPointer, XtPointer) {
    CloseFileMember(Bu);
}
