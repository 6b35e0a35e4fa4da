// Dialogs, cursor and event pumps.
//
// The two dialogs keep their answer and widgets in a state record on the
// stack of the call that shows them; the answering widgets find it through
// their user data. A dialog opened while another one waits (a message from
// the poll during a text question, a main-menu click during a message) thus
// answers and takes down only itself.
//
// When nothing is queued the pumps wait up to 10 ms on the display
// connection before their next pass instead of spinning. Every pass and
// every step of a dialog's wait first runs the pumps' drain, which moves the
// message server's waiting replies into the poll's backlog.
#include "dialogs.h"

#include "colors.h"
#include "labels.h"
#include "makers.h"
#include "nap.h"
#include "ospath.h"
#include "vok.h"
#include "xmwrap.h"

#include <Xm/Form.h>
#include <Xm/Label.h>
#include <Xm/LabelG.h>
#include <Xm/PushB.h>
#include <Xm/Separator.h>
#include <Xm/TextF.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <vector>

int DialogAnswer = -1;
Widget ResponseOKButton = nullptr;
Widget ResponseCancelButton = nullptr;
Widget AskDialog = nullptr;
Widget AskField = nullptr;
Widget MessageForm = nullptr;

int TimedOut = 0;
time_t TimeoutStart = 0;
int TimeoutSeconds = 0;
int ExposedFlag = 0;

