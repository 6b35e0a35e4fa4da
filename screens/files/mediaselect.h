// Media selection: the modal choice among the enabled media of the media
// table, opened by the backup (with a format button) and by the restore. A
// work window over the work area with a button per medium; the caller
// waits for the answer in WaitMediaReply. The dialog is built at each
// opening and destroyed by its OK and Cancel.
#pragma once

#include "media.h"

#include <X11/Intrinsic.h>

#include <string>
#include <vector>

// Modes of the dialog.
inline constexpr int kMediaForBackup = 2;
inline constexpr int kMediaForRestore = 3;

// The record chosen by the last OK. Its device is emptied when the dialog
// opens and when it is cancelled; the other fields keep the last choice.
extern MediaRecord ChosenMedium;
// The dialog's answer: 0 while it waits, 1 chosen, -1 cancelled. Without a
// medium to offer the answer is 1 at once, with no device: callers check
// the device (MediaDeviceUsable) before they hand it to a tool.
extern int MediaReply;

// Opens the dialog unless it is shown; returns at once.
void ShowMediaSelect(int mode);
// Serves events, one a pass, until the dialog answers; -1 when its window
// goes without an answer.
int WaitMediaReply();
// The chosen medium's device ("" when none was chosen).
std::string ChosenDevice();

// Reads the enabled media and builds the dialog: 1 when there is one.
int LoadMediaSelect();
void MakeMediaButtons();
void MediaButtonCb(Widget w, XtPointer index, XtPointer call);
void MediaSelectOk(Widget w, XtPointer client, XtPointer call);
void MediaSelectCancel(Widget w, XtPointer client, XtPointer call);
void MediaFormatCb(Widget w, XtPointer client, XtPointer call);
// Asks, then formats the chosen medium.
void ConfirmFormat();
void FormatMedia();

// The dialog's widgets and state, for tests (window nullptr when closed).
struct MediaSelectView {
    Widget window;
    Widget row1, row2;
    Widget ok, cancel, format;
    std::vector<Widget> buttons;
    int chosen;
    int mode;
};
MediaSelectView MediaSelectState();
