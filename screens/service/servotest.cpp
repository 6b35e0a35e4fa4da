// Servo self test screen: the Motif view over the self test of the
// controller link (selftest.h), which owns the line and the decoding.
#include "servotest.h"

#include "choice.h"
#include "colors.h"
#include "dialogs.h"
#include "labels.h"
#include "mainmenu.h"
#include "makers.h"
#include "selftest.h"
#include "vok.h"
#include "xmwrap.h"

#include <Xm/LabelG.h>
#include <Xm/List.h>
#include <Xm/TextF.h>

#include <string>

namespace {

SelfTestScreen S;
int Made = 0;
// Ends the screen's loop.
int ExitFlag = 0;
// Re-entry guards of the callbacks.
int ExitBusy = 0;
int StatusBusy = 0;
int DebugOnBusy = 0;
int DebugOffBusy = 0;
int TextBusy = 0;

constexpr int kTitleLabel = 52;
constexpr int kEntryLabel = 48;
constexpr int kSentLabel = 49;
constexpr int kRepliesLabel = 65;
constexpr int kHintNormal = 51;
constexpr int kHintStatus = 50;
constexpr int kHintDebug = 53;
constexpr int kEntryColumns = 50;
constexpr int kIdleMs = 50;

XtArgVal AsArg(const void* p) {
    return reinterpret_cast<XtArgVal>(p);
}

class ScreenSink : public SelfTestSink {
  public:
    void AddLine(const std::string& text) override {
        XmString item = MakeXmSegment(text);
        XmListAddItemUnselected(S.list, item, 0);
        XmStringFree(item);
    }
    void DropOldest() override { XmListDeletePos(S.list, 1); }
    void ShowMode(int label, bool debug) override {
        SetLabelText(LabText(label), S.row2);
        SetWidgetColors(S.row2, debug ? "Errors" : "VokButtonON", 0, 0, debug ? 6 : 4);
    }
    void Message(int label) override { ScreenMessage(LabText(label)); }
    void EventPass() override { WaitSeconds(0); }
};
ScreenSink Sink;

// A left-aligned label gadget of fixed size, 22 pixels high.
Widget MakeFixedLabel(int x, int y, int width, const std::string& text) {
    XmStringHolder s(text);
    ArgBuilder a;
    a.Add(XmNx, x).Add(XmNy, y).Add(XmNwidth, width).Add(XmNheight, 22);
    a.Add(XmNalignment, XmALIGNMENT_BEGINNING).Add(XmNrecomputeSize, False);
    a.Add(XmNlabelType, XmSTRING).Add(XmNlabelString, AsArg(static_cast<XmString>(s)));
    if (FontListNormal) a.Add(XmNfontList, AsArg(FontListNormal));
    Widget w = XmCreateLabelGadget(S.window, XtRes(""), a.list(), a.count());
    XtManageChild(w);
    return w;
}

Widget MakeToolbarIcon(Widget toolbar, int x, const char* style, int hint) {
    Widget b = MakeIconButton(toolbar, x, 5, style, 2);
    XtAddEventHandler(b, HintEventMask, False, HintEventHandler, HintLabel(hint));
    return b;
}

void MakeEntry() {
    ArgBuilder a;
    a.Add(XmNx, 10).Add(XmNy, 103).Add(XmNcolumns, kEntryColumns);
    a.Add(XmNmaxLength, kEntryColumns);
    if (FontListNormal) a.Add(XmNfontList, AsArg(FontListNormal));
    S.entry = XmCreateTextField(S.window, XtRes("StestText"), a.list(), a.count());
    SetWidgetColors(S.entry, "KeyinFocusIn", 0, 3, 7);
    XtManageChild(S.entry);
    XmAddTabGroup(S.entry);
    XtAddCallback(S.entry, XmNactivateCallback, StestTextCb, nullptr);
}

void MakeReplyList() {
    ArgBuilder a;
    a.Add(XmNx, 10).Add(XmNy, 174).Add(XmNwidth, WorkArea.width - 18).Add(XmNheight, 178);
    a.Add(XmNvisibleItemCount, kStestListLines).Add(XmNlistMarginHeight, 5);
    a.Add(XmNlistMarginWidth, 5).Add(XmNlistSpacing, 1);
    a.Add(XmNlistSizePolicy, XmCONSTANT).Add(XmNselectionPolicy, XmSINGLE_SELECT);
    if (FontListNormal) a.Add(XmNfontList, AsArg(FontListNormal));
    S.list = XmCreateScrolledList(S.window, XtRes("ListWidget"), a.list(), a.count());
    SetWidgetColors(S.list, "VokRecallList", 2, 0, 10);
    XtManageChild(S.list);
}

struct ButtonCallback {
    Widget* button;
    XtCallbackProc proc;
};
const ButtonCallback kButtons[] = {
    {&S.debugOff, DebugOffCb}, {&S.status, StestStatusCb}, {&S.debugOn, DebugOnCb}};

void AddButtonCallbacks() {
    for (const ButtonCallback& b : kButtons)
        XtAddCallback(*b.button, XmNactivateCallback, b.proc, nullptr);
}

void RemoveButtonCallbacks() {
    for (const ButtonCallback& b : kButtons)
        XtRemoveCallback(*b.button, XmNactivateCallback, b.proc, nullptr);
}

// X events and read passes until Cancel; no timers run. While nothing can
// be read, each turn waits a little for the display instead of spinning.
void SelfTestLoop() {
    WaitingDialog waiting(S.window);
    while (!ExitFlag) {
        DispatchXEvents();
        if (ExitFlag) break;
        if (!inecho()) WaitForDisplay(kIdleMs);
    }
}

} // namespace

