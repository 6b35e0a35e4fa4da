// Choice-screen frame: the pattern of most screens that the main menu opens.
// A work window with a two-row header, a toolbar with OK and Cancel, rows of
// info labels and a few large icon buttons. Pressing an icon button only
// chooses (it is marked and its value kept); OK carries the choice out;
// Cancel closes the screen. A screen is built on its first opening and
// afterwards only managed and unmanaged.
//
// Each member keeps one ChoiceScreen and composes its Show, OK and Cancel
// from the pieces below.
#pragma once

#include "busyguard.h"

#include <X11/Intrinsic.h>

#include <cstddef>
#include <string>
#include <vector>

// The run kind chosen on the execute and step screen or the part-program
// menu: 0 none, 1 execute (also learn and inspect), 2 step (also append).
extern int RunChoice;

// Main-menu button numbers kept in ActiveMenuButton.
inline constexpr int kPauseButton = 5;
inline constexpr int kStatusButton = 6;

struct ChoiceScreen {
    Widget window = nullptr;
    Widget row1 = nullptr; // header: title
    Widget row2 = nullptr; // header: current part
    Widget toolbar = nullptr;
    // The screen's own OK and Cancel; null when it was built without one.
    Widget ok = nullptr;
    Widget cancel = nullptr;
    // Info labels, row by row: left at x 20, right at x 280.
    std::vector<Widget> infoLeft;
    std::vector<Widget> infoRight;
    std::vector<Widget> buttons;
    Widget marked = nullptr;
    int choice = 0;
    int made = 0;
    // Busy flags of OK and Cancel.
    int okBusy = 0;
    int cancelBusy = 0;
    // Show and Cancel also reset RunChoice.
    bool usesRunChoice = false;
};

// The busy flag of a callback for the length of the call.
using ChoiceGuard = BusyGuard;

// Window (mode 2), header, toolbar (a null callback or a negative help index
// leaves that button out) and infoRows rows of empty info labels from y 80.
void MakeChoiceFrame(ChoiceScreen& s, XtCallbackProc ok, XtCallbackProc cancel, int helpIndex,
                     int infoRows);
// A 66 x 66 choice button at (x, y): select gets value as client data, the
// hint label shows while the pointer is over it, and an insensitive style
// (null for none) gives it its insensitive look.
Widget MakeChoiceButton(ChoiceScreen& s, int x, int y, const char* style, XtCallbackProc select,
                        int value, int hint, const char* insensitiveStyle);
// The insensitive look of a choice button: the icon that the colour file
// names for the style, else "HELP.VOK".
void SetHelpIcon(Widget button, const char* style, int mode);
// -1 when the network option is off; else 1 when the network monitor is
// installed, 0 when not.
int NetMonState();

// Builds the screen with make on its first call; clears the mark.
void EnsureChoiceMade(ChoiceScreen& s, void (*make)());
// A label as a line of a screen: at most kScreenLineMax bytes, and with
// language 6 never cut inside a two-byte character.
inline constexpr size_t kScreenLineMax = 78;
std::string ScreenLineText(const std::string& label, int language);

// Label 68 and the current part: the second header row.
std::string CurrentPartLine();
// Header row 1 = the title label, row 2 = the current-part line coloured
// with "VokCurrPart" in the given mode.
void ShowChoiceHeader(const ChoiceScreen& s, int titleLabel, int partLineMode = 0);
// The network monitor's state in two labels; both blank when the option is
// off.
void ShowNetworkLine(Widget left, Widget right);

// OK and Cancel (those the screen has) sensitive or not.
void SetChoiceToolbar(const ChoiceScreen& s, bool on);
// True while ShownScreen is this screen's window.
bool ChoiceShown(const ChoiceScreen& s);

// Select: unmark, keep the value, mark the button.
void ChoiceSelect(ChoiceScreen& s, Widget button, int value);
void ChoiceMark(ChoiceScreen& s, Widget button);
void ChoiceUnmark(ChoiceScreen& s);

// Show of a member that keeps its open state in ShownScreen, after its own
// preconditions and DisableMainMenu: built once, shown, choice cleared,
// header set. The member then sets its lines and buttons and manages it.
void OpenChoiceScreen(ChoiceScreen& s, void (*make)(), int titleLabel, int partLineMode = 0);
// Toolbar sensitive, mark cleared, window managed.
void ManageChoiceScreen(ChoiceScreen& s);
// The closing half of OK: unmanaged, ShownScreen none, unmarked, the main
// menu applied, status line cleared.
void CloseChoiceScreen(ChoiceScreen& s);
// The frame's Cancel, guarded by the screen's Cancel flag.
void CancelChoiceScreen(ChoiceScreen& s);

// Whether the current part can be run: its name must fit the part field of
// the run request (24 characters), else the server would be told to run
// another part. A longer name is refused with a message to the operator
// that shows it. For every screen that sends a run, learn, append or
// inspect request.
bool CurrentPartRunnable();

// A message to the operator: MessageDialog(text, 0).
int ScreenMessage(const std::string& text);
// Test seam: when set, ScreenMessage answers with the hook and shows
// nothing; null restores the dialog.
using ScreenMessageHook = int (*)(const std::string& text);
void SetScreenMessageHook(ScreenMessageHook hook);
