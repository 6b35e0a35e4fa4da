// Text viewer.
#include "viewer.h"

#include "blindcopy.h"
#include "busyguard.h"
#include "clock.h"
#include "colors.h"
#include "dialogs.h"
#include "labels.h"
#include "language.h"
#include "linereader.h"
#include "paths.h"
#include "statusline.h"
#include "viewsearch.h"
#include "vok.h"
#include "xmwrap.h"

#include <Xm/Form.h>
#include <Xm/Frame.h>
#include <Xm/Label.h>
#include <Xm/Protocols.h>
#include <Xm/PushB.h>
#include <Xm/Text.h>
#include <Xm/TextF.h>
#include <X11/Shell.h>

#include <cstdint>
#include <cstdio>
#include <sys/stat.h>

Widget ViewerShell = nullptr;
Widget ViewerForm = nullptr;
Widget ViewerFrame = nullptr;
Widget ViewerText = nullptr;
Widget ViewerButtons = nullptr;
Widget ViewerPrintButton = nullptr;
Widget ViewerOKButton = nullptr;
Widget SearchField = nullptr;
Widget SearchButton = nullptr;
std::string ViewBuffer;
std::string ViewedPath;
Widget ViewerCaller = nullptr;
time_t LastPrintTime = 0;

namespace {

// The window: at (10, 10), a form of 775 x 570 with a 5-pixel border, so
// that it ends 10 pixels above the bottom of the 800 x 600 screen.
constexpr int kShellX = 10;
constexpr int kShellY = 10;
constexpr int kFormWidth = 775;
constexpr int kFormHeight = 570;
constexpr int kFormBorder = 5;
constexpr int kButtonAreaHeight = 80;
constexpr int kTextColumns = 80;
constexpr int kTextRows = 25;
constexpr int kScrollBarSize = 20;
constexpr int kSearchColumns = 14;
constexpr unsigned int kDropBothFF = 3;
constexpr int kJapanese = 6;

int ViewerBuilt = 0;
int ViewerBusy = 0;
int SearchBusy = 0;
ViewerSearch Search;
ViewerPrintSender PrintSender = nullptr;

void Say(const std::string& line) {
    std::printf("%s", line.c_str());
    std::fflush(stdout);
}

XtArgVal AsArg(const void* p) {
    return reinterpret_cast<XtArgVal>(p);
}

XtPointer Which(int which) {
    return reinterpret_cast<XtPointer>(static_cast<intptr_t>(which));
}

// The whole file, size and bytes from the one file opened: false when it
// cannot be opened, is empty or cannot be read whole.
bool ReadWholeFile(const std::string& path, std::string* text) {
    UniqueFile f(f_Fopen(path, "r"));
    if (!f) return false;
    struct stat st {};
    if (fstat(fileno(f.get()), &st) != 0 || st.st_size <= 0) return false;
    std::string bytes;
    try {
        bytes.resize(static_cast<size_t>(st.st_size));
    } catch (const std::exception&) {
        return false;
    }
    if (std::fread(&bytes[0], 1, bytes.size(), f.get()) != bytes.size()) return false;
    // A carriage return shows as a blank, and so does a NUL, which would
    // otherwise end the text and the search.
    for (char& c : bytes)
        if (c == '\r' || c == '\0') c = ' ';
    *text = std::move(bytes);
    return true;
}

// Text positions of the widget are characters; the buffer's are bytes.
XmTextPosition ToWidget(size_t byte) {
    const size_t p = Language == kJapanese ? CharsInBytes(ViewBuffer, byte) : byte;
    return static_cast<XmTextPosition>(p);
}

size_t FromWidget(XmTextPosition pos) {
    const size_t p = pos < 0 ? 0 : static_cast<size_t>(pos);
    return Language == kJapanese ? BytesOfChars(ViewBuffer, p) : p;
}

Widget ScrollBar(Widget text, const char* name) {
    if (!text || !XtParent(text)) return nullptr;
    return XtNameToWidget(XtParent(text), name);
}

void SetBarSize(Widget text, const char* name, const char* resource, int size) {
    if (Widget bar = ScrollBar(text, name))
        XtVaSetValues(bar, resource, static_cast<Dimension>(size), nullptr);
}

void SetBarColors(Widget text, const char* name, const char* style, int fg, int bg) {
    Widget bar = ScrollBar(text, name);
    if (!bar) return;
    XtVaSetValues(bar, XmNtopShadowColor, BasePixels[0], XmNbottomShadowColor, BasePixels[3],
                  nullptr);
    SetWidgetColors(bar, style, 1, fg, bg);
}

Widget MakeViewerButton(Widget parent, int size, const char* style, const char* icon, int fg,
                        int bg, ArgBuilder& a) {
    a.Add(XmNlabelType, XmPIXMAP).Add(XmNwidth, size).Add(XmNheight, size);
    a.Add(XmNrecomputeSize, False).Add(XmNhighlightThickness, 0);
    Widget b = XmCreatePushButton(parent, XtRes("button"), a.list(), a.count());
    SetWidgetIcon(b, style, icon, 2, fg, bg);
    XtManageChild(b);
    return b;
}

void MakeButtonArea() {
    ArgBuilder a;
    a.Add(XmNheight, kButtonAreaHeight);
    a.Add(XmNleftAttachment, XmATTACH_FORM).Add(XmNleftOffset, 5);
    a.Add(XmNrightAttachment, XmATTACH_FORM).Add(XmNrightOffset, 5);
    a.Add(XmNbottomAttachment, XmATTACH_FORM).Add(XmNbottomOffset, 2);
    ViewerButtons = XmCreateForm(ViewerForm, XtRes("ViewerButtons"), a.list(), a.count());
    SetWidgetColors(ViewerButtons, "FileViewScreen", 2, 0, 1);
    XtManageChild(ViewerButtons);

    ArgBuilder p;
    p.Add(XmNrightAttachment, XmATTACH_FORM).Add(XmNrightOffset, 85).Add(XmNy, 5);
    p.Add(XmNbottomAttachment, XmATTACH_FORM);
    ViewerPrintButton = MakeViewerButton(ViewerButtons, 60, "BigPrinter", "PRINTER.VOK", 7, 3, p);
    ArgBuilder o;
    o.Add(XmNrightAttachment, XmATTACH_FORM).Add(XmNrightOffset, 5);
    o.Add(XmNbottomAttachment, XmATTACH_FORM);
    ViewerOKButton = MakeViewerButton(ViewerButtons, 60, "BigOK", "OK.VOK", 0, 4, o);
    XtAddCallback(ViewerPrintButton, XmNactivateCallback, exitCallback, Which(kViewerPrint));
    XtAddCallback(ViewerOKButton, XmNactivateCallback, exitCallback, Which(kViewerOK));

    ArgBuilder f;
    if (FontListBig) f.Add(XmNfontList, AsArg(FontListBig));
    f.Add(XmNx, 150).Add(XmNbottomAttachment, XmATTACH_FORM).Add(XmNbottomOffset, 5);
    f.Add(XmNcolumns, kSearchColumns).Add(XmNmaxLength, kSearchColumns).Add(XmNmarginHeight, 1);
    f.Add(XmNcursorPositionVisible, True).Add(XmNblinkRate, 500);
    f.Add(XmNautoShowCursorPosition, True);
    SearchField = XmCreateTextField(ViewerButtons, XtRes("SearchField"), f.list(), f.count());
    SetWidgetColors(SearchField, "KeyinFocusIn", 2, 3, 7);
    XtManageChild(SearchField);
    XtAddCallback(SearchField, XmNactivateCallback, SearchCallback, Which(1));
    XmAddTabGroup(SearchField);
    XmProcessTraversal(SearchField, XmTRAVERSE_CURRENT);

    ArgBuilder s;
    s.Add(XmNbottomAttachment, XmATTACH_FORM).Add(XmNbottomOffset, 5);
    s.Add(XmNleftAttachment, XmATTACH_WIDGET).Add(XmNleftWidget, AsArg(SearchField));
    s.Add(XmNleftOffset, 5);
    SearchButton = MakeViewerButton(ViewerButtons, 50, "JumpSearch", "SEARCH.ICN", 0, 10, s);
    XtAddCallback(SearchButton, XmNactivateCallback, SearchCallback, Which(1));

    XmStringHolder text("Search For...");
    ArgBuilder l;
    if (FontListBig) l.Add(XmNfontList, AsArg(FontListBig));
    l.Add(XmNx, 150).Add(XmNtopAttachment, XmATTACH_FORM).Add(XmNtopOffset, 5);
    l.Add(XmNbottomAttachment, XmATTACH_WIDGET).Add(XmNbottomWidget, AsArg(SearchField));
    l.Add(XmNalignment, XmALIGNMENT_BEGINNING).Add(XmNrecomputeSize, True);
    l.Add(XmNlabelType, XmSTRING).Add(XmNlabelString, AsArg(static_cast<XmString>(text)));
    Widget label = XmCreateLabel(ViewerButtons, XtRes("SearchLabel"), l.list(), l.count());
    SetWidgetColors(label, "FileViewScreen", 2, 0, 1);
    XtManageChild(label);
}

void BuildViewer(const std::string& title) {
    ArgBuilder a;
    a.Add(XmNx, kShellX).Add(XmNy, kShellY).Add(XmNtitle, AsArg(title.c_str()));
    a.Add(XmNdeleteResponse, XmDO_NOTHING);
    ViewerShell = XtCreatePopupShell("Contour Window ", transientShellWidgetClass, TopShell,
                                     a.list(), a.count());
    WmDeleteWindow = XmInternAtom(TheDisplay, XtRes("WM_DELETE_WINDOW"), False);
    XtVaSetValues(ViewerShell, XmNdeleteResponse, XmDO_NOTHING, nullptr);
    XmAddWMProtocolCallback(ViewerShell, WmDeleteWindow, WindowCloseWarning, nullptr);

    ArgBuilder f;
    f.Add(XmNx, 0).Add(XmNy, 0).Add(XmNwidth, kFormWidth).Add(XmNheight, kFormHeight);
    f.Add(XmNborderWidth, kFormBorder).Add(XmNnoResize, True);
    f.Add(XmNresizePolicy, XmRESIZE_NONE);
    ViewerForm = XmCreateForm(ViewerShell, XtRes("ViewerForm"), f.list(), f.count());
    SetWidgetColors(ViewerForm, "FileViewScreen", 2, 0, 1);

    // The button area first: the frame of the text reaches down to it.
    MakeButtonArea();
    ArgBuilder r;
    r.Add(XmNtopAttachment, XmATTACH_FORM).Add(XmNtopOffset, 5);
    r.Add(XmNleftAttachment, XmATTACH_FORM).Add(XmNleftOffset, 5);
    r.Add(XmNrightAttachment, XmATTACH_FORM).Add(XmNrightOffset, 5);
    r.Add(XmNbottomAttachment, XmATTACH_WIDGET).Add(XmNbottomWidget, AsArg(ViewerButtons));
    r.Add(XmNbottomOffset, 2).Add(XmNshadowType, XmSHADOW_OUT);
    ViewerFrame = XmCreateFrame(ViewerForm, XtRes("ViewerFrame"), r.list(), r.count());
    SetWidgetColors(ViewerFrame, "FileViewScreen", 2, 0, 1);
    XtManageChild(ViewerFrame);
    ViewerBuilt = 1;
}

void DestroyText() {
    if (!ViewerText) return;
    XtDestroyWidget(ViewerText);
    ViewerText = nullptr;
}

void MakeText(const std::string& text) {
    ArgBuilder a;
    if (FontListNormal) a.Add(XmNfontList, AsArg(FontListNormal));
    a.Add(XmNcolumns, kTextColumns).Add(XmNrows, kTextRows).Add(XmNeditable, False);
    a.Add(XmNeditMode, XmMULTI_LINE_EDIT).Add(XmNmaxLength, static_cast<int>(text.size()));
    a.Add(XmNvalue, AsArg(text.c_str())).Add(XmNhighlightThickness, 0);
    a.Add(XmNtraversalOn, False).Add(XmNautoShowCursorPosition, True);
    ViewerText = XmCreateScrolledText(ViewerFrame, XtRes("TEXT"), a.list(), a.count());
    SetWidgetColors(ViewerText, "LLF", 0, 0, 3);
    SetKanjiColumns(0, ViewerText, kTextColumns);
    SetVertScrollBarWidth(ViewerText, kScrollBarSize);
    SetHorScrollBarHeight(ViewerText, kScrollBarSize);
    SetVertScrollBarColors(ViewerText, "SBLLF", 0, 4);
    SetHorScrollBarColors(ViewerText, "SBLLF", 0, 4);
    XtManageChild(ViewerText);
}

void ShowCallerAgain() {
    if (ViewerCaller) XtManageChild(ViewerCaller);
    ViewerCaller = nullptr;
}

void PrintCopy() {
    const time_t now = WallClock();
    if (LastPrintTime >= now) return;
    LastPrintTime = now;
    SetWidgetIcon(ViewerPrintButton, "-BigPrinter", "PRINTER.VOK", 2, 3, 7);
    const std::string copy = "/u/tmp/PRT" + std::to_string(static_cast<long>(now));
    Say("In theory we will send to [" + ViewedPath + "] printer [" + copy + "]\n");
    const int copied = f_CopyBlindFF(ViewedPath, copy, kDropBothFF);
    if (copied != 0) {
        Say("exitCallback: the copy of " + ViewedPath + " failed (" + std::to_string(copied) +
            "), nothing sent to print\n");
    } else if (PrintSender) {
        PrintSender(copy);
    } else {
        Say("exitCallback: print request not wired\n");
    }
    SetWidgetIcon(ViewerPrintButton, "BigPrinter", "PRINTER.VOK", 2, 7, 3);
}

void CloseViewer() {
    DestroyText();
    if (ViewerShell) {
        XtPopdown(ViewerShell);
        KeepOverMainWindow(ViewerShell, false);
    }
    ShowCallerAgain();
}

} // namespace

