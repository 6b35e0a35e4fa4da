// Media selection dialog and the format of the chosen medium.
//
// While it is open the dialog is the screen shown; the screen that was shown
// when it opened (a backup or restore screen) counts as shown again once it
// closes.
#include "mediaselect.h"

#include "choice.h"
#include "colors.h"
#include "dialogs.h"
#include "labels.h"
#include "launch.h"
#include "mainmenu.h"
#include "makers.h"
#include "mediabuttons.h"
#include "process.h"
#include "vok.h"

#include <cstdint>
#include <cstdio>

MediaRecord ChosenMedium;
int MediaReply = 0;

namespace {

constexpr int kBackupTitle = 43;
constexpr int kRestoreTitle = 44;
constexpr int kChooseLine = 303;
constexpr int kFormatHint = 42;
constexpr int kFormatQuestion = 47;
constexpr int kFormatOk = 64;
constexpr int kFormatting = 80;
constexpr int kNotFoundLabel = 155;
constexpr int kContinueLabel = 100;
constexpr const char* kFormatProgram = "/bin/format";

struct Dialog {
    Widget window = nullptr;
    Widget row1 = nullptr;
    Widget row2 = nullptr;
    Widget ok = nullptr;
    Widget cancel = nullptr;
    Widget format = nullptr;
    std::vector<Widget> buttons;
    std::vector<MediaRecord> media;
    int chosen = 0;
    int mode = kMediaForBackup;
    // The screen shown when the dialog opened.
    Widget beneath = nullptr;
    int okBusy = 0;
    int cancelBusy = 0;
    int formatBusy = 0;
    int buttonBusy = 0;
};
Dialog D;

void ForgetWindowCB(Widget, XtPointer client, XtPointer) {
    *static_cast<Widget*>(client) = nullptr;
}

// OK and Cancel answer: the dialog leaves the screen, the screen beneath
// counts as shown again, and the window goes.
void CloseDialog(int reply) {
    SetSensitive(D.ok, false);
    SetSensitive(D.cancel, false);
    WaitSeconds(0);
    if (reply == 1) ChosenMedium = D.media[D.chosen];
    XtUnmanageChild(D.window);
    ShownScreen = D.beneath;
    if (reply != 1) ClearMediaDevice(ChosenMedium);
    MediaReply = reply;
    WaitSeconds(0);
    XtDestroyWidget(D.window);
    const int mode = D.mode;
    D = Dialog{};
    D.mode = mode;
    SetStatusLine("");
}

} // namespace

void ShowMediaSelect(int mode) {
    if (D.window && ShownScreen == D.window) return;
    SetStatusLine("");
    D.mode = mode;
    MediaReply = 0;
    ClearMediaDevice(ChosenMedium);
    if (!LoadMediaSelect()) {
        MediaReply = 1;
        return;
    }
    D.chosen = 0;
    D.beneath = ShownScreen;
    ShownScreen = D.window;
    MediumButtonLook(D.buttons[0], true, 0);
    SetLabelText(LabText(mode == kMediaForBackup ? kBackupTitle : kRestoreTitle), D.row1);
    SetLabelText(LabText(kChooseLine), D.row2);
    SetWidgetColors(D.row2, "VokStatus", 0, 3, 7);
    XtManageChild(D.window);
}

int WaitMediaReply() {
    Widget watched = D.window;
    if (watched) XtAddCallback(watched, XmNdestroyCallback, ForgetWindowCB, &watched);
    {
        WaitingDialog waiting(watched);
        while (MediaReply == 0 && watched) ServeOneEvent();
    }
    if (watched) XtRemoveCallback(watched, XmNdestroyCallback, ForgetWindowCB, &watched);
    if (MediaReply == 0) {
        // The window went without an answer.
        MediaReply = -1;
        ClearMediaDevice(ChosenMedium);
    }
    return MediaReply;
}

std::string ChosenDevice() {
    return MediaDevice(ChosenMedium);
}

