// The message poll while a dialog waits for the operator, under a private X
// server without a window manager: a task's end or ready report raises the
// main window, yet the dialog that waits stays on top of it and is still
// answered by the pointer (the home dialog, which waits for its Cancel while
// the machine homes, stays on top the same way); and the replies that come while a message waits
// are taken off the queue, so none is lost, and are worked off in order
// soon after it closes.
#include <gtest/gtest.h>

#include "clicker.h"
#include "dialogs.h"
#include "gui.h"
#include "queues.h"
#include "homedialog.h"
#include "msgsys.h"
#include "password.h"
#include "vok.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <sys/ipc.h>
#include <sys/msg.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr long kKey = 0x71000051;

// The reply handling's screen side: the message is the real dialog; the
// lights and the menu are only recorded (no main menu is built here).
class DialogUi : public ReplyUi {
  public:
    void Light(int, bool) override { tasks.push_back(MsgGetInt(MsgIn, kMsgTaskId)); }
    void UpdateMenu() override {}
    void ApplyMenu() override {}
    void Message(const std::string& text) override { MessageDialog(text, 0); }
    bool LoadingShown() const override { return false; }
    void HideLoading() override {}
    void RaiseMainWindow() override { RaiseTopWindow(); }
    void CloseExitScreen() override {}
    // Task ids of the replies handled, one entry per light switched.
    std::vector<int> tasks;
};

class PollDialogsTest : public testing::Test {
  protected:
    void SetUp() override {
        alarm(90);
        ASSERT_TRUE(gui_.ok());
        MsgsysResetForTest();
        queue_ = MakePrivateQueue();
        ASSERT_NE(queue_, -1);
        MsgQueueId = queue_;
        MsgKey = kKey;
        OwnPid = getpid();
        SetReplyUi(&ui_);
    }
    void TearDown() override {
        SetReplyUi(nullptr);
        SetPollHookForTest(nullptr);
        RemovePrivateQueue(queue_);
        alarm(0);
    }

    GuiSession gui_;
    DialogUi ui_;
    int queue_ = -1;
};

// A reply of the server; false when the queue is full.
bool SendReply(int queue, int code, int task, int status, int subState) {
    MsgRecord r{};
    r.mtype = getpid();
    MsgSetInt(r, kMsgCode, code);
    MsgSetInt(r, kMsgTaskId, task);
    MsgSetInt(r, kMsgStatus, status);
    MsgSetInt(r, kMsgSubState, subState);
    return msgsnd(queue, &r, kMsgTextSize, IPC_NOWAIT) == 0;
}

Window RootWindowOfUs() {
    return DefaultRootWindow(TheDisplay);
}

// Position of a top-level window in the stacking order, bottom first; -1
// when it is not a child of the root.
int StackIndex(Window w) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int n = 0;
    int at = -1;
    if (XQueryTree(TheDisplay, RootWindowOfUs(), &root, &parent, &children, &n))
        for (unsigned int i = 0; i < n; ++i)
            if (children[i] == w) at = static_cast<int>(i);
    if (children) XFree(children);
    return at;
}

