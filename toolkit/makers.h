// Widget makers: the work windows, headers, labels, separators, toolbars,
// buttons, indicator lights, lists and the loading notice out of which every
// screen is built, each at its fixed position with its fixed look, and the
// small setters that the screens use on them.
#pragma once

#include <X11/Intrinsic.h>

#include <string>
#include <vector>

struct WorkAreaRect {
    int x, y, width, height;
};
// The rectangle of the main form between the two main-menu columns.
extern const WorkAreaRect WorkArea;

// One name row of the list loaders: a NUL-terminated name in 72 bytes.
struct NameRecord {
    char name[72];
};
static_assert(sizeof(NameRecord) == 72, "a name row is 72 bytes");

// Most items that ListSetItems shows.
inline constexpr int kListItemMax = 5000;

// Cancel and OK of the last MakeWorkToolbar and of the last MakeBigToolbar;
// a toolbar made without one of them leaves the previous value in place.
extern Widget WorkCancelButton;
extern Widget WorkOKButton;
extern Widget BigCancelButton;
extern Widget BigOKButton;

// The loading notice of a pending run request, and 1 while it is shown.
extern Widget LoadingLabel;
extern int LoadMessageShown;

// Work windows (unmanaged: the screen manages them when complete).
Widget MakeWorkWindow(int mode);
Widget MakeBigWorkWindow();
void MakeFrameHeader(Widget parent, Widget* row1, Widget* row2);
void MakeBigFrameHeader(Widget parent, Widget* title, Widget* status);

// Labels. A null text reads as "".
Widget MakeLabelGadget(Widget parent, int x, int y);
Widget MakeWideLabel(Widget parent, int x, int y, unsigned char alignment);
Widget MakeLabel(Widget parent, int x, int y, int width, const char* text, const char* style);
inline Widget MakeLabel(Widget parent, int x, int y, int width, const std::string& text,
                        const char* style) {
    return MakeLabel(parent, x, y, width, text.c_str(), style);
}
// Starts empty when text is null.
Widget MakeValueLabel(Widget parent, int x, int y, const char* text);
// Both do nothing for a null label.
void SetLabelText(const char* text, Widget label);
void SetLabelTextLeft(const char* text, Widget label);
inline void SetLabelText(const std::string& text, Widget label) {
    SetLabelText(text.c_str(), label);
}
inline void SetLabelTextLeft(const std::string& text, Widget label) {
    SetLabelTextLeft(text.c_str(), label);
}

Widget MakeSeparator(Widget parent, int y);
Widget MakeBigSeparator(Widget parent, int y);

// A bar of Cancel, Help and OK icon buttons at the bottom of a work window;
// a null callback or a negative help index leaves that button out.
Widget MakeWorkToolbar(Widget parent, XtCallbackProc okCallback, XtCallbackProc cancelCallback,
                       int helpIndex, int mode);
Widget MakeBigToolbar(Widget parent, XtCallbackProc okCallback, XtCallbackProc cancelCallback,
                      int helpIndex, int mode);
// The same, OK and Cancel getting client as their client data.
Widget MakeBigToolbarFor(Widget parent, XtCallbackProc okCallback, XtCallbackProc cancelCallback,
                         int helpIndex, int mode, XtPointer client);
// Help button of a toolbar: the client data is the help file's index, which
// goes to the help viewer with the button.
void ToolbarHelpCB(Widget w, XtPointer client, XtPointer call);
// The help viewer of the toolbars (ShowHelpText), which the program's top
// sets at start-up. Unset, Help prints a console line and shows nothing.
using ToolbarHelpViewer = void (*)(Widget button, int index);
void SetToolbarHelpViewer(ToolbarHelpViewer viewer);

Widget MakeIconButton(Widget parent, int x, int y, const char* style, int mode);
int SetChoiceButton(Widget button, int on);
// These three do nothing for a null widget.
void IndicatorOn(Widget light);
void IndicatorOff(Widget light);
void SetSensitive(Widget w, bool on);

// Lists; the scrolled ones return the list inside its scrolled window.
Widget MakeList(Widget parent, int x, int y, int width, int rows);
Widget MakeScrolledList(Widget parent, int x, int y, int width, int rows);
Widget MakeScrolledListSized(Widget parent, int x, int y, int width, int height, int rows);
Widget MakeMultiList(Widget parent, int x, int y, int width, int rows);
// Shows the first count names (at most kListItemMax), the first one
// selected and at the top; count < 1 leaves the list as it was.
void ListSetItems(Widget list, int count, const NameRecord* names);
// Shows the names (at most kListItemMax), each row what fits of its name
// (kListRowMax characters), the first one selected and at the top; no names
// empty the list. The names stay the caller's, whole.
inline constexpr size_t kListRowMax = sizeof(NameRecord::name) - 1;
void ListSetNames(Widget list, const std::vector<std::string>& names);
// The screens call this after a listing to free its item strings. The list
// keeps copies and ListSetItems frees its own strings at once, so nothing is
// held any more and this frees nothing, whatever count a screen passes.
void ListFreeItems(int count);

// Loading notice.
Widget MakeLoadingLabel(const char* text, Widget parent);
inline Widget MakeLoadingLabel(const std::string& text, Widget parent) {
    return MakeLoadingLabel(text.c_str(), parent);
}
void MakeLoadMessage();
void ShowLoadMessage();
void HideLoadMessage();
// The busy notice over the main window (the file screens, the controller
// link): shown with the text and drawn before it returns (the wait for it
// is bounded); one at a time, so an earlier one goes first.
void ShowLoading(const std::string& text);
void HideLoading();
