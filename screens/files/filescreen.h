// File-screen frame: the window that the file screens (copy, delete, backup,
// restore, print, the edit screens) build over the whole main window, with
// its two-row header, toolbar, list, hotkeys and keyin field; how a member
// opens and closes it; the helpers the members share; the start-up notice.
// What a member that walks the install tree gives the frame, and the
// frame's list, keyin field, up one level and Cancel for it, are in
// filemember.h. The navigation itself is the X-free model of filenav.h; the
// busy notice over the main window is the toolkit's (ShowLoading, makers.h),
// which the controller link's hooks use too.
#pragma once

#include "filenav.h"

#include <X11/Intrinsic.h>

#include <functional>
#include <string>
#include <vector>

// The frame's notices while a member's window is built (loading) and while
// it goes (closing), and the up-one button's hint.
inline constexpr int kFileLoadingLabel = 154;
inline constexpr int kFileClosingLabel = 171;
inline constexpr int kUpOneHint = 243;

// The file screen built last (nullptr once it is closed), the list and the
// keyin field of the open one (FileList nullptr while its list is gone), and
// the label of the folder listed (nullptr at the top list).
extern Widget FileScreenWindow;
extern Widget FileList;
extern Widget KeyinWidget;
extern Widget HeaderLabel;
// How many leading characters the paths shown leave out ("/u/qel/").
extern int PathCut;

// The widgets and guards of one member's window.
struct FileScreen {
    Widget window = nullptr;
    Widget title = nullptr;  // header row 1
    Widget status = nullptr; // header row 2
    Widget ok = nullptr;
    Widget cancel = nullptr;
    Widget list = nullptr;
    Widget keyin = nullptr;
    Widget upOne = nullptr;
    Widget wholeFolder = nullptr; // null for a member without one
    Widget hotkeys[2] = {nullptr, nullptr};
    // The screen that was shown when this one opened (the file menu): it
    // counts as shown again once this one closes.
    Widget beneath = nullptr;
    int okBusy = 0;
    int cancelBusy = 0;
    int listBusy = 0;
};

// A member's entry: unless its window is already shown, builds it with
// make (under the busy notice of the loading label), makes it the screen
// shown for the file-utilities button, and manages it. False when it was
// shown already.
bool OpenFileScreen(FileScreen& s, int loadingLabel, const std::function<void()>& make);
// The member's window built: it is the screen shown for the file-utilities
// button, over the screen beneath, with OK and Cancel sensitive.
void FileScreenShown(FileScreen& s, Widget beneath);
// A member's Cancel: under the busy notice of the loading label the window
// goes, the screen beneath counts as shown again, the window is destroyed.
void CloseFileScreen(FileScreen& s, int loadingLabel);

// The window, its header (title left-aligned, status row in the status
// style) and toolbar (OK, Cancel, no help).
void MakeFileWindow(FileScreen& s, int titleLabel, int statusLabel, XtCallbackProc ok,
                    XtCallbackProc cancel, XtPointer client = nullptr);
// The header's status row: the label's text in the status style.
void SetFileStatusRow(const FileScreen& s, int label);
// The window as MakeFileWindow makes it, with its scrolled list and keyin
// field. OK and Cancel get client as their client data.
void MakeFileFrame(FileScreen& s, int titleLabel, int statusLabel, XtCallbackProc ok,
                   XtCallbackProc cancel, XtPointer client = nullptr);
// An icon button on the toolbar at (x, 5), hidden, with its hint; activate
// gets client as its client data.
Widget MakeToolbarIcon(const FileScreen& s, int x, const char* style, int hint,
                       XtCallbackProc activate, XtPointer client = nullptr);

// Manages or unmanages a widget; a null one is ignored.
void SetManaged(Widget w, bool on);
// Whether a button's callback comes from its activation (or from a direct
// call without callback data).
bool Activated(XtPointer call);

// OK, Cancel and the up-one button while a long action runs.
void DisableFileButtons(const FileScreen& s);
void EnableFileButtons(const FileScreen& s, const FileNav& nav);

// The header: the folder listed, as the screens show paths. The console
// line names the path and the address of FileScreenWindow.
void DrawHeader(const std::string& path);
void RemoveHeader();

// No entry selected; a null list is ignored.
void ClearListSelection(Widget list);
// A hotkey's on look (the keyin field gets its normal look first, and the
// hotkey the focus) and off look; a null widget is ignored.
void HotkeyOn(Widget w);
void HotkeyOff(Widget w);
// A hotkey's or a choice button's look, on or off, the focus left alone.
void HotkeyLook(Widget w, bool on);
// The keyin field's normal look.
void SetKeyinField(Widget w);
// A 350 x 30 hotkey button at (x, y) with its text, on or off.
Widget MakeHotkeyButton(Widget parent, const char* name, int x, int y, const std::string& text,
                        bool on);
void SetHotkeyLabel(Widget w, const std::string& text);
// The keyin field: 60 columns (30 for the two-byte language), paths of at
// most kFilePathMax characters.
Widget MakeKeyinField(Widget parent);
// The keyin field's text, and a new one with the cursor at its end.
std::string KeyinText(Widget keyin);
void SetKeyinText(Widget keyin, const std::string& text);

// The 1-based position, for each selected item, of the first item equal to
// it (so two equal items give the first position twice): the count.
int GetListSelection(Widget list, std::vector<int>* positions);
// The 1-based positions of the selected items themselves, in order.
std::vector<int> SelectedListPositions(Widget list);
// Removes the selected items from the list.
void ListDeleteSelected(Widget list);

// The start-up notice in the work area; 0, or -82 when it was not drawn in
// time.
int ShowNotice(const std::string& text);
void HideNotice();
