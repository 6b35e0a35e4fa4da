// File menu: the file-utilities button's screen, a choice screen with the
// eight file screens. OK asks the chosen screen's password and opens it
// over the whole main window; the menu stays open beneath it, and its own
// Cancel gives back the main menu.
#pragma once

#include "choice.h"

#include <X11/Intrinsic.h>

// The choice values of the eight screens.
inline constexpr int kFileMenuCopy = 1;
inline constexpr int kFileMenuDelete = 2;
inline constexpr int kFileMenuBackup = 3;
inline constexpr int kFileMenuRestore = 4;
inline constexpr int kFileMenuPrint = 5;
inline constexpr int kFileMenuBlockEdit = 6;
inline constexpr int kFileMenuTextEdit = 7;
inline constexpr int kFileMenuContourEdit = 8;

// Entry of the file-utilities button.
void ShowFileMenu();
void MakeFileMenu();
// Activate callback of the choice buttons; the client data is the value.
void FileMenuSelectCb(Widget w, XtPointer value, XtPointer call);
void FileMenuOk(Widget w, XtPointer client, XtPointer call);
void FileMenuCancel(Widget w, XtPointer client, XtPointer call);
void FileMenuMark(Widget button);
void FileMenuUnmark();

// Test seam: when set, OK calls the hook with the value instead of the
// chosen screen's entry (after the same checks); null restores the entries.
using FileMenuEntryHook = void (*)(int value);
void SetFileMenuEntryHook(FileMenuEntryHook hook);

// The menu's frame and its buttons in value order, for tests.
struct FileMenuView {
    const ChoiceScreen* frame;
    Widget buttons[8];
};
FileMenuView FileMenuState();
