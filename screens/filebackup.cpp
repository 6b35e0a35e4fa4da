// Backup: the widgets of the backup screen over its model.
#include "filebackup.h"

#include "choice.h"
#include "colors.h"
#include "dialogs.h"
#include "filehead.h"
#include "filelists.h"
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

FileScreen Bu;
BackupModel Model;
std::vector<std::string> Names;
Widget SetList = nullptr;
Widget SetTitle = nullptr;
Widget BackupButton = nullptr; // "BuOK"
Widget MinusButton = nullptr;  // "Minus"
Widget PlusButton = nullptr;   // VokBackupPlus
int BackupBusy = 0;
// Set by the lister, so that the view applies a new listing's selection.
bool Relisted = false;

constexpr int kLoadingLabel = 154;
constexpr int kClosingLabel = 171;
constexpr int kTitleLabel = 148;
constexpr int kStatusLabel = 277;
constexpr int kUpOneHint = 243;
constexpr int kEntireHint = 245;
constexpr int kPlusHint = 305;
constexpr int kAllPartsLabel = 265;
constexpr int kSetTitleLabel = 264;
constexpr int kBackupLabel = 43;
constexpr int kMinusLabel = 244;

int ListInto(const std::string& folder) {
    Relisted = true;
    if (folder.empty()) {
        FillTopList(Bu.list, &Names, kBackupNavRules.topKey);
        RemoveHeader();
        return 1;
    }
    const int sub = FillDirList(Bu.list, &Names, folder);
    DrawHeader(folder);
    SetKeyinField(Bu.keyin);
    return sub;
}

const NavIo& Io() {
    static const NavIo io{ListInto, [](const std::string& path) { return FileType(path) == 2; }};
    return io;
}

