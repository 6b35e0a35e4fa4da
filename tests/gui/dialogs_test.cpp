// Dialogs and event pumps under a private X server. The text question runs
// the toolkit's loop, so toolkit timers answer it; the message dialog and the
// timed waits serve no timers, so an outside clicker on a helper thread
// presses their buttons and keys. Every test starts its own server, and an
// alarm ends a test that would otherwise wait for ever.
#include <gtest/gtest.h>

#include "clicker.h"
#include "dialogs.h"
#include "filescreen.h"
#include "gui.h"
#include "makers.h"
#include "msgsys.h"
#include "vok.h"

#include <X11/Xlib.h>
#include <Xm/BulletinB.h>
#include <Xm/Label.h>
#include <Xm/TextF.h>

#include <chrono>
#include <csignal>
#include <ctime>
#include <functional>
#include <map>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kDialogWidth = 575;
constexpr int kDialogHeight = 175;
constexpr int kFindMs = 10000;

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A fresh session with a watchdog: a dialog that never gets its answer ends
// the test process instead of blocking the suite.
class DialogTest : public testing::Test {
  protected:
    void SetUp() override {
        alarm(60);
        ASSERT_TRUE(gui_.ok());
    }
    void TearDown() override { alarm(0); }
    GuiSession gui_;
};