unsigned long ScreenPixel(int x, int y) {
    XSync(TheDisplay, False);
    XImage* image = XGetImage(TheDisplay, RootWindowOfUs(), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return ~0UL;
    const unsigned long v = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return v;
}

// A spot of a dialog's own background, in root coordinates.
struct Spot {
    int x = 0, y = 0;
};

Spot SpotOf(Widget dialog, int dx, int dy) {
    Window child = 0;
    Spot s;
    XTranslateCoordinates(TheDisplay, XtWindow(XtParent(dialog)), RootWindowOfUs(), dx, dy, &s.x,
                          &s.y, &child);
    return s;
}

// What the stacking and the screen said about a dialog, checked while it
// waited.
struct Seen {
    bool checked = false;
    int dialogAt = -1, mainAt = -1;
    unsigned long mainPixel = 0, dialogPixel = 0, pixelAfter = 0;
};

void Look(Widget dialog, Spot spot, Seen* seen) {
    XSync(TheDisplay, False);
    seen->dialogAt = StackIndex(XtWindow(XtParent(dialog)));
    seen->mainAt = StackIndex(TopWindow);
    seen->pixelAfter = ScreenPixel(spot.x, spot.y);
    seen->checked = true;
}

void ExpectOnTop(const Seen& seen) {
    ASSERT_TRUE(seen.checked);
    ASSERT_NE(seen.mainPixel, seen.dialogPixel) << "the dialog cannot be told from the window";
    EXPECT_GE(seen.mainAt, 0);
    EXPECT_GT(seen.dialogAt, seen.mainAt);
    EXPECT_EQ(seen.pixelAfter, seen.dialogPixel);
}

// Clicks a dialog's button as the operator does: true when that ended the
// dialog. Otherwise (the click went to a window over the dialog) the dialog
// is raised from outside and clicked again, so that the test ends.
bool ClickEndsDialog(const XClient& x, XWindowId top, XWindowId button) {
    x.ClickWindow(button);
    if (x.WaitUntilGone(top, 3000)) return true;
    XRaiseWindow(x.display(), top);
    XSync(x.display(), False);
    x.ClickWindow(button);
    x.WaitUntilGone(top, 3000);
    return false;
}

struct RaiseCase {
    const char* what;
    int code, status, subState; // the reply that raises the main window
    int wantSlot;
};

const RaiseCase kRaiseCases[] = {
    {"task ended (14/8)", 14, 8, 0, SLOT_FREE},
    {"task ready (17/20)", 17, 0, 20, SLOT_READY},
};

// The message dialog: while it waits, a loop that serves timers runs inside
// it (a callback of a button that its pump dispatched), and the poll handles
// the reply there.
Seen MessageSeen;
Spot MessageSpot;
std::atomic<bool> MessageLooked{false};
std::atomic<bool> MessageEndedByPointer{false};
int QueueForHandler = -1;
const RaiseCase* CaseForHandler = nullptr;

void PollInsideMessageHandler(Widget, XtPointer, XEvent*, Boolean*) {
    if (MessageSeen.checked || !MessageForm) return;
    // Between the two answer buttons: the dialog's own background.
    MessageSpot = SpotOf(MessageForm, 287, 155);
    MessageSeen.dialogPixel = ScreenPixel(MessageSpot.x, MessageSpot.y);
    const RaiseCase& c = *CaseForHandler;
    SendReply(QueueForHandler, c.code, 101, c.status, c.subState);
    PollTick();
    Look(MessageForm, MessageSpot, &MessageSeen);
    MessageLooked = true;
}

TEST_F(PollDialogsTest, TaskReportDuringAMessageLeavesTheMessageOnTop) {
    for (const RaiseCase& c : kRaiseCases) {
        SCOPED_TRACE(c.what);
        MsgsysResetForTest();
        MsgQueueId = queue_;
        SetReplyUi(&ui_);
        RecordTask(101, "P1", SLOT_RUNNING, 0x1000, 1, 4, 0x10000);
        MessageSeen = Seen();
        MessageLooked = false;
        MessageEndedByPointer = false;
        QueueForHandler = queue_;
        CaseForHandler = &c;
        OutsideClicker user([](const XClient& x) {
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (!MessageLooked && std::chrono::steady_clock::now() < end)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            const TopWindowInfo top = x.WaitForTopWindow(575, 175, 5000);
            if (XWindowId ok = DialogButton(x, top, true))
                MessageEndedByPointer = ClickEndsDialog(x, top.id, ok);
        });
        RunInNextEventPass(PollInsideMessageHandler);
        EXPECT_EQ(MessageDialog("waiting", 0), 1); // answered by the pointer
        user.Join();
        // The dialog gone, the main window shows there.
        MessageSeen.mainPixel = ScreenPixel(MessageSpot.x, MessageSpot.y);
        EXPECT_TRUE(MessageEndedByPointer);
        ExpectOnTop(MessageSeen);
        EXPECT_EQ(TaskSlot.state, c.wantSlot);
    }
}

// The password check serves timers itself: the poll's own timer handles the
// reply while the check waits.
Seen PasswordSeen;
Spot PasswordSpot;
std::atomic<bool> PasswordLooked{false};
std::atomic<bool> PasswordEndedByPointer{false};
int SlotBefore = 0;

void LookAtPasswordAfterTheReply() {
    if (PasswordSeen.checked || TaskSlot.state == SlotBefore) return;
    Look(PasswordDialogWidget(), PasswordSpot, &PasswordSeen);
    PasswordLooked = true;
}

TEST_F(PollDialogsTest, TaskReportDuringAPasswordCheckLeavesTheCheckOnTop) {
    std::string error;
    ASSERT_TRUE(gui_.box().LayOutDemo(&error)) << error;
    PasswordInit("vok", MainForm, 0, AppContext);
    ASSERT_NE(PasswordDialogWidget(), nullptr);
    for (const RaiseCase& c : kRaiseCases) {
        SCOPED_TRACE(c.what);
        MsgsysResetForTest();
        MsgQueueId = queue_;
        SetReplyUi(&ui_);
        RecordTask(101, "P1", SLOT_RUNNING, 0x1000, 1, 4, 0x10000);
        SlotBefore = TaskSlot.state;
        PasswordSeen = Seen();
        PasswordLooked = false;
        PasswordEndedByPointer = false;
        // The dialog places itself when it shows: a spot of its red margin.
        After(300, [&] {
            PasswordSpot = SpotOf(PasswordDialogWidget(), 5, 5);
            PasswordSeen.dialogPixel = ScreenPixel(PasswordSpot.x, PasswordSpot.y);
            ASSERT_TRUE(SendReply(queue_, c.code, 101, c.status, c.subState));
        });
        SetPollHookForTest(LookAtPasswordAfterTheReply);
        static bool pollRuns = false;
        if (!pollRuns) CheckMess(MainForm, nullptr); // the poll's timer from now on
        pollRuns = true;
        OutsideClicker user([](const XClient& x) {
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (!PasswordLooked && std::chrono::steady_clock::now() < end)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            // The abort button: the leftmost of the three 60 x 60 buttons.
            const TopWindowInfo top = x.WaitForTopWindow(615, 215, 5000);
            for (const TopWindowInfo& w : x.Descendants(top.id))
                if (w.viewable && w.width == 60 && w.height == 60 && w.x < 100) {
                    PasswordEndedByPointer = ClickEndsDialog(x, top.id, w.id);
                    break;
                }
        });
        EXPECT_EQ(CheckPassword(11), 0); // ended by the pointer on abort
        user.Join();
        PasswordSeen.mainPixel = ScreenPixel(PasswordSpot.x, PasswordSpot.y);
        EXPECT_TRUE(PasswordEndedByPointer);
        SetPollHookForTest(nullptr);
        ExpectOnTop(PasswordSeen);
        EXPECT_EQ(TaskSlot.state, c.wantSlot);
    }
}

// The home dialog is up while the homing waits for the controller; a report
// that the poll handles meanwhile raises the main window under it. Closed,
// it is no longer raised: the second case's raise would reach the first
// case's destroyed dialog otherwise.
TEST_F(PollDialogsTest, TaskReportDuringTheHomeDialogLeavesTheDialogOnTop) {
    for (const RaiseCase& c : kRaiseCases) {
        SCOPED_TRACE(c.what);
        MsgsysResetForTest();
        MsgQueueId = queue_;
        SetReplyUi(&ui_);
        RecordTask(101, "P1", SLOT_RUNNING, 0x1000, 1, 4, 0x10000);
        ShowHomeDialog("homing");
        ASSERT_NE(HomeDialog, nullptr);
        // Right of the Cancel button: the dialog's own background.
        Seen seen;
        const Spot spot = SpotOf(HomeDialog, 287, 155);
        seen.dialogPixel = ScreenPixel(spot.x, spot.y);
        ASSERT_TRUE(SendReply(queue_, c.code, 101, c.status, c.subState));
        EXPECT_EQ(PollTick(), 1);
        Look(HomeDialog, spot, &seen);
        CloseHomeDialog();
        seen.mainPixel = ScreenPixel(spot.x, spot.y);
        ExpectOnTop(seen);
        EXPECT_EQ(TaskSlot.state, c.wantSlot);
    }
}

// Replies sent while a message waits: the sender is never refused for a full
// queue, and after the message the ticks work them off in order, 32 each.
TEST_F(PollDialogsTest, FiveHundredRepliesDuringAMessageAreAllHandledInOrder) {
    constexpr int kReplies = 500;
    std::atomic<int> sent{0};
    std::atomic<bool> upWhileSending{false};
    const int queue = queue_;
    OutsideClicker server([&](const XClient& x) {
        const TopWindowInfo top = x.WaitForTopWindow(575, 175, 10000);
        if (!top.id) return;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (sent < kReplies && std::chrono::steady_clock::now() < end) {
            if (SendReply(queue, 17, sent + 1, 0, 22)) // held
                ++sent;
            else if (errno == EAGAIN)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            else
                break;
        }
        upWhileSending = x.IsMapped(top.id);
        if (XWindowId ok = DialogButton(x, top, true)) x.ClickWindow(ok);
    });
    // A data page that failed: its message waits for the operator.
    ASSERT_TRUE(SendReply(queue_, 18, 0, 1, 0));
    EXPECT_EQ(PollTick(), 1);
    server.Join();
    ASSERT_EQ(sent, kReplies);
    EXPECT_TRUE(upWhileSending);

    int ticks = 0;
    while (PollTick() > 0) ++ticks;
    EXPECT_EQ(ticks, 16); // 32 a tick
    std::vector<int> want;
    for (int t = 1; t <= kReplies; ++t) want.push_back(t);
    EXPECT_EQ(ui_.tasks, want);
}

} // namespace
