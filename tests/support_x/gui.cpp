// In-process widget harness.
#include <gtest/gtest.h>

#include "gui.h"

#include "colors.h"
#include "labels.h"
#include "mainmenu.h"
#include "proc.h"
#include "process.h"
#include "makers.h"
#include "startup.h"
#include "vok.h"
#include "wiring.h"
#include "xmwrap.h"
#include "xutil.h"

#include <X11/IntrinsicP.h>
#include <X11/Xatom.h>
#include <X11/cursorfont.h>
#include <Xm/Form.h>
#include <Xm/Label.h>
#include <Xm/List.h>
#include <Xm/Text.h>
#include <Xm/TextF.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <thread>

std::map<int, std::string> DefaultTestLabels() {
    return {{128, "MSGTITLE"},    {173, "READY"},   {182, "HINT OK"},
            {183, "HINT CANCEL"}, {184, "LOADING"}, {188, "HINT HELP"}};
}

void WriteLabelFile(const Sandbox& box, const std::map<int, std::string>& labels) {
    const int last = labels.empty() ? 1 : labels.rbegin()->first;
    std::string text;
    for (int n = 1; n <= last; ++n) {
        auto it = labels.find(n);
        text += (it != labels.end() ? it->second : "L" + std::to_string(n)) + "\n";
    }
    box.Write(LabelFileName(0), text);
}

namespace {

bool TopViewable() {
    XWindowAttributes a;
    return XGetWindowAttributes(TheDisplay, TopWindow, &a) && a.map_state == IsViewable;
}

void RunTimerFn(XtPointer client, XtIntervalId*) {
    std::unique_ptr<std::function<void()>> fn(static_cast<std::function<void()>*>(client));
    (*fn)();
}

// One step of the toolkit's loop, waiting at most 10 ms when idle.
void ServeStep() {
    const XtInputMask pending = XtAppPending(AppContext);
    if (pending) {
        XtAppProcessEvent(AppContext, pending);
        return;
    }
    XFlush(TheDisplay);
    pollfd p{ConnectionNumber(TheDisplay), POLLIN, 0};
    poll(&p, 1, 10);
}

void BlinkOff(Widget w) {
    if (!w || !XtIsWidget(w)) return; // gadgets have no children nor pop-ups
    if (XmIsTextField(w) || XmIsText(w)) XtVaSetValues(w, XmNblinkRate, 0, nullptr);
    if (XtIsComposite(w))
        for (Widget c : Children(w)) BlinkOff(c);
    for (Cardinal i = 0; i < w->core.num_popups; ++i) BlinkOff(w->core.popup_list[i]);
}

} // namespace

GuiSession::GuiSession(const std::map<int, std::string>& labels) {
    // Motif and Xt keep state per process that outlives a display: a second
    // session would meet the first one's dead server.
    static int sessions = 0;
    if (++sessions > 1) {
        ADD_FAILURE() << "gui_tests runs one X test per process (the toolkit keeps its state "
                         "for the whole process): run the tests through ctest, or name one "
                         "with --gtest_filter";
        return;
    }
    x_ = std::make_unique<XvfbServer>(800, 600);
    if (!x_->ok()) return;
    box_ = std::make_unique<Sandbox>();
    WriteLabelFile(*box_, labels);
    // The demo's plot colours, so that the base colours are what a station
    // shows (without them every base colour falls back to the last one).
    std::string plot;
    if (ReadFileBytes(std::string(QEL_SOURCE_DIR) + "/demo/tree/def_data/misc/eplotcolors", &plot))
        box_->Write("/u/qel/def_data/misc/eplotcolors", plot);
    static char name[] = "vok";
    static char* argv[] = {name, nullptr};
    InitToolkit(1, argv);
    WireProgram();
    ScreenDimensions();
    ResourcePaletteCreate(ColorFileName);
    MakeMainForm();
    BusyCursor = XCreateFontCursor(TheDisplay, XC_watch);
    NormalCursor = XCreateFontCursor(TheDisplay, XC_left_ptr);
    Language = 0;
    InitFonts();
    InitVok();
    MakeStatusLine();
    ok_ = ServeUntil(TopViewable, 60000); // far above a busy machine's worst case
}