// The topmost dialog's answer button, once it is on the screen.
XWindowId WaitForDialogButton(const XClient& x, bool ok, int count = 1) {
    const TopWindowInfo top = x.WaitForTopWindow(kDialogWidth, kDialogHeight, kFindMs, count);
    if (!top.id) return 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kFindMs);
    for (;;) {
        if (XWindowId b = DialogButton(x, top, ok)) return b;
        if (std::chrono::steady_clock::now() >= end) return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// ---- AskText ----

enum class Answer { Ok, Enter, Cancel };

struct AskCase {
    const char* what;
    const char* typed;
    Answer answer;
    const char* want;
};

void RecordSensitivityCB(Widget w, XtPointer client, XtPointer) {
    *static_cast<int*>(client) = XtIsSensitive(w) ? 1 : 0;
}

TEST_F(DialogTest, AskTextReturnsTheTextOnlyForOkOrEnter) {
    const AskCase cases[] = {
        {"text and OK", "PART7", Answer::Ok, "PART7"},
        {"text and Enter", "PART7", Answer::Enter, "PART7"},
        {"text and Cancel", "PART7", Answer::Cancel, ""},
        {"empty field and OK", "", Answer::Ok, ""},
    };
    const char* previous = nullptr;
    for (const AskCase& c : cases) {
        SCOPED_TRACE(c.what);
        int sensitiveAtTakeDown = -1;
        std::string title, shown;
        After(100, [&] {
            ASSERT_NE(AskField, nullptr);
            title = LabelText(FindWidget(AskDialog, "msg"));
            char* t = nullptr;
            XtVaGetValues(XtParent(AskDialog), XmNtitle, &t, nullptr);
            shown = t ? t : "";
            EXPECT_EQ(TextOf(AskField), ""); // the field starts empty
            XmTextFieldSetString(AskField, const_cast<char*>(c.typed));
            Widget answering = c.answer == Answer::Ok       ? ResponseOKButton
                               : c.answer == Answer::Cancel ? ResponseCancelButton
                                                            : AskField;
            XtAddCallback(answering, XmNdestroyCallback, RecordSensitivityCB, &sensitiveAtTakeDown);
            if (c.answer == Answer::Enter)
                CallAction(AskField, "activate");
            else
                Press(answering);
        });
        const char* reply = AskText("Name of the new part", nullptr);
        EXPECT_STREQ(reply, c.want);
        EXPECT_EQ(title, "Name of the new part");
        EXPECT_EQ(shown, "MSGTITLE");
        EXPECT_EQ(sensitiveAtTakeDown, 0);
        EXPECT_EQ(DialogAnswer, c.answer == Answer::Cancel ? 0 : 1);
        if (previous) {
            EXPECT_EQ(reply, previous); // one buffer for every answer
        }
        previous = reply;
        // Taken down: no dialog left, no handles to it.
        EXPECT_EQ(FindWidget(TopShell, "msg"), nullptr);
        EXPECT_EQ(AskDialog, nullptr);
        EXPECT_EQ(ResponseOKButton, nullptr);
    }
}

TEST_F(DialogTest, AskTextTakesTypedKeysUpToFourteen) {
    OutsideClicker user([](const XClient& x) {
        const TopWindowInfo top = x.WaitForTopWindow(kDialogWidth, kDialogHeight, kFindMs);
        ASSERT_NE(top.id, 0u);
        x.Focus(top.id);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        x.Type("abcdefghijklmnop");
        x.Key("Return");
    });
    EXPECT_STREQ(AskText("Name", nullptr), "abcdefghijklmn");
}

// A message box that the poll opens while the text question waits answers
// only itself; the question goes on and takes its own answer.
TEST_F(DialogTest, MessageOpenedInsideAskTextDoesNotAnswerIt) {
    OutsideClicker user([](const XClient& x) {
        XWindowId ok = WaitForDialogButton(x, true, 2);
        ASSERT_NE(ok, 0u);
        x.ClickWindow(ok);
    });
    int inner = -1;
    bool cancelled = false;
    Widget outerCancel = nullptr, cancelAfterInner = nullptr;
    After(100, [&] {
        XmTextFieldSetString(AskField, const_cast<char*>("SECRET"));
        outerCancel = ResponseCancelButton;
        inner = MessageDialog("Message from the poll", 0);
        cancelAfterInner = ResponseCancelButton;
        After(100, [&] {
            cancelled = true;
            Press(ResponseCancelButton);
        });
    });
    EXPECT_STREQ(AskText("Name", nullptr), "");
    EXPECT_TRUE(cancelled); // the question waited for its own answer
    EXPECT_EQ(inner, 1);
    EXPECT_EQ(cancelAfterInner, outerCancel);
    EXPECT_EQ(FindWidget(TopShell, "msg"), nullptr);
}

// ---- MessageDialog ----

TEST_F(DialogTest, MessageDialogAnswersByPointer) {
    for (bool ok : {true, false}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        OutsideClicker user([ok](const XClient& x) {
            XWindowId b = WaitForDialogButton(x, ok);
            ASSERT_NE(b, 0u);
            x.ClickWindow(b);
        });
        EXPECT_EQ(MessageDialog(std::string("\"P1\"\n\nsaved"), 0), ok ? 1 : 0);
        user.Join();
        EXPECT_EQ(FindWidget(TopShell, "msg"), nullptr);
        EXPECT_EQ(MessageForm, nullptr);
    }
}

TEST_F(DialogTest, MessageDialogDropsKeys) {
    std::atomic<bool> stillUp{false};
    OutsideClicker user([&](const XClient& x) {
        const TopWindowInfo top = x.WaitForTopWindow(kDialogWidth, kDialogHeight, kFindMs);
        XWindowId ok = WaitForDialogButton(x, true);
        XWindowId cancel = WaitForDialogButton(x, false);
        ASSERT_NE(ok, 0u);
        x.Focus(top.id);
        int bx = 0, by = 0;
        x.RootPosition(ok, &bx, &by);
        x.MovePointer(bx + 2, by + 2);
        for (const char* key : {"Return", "space", "KP_Enter", "Escape"}) x.Key(key);
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        stillUp = x.IsMapped(top.id);
        x.ClickWindow(cancel);
    });
    EXPECT_EQ(MessageDialog("keys do not answer", 0), 0);
    user.Join();
    EXPECT_TRUE(stillUp);
}

// Runs inside the message dialog's wait: its pump dispatches a property
// change of the main form to this handler, which clicks OK and then Cancel
// in the same pass.
int OkSensitiveAfterAnswer = -1;
void ClickBothHandler(Widget, XtPointer, XEvent*, Boolean*) {
    if (OkSensitiveAfterAnswer != -1 || !ResponseOKButton) return;
    Press(ResponseOKButton);
    OkSensitiveAfterAnswer = XtIsSensitive(ResponseOKButton) ? 1 : 0;
    Press(ResponseCancelButton);
}

TEST_F(DialogTest, MessageDialogTakesOneAnswerOnly) {
    RunInNextEventPass(ClickBothHandler);
    EXPECT_EQ(MessageDialog("first click counts", 0), 1);
    EXPECT_EQ(OkSensitiveAfterAnswer, 0);
    EXPECT_EQ(DialogAnswer, 1);
}

TEST_F(DialogTest, MessageDialogFreesAGrabbedPointer) {
    // The password dialog's grab: the pointer confined to a small window far
    // from the message's buttons.
    ASSERT_EQ(XGrabPointer(TheDisplay, XtWindow(StatusLine), False,
                           ButtonPressMask | ButtonReleaseMask, GrabModeAsync, GrabModeAsync,
                           XtWindow(StatusLine), None, CurrentTime),
              GrabSuccess);
    OutsideClicker user([](const XClient& x) {
        XWindowId ok = WaitForDialogButton(x, true);
        ASSERT_NE(ok, 0u);
        x.ClickWindow(ok);
    });
    EXPECT_EQ(MessageDialog("grabbed", 0), 1);
}

// ---- Pumps ----

std::map<int, int> SentSeen;
std::map<int, XtEventDispatchProc> NormalDispatch;

Boolean CountingDispatch(XEvent* ev) {
    if (ev->xany.send_event) ++SentSeen[ev->type];
    return NormalDispatch[ev->type](ev);
}

// A key event carries the keycode given, or (-1) one the keyboard has.
void SendToSelf(int type, Window to = 0, int keycode = -1) {
    if (!to) to = XtWindow(MainForm);
    XEvent ev{};
    ev.xany.type = type;
    ev.xany.display = TheDisplay;
    ev.xany.window = to;
    ev.xkey.root = DefaultRootWindow(TheDisplay);
    ev.xkey.same_screen = True;
    ev.xkey.x = ev.xkey.y = 700; // away from any button
    // One out of the display's range reaches no widget (the key gate below).
    if (type == KeyPress || type == KeyRelease)
        ev.xkey.keycode =
            keycode >= 0 ? static_cast<unsigned int>(keycode) : XKeysymToKeycode(TheDisplay, XK_a);
    static Time time = 1000;
    ev.xkey.time = ++time;
    XSendEvent(TheDisplay, to, False, 0, &ev);
}

bool TimerFired = false;
void FireCB(XtPointer, XtIntervalId*) {
    TimerFired = true;
}

struct PumpCase {
    const char* what;
    std::function<void()> pump;
    bool keys, buttons, timers;
};

TEST_F(DialogTest, PumpsDispatchOrDropAsStated) {
    const int types[] = {KeyPress, KeyRelease, ButtonPress, ButtonRelease, EnterNotify};
    for (int t : types) NormalDispatch[t] = XtSetEventDispatcher(TheDisplay, t, CountingDispatch);
    const PumpCase cases[] = {
        {"FlushEventsNoKeys", [] { FlushEventsNoKeys(); }, false, true, false},
        {"FlushEventsNoInput", [] { FlushEventsNoInput(); }, false, false, false},
        {"WaitSecondsAll(0)", [] { WaitSecondsAll(0); }, true, true, false},
        {"WaitSeconds(0)", [] { WaitSeconds(0); }, false, false, false},
        {"WaitSecondsNoKeys(0)", [] { WaitSecondsNoKeys(0); }, false, true, false},
        {"ProcessEventsFor(1)", [] { EXPECT_EQ(ProcessEventsFor(1), -82); }, false, false, true},
    };
    for (const PumpCase& c : cases) {
        SCOPED_TRACE(c.what);
        SentSeen.clear();
        TimerFired = false;
        for (int t : types) SendToSelf(t);
        XSync(TheDisplay, False);
        XtIntervalId timer = XtAppAddTimeOut(AppContext, 0, FireCB, nullptr);
        c.pump();
        EXPECT_EQ(SentSeen[KeyPress] + SentSeen[KeyRelease], c.keys ? 2 : 0);
        EXPECT_EQ(SentSeen[ButtonPress] + SentSeen[ButtonRelease], c.buttons ? 2 : 0);
        EXPECT_EQ(SentSeen[EnterNotify], 1); // every pump dispatches the rest
        EXPECT_EQ(TimerFired, c.timers);
        if (!TimerFired) XtRemoveTimeOut(timer);
        // What a pump drops is gone, not left for the next loop.
        const std::map<int, int> before = SentSeen;
        WaitSecondsAll(0);
        EXPECT_EQ(SentSeen, before);
    }
}

// Key events with a keycode out of the display's range (any client may
// send one; the toolkit indexes its tables with it unchecked) are dropped in
// every loop, while a real key still reaches the widget with the focus.
TEST_F(DialogTest, KeysWithImpossibleKeycodesReachNoWidget) {
    int minCode = 0, maxCode = 0;
    XDisplayKeycodes(TheDisplay, &minCode, &maxCode);
    ASSERT_GT(minCode, 1);
    Widget field = XmCreateTextField(MainForm, const_cast<char*>("keys"), nullptr, 0);
    XtManageChild(field);
    Serve(100);
    XmProcessTraversal(field, XmTRAVERSE_CURRENT);
    XSetInputFocus(TheDisplay, XtWindow(field), RevertToParent, CurrentTime);
    Serve(100);
    const struct {
        const char* what;
        std::function<void()> loop;
    } loops[] = {
        {"WaitSecondsAll(0)", [] { WaitSecondsAll(0); }},
        {"the toolkit's own loop", [] { Serve(200); }},
    };
    const int impossible[] = {0, minCode - 1};
    for (const auto& l : loops) {
        SCOPED_TRACE(l.what);
        XmTextFieldSetString(field, const_cast<char*>(""));
        for (int code : impossible) {
            SendToSelf(KeyPress, XtWindow(field), code);
            SendToSelf(KeyRelease, XtWindow(field), code);
        }
        SendToSelf(KeyPress, XtWindow(field));
        SendToSelf(KeyRelease, XtWindow(field));
        XSync(TheDisplay, False);
        l.loop();
        EXPECT_EQ(TextOf(field), "a");
    }
    // The gate sits in the one dispatch that every loop uses.
    XEvent ev{};
    ev.xkey.type = KeyPress;
    ev.xkey.display = TheDisplay;
    ev.xkey.window = XtWindow(field);
    ev.xkey.same_screen = True;
    EXPECT_FALSE(XtDispatchEvent(&ev));
    EXPECT_EQ(TextOf(field), "a");
}

double CpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// A timed wait of n seconds counts whole seconds of time(): it ends on the
// n-th tick after its start (more than n - 1 and at most n seconds), and 0
// makes one pass at once. Each row names the ticks it must see.
struct TimingCase {
    const char* what;
    std::function<void()> wait;
    int ticks;     // time() has moved on by at least this much at the end
    double atMost; // wall-clock seconds
};

TEST_F(DialogTest, TimedWaitsLastTheirSecondsWithoutSpinning) {
    const TimingCase cases[] = {
        {"WaitSeconds(0)", [] { WaitSeconds(0); }, 0, 0.1},
        {"WaitSeconds(2)", [] { WaitSeconds(2); }, 2, 2.2},
        {"WaitSecondsAll(1)", [] { WaitSecondsAll(1); }, 1, 1.2},
        {"WaitSecondsNoKeys(1)", [] { WaitSecondsNoKeys(1); }, 1, 1.2},
        {"ProcessEventsFor(2)", [] { EXPECT_EQ(ProcessEventsFor(2), -82); }, 2, 2.2},
    };
    for (const TimingCase& c : cases) {
        SCOPED_TRACE(c.what);
        const double cpu = CpuSeconds();
        const time_t before = std::time(nullptr);
        const auto start = std::chrono::steady_clock::now();
        c.wait();
        const double wall = Seconds(start);
        EXPECT_GE(std::time(nullptr), before + c.ticks);
        EXPECT_LE(wall, c.atMost);
        EXPECT_LT(CpuSeconds() - cpu, 0.2 + 0.1 * wall);
    }
}

struct TasksCase {
    const char* what;
    bool active;
    int tries;
    int endAfterMs; // the task ends by itself after this; 0 never
    int want;
    int ticks; // as above: the tries that looked, one a second
    double atMost;
};

TEST_F(DialogTest, WaitTasksEndLooksAfterEachSecond) {
    const TasksCase cases[] = {
        {"no task", false, 7, 0, 0, 1, 1.2},
        {"task stays", true, 2, 0, -82, 2, 2.2},
        {"task ends during the wait", true, 7, 1500, 0, 2, 3.2},
        {"no tries", true, 0, 0, -82, 0, 0.1},
        {"no tries, no task", false, 0, 0, -82, 0, 0.1},
    };
    for (const TasksCase& c : cases) {
        SCOPED_TRACE(c.what);
        TaskSlot.state = SLOT_FREE;
        if (c.active) RecordTask(7, "P1", SLOT_RUNNING, 0, 1, 4, 0);
        ASSERT_EQ(AnyTaskActive() != 0, c.active);
        if (c.endAfterMs) After(c.endAfterMs, [] { TaskSlot.state = SLOT_FREE; });
        const time_t before = std::time(nullptr);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(WaitTasksEnd(c.tries), c.want);
        const double wall = Seconds(start);
        EXPECT_GE(std::time(nullptr), before + c.ticks);
        EXPECT_LE(wall, c.atMost);
    }
    TaskSlot.state = SLOT_FREE;
}

// ---- WaitForExpose and the start-up notice ----

TEST_F(DialogTest, StartUpNoticeFillsTheWorkAreaUntilHidden) {
    EXPECT_EQ(ShowNotice("Starting\nplease wait"), 0);
    Widget notice = nullptr;
    for (Widget c : Children(MainForm))
        if (XmIsBulletinBoard(c) && XtIsManaged(c)) notice = c;
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(Geometry(notice), (WidgetBox{107, 50, 571, 456}));
    std::vector<Widget> kids = Children(notice);
    ASSERT_EQ(kids.size(), 1u);
    EXPECT_EQ(LabelText(kids[0]), "Starting\nplease wait");
    EXPECT_EQ(Geometry(kids[0]).width, 565);
    EXPECT_EQ(Geometry(kids[0]).height, 450);
    HideNotice();
    EXPECT_FALSE(XtIsManaged(notice));
}

TEST_F(DialogTest, WaitForExposeGivesUpAfterThreeSeconds) {
    Widget hidden = MakeWorkWindow(0); // never managed: never exposed
    Widget label = MakeLabelGadget(hidden, 0, 0);
    testing::internal::CaptureStdout();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForExpose(label), -82);
    const double wall = Seconds(start);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_GE(wall, 2.9);
    EXPECT_LT(wall, 3.6);
    EXPECT_NE(out.find("WaitForExpose: no Expose within 3 s"), std::string::npos) << out;

    XtManageChild(hidden); // shown now: the Expose ends the wait at once
    const auto again = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForExpose(label), 0);
    EXPECT_LT(Seconds(again), 1.0);
}

} // namespace
