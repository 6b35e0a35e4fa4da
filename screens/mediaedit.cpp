// Media table editor.
//
// OK writes the records shown with their new enable words and every byte of
// the file after them as it was read, to a new file beside the table that
// then replaces it: a failure leaves the table as it was and the editor
// open. While it is open the editor is the screen shown; the screen shown
// when it opened counts as shown again once it closes. A table that is no
// plain file, or longer than what is read of it, is not edited.
#include "mediaedit.h"

#include "choice.h"
#include "colors.h"
#include "dialogs.h"
#include "labels.h"
#include "launch.h"
#include "mainmenu.h"
#include "makers.h"
#include "mediabuttons.h"

#include <cstdint>

namespace {

constexpr int kTitle = 31;
constexpr int kToggleLine = 301;
constexpr int kNotFoundLabel = 155;
constexpr int kContinueLabel = 100;
constexpr int kSaveQuestion = 109;
constexpr int kDropQuestion = 110;
constexpr int kNotWritten = 111;
// The editor registers its buttons for a new colour scheme.
constexpr int kLookMode = 2;

struct Editor {
    Widget window = nullptr;
    Widget row1 = nullptr;
    Widget row2 = nullptr;
    Widget ok = nullptr;
    Widget cancel = nullptr;
    std::vector<Widget> toggles;
    MediaTable table;
    int current = 0;
    Widget beneath = nullptr;
    int okBusy = 0;
    int cancelBusy = 0;
    int toggleBusy = 0;
};
Editor E;

void SetButtons(bool on) {
    SetSensitive(E.ok, on);
    SetSensitive(E.cancel, on);
}

void Hide() {
    XtUnmanageChild(E.window);
    ShownScreen = E.beneath;
}

// The answer to a question of OK or Cancel was Cancel: the editor stays.
void StayOpen() {
    SetButtons(true);
    WaitSeconds(0);
    FlushDisplay();
}

} // namespace

void ShowMediaEditor() {
    if (E.window && ShownScreen == E.window) return;
    std::string bytes;
    InstallFile read = ReadMediaFile("ShowMediaEditor", kMediaFile, &bytes);
    // Only a table that is not there is made anew; one that is there but is
    // no plain file, or too long to be written back whole, is left alone.
    if (read == InstallFile::kMissing) {
        SystemCmd(kTransMedia);
        read = ReadMediaFile("ShowMediaEditor", kMediaFile, &bytes);
    }
    if (read != InstallFile::kRead) {
        ScreenMessage(std::string(kMediaFile) + " " + LabText(kNotFoundLabel) + "\n" +
                      LabText(kContinueLabel));
        return;
    }
    E.table = ParseMediaTable(bytes);
    if (!E.window) MakeMediaEditor();
    MakeMediaToggles();
    E.beneath = ShownScreen;
    ShownScreen = E.window;
    SetLabelText(LabText(kTitle), E.row1);
    SetLabelText(LabText(kToggleLine), E.row2);
    SetWidgetColors(E.row2, "VokStatus", 0, 3, 7);
    for (size_t i = 0; i < E.toggles.size(); ++i)
        MediumButtonLook(E.toggles[i], MediaEnable(E.table.records[i]) != 0, kLookMode);
    E.current = 0;
    SetButtons(true);
    XtManageChild(E.window);
    FlushDisplay();
}

void MakeMediaEditor() {
    E.window = MakeWorkWindow(2);
    MakeFrameHeader(E.window, &E.row1, &E.row2);
    MakeWorkToolbar(E.window, MediaEditorOk, MediaEditorCancel, -1, 2);
    E.ok = WorkOKButton;
    E.cancel = WorkCancelButton;
}

void MakeMediaToggles() {
    // Made anew at every showing: the table may have gained or lost
    // records since the last one.
    for (Widget w : E.toggles) XtDestroyWidget(w);
    E.toggles.clear();
    const int count = static_cast<int>(E.table.records.size());
    for (int i = 0; i < count; ++i)
        E.toggles.push_back(MakeMediumButton(E.window, i, count, MediaLabel(E.table.records[i]),
                                             kLookMode, MediaToggleCb));
}

void MediaToggleCb(Widget, XtPointer index, XtPointer) {
    ChoiceGuard guard(E.toggleBusy);
    if (!guard.entered()) return;
    const int i = static_cast<int>(reinterpret_cast<intptr_t>(index));
    if (i < 0 || i >= static_cast<int>(E.toggles.size())) return;
    E.current = i;
    MediaRecord& r = E.table.records[i];
    const bool on = MediaEnable(r) == 0;
    SetMediaEnable(r, on ? 1 : 0);
    MediumButtonLook(E.toggles[i], on, kLookMode);
}

void MediaEditorOk(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(E.okBusy);
    if (!guard.entered() || !E.window) return;
    SetButtons(false);
    WaitSeconds(0);
    if (ScreenMessage(LabText(kSaveQuestion)) != 1) {
        StayOpen();
        return;
    }
    if (!WriteMediaFile(kMediaFile, MediaTableBytes(E.table))) {
        ScreenMessage(LabText(kNotWritten) + LabText(kContinueLabel));
        SetButtons(true);
        return;
    }
    Hide();
}

void MediaEditorCancel(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(E.cancelBusy);
    if (!guard.entered() || !E.window) return;
    SetButtons(false);
    WaitSeconds(0);
    if (ScreenMessage(LabText(kDropQuestion)) != 1) {
        StayOpen();
        return;
    }
    Hide();
}

MediaEditorView MediaEditorState() {
    return {E.window, E.row1, E.row2, E.ok, E.cancel, E.toggles, &E.table};
}