int LoadMediaSelect() {
    std::string bytes;
    const InstallFile read = ReadMediaFile("LoadMediaSelect", kMediaFile, &bytes);
    if (read == InstallFile::kRefused) return 0;
    if (read == InstallFile::kMissing) {
        std::printf("error opening %s\n", kMediaFile);
        std::fflush(stdout);
        return 0;
    }
    D.media = SelectableMedia(bytes);
    if (D.media.empty()) return 0;
    D.window = MakeWorkWindow(0);
    MakeFrameHeader(D.window, &D.row1, &D.row2);
    Widget bar = MakeWorkToolbar(D.window, MediaSelectOk, MediaSelectCancel, -1, 0);
    D.ok = WorkOKButton;
    D.cancel = WorkCancelButton;
    if (D.mode == kMediaForBackup) {
        D.format = MakeIconButton(bar, GridX[3], 5, "VokFormat", 0);
        XtAddCallback(D.format, XmNactivateCallback, MediaFormatCb, nullptr);
        XtAddEventHandler(D.format, HintEventMask, False, HintEventHandler, HintLabel(kFormatHint));
    }
    MakeMediaButtons();
    return 1;
}

void MakeMediaButtons() {
    D.buttons.clear();
    const int count = static_cast<int>(D.media.size());
    for (int i = 0; i < count; ++i)
        D.buttons.push_back(
            MakeMediumButton(D.window, i, count, MediaLabel(D.media[i]), 0, MediaButtonCb));
}

void MediaButtonCb(Widget, XtPointer index, XtPointer) {
    ChoiceGuard guard(D.buttonBusy);
    if (!guard.entered() || !D.window) return;
    const int i = static_cast<int>(reinterpret_cast<intptr_t>(index));
    if (i < 0 || i >= static_cast<int>(D.buttons.size())) return;
    MediumButtonLook(D.buttons[D.chosen], false, 0);
    D.chosen = i;
    MediumButtonLook(D.buttons[D.chosen], true, 0);
}

void MediaSelectOk(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(D.okBusy);
    if (!guard.entered() || !D.window) return;
    CloseDialog(1);
}

void MediaSelectCancel(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(D.cancelBusy);
    if (!guard.entered() || !D.window) return;
    CloseDialog(-1);
}

void MediaFormatCb(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(D.formatBusy);
    if (!guard.entered() || !D.window) return;
    ConfirmFormat();
}

void ConfirmFormat() {
    if (ScreenMessage(LabText(kFormatQuestion) + " \n" + LabText(kFormatOk)) != 1) return;
    SetSensitive(D.ok, false);
    SetSensitive(D.cancel, false);
    SetSensitive(D.format, false);
    FormatMedia();
    SetSensitive(D.ok, true);
    SetSensitive(D.cancel, true);
    SetSensitive(D.format, true);
}

void FormatMedia() {
    if (!D.window) return;
    const std::string device = MediaDevice(D.media[D.chosen]);
    XtUnmanageChild(D.window);
    if (!MediaDeviceUsable(device)) {
        std::printf("FormatMedia: no usable device (\"%s\")\n", device.c_str());
        std::fflush(stdout);
        ScreenMessage(RefusedMediumText(LabText(kNotFoundLabel), LabText(kContinueLabel)));
    } else if (WaitForMedia(0, device.c_str()) == 0) {
        ShowLoading(LabText(kFormatting));
        ChangeCursor(BusyCursor);
        const int status = SystemCmd(std::string(kFormatProgram) + " -fv " + ShellQuote(device));
        ChangeCursor(NormalCursor);
        HideLoading();
        if (status != 0) ReportToolFailure("FormatMedia", kFormatProgram, status, ScreenMessage);
    }
    XtManageChild(D.window);
    WaitSeconds(0);
}

MediaSelectView MediaSelectState() {
    return {D.window, D.row1, D.row2, D.ok, D.cancel, D.format, D.buttons, D.chosen, D.mode};
}