void Busy(bool busy) {
    ChangeCursor(busy ? BusyCursor : NormalCursor);
    if (Bu.window) XtSetSensitive(Bu.window, !busy);
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

void SetManaged(Widget w, bool on) {
    if (!w) return;
    if (on)
        XtManageChild(w);
    else
        XtUnmanageChild(w);
}

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

// Brings the widgets in line with the model after one of its steps.
void Show() {
    ShowNavigation(Bu, Model.nav, Relisted);
    Relisted = false;
    SetManaged(PlusButton, Model.plus);
    if (Model.setKeyin) SetKeyinText(Bu.keyin, Model.keyin);
    Model.setKeyin = false;
    ShowSet();
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

bool Activated(XtPointer call) {
    const auto* cb = static_cast<const XmAnyCallbackStruct*>(call);
    return !cb || cb->reason == XmCR_ACTIVATE;
}

// After OK on a typed path or with "AllParts": no selection, the focus in
// the keyin field.
void ResetFocus() {
    ClearListSelection(FileList);
    XmProcessTraversal(Bu.keyin, XmTRAVERSE_CURRENT);
    ChangeCursor(NormalCursor);
}

Widget MakeSetList() {
    Widget list = MakeScrolledList(Bu.window, 410, 110, 700, 14);
    XtVaSetValues(list, XmNselectionPolicy, XmMULTIPLE_SELECT, XmNdoubleClickInterval, 0, nullptr);
    return list;
}

} // namespace

void FileBackup() {
    OpenFileScreen(Bu, kLoadingLabel, MakeBuScreen);
}

void MakeBuScreen() {
    Names.clear();
    Model = BackupModel{};
    MakeFileFrame(Bu, kTitleLabel, kStatusLabel, BuOkCB, BuCancelCB);
    XtAddCallback(Bu.list, XmNsingleSelectionCallback, BuListCB, nullptr);
    XtAddCallback(Bu.list, XmNmultipleSelectionCallback, BuListCB, nullptr);
    XtAddCallback(Bu.list, XmNdefaultActionCallback, BuOkCB, nullptr);
    SetList = MakeSetList();
    SetTitle = MakeLabelGadget(Bu.window, 405, 80);
    XtVaSetValues(SetTitle, XmNwidth, 350, nullptr);
    SetLabelTextLeft(LabText(kSetTitleLabel), SetTitle);
    ArgBuilder a;
    a.Add(XmNx, 385).Add(XmNy, 285).Add(XmNheight, 115);
    a.Add(XmNorientation, XmVERTICAL).Add(XmNshadowThickness, 3);
    a.Add(XmNseparatorType, XmSHADOW_ETCHED_IN);
    XtManageChild(XmCreateSeparator(Bu.window, XtRes(""), a.list(), a.count()));
    Bu.upOne = MakeToolbarIcon(Bu, 115, "VokUpOne", kUpOneHint, BuUpOneCB);
    Bu.wholeFolder = MakeToolbarIcon(Bu, 285, "VokBackupEntire", kEntireHint, BuEntireCB);
    PlusButton = MakeToolbarIcon(Bu, 355, "VokBackupPlus", kPlusHint, BuPlusCB);
    Bu.hotkeys[0] =
        MakeHotkeyButton(Bu.window, "AllParts", 10, 330, LabText(kAllPartsLabel), false);
    XtAddCallback(Bu.hotkeys[0], XmNactivateCallback, BuAllPartsCB, nullptr);
    BackupButton = MakeHotkeyButton(Bu.window, "BuOK", 410, 355, LabText(kBackupLabel), false);
    XtAddCallback(BackupButton, XmNactivateCallback, BuDoBackupCB, nullptr);
    MinusButton = MakeHotkeyButton(Bu.window, "Minus", 410, 320, LabText(kMinusLabel), false);
    XtAddCallback(MinusButton, XmNactivateCallback, BuMinusCB, nullptr);
    XtAddCallback(Bu.keyin, XmNfocusCallback, BuFocusCB, nullptr);
    XtAddCallback(Bu.keyin, XmNactivateCallback, BuOkCB, nullptr);
    BackupOpen(Model, CurrentPart, Io());
    Show();
}

void BuOkCB(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(Bu.okBusy);
    if (!guard.entered() || !Bu.window) return;
    const ListSelection selection = Selection();
    BackupOk(Model, selection, KeyinText(Bu.keyin), Io(), Ui());
    Show();
    if (selection.names.empty()) ResetFocus();
}

void BuCancelCB(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(Bu.cancelBusy);
    if (!guard.entered() || !Bu.window) return;
    std::vector<std::string>().swap(Names);
    Model = BackupModel{};
    SetList = SetTitle = BackupButton = MinusButton = PlusButton = nullptr;
    CloseFileScreen(Bu, kClosingLabel);
}

void BuUpOneCB(Widget, XtPointer, XtPointer) {
    if (!Bu.window) return;
    BackupUpOne(Model, Io());
    SetKeyinField(Bu.keyin);
    Show();
}

void BuEntireCB(Widget, XtPointer, XtPointer) {
    if (!Bu.window) return;
    BackupWholeFolder(Model, Selection());
    ShowSet();
}

void BuPlusCB(Widget, XtPointer, XtPointer call) {
    if (!Bu.window || !Activated(call)) return;
    BackupPlus(Model, Selection(), Ui());
    ShowSet();
}

void BuAllPartsCB(Widget, XtPointer, XtPointer call) {
    if (!Bu.window || !Activated(call)) return;
    HotkeyOn(Bu.hotkeys[0]);
    ClearListSelection(FileList);
    BackupAllParts(Model);
    Show();
}

void BuMinusCB(Widget, XtPointer, XtPointer call) {
    if (!Bu.window || !Activated(call)) return;
    HotkeyOn(MinusButton);
    BackupRemove(Model, SelectedListPositions(SetList));
    ShowSet();
    HotkeyOff(MinusButton);
}

void BuDoBackupCB(Widget, XtPointer, XtPointer call) {
    if (!Bu.window || !Activated(call)) return;
    ChoiceGuard guard(BackupBusy);
    if (!guard.entered()) return;
    HotkeyOn(BackupButton);
    if (BackupEstimate(Model, Ui())) {
        SetManaged(Bu.upOne, false);
        SetManaged(Bu.wholeFolder, false);
        XtSetSensitive(Bu.window, False);
        const BackupOutcome outcome = BackupTar(Model, Ui());
        XtSetSensitive(Bu.window, True);
        BackupFinish(Model, outcome, Io());
        Show();
    }
    HotkeyOff(BackupButton);
}

void BuListCB(Widget, XtPointer, XtPointer call) {
    ChoiceGuard guard(Bu.listBusy);
    if (!guard.entered()) return;
    const auto* cb = static_cast<const XmListCallbackStruct*>(call);
    if (!cb) return;
    if (cb->reason != XmCR_SINGLE_SELECT && cb->reason != XmCR_MULTIPLE_SELECT) return;
    SetKeyinField(Bu.keyin);
    NavListSelected(Model.nav, cb->reason == XmCR_MULTIPLE_SELECT);
    if (cb->reason == XmCR_SINGLE_SELECT) HotkeyOff(Bu.hotkeys[0]);
    if (FileList) XmProcessTraversal(FileList, XmTRAVERSE_CURRENT);
}

void BuFocusCB(Widget, XtPointer, XtPointer call) {
    const auto* cb = static_cast<const XmAnyCallbackStruct*>(call);
    if (cb && cb->reason != XmCR_FOCUS) return;
    if (Model.nav.state == kNavTop) HotkeyOff(Bu.hotkeys[0]);
    NavKeyinFocus(Model.nav);
    ClearListSelection(FileList);
    SetWidgetColors(Bu.keyin, "KeyinFocusIn", 0, 3, 7);
}

BackupView BackupState() {
    return {&Bu, &Model, &Names, SetList, SetTitle, BackupButton, MinusButton, PlusButton};
}