namespace {

char AskReply[100];

PumpDrain Drain = nullptr;

// What every pass and every wait step does first. Unset, the first call says
// so on the console, once.
void RunDrain() {
    if (Drain) {
        Drain();
        return;
    }
    static bool told = false;
    if (told) return;
    told = true;
    std::printf("Pumps: message drain not wired\n");
    std::fflush(stdout);
}

// Shells of the dialogs that wait for their answer and of the windows kept
// over the main window, in the order they came up.
std::vector<Widget> WaitingShells;

constexpr long kAllEventsMask = 0x7FFFFFFF;
// "Press OK to continue.", under a medium that is not ready.
constexpr int kContinueLabel = 100;
constexpr int kIdleWaitMs = 10;
constexpr int kExposeLimitSeconds = 3;

// One open dialog. The program-wide dialog handles of an outer dialog are
// kept here and put back when this one is taken down.
struct DialogState {
    int answer = -1;
    Widget dialog = nullptr;
    Widget ok = nullptr;
    Widget cancel = nullptr;
    Widget field = nullptr;
    std::string text; // the field's text, read before take-down
    Widget outerOk = ResponseOKButton;
    Widget outerCancel = ResponseCancelButton;
    Widget outerAsk = AskDialog;
    Widget outerField = AskField;
    Widget outerMessage = MessageForm;
};

XtPointer AnswerData(int answer) {
    return reinterpret_cast<XtPointer>(static_cast<intptr_t>(answer));
}

DialogState* StateOf(Widget w) {
    XtPointer p = nullptr;
    if (w) XtVaGetValues(w, XmNuserData, &p, nullptr);
    return static_cast<DialogState*>(p);
}

void Attach(Widget w, DialogState* state) {
    XtVaSetValues(w, XmNuserData, static_cast<XtPointer>(state), nullptr);
}

void AddFont(ArgBuilder& a, XmFontList font) {
    if (font) a.Add(XmNfontList, reinterpret_cast<XtArgVal>(font));
}

bool IsKey(int type) {
    return type == KeyPress || type == KeyRelease;
}

bool IsButton(int type) {
    return type == ButtonPress || type == ButtonRelease;
}

// Takes every queued event that a mask selects; dispatches those not dropped.
void MaskPass(bool dropKeys, bool dropButtons) {
    RunDrain();
    if (!TheDisplay) return;
    XEvent ev;
    while (XCheckMaskEvent(TheDisplay, kAllEventsMask, &ev)) {
        if ((dropKeys && IsKey(ev.type)) || (dropButtons && IsButton(ev.type))) continue;
        XtDispatchEvent(&ev);
    }
}

// Waits until the display connection has input, at most ms.
void IdleWaitMs(int ms) {
    if (!TheDisplay) {
        nap(ms);
        return;
    }
    XFlush(TheDisplay);
    pollfd p{ConnectionNumber(TheDisplay), POLLIN, 0};
    poll(&p, 1, ms);
}

void IdleWait() {
    IdleWaitMs(kIdleWaitMs);
}

// Passes of a pump until time() reaches start + seconds; one pass for 0.
void TimedPasses(int seconds, void (*pass)()) {
    const time_t end = std::time(nullptr) + seconds;
    for (;;) {
        pass();
        if (std::time(nullptr) >= end) return;
        IdleWait();
    }
}

// One event of the three-way branch: an X event (keys and buttons dropped
// when dropInput), else one timer or alternate input, else the idle wait.
// The drain runs first.
void OneEvent(bool dropInput) {
    RunDrain();
    const XtInputMask pending = AppContext ? XtAppPending(AppContext) : 0;
    if (!pending) {
        IdleWait();
    } else if (pending & XtIMXEvent) {
        XEvent ev;
        XtAppNextEvent(AppContext, &ev);
        if (!dropInput || (!IsKey(ev.type) && !IsButton(ev.type))) XtDispatchEvent(&ev);
    } else if (pending & (XtIMTimer | XtIMAlternateInput)) {
        XtAppProcessEvent(AppContext, XtIMTimer | XtIMAlternateInput);
    } else {
        XtAppProcessEvent(AppContext, pending);
    }
}

void PassAll() {
    MaskPass(false, false);
}

void PassNoKeys() {
    MaskPass(true, false);
}

void PassNoInput() {
    MaskPass(true, true);
}

// The form dialog "msg" over the work area, titled with label 128.
Widget MakeResponseForm(DialogState& st, bool input) {
    XmStringHolder title(LabText(128));
    ArgBuilder a;
    if (input) a.Add(XmNinput, True);
    a.Add(XmNx, 97).Add(XmNy, 192).Add(XmNwidth, 575).Add(XmNheight, 175);
    a.Add(XmNnoResize, True).Add(XmNallowOverlap, False);
    a.Add(XmNdialogTitle, reinterpret_cast<XtArgVal>(static_cast<XmString>(title)));
    AddFont(a, FontListNormal);
    st.dialog = XmCreateFormDialog(MainForm, XtRes("msg"), a.list(), a.count());
    Attach(st.dialog, &st);
    SetWidgetColors(st.dialog, "VokResponse", 0, 0, 3);
    return st.dialog;
}

// OK (answer 1) at the bottom right or Cancel (0) at the bottom left.
Widget MakeResponseButton(DialogState& st, int answer, bool fixedSize) {
    ArgBuilder a;
    if (fixedSize) a.Add(XmNwidth, 66).Add(XmNheight, 66);
    a.Add(XmNlabelType, XmPIXMAP);
    if (answer == 1)
        a.Add(XmNrightOffset, 5).Add(XmNrightAttachment, XmATTACH_FORM);
    else
        a.Add(XmNleftOffset, 5).Add(XmNleftAttachment, XmATTACH_FORM);
    a.Add(XmNbottomOffset, 5).Add(XmNbottomAttachment, XmATTACH_FORM);
    Widget b = XmCreatePushButton(st.dialog, XtRes(""), a.list(), a.count());
    if (answer == 1)
        SetWidgetIcon(b, "BigOK", "OK.VOK", 0, 0, 4);
    else
        SetWidgetIcon(b, "BigEscape", "CANCEL.VOK", 0, 0, 6);
    Attach(b, &st);
    XtAddCallback(b, XmNactivateCallback, ResponseButtonCB, AnswerData(answer));
    XtManageChild(b);
    (answer == 1 ? st.ok : st.cancel) = b;
    (answer == 1 ? ResponseOKButton : ResponseCancelButton) = b;
    return b;
}

void MakeSeparatorLine(DialogState& st, ArgBuilder& a) {
    a.Add(XmNleftOffset, 20).Add(XmNleftAttachment, XmATTACH_FORM);
    a.Add(XmNrightOffset, 20).Add(XmNrightAttachment, XmATTACH_FORM);
    a.Add(XmNshadowThickness, 3).Add(XmNseparatorType, XmSHADOW_ETCHED_IN);
    XtManageChild(XmCreateSeparator(st.dialog, XtRes(""), a.list(), a.count()));
}

void WaitForAnswerAll(DialogState& st) {
    WaitingDialog waiting(st.dialog);
    while (st.answer == -1) ServeEverythingOnce(AppContext);
}

void WaitForAnswerNoKeys(DialogState& st) {
    WaitingDialog waiting(st.dialog);
    for (;;) {
        WaitSecondsNoKeys(0);
        if (st.answer != -1) return;
        nap(50);
    }
}

int TakeDown(DialogState& st) {
    if (st.field && st.answer == 1) {
        char* text = XmTextFieldGetString(st.field);
        st.text = text ? text : "";
        XtFree(text);
    }
    XtRemoveCallback(st.cancel, XmNactivateCallback, ResponseButtonCB, AnswerData(0));
    XtRemoveCallback(st.ok, XmNactivateCallback, ResponseButtonCB, AnswerData(1));
    if (st.field) XtRemoveCallback(st.field, XmNactivateCallback, ResponseButtonCB, AnswerData(1));
    XUngrabPointer(TheDisplay, CurrentTime);
    // Unmanaged first, so that it leaves the screen now even when its
    // destruction waits for the end of the callback that showed it.
    XtUnmanageChild(st.dialog);
    XtDestroyWidget(st.dialog);
    ResponseOKButton = st.outerOk;
    ResponseCancelButton = st.outerCancel;
    AskDialog = st.outerAsk;
    AskField = st.outerField;
    MessageForm = st.outerMessage;
    return st.answer;
}

} // namespace

