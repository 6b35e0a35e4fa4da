// Text viewer: a window of its own over the main window that shows a text
// file read whole into memory, read-only, with a search field (forward,
// with wrap-around), a print button that hands a copy of the file to the
// message server and an OK button. The help texts are shown in it.
//
// The window is built on first use and reused; only its text widget is
// made anew for each file. While it is up it is kept over the main window
// (a raise of the main window raises it again). It fits the 800 x 600 screen: the button area
// keeps its height at the bottom and the text takes what remains, with
// scroll bars.
#pragma once

#include <X11/Intrinsic.h>

#include <cstddef>
#include <ctime>
#include <string>

// The help files by index: 0 the general help, 1 the program's own.
inline constexpr const char* kHelpFiles[] = {"/u/qel/doc/README", "/u/qel/doc/VOK"};

extern Widget ViewerShell;
extern Widget ViewerForm;
extern Widget ViewerFrame;
extern Widget ViewerText; // null while the viewer is closed
extern Widget ViewerButtons;
extern Widget ViewerPrintButton;
extern Widget ViewerOKButton;
extern Widget SearchField;
extern Widget SearchButton;
// The text shown (carriage returns and NULs as blanks) and its file.
extern std::string ViewBuffer;
extern std::string ViewedPath;
// The widget that opened the viewer, hidden while it is up; null for none.
extern Widget ViewerCaller;
// Seconds of the last print copy; 0 before the first.
extern time_t LastPrintTime;

// Shows help file index (any index but 0 and 1 means 0) in the viewer;
// button is the one that asked, hidden until OK.
void ShowHelpText(Widget button, int index);
// Shows a file: -1 when it is missing, empty or cannot be read whole (an
// open viewer is then left as it was, and caller stays shown); else 0 with
// the viewer up and caller hidden. A caller hidden by an earlier call is
// shown again first.
int DisplayFile(const std::string& path, const std::string& title, Widget caller);
// Builds the viewer on first use and puts the text into a new text widget.
void ShowFile(const std::string& text, const std::string& title);

// Client data of exitCallback.
inline constexpr int kViewerPrint = 5;
inline constexpr int kViewerOK = 7;
// Print (5): at most once a second, copies the file without its form-feed
// markers to /u/tmp/PRT<seconds> and asks the server to print the copy.
// OK (7): closes the viewer and shows its caller again.
void exitCallback(Widget w, XtPointer which, XtPointer call);
// The search field's Enter and the search button.
void SearchCallback(Widget w, XtPointer client, XtPointer call);
// The window manager's close: a console warning; the viewer stays open.
void WindowCloseWarning(Widget w, XtPointer client, XtPointer call);

// How the print copy reaches the message server (request 10 with the copy's
// path), which the program's top sets at start-up: 0 sent. Unset, print
// prints a console line and sends nothing.
using ViewerPrintSender = int (*)(const std::string& copyPath);
void SetViewerPrintSender(ViewerPrintSender sender);

// The scroll bars of a scrolled text (children of its scrolled window):
// width of the vertical one, height of the horizontal one, and their look
// (shadows from base colours 0 and 3, then the style). Nothing happens for
// a bar that is not there.
void SetVertScrollBarWidth(Widget text, int width);
void SetHorScrollBarHeight(Widget text, int height);
void SetVertScrollBarColors(Widget text, const char* style, int fg, int bg);
void SetHorScrollBarColors(Widget text, const char* style, int fg, int bg);