void ShowHelpText(Widget button, int index) {
    if (index != 0 && index != 1) index = 0;
    const std::string file = kHelpFiles[index];
    const char* line = GetTitleLine(0);
    DisplayFile(file, std::string(line ? line : "") + ": " + file, button);
    SetStatusLine("");
}

int DisplayFile(const std::string& path, const std::string& title, Widget caller) {
    ShowCallerAgain();
    ViewerCaller = caller;
    if (caller) XtUnmanageChild(caller);
    std::string text;
    if (!ReadWholeFile(path, &text)) {
        ShowCallerAgain();
        return -1;
    }
    ViewBuffer = std::move(text);
    ViewedPath = path;
    ShowFile(ViewBuffer, title);
    XtPopup(ViewerShell, XtGrabNone);
    // A raise of the main window (the poll's, at a task's end) raises it
    // again.
    KeepOverMainWindow(ViewerShell, true);
    return 0;
}

void ShowFile(const std::string& text, const std::string& title) {
    Say("In ShowFile [" + title + "]\n");
    if (ViewerBuilt)
        XtVaSetValues(ViewerShell, XmNtitle, title.c_str(), nullptr);
    else
        BuildViewer(title);
    DestroyText();
    MakeText(text);
    Search = ViewerSearch{};
    XmTextFieldSetString(SearchField, XtRes(""));
    XtManageChild(ViewerForm);
}