void ResponseButtonCB(Widget w, XtPointer answer, XtPointer) {
    DialogState* st = StateOf(w);
    if (st && st->answer != -1) return; // a dialog takes its first answer only
    SetSensitive(w, false);
    DialogAnswer = static_cast<int>(reinterpret_cast<intptr_t>(answer));
    if (st) st->answer = DialogAnswer;
}

int WaitResponse(Widget dialog) {
    DialogState* st = StateOf(dialog);
    if (!st || st->dialog != dialog) return -1;
    DialogAnswer = -1;
    st->answer = -1;
    WaitForAnswerAll(*st);
    return TakeDown(*st);
}

int WaitMessageDialog(Widget dialog) {
    DialogState* st = StateOf(dialog);
    if (!st || st->dialog != dialog) return -1;
    DialogAnswer = -1;
    st->answer = -1;
    WaitForAnswerNoKeys(*st);
    return TakeDown(*st);
}

const char* AskText(const char* prompt, const char*) {
    AskReply[0] = '\0';
    if (!MainForm || !AppContext) return AskReply;
    DialogState st;
    AskDialog = MakeResponseForm(st, true);

    XmStringHolder text(prompt ? prompt : "");
    ArgBuilder p;
    p.Add(XmNleftAttachment, XmATTACH_FORM).Add(XmNrightAttachment, XmATTACH_FORM);
    p.Add(XmNlabelType, XmSTRING).Add(XmNheight, 30).Add(XmNalignment, XmALIGNMENT_CENTER);
    AddFont(p, FontListNormal);
    p.Add(XmNmarginHeight, 7);
    p.Add(XmNlabelString, reinterpret_cast<XtArgVal>(static_cast<XmString>(text)));
    p.Add(XmNtopOffset, 5).Add(XmNtopAttachment, XmATTACH_FORM);
    Widget label = XmCreateLabelGadget(st.dialog, XtRes("msg"), p.list(), p.count());
    SetWidgetColors(label, "VokResponse", 0, 0, 3);
    XtManageChild(label);

    ArgBuilder f;
    f.Add(XmNtopWidget, reinterpret_cast<XtArgVal>(label)).Add(XmNtopOffset, 10);
    f.Add(XmNtopAttachment, XmATTACH_WIDGET).Add(XmNmaxLength, 14);
    f.Add(XmNcolumns, Language == 6 ? 14 : 28);
    f.Add(XmNleftOffset, 215).Add(XmNrightOffset, 215);
    f.Add(XmNleftAttachment, XmATTACH_FORM).Add(XmNrightAttachment, XmATTACH_FORM);
    f.Add(XmNmarginHeight, 2);
    AddFont(f, FontListNormal);
    f.Add(XmNblinkRate, 500).Add(XmNcursorPositionVisible, True);
    st.field = XmCreateTextField(st.dialog, XtRes("GetResponse"), f.list(), f.count());
    AskField = st.field;
    SetWidgetColors(st.field, "KeyinFocusIn", 0, 3, 7);
    Attach(st.field, &st);
    XtAddCallback(st.field, XmNactivateCallback, ResponseButtonCB, AnswerData(1));
    XtManageChild(st.field);

    ArgBuilder s;
    s.Add(XmNtopWidget, reinterpret_cast<XtArgVal>(st.field)).Add(XmNtopOffset, 10);
    s.Add(XmNtopAttachment, XmATTACH_WIDGET);
    MakeSeparatorLine(st, s);
    MakeResponseButton(st, 1, true);
    MakeResponseButton(st, 0, true);

    XtVaSetValues(st.dialog, XmNinitialFocus, st.field, nullptr);
    XtManageChild(st.dialog);
    XmProcessTraversal(st.field, XmTRAVERSE_CURRENT);
    FlushDisplay();

    WaitResponse(st.dialog);
    std::snprintf(AskReply, sizeof AskReply, "%s", st.answer == 1 ? st.text.c_str() : "");
    return AskReply;
}