// The toolkit is left as it is: Motif keeps caches per display, and a later
// session whose display reused the freed one's address would take them up.
// The font lists are the program's own (widgets hold copies).
GuiSession::~GuiSession() {
    if (FontListBig) XmFontListFree(FontListBig);
    if (FontListNormal) XmFontListFree(FontListNormal);
    AppContext = nullptr;
    TopShell = MainForm = StatusLine = nullptr;
    TheDisplay = nullptr;
    TopWindow = 0;
    FontListBig = FontListNormal = nullptr;
}

Widget FindWidget(Widget root, const std::string& name) {
    return root ? XtNameToWidget(root, ("*" + name).c_str()) : nullptr;
}

std::vector<Widget> Children(Widget w) {
    WidgetList list = nullptr;
    Cardinal n = 0;
    XtVaGetValues(w, XmNchildren, &list, XmNnumChildren, &n, nullptr);
    return std::vector<Widget>(list, list + n);
}

namespace {

// An action waiting for its event pass.
struct ActionCall {
    Widget widget = nullptr;
    const char* action = nullptr;
    XEvent event{};
};
ActionCall* PendingCall = nullptr;

Atom ActionAtom() {
    return XInternAtom(TheDisplay, "QEL_TEST_ACTION", False);
}

void RunPendingCall(Widget, XtPointer, XEvent* event, Boolean*) {
    if (event->type != ClientMessage || event->xclient.message_type != ActionAtom() || !PendingCall)
        return;
    ActionCall call = *PendingCall;
    PendingCall = nullptr;
    XtCallActionProc(call.widget, call.action, &call.event, nullptr, 0);
}

// Runs the action inside an event pass of the toolkit, as the event of a
// user's press or key runs it: a widget that the action destroys (a button
// whose callback closes its own window) is then freed only when the pass is
// over, after the widget's own code has finished with it. The pass is a
// message put straight through XtDispatchEvent to the top shell, which no
// test destroys while it presses.
void CallInEventPass(Widget w, const char* action, const XEvent& event) {
    static Widget host = nullptr;
    if (host != TopShell) {
        host = TopShell;
        XtAddEventHandler(host, NoEventMask, True, RunPendingCall, nullptr);
    }
    ActionCall call{w, action, event};
    PendingCall = &call;
    XEvent pass{};
    pass.xclient.type = ClientMessage;
    pass.xclient.display = TheDisplay;
    pass.xclient.window = XtWindow(TopShell);
    pass.xclient.message_type = ActionAtom();
    pass.xclient.format = 32;
    XtDispatchEvent(&pass);
    PendingCall = nullptr;
}

} // namespace

void Press(Widget button) {
    XEvent ev{};
    ev.xbutton.type = ButtonPress;
    ev.xbutton.display = XtDisplayOfObject(button);
    ev.xbutton.window = XtWindowOfObject(button);
    ev.xbutton.time = XtLastTimestampProcessed(XtDisplayOfObject(button));
    ev.xbutton.button = 1;
    ev.xbutton.same_screen = True;
    CallInEventPass(button, "ArmAndActivate", ev);
}

void CallAction(Widget w, const char* action) {
    XEvent ev{};
    ev.xkey.type = KeyPress;
    ev.xkey.display = XtDisplayOfObject(w);
    ev.xkey.window = XtWindowOfObject(w);
    ev.xkey.time = XtLastTimestampProcessed(XtDisplayOfObject(w));
    ev.xkey.same_screen = True;
    CallInEventPass(w, action, ev);
}

WidgetBox Geometry(Widget w) {
    Position x = 0, y = 0;
    Dimension width = 0, height = 0;
    XtVaGetValues(w, XmNx, &x, XmNy, &y, XmNwidth, &width, XmNheight, &height, nullptr);
    return {x, y, width, height};
}

unsigned char GetUChar(Widget w, const char* resource) {
    unsigned char v = 0;
    XtVaGetValues(w, resource, &v, nullptr);
    return v;
}

int GetInt(Widget w, const char* resource) {
    int v = 0;
    XtVaGetValues(w, resource, &v, nullptr);
    return v;
}

namespace {
std::string CompoundText(XmString s) {
    std::string out;
    XmStringContext ctx = nullptr;
    if (!s || !XmStringInitContext(&ctx, s)) return out;
    char* text = nullptr;
    XmStringCharSet tag = nullptr;
    XmStringDirection dir;
    Boolean separator = False;
    while (XmStringGetNextSegment(ctx, &text, &tag, &dir, &separator)) {
        out += text ? text : "";
        XtFree(text);
        XtFree(tag);
        if (separator) out += "\n";
    }
    XmStringFreeContext(ctx);
    return out;
}
} // namespace