void exitCallback(Widget, XtPointer which, XtPointer) {
    const int what = static_cast<int>(reinterpret_cast<intptr_t>(which));
    std::printf("exitCallback [%d]\n", what);
    std::fflush(stdout);
    BusyGuard busy(ViewerBusy);
    if (!busy.entered()) return;
    if (what == kViewerPrint)
        PrintCopy();
    else if (what == kViewerOK)
        CloseViewer();
}

void SearchCallback(Widget, XtPointer, XtPointer) {
    BusyGuard busy(SearchBusy);
    if (!busy.entered() || !SearchField || !ViewerText) return;
    char* s = XmTextFieldGetString(SearchField);
    const std::string what = s ? s : "";
    XtFree(s);
    const size_t top = FromWidget(XmTextGetTopCharacter(ViewerText));
    const size_t found = NextMatch(Search, ViewBuffer, what, top);
    if (found == std::string::npos) return;
    XmTextShowPosition(ViewerText, ToWidget(found));
    XmTextSetSelection(ViewerText, ToWidget(found), ToWidget(found + Search.text.size()), 0);
    Search.top = FromWidget(XmTextGetTopCharacter(ViewerText));
}

void WindowCloseWarning(Widget, XtPointer, XtPointer) {
    Say("\nDo not use the Windows title bar 'close' ('X') to close a window. \n Use the "
        "appropriate original QEL button instead.\n");
}

void SetViewerPrintSender(ViewerPrintSender sender) {
    PrintSender = sender;
}

void SetVertScrollBarWidth(Widget text, int width) {
    SetBarSize(text, "VertScrollBar", XmNwidth, width);
}

void SetHorScrollBarHeight(Widget text, int height) {
    SetBarSize(text, "HorScrollBar", XmNheight, height);
}

void SetVertScrollBarColors(Widget text, const char* style, int fg, int bg) {
    SetBarColors(text, "VertScrollBar", style, fg, bg);
}

void SetHorScrollBarColors(Widget text, const char* style, int fg, int bg) {
    SetBarColors(text, "HorScrollBar", style, fg, bg);
}