int MessageDialog(const char* text, int pixmap) {
    return MessageDialog(std::string(text ? text : ""), pixmap);
}

int MessageDialog(const std::string& text, int) {
    // A pointer grab (the password dialog's) would keep the pointer away
    // from this dialog's buttons, and keys cannot answer it.
    if (!MainForm || !AppContext) return 0;
    XUngrabPointer(TheDisplay, CurrentTime);
    DialogState st;
    MessageForm = MakeResponseForm(st, false);

    XmStringHolder s(text);
    ArgBuilder l;
    l.Add(XmNrightAttachment, XmATTACH_FORM).Add(XmNrightOffset, 15);
    l.Add(XmNleftAttachment, XmATTACH_FORM).Add(XmNleftOffset, 15);
    l.Add(XmNtopAttachment, XmATTACH_FORM).Add(XmNtopOffset, 5);
    l.Add(XmNalignment, XmALIGNMENT_CENTER);
    AddFont(l, FontListNormal);
    l.Add(XmNlabelType, XmSTRING);
    l.Add(XmNlabelString, reinterpret_cast<XtArgVal>(static_cast<XmString>(s)));
    Widget label = XmCreateLabel(st.dialog, XtRes("msg"), l.list(), l.count());
    SetWidgetColors(label, "VokResponse", 0, 0, 3);
    XtManageChild(label);

    Widget ok = MakeResponseButton(st, 1, false);
    MakeResponseButton(st, 0, false);
    ArgBuilder sep;
    sep.Add(XmNbottomOffset, 10).Add(XmNbottomAttachment, XmATTACH_WIDGET);
    sep.Add(XmNbottomWidget, reinterpret_cast<XtArgVal>(ok));
    MakeSeparatorLine(st, sep);

    XtManageChild(st.dialog);
    FlushDisplay();
    return WaitMessageDialog(st.dialog);
}

WaitingDialog::WaitingDialog(Widget dialog) : shell_(dialog) {
    if (dialog && XtParent(dialog) && XtIsShell(XtParent(dialog))) shell_ = XtParent(dialog);
    WaitingShells.push_back(shell_);
}

WaitingDialog::~WaitingDialog() {
    auto it = std::find(WaitingShells.rbegin(), WaitingShells.rend(), shell_);
    if (it != WaitingShells.rend()) WaitingShells.erase(std::next(it).base());
}

void KeepOverMainWindow(Widget shell, bool on) {
    if (!shell) return;
    auto it = std::find(WaitingShells.begin(), WaitingShells.end(), shell);
    if (on && it == WaitingShells.end()) WaitingShells.push_back(shell);
    if (!on && it != WaitingShells.end()) WaitingShells.erase(it);
}

void RaiseTopWindow() {
    if (!TheDisplay || !TopWindow) return;
    XRaiseWindow(TheDisplay, TopWindow);
    for (Widget shell : WaitingShells)
        if (shell && XtIsRealized(shell)) XRaiseWindow(TheDisplay, XtWindow(shell));
    XFlush(TheDisplay);
}

void ServeEverythingOnce(XtAppContext app) {
    RunDrain();
    if (!app) return;
    if (XtAppPending(app))
        XtAppProcessEvent(app, XtIMAll);
    else
        IdleWait();
}

void DispatchXEvents() {
    RunDrain();
    if (!AppContext) return;
    while (XtAppPending(AppContext) & XtIMXEvent) XtAppProcessEvent(AppContext, XtIMXEvent);
}

void WaitForDisplay(int ms) {
    IdleWaitMs(ms);
}

