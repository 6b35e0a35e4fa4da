// Restore: the widgets of the restore screen over its model.
//
// One list serves both phases: the archive's members (multiple selection),
// then the chosen members that exist on disk, for the operator to remove
// those that must not be overwritten.
#include "filerestore.h"

#include "archive.h"
#include "choice.h"
#include "colors.h"
#include "dialogs.h"
#include "labels.h"
#include "launch.h"
#include "listfill.h"
#include "mainmenu.h"
#include "makers.h"
#include "media.h"
#include "mediaselect.h"
#include "msgsys.h"
#include "vok.h"

#include <Xm/List.h>
#include <Xm/Xm.h>

#include <cstdio>

namespace {

FileScreen Rest;
RestoreModel Model;
// The device of the medium listed.
std::string Device;
Widget ListTitle = nullptr;
Widget RemoveButton = nullptr;  // VokFileDelete
Widget PrintButton = nullptr;   // VokPrint
Widget RestoreButton = nullptr; // VokDoRestore
int UpOneBusy = 0;
int RemoveBusy = 0;
int RestoreBusy = 0;
int PrintBusy = 0;

constexpr int kLoadingLabel = 154;
constexpr int kClosingLabel = 171;
constexpr int kTitleLabel = 185;
constexpr int kMembersLine = 278;
constexpr int kExistingLine = 279;
constexpr int kMembersTitle = 266;
constexpr int kExistingTitle = 267;
constexpr int kUpOneHint = 243;
constexpr int kRemoveHint = 244;
constexpr int kPrintHint = 246;
constexpr int kRestoreHint = 270;
constexpr int kNotSentLabel = 186;
constexpr int kNotFoundLabel = 155;
constexpr int kContinueLabel = 100;
constexpr int kFileUtilButton = 9;

const RestoreUi& Ui() {
    static const RestoreUi ui{LabText, ScreenMessage, SystemCmd};
    return ui;
}

void SetManaged(Widget w, bool on) {
    if (!w) return;
    if (on)
        XtManageChild(w);
    else
        XtUnmanageChild(w);
}

void SetButtons(bool on) {
    SetSensitive(Rest.ok, on);
    SetSensitive(Rest.cancel, on);
}

bool Activated(XtPointer call) {
    const auto* cb = static_cast<const XmAnyCallbackStruct*>(call);
    return !cb || cb->reason == XmCR_ACTIVATE;
}

void HeaderLine(int label) {
    SetLabelText(LabText(label), Rest.status);
    SetWidgetColors(Rest.status, "VokStatus", 0, 3, 7);
}

// The medium chosen, its device usable: false after a cancelled choice or
// a refused device (said to the operator).
bool ChooseMedium() {
    MediaReply = 0;
    ShowMediaSelect(kMediaForRestore);
    if (WaitMediaReply() == -1) return false;
    const std::string device = ChosenDevice();
    if (!MediaDeviceUsable(device)) {
        std::printf("FileRestore: no usable device (\"%s\")\n", device.c_str());
        std::fflush(stdout);
        ScreenMessage(RefusedMediumText(LabText(kNotFoundLabel), LabText(kContinueLabel)));
        return false;
    }
    Device = device;
    return true;
}

// The archive's members in the list: 0, or below 0 when none could be
// listed because the medium was refused or not ready.
int ListMembers() {
    SetLabelTextLeft(LabText(kMembersTitle), ListTitle);
    std::vector<ArchiveMember> members;
    const int r = FillTarList(Rest.list, &members, Device, ScreenMessage);
    RestoreListed(Model, std::move(members));
    return r;
}

void ShowExisting() {
    SetLabelTextLeft(LabText(kExistingTitle), ListTitle);
    ListSetNames(Rest.list, Model.existing);
    XmListDeselectAllItems(Rest.list);
    SetManaged(RestoreButton, false);
    SetManaged(PrintButton, false);
    SetManaged(RemoveButton, !Model.existing.empty());
}

// The members chosen in the list, as listed.
std::vector<std::string> Chosen() {
    std::vector<std::string> chosen;
    for (int pos : SelectedListPositions(Rest.list))
        if (pos >= 1 && pos <= static_cast<int>(Model.listed.size()))
            chosen.push_back(Model.listed[pos - 1].name);
    return chosen;
}

void Relist() {
    ChangeCursor(BusyCursor);
    ShowLoading(LabText(kLoadingLabel));
    ListMembers();
    HideLoading();
    XtManageChild(Rest.window);
    SetManaged(PrintButton, true);
    SetManaged(RestoreButton, true);
    ChangeCursor(NormalCursor);
    HeaderLine(kMembersLine);
    ShownScreen = Rest.window;
}

void Close() {
    ListTitle = RemoveButton = PrintButton = RestoreButton = nullptr;
    Model = RestoreModel{};
    CloseFileScreen(Rest, kClosingLabel);
}

Widget Icon(int x, const char* style, int hint, XtCallbackProc activate, bool shown) {
    Widget b = MakeToolbarIcon(Rest, x, style, hint, activate);
    SetManaged(b, shown);
    return b;
}

} // namespace

