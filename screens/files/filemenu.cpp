// File menu.
#include "filemenu.h"

#include "dialogs.h"
#include "entries.h"
#include "filebackup.h"
#include "filebe.h"
#include "filecopy.h"
#include "filedel.h"
#include "fileedit.h"
#include "fileprint.h"
#include "filerestore.h"
#include "labels.h"
#include "mainmenu.h"
#include "partsel.h"
#include "password.h"

#include <cstdint>

namespace {

ChoiceScreen Menu;
Widget Buttons[8] = {};
FileMenuEntryHook EntryHook = nullptr;

constexpr int kTitleLabel = 62;
// The file-utilities button, whose screen the menu is.
constexpr int kFileUtilButton = 9;
constexpr const char* kContourEditor = "/u/qel/xeq/xceditor.exe";

struct Choice {
    int value;
    const char* style;
    int gridX, gridY;
    int hint;
    int item; // password item; 0: the contour editor must be installed
    void (*entry)();
};

const Choice kChoices[] = {
    {kFileMenuCopy, "VokFileCopy", 1, 1, 134, 41, FileCopy},
    {kFileMenuPrint, "VokFilePrint", 3, 1, 176, 42, FilePrint},
    {kFileMenuDelete, "VokFileDelete", 5, 1, 135, 43, FileDelete},
    {kFileMenuBlockEdit, "VokBlockEdit", 1, 3, 178, 52, FileBe},
    {kFileMenuTextEdit, "VokTextEdit", 3, 3, 180, 51, FileEdit},
    {kFileMenuContourEdit, "VokContourEdit", 5, 3, 131, 0, FileCe},
    {kFileMenuBackup, "VokFileBackup", 1, 5, 136, 44, FileBackup},
    {kFileMenuRestore, "VokFileRestore", 5, 5, 137, 45, FileRestore},
};

const Choice* ChoiceOf(int value) {
    for (const Choice& c : kChoices)
        if (c.value == value) return &c;
    return nullptr;
}

bool MayOpen(const Choice& c) {
    if (c.item == 0) return FileExists(kContourEditor) != 0;
    return CheckPassword(c.item) == 1;
}

} // namespace

void MakeFileMenu() {
    MakeChoiceFrame(Menu, FileMenuOk, FileMenuCancel, -1, 0);
    for (const Choice& c : kChoices)
        Buttons[c.value - 1] = MakeChoiceButton(Menu, GridX[c.gridX], GridY[c.gridY], c.style,
                                                FileMenuSelectCb, c.value, c.hint, nullptr);
}

void ShowFileMenu() {
    if (ChoiceShown(Menu) || ActiveMenuButton == kFileUtilButton) return;
    SetStatusLine("");
    DisableMainMenu();
    OpenChoiceScreen(Menu, MakeFileMenu, kTitleLabel);
    ActiveMenuButton = kFileUtilButton;
    ManageChoiceScreen(Menu);
    FlushEventsNoInput();
}

void FileMenuSelectCb(Widget w, XtPointer value, XtPointer) {
    ChoiceSelect(Menu, w, static_cast<int>(reinterpret_cast<intptr_t>(value)));
}

void FileMenuOk(Widget, XtPointer, XtPointer) {
    if (Menu.choice <= 0) return;
    ChoiceGuard guard(Menu.okBusy);
    if (!guard.entered()) return;
    SetChoiceToolbar(Menu, false);
    WaitSeconds(0);
    if (const Choice* c = ChoiceOf(Menu.choice); c && MayOpen(*c)) {
        if (EntryHook)
            EntryHook(c->value);
        else
            c->entry();
    }
    WaitSeconds(0);
    SetChoiceToolbar(Menu, true);
    WaitSeconds(0);
    SetStatusLine("");
}

void FileMenuCancel(Widget, XtPointer, XtPointer) {
    if (!Menu.window) return;
    CancelChoiceScreen(Menu);
    if (ShownScreen == nullptr) ActiveMenuButton = 0;
}

void FileMenuMark(Widget button) {
    ChoiceMark(Menu, button);
}

void FileMenuUnmark() {
    ChoiceUnmark(Menu);
}

void SetFileMenuEntryHook(FileMenuEntryHook hook) {
    EntryHook = hook;
}

FileMenuView FileMenuState() {
    FileMenuView v{&Menu, {}};
    for (int i = 0; i < 8; ++i) v.buttons[i] = Buttons[i];
    return v;
}