void ChangeCursor(Cursor cursor) {
    if (!TheDisplay || !TopWindow) return;
    XDefineCursor(TheDisplay, TopWindow, cursor);
    XFlush(TheDisplay);
}

void DropQueuedInput() {
    if (!TheDisplay) return;
    XSync(TheDisplay, False);
    constexpr long kInput = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                            PointerMotionMask | ButtonMotionMask;
    XEvent ev;
    while (XCheckMaskEvent(TheDisplay, kInput, &ev)) {
    }
}

void FlushEventsNoKeys() {
    PassNoKeys();
}

int FlushEventsNoInput() {
    PassNoInput();
    return 0;
}

void WaitSecondsAll(int seconds) {
    TimedPasses(seconds, PassAll);
}

void WaitSeconds(int seconds) {
    TimedPasses(seconds, PassNoInput);
}

void WaitSecondsNoKeys(int seconds) {
    TimedPasses(seconds, PassNoKeys);
}

void ExposeEventHandler(Widget, XtPointer, XEvent* event, Boolean*) {
    if (event->type == Expose) ExposedFlag = 1;
}

namespace {
void ForgetWatchedCB(Widget, XtPointer client, XtPointer) {
    *static_cast<Widget*>(client) = nullptr;
}
} // namespace

int WaitForExpose(Widget w) {
    if (!w || !XtIsWidget(w)) {
        std::printf("WaitForExpose: no window to wait for\n");
        std::fflush(stdout);
        return -82;
    }
    // A callback run by the pump may destroy the widget.
    Widget watched = w;
    XtAddCallback(w, XmNdestroyCallback, ForgetWatchedCB, &watched);
    XtAddEventHandler(w, ExposureMask, False, ExposeEventHandler, nullptr);
    ExposedFlag = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(kExposeLimitSeconds);
    for (;;) {
        FlushEventsNoInput();
        if (ExposedFlag || !watched) break;
        if (std::chrono::steady_clock::now() >= end) {
            std::printf("WaitForExpose: no Expose within %d s, going on\n", kExposeLimitSeconds);
            std::fflush(stdout);
            break;
        }
        IdleWait();
    }
    if (watched) {
        XtRemoveEventHandler(w, ExposureMask, False, ExposeEventHandler, nullptr);
        XtRemoveCallback(w, XmNdestroyCallback, ForgetWatchedCB, &watched);
    }
    return ExposedFlag ? 0 : -82;
}

void CheckTimeout() {
    if (std::time(nullptr) >= TimeoutStart + TimeoutSeconds) TimedOut = 1;
}

int ProcessEventsFor(int seconds) {
    // A call nested in a timer of another leaves the outer one's state as
    // it was.
    static int depth = 0;
    const int outerTimedOut = TimedOut;
    const time_t outerStart = TimeoutStart;
    const int outerSeconds = TimeoutSeconds;
    ++depth;
    TimedOut = 0;
    TimeoutSeconds = seconds;
    TimeoutStart = std::time(nullptr);
    CheckTimeout();
    while (!TimedOut) {
        OneEvent(true);
        CheckTimeout();
    }
    if (--depth > 0) {
        TimedOut = outerTimedOut;
        TimeoutStart = outerStart;
        TimeoutSeconds = outerSeconds;
    }
    return -82;
}

void SetPumpDrain(PumpDrain drain) {
    Drain = drain;
}

void ServeOneEvent() {
    OneEvent(false);
}

int MediaNotReady(int writeFlag, const char* device) {
    if (!device || !*device) return ENOENT;
    // Opened as tar will open it, but never created: tar -cf on a missing
    // path would make a plain file there and report success.
    const int flags = (writeFlag ? O_RDONLY : O_WRONLY) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    const int fd = os_open(device, flags);
    if (fd < 0) return errno ? errno : EIO;
    ::close(fd);
    return 0;
}

int WaitForMedia(int writeFlag, const char* device) {
    for (;;) {
        const int reason = MediaNotReady(writeFlag, device);
        if (reason == 0) return 0;
        const std::string text = "\"" + std::string(device ? device : "") + "\"\n\n" +
                                 std::strerror(reason) + " \n" + LabText(kContinueLabel);
        std::printf("WaitForMedia: %s not ready: %s\n", device ? device : "",
                    std::strerror(reason));
        std::fflush(stdout);
        if (MessageDialog(text, 0) != 1) return -1;
    }
}