void FileRestore() {
    if (Rest.window && ShownScreen == Rest.window) return;
    SetStatusLine("");
    if (!ChooseMedium()) return;
    ChangeCursor(BusyCursor);
    const Widget beneath = ShownScreen;
    if (MakeRestScreen() < 0) {
        HideLoading();
        ChangeCursor(NormalCursor);
        XtDestroyWidget(Rest.window);
        Rest = FileScreen{};
        ListTitle = RemoveButton = PrintButton = RestoreButton = nullptr;
        SetStatusLine("");
        return;
    }
    Rest.beneath = beneath;
    ShownScreen = Rest.window;
    ActiveMenuButton = kFileUtilButton;
    SetButtons(true);
    ChangeCursor(NormalCursor);
}

int MakeRestScreen() {
    Rest = FileScreen{};
    Model = RestoreModel{};
    Rest.window = MakeBigWorkWindow();
    MakeBigFrameHeader(Rest.window, &Rest.title, &Rest.status);
    SetLabelTextLeft(LabText(kTitleLabel), Rest.title);
    HeaderLine(kMembersLine);
    MakeBigToolbar(Rest.window, RestOkCB, RestCancelCB, -1, 0);
    Rest.ok = BigOKButton;
    Rest.cancel = BigCancelButton;
    Rest.upOne = Icon(115, "VokUpOne", kUpOneHint, RestUpOneCB, true);
    RemoveButton = Icon(215, "VokFileDelete", kRemoveHint, RestRemoveCB, false);
    PrintButton = Icon(355, "VokPrint", kPrintHint, RestPrintCB, true);
    RestoreButton = Icon(425, "VokDoRestore", kRestoreHint, RestDoRestoreCB, true);
    // The window stands while the archive is read.
    XtManageChild(Rest.window);
    ShowLoading(LabText(kLoadingLabel));
    Rest.list = MakeMultiList(Rest.window, 30, 110, 700, 14);
    ListTitle = MakeLabelGadget(Rest.window, 10, 80);
    XtVaSetValues(ListTitle, XmNwidth, 700, nullptr);
    if (ListMembers() < 0) return -1;
    HideLoading();
    return 0;
}

void RestOkCB(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(Rest.okBusy);
    if (!guard.entered() || !Rest.window) return;
    SetButtons(false);
    SetManaged(Rest.upOne, false);
    SetManaged(RemoveButton, false);
    WaitSeconds(0);
    if (Model.phase == kRestoreExisting) {
        RestoreExtract(Model, Device, Ui());
        Close();
        return;
    }
    const std::vector<std::string> chosen = Chosen();
    if (!chosen.empty()) {
        RestoreSplit(Model, chosen, Ui());
        ShowExisting();
        HeaderLine(kExistingLine);
    }
    SetButtons(true);
    SetManaged(Rest.upOne, true);
    WaitSeconds(0);
    ChangeCursor(NormalCursor);
}

void RestCancelCB(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(Rest.cancelBusy);
    if (!guard.entered() || !Rest.window) return;
    Close();
}

void RestDoRestoreCB(Widget, XtPointer, XtPointer call) {
    if (!Rest.window || !Activated(call) || Model.phase != kRestoreMembers) return;
    ChoiceGuard guard(RestoreBusy);
    if (!guard.entered()) return;
    SetButtons(false);
    WaitSeconds(0);
    RestoreSplit(Model, RestoreNames(Model), Ui());
    ShowExisting();
    SetButtons(true);
    WaitSeconds(0);
    ChangeCursor(NormalCursor);
}

void RestRemoveCB(Widget, XtPointer, XtPointer call) {
    if (!Rest.window || !Activated(call) || Model.phase != kRestoreExisting) return;
    ChoiceGuard guard(RemoveBusy);
    if (!guard.entered()) return;
    RestoreRemove(Model, SelectedListPositions(Rest.list));
    ListDeleteSelected(Rest.list);
    XmListDeselectAllItems(Rest.list);
    SetManaged(RemoveButton, !Model.existing.empty());
}

void RestUpOneCB(Widget, XtPointer, XtPointer call) {
    if (!Rest.window || !Activated(call)) return;
    ChoiceGuard guard(UpOneBusy);
    if (!guard.entered()) return;
    SetButtons(false);
    if (Model.phase == kRestoreExisting) {
        // The same medium listed again.
        SetManaged(RemoveButton, false);
        Relist();
        SetButtons(true);
        return;
    }
    // Another medium.
    SetManaged(Rest.upOne, false);
    XtUnmanageChild(Rest.window);
    SetManaged(RestoreButton, false);
    SetManaged(PrintButton, false);
    ListSetNames(Rest.list, {});
    if (!ChooseMedium()) {
        Close();
        return;
    }
    XtManageChild(Rest.window);
    Relist();
    SetManaged(Rest.upOne, true);
    SetButtons(true);
}

void RestPrintCB(Widget, XtPointer, XtPointer call) {
    if (!Rest.window || !Activated(call) || Model.listed.empty()) return;
    ChoiceGuard guard(PrintBusy);
    if (!guard.entered()) return;
    SetButtons(false);
    ChangeCursor(BusyCursor);
    if (!RestoreWritePrintList(Model)) {
        std::printf("RestPrintCB: cannot write %s\n", kPrintList);
        std::fflush(stdout);
    } else if (SendPrintRequest(kPrintList) != 0) {
        ScreenMessage(LabText(kNotSentLabel) + " \n" + LabText(kContinueLabel));
    }
    ChangeCursor(NormalCursor);
    SetButtons(true);
}

RestoreView RestoreState() {
    return {&Rest, &Model, ListTitle, RemoveButton, PrintButton, RestoreButton};
}