std::string LabelText(Widget w) {
    XmString s = nullptr;
    XtVaGetValues(w, XmNlabelString, &s, nullptr);
    std::string out = CompoundText(s);
    XmStringFree(s);
    return out;
}

std::vector<std::string> ListItems(Widget list) {
    XmStringTable items = nullptr;
    int count = 0;
    XtVaGetValues(list, XmNitems, &items, XmNitemCount, &count, nullptr);
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i) out.push_back(CompoundText(items[i]));
    return out;
}

std::vector<int> SelectedPositions(Widget list) {
    int* positions = nullptr;
    int count = 0;
    std::vector<int> out;
    if (XmListGetSelectedPos(list, &positions, &count)) {
        out.assign(positions, positions + count);
        XtFree(reinterpret_cast<char*>(positions));
    }
    return out;
}

std::string TextOf(Widget textField) {
    char* s = XmTextFieldGetString(textField);
    std::string out = s ? s : "";
    XtFree(s);
    return out;
}

void RunInNextEventPass(XtEventHandler handler) {
    XtAddEventHandler(MainForm, PropertyChangeMask, False, handler, nullptr);
    const Atom name = XInternAtom(TheDisplay, "QEL_TEST_HOOK", False);
    XChangeProperty(TheDisplay, XtWindow(MainForm), name, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>("x"), 1);
    XSync(TheDisplay, False);
}

void After(int ms, std::function<void()> fn) {
    XtAppAddTimeOut(AppContext, static_cast<unsigned long>(ms), RunTimerFn,
                    new std::function<void()>(std::move(fn)));
}

void Serve(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) ServeStep();
}

bool ServeUntil(const std::function<bool()>& cond, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!cond()) {
        if (std::chrono::steady_clock::now() >= end) return cond();
        ServeStep();
    }
    return true;
}

namespace {

std::vector<std::function<bool()>> Steps;
size_t StepAt = 0;
// Since when the current step waits; a step that waits longer than a busy
// machine needs is named once on the console, so that a loop that never
// ends shows where it stands.
std::chrono::steady_clock::time_point StepSince;
bool StepNamed = false;

void RunStep(Widget, XtPointer, XEvent* event, Boolean*) {
    static bool inStep = false;
    if (event->type != PropertyNotify || inStep) return;
    inStep = true;
    if (StepAt < Steps.size() && Steps[StepAt]()) {
        ++StepAt;
        StepSince = std::chrono::steady_clock::now();
        StepNamed = false;
    } else if (!StepNamed &&
               std::chrono::steady_clock::now() - StepSince > std::chrono::milliseconds(kBusyMs)) {
        StepNamed = true;
        if (StepAt < Steps.size())
            std::printf("RunStepsDuring: step %zu of %zu has waited %d s\n", StepAt + 1,
                        Steps.size(), kBusyMs / 1000);
        else
            std::printf("RunStepsDuring: the loop goes on %d s after its last step\n",
                        kBusyMs / 1000);
        std::fflush(stdout);
    }
    inStep = false;
}

} // namespace

size_t RunStepsDuring(std::vector<std::function<bool()>> steps, const std::function<void()>& loop) {
    Steps = std::move(steps);
    StepAt = 0;
    StepSince = std::chrono::steady_clock::now();
    StepNamed = false;
    XtAddEventHandler(MainForm, PropertyChangeMask, False, RunStep, nullptr);
    std::atomic<bool> stop{false};
    const Window target = XtWindow(MainForm);
    std::thread ticker([&stop, target] {
        XClient x;
        const Atom name = XInternAtom(x.display(), "QEL_TEST_TICK", False);
        while (!stop) {
            XChangeProperty(x.display(), target, name, XA_STRING, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>("t"), 1);
            XFlush(x.display());
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    loop();
    stop = true;
    ticker.join();
    XtRemoveEventHandler(MainForm, PropertyChangeMask, False, RunStep, nullptr);
    Steps.clear();
    return StepAt;
}

bool SaveScreenshot(const std::string& pngPath) {
    BlinkOff(TopShell);
    XmUpdateDisplay(TopShell);
    XSync(TheDisplay, False);
    const char* display = std::getenv("DISPLAY");
    const std::string cmd = "import -display " + ShellQuote(display ? display : "") +
                            " -window root " + ShellQuote(pngPath) + " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}