void MakeSelfTestScreen() {
    S.window = MakeWorkWindow(2);
    MakeFrameHeader(S.window, &S.row1, &S.row2);
    Widget toolbar = MakeWorkToolbar(S.window, nullptr, SelfTestExit, -1, 2);
    S.cancel = WorkCancelButton;
    S.debugOff = MakeToolbarIcon(toolbar, GridX[2], "VokDebugOff", kHintNormal);
    S.status = MakeToolbarIcon(toolbar, GridX[3], "VokStestStatus", kHintStatus);
    S.debugOn = MakeToolbarIcon(toolbar, GridX[4], "VokDebugOn", kHintDebug);
    MakeFixedLabel(5, 82, 120, LabText(kEntryLabel));
    MakeFixedLabel(5, 130, 120, LabText(kSentLabel));
    S.echo = MakeFixedLabel(130, 130, 440, "");
    MakeFixedLabel(190, 152, 200, LabText(kRepliesLabel));
    MakeEntry();
    MakeSeparator(S.window, 150);
    MakeSeparator(S.window, 370);
    MakeReplyList();
}

void ShowSelfTest() {
    if (S.window != nullptr && ShownScreen == S.window) return;
    SetStatusLine("");
    if (OpenServoPort(&Sink) != 0) return;
    ChangeCursor(BusyCursor);
    if (!Made) {
        MakeSelfTestScreen();
        Made = 1;
    }
    SetLabelText(LabText(kTitleLabel), S.row1);
    SetLabelTextLeft("", S.echo);
    AddButtonCallbacks();
    ShownScreen = S.window;
    ExitFlag = 0;
    SetSensitive(S.cancel, true);
    XtManageChild(S.window);
    WaitForExpose(S.window);
    FlushDisplay();
    StartSelfTest();
    XmProcessTraversal(S.entry, XmTRAVERSE_CURRENT);
    ChangeCursor(NormalCursor);
    SelfTestLoop();
}

void SelfTestExit(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(ExitBusy);
    if (!guard.entered()) return;
    SetSensitive(S.cancel, false);
    WaitSeconds(0);
    RemoveButtonCallbacks();
    ChangeCursor(BusyCursor);
    StestExitQueries();
    XtUnmanageChild(S.window);
    XmListDeleteAllItems(S.list);
    WaitSeconds(0);
    StestExitClose();
    ChangeCursor(NormalCursor);
    ShownScreen = nullptr;
    ExitFlag = 1;
    SetStatusLine("");
}

void StestStatusCb(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(StatusBusy);
    if (guard.entered()) StestStatusQuery();
}

void DebugOnCb(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(DebugOnBusy);
    if (guard.entered()) StestDebugOn();
}

void DebugOffCb(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(DebugOffBusy);
    if (guard.entered()) StestDebugOff();
}

void StestTextCb(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(TextBusy);
    if (!guard.entered()) return;
    char* text = XmTextFieldGetString(S.entry);
    const std::string entry = text ? text : "";
    XtFree(text);
    const std::string echo = StestTypedLine(entry);
    if (!entry.empty()) SetLabelTextLeft(echo, S.echo);
    XmTextFieldSetString(S.entry, XtRes(""));
}

const SelfTestScreen& SelfTestScreenState() {
    return S;
}
