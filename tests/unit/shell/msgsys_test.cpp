// The message poll and the requests around it, on a real private queue and
// without an X server: the reply dispatch with its effects on the task
// slot, the lights and the main menu; the run request; the printer drivers'
// start and stop; the receive's handling of odd messages; the last message.
// Replies go onto the queue and requests come off it in the server's own
// layout (wire.h), and codes, flags and widths are the protocol's numbers.
#include <gtest/gtest.h>

#include "labels.h"
#include "mainmenu.h"
#include "msgsys.h"
#include "queues.h"
#include "proc.h"
#include "process.h"
#include "sandbox.h"
#include "nap.h"
#include "virtual_clock.h"
#include "wire.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <string>
#include <sys/ipc.h>
#include <sys/msg.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr long kKey = 0x71000042;

// Records what the poll does on the screen, in order.
class RecordingUi : public ReplyUi {
  public:
    void Light(int index, bool on) override {
        Add("light" + std::to_string(index) + (on ? " on" : " off"));
    }
    void UpdateMenu() override { Add("update"); }
    void ApplyMenu() override { Add("apply"); }
    void Message(const std::string& text) override { Add("message " + text); }
    bool LoadingShown() const override { return loading; }
    void HideLoading() override {
        loading = false;
        Add("hide");
    }
    void RaiseMainWindow() override { Add("raise"); }
    void CloseExitScreen() override { Add("exit screen closed"); }

    std::string Take() {
        std::string e = events_;
        events_.clear();
        return e;
    }
    bool loading = false;

  private:
    void Add(const std::string& e) { events_ += (events_.empty() ? "" : ", ") + e; }
    std::string events_;
};

struct Reply {
    int code = 0;
    int status = 0;
    int task = 0;
    int value = 0;
    int substate = 0;
    int exit = 0;
};

// A reply as the server puts it on the queue.
wire::Msg Encode(const Reply& r) {
    wire::Msg m;
    wire::SetInt(m, wire::kCode, r.code);
    wire::SetInt(m, wire::kStatus, r.status);
    wire::SetInt(m, wire::kTask, r.task);
    wire::SetInt(m, wire::kArg, r.value);
    wire::SetInt(m, wire::kSubState, r.substate);
    wire::SetInt(m, wire::kExit, r.exit);
    return m;
}

// The reply that the program took last, as the server's layout reads it.
wire::Msg Taken() {
    static_assert(sizeof(MsgIn) == sizeof(wire::Msg), "a message on the queue");
    wire::Msg m;
    std::memcpy(static_cast<void*>(&m), &MsgIn, sizeof m);
    return m;
}

// The rows of the main menu whose enable flag is set, as "1 2 5".
std::string EnabledRows() {
    std::string s;
    for (int i = 0; i < kMainMenuRows; ++i)
        if (MainMenuTable[i].enabled) s += (s.empty() ? "" : " ") + std::to_string(i + 1);
    return s;
}

void SetEnabledRows(std::initializer_list<int> rows) {
    for (MainMenuEntry& row : MainMenuTable) row.enabled = 0;
    for (int r : rows) MainMenuTable[r - 1].enabled = 1;
}

class MsgsysTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string labels;
        for (int n = 1; n <= 320; ++n) labels += "L" + std::to_string(n) + "\n";
        box_.Write(LabelFileName(0), labels);
        Language = 0;
        ASSERT_EQ(InitVok(), 0);
        MsgsysResetForTest();
        qid_ = MakePrivateQueue();
        ASSERT_NE(qid_, -1);
        MsgQueueId = qid_;
        MsgKey = kKey;
        OwnPid = getpid();
        SetReplyUi(&ui_);
        ActiveMenuButton = 0;
        ShownScreen = nullptr;
        CurrentPart = "PART1";
        SetEnabledRows({});
    }
    void TearDown() override {
        SetReplyUi(nullptr);
        RemovePrivateQueue(qid_);
    }

    // A message to the program of size bytes (224 for a normal reply).
    void Send(const wire::Msg& m, size_t size = wire::kTextSize) {
        std::vector<unsigned char> buf(sizeof(long) + std::max(size, wire::kTextSize));
        wire::Msg copy = m;
        copy.mtype = OwnPid;
        std::memcpy(buf.data(), &copy, sizeof copy);
        ASSERT_EQ(msgsnd(qid_, buf.data(), size, IPC_NOWAIT), 0) << std::strerror(errno);
    }
    void Send(const Reply& r) { Send(Encode(r)); }

    // The requests that the program sent, taken off the queue.
    std::vector<wire::Msg> Requests() {
        std::vector<wire::Msg> out;
        wire::Msg m;
        while (msgrcv(qid_, &m, wire::kTextSize, kKey, IPC_NOWAIT | MSG_NOERROR) >= 0)
            out.push_back(m);
        return out;
    }

    Sandbox box_;
    int qid_ = -1;
    RecordingUi ui_;
};

struct DispatchCase {
    const char* what;
    int slotState, slotId; // the slot before (SLOT_FREE, -1: empty)
    int runPending;
    bool loading;
    int activeButton;
    Reply reply;
    // after
    int wantState, wantValue;
    int wantTaskId; // CurrentTaskId
    int wantPending;
    const char* wantEvents;
    const char* wantRows; // "-" when the rows stay as they were ("2 3 4 10")
};

TEST_F(MsgsysTest, EachReplyMovesTheSlotLightsAndMenuAsItShould) {
    const DispatchCase cases[] = {
        {"created, task not in the slot: the run waits",
         SLOT_FREE,
         -1,
         0,
         false,
         0,
         {14, 0, 101, 4},
         SLOT_FREE,
         0,
         101,
         1,
         "",
         "-"},
        {"creation failed with the loading notice up",
         SLOT_RUNNING,
         101,
         0,
         true,
         0,
         {14, 2, 101},
         SLOT_FREE,
         2,
         7,
         0,
         "hide, message L214\nL100, message L300, apply",
         "5"},
        {"creation failed, no notice",
         SLOT_RUNNING,
         101,
         0,
         false,
         0,
         {14, 3, 101},
         SLOT_FREE,
         3,
         7,
         0,
         "message L300, apply",
         "5"},
        {"task ended",
         SLOT_RUNNING,
         101,
         1,
         true,
         0,
         {14, 8, 101, 0, 0, 9},
         SLOT_FREE,
         9,
         0,
         0,
         "update, apply, light3 off, light4 off, raise, hide",
         "-"},
        {"task ended, another id: the slot keeps its task",
         SLOT_RUNNING,
         101,
         0,
         false,
         0,
         {14, 8, 55, 0, 0, 9},
         SLOT_RUNNING,
         0,
         0,
         0,
         "update, apply, light3 off, light4 off, raise, hide",
         "-"},
        {"other status of 14",
         SLOT_RUNNING,
         101,
         1,
         false,
         0,
         {14, 5, 101},
         SLOT_RUNNING,
         0,
         7,
         1,
         "",
         "-"},
        {"ready, no run pending",
         SLOT_RUNNING,
         101,
         0,
         true,
         0,
         {17, 0, 101, 0, 20, 3},
         SLOT_READY,
         3,
         7,
         0,
         "update, apply, light3 off, light4 off, raise, hide",
         "-"},
        {"running",
         SLOT_HELD,
         101,
         0,
         false,
         0,
         {17, 0, 101, 0, 21, 3},
         SLOT_RUNNING,
         0,
         7,
         0,
         "light4 on",
         "-"},
        {"running (24)",
         SLOT_READY,
         101,
         0,
         false,
         0,
         {17, 0, 101, 0, 24},
         SLOT_RUNNING,
         0,
         7,
         0,
         "light4 on",
         "-"},
        {"running closes the exit screen",
         SLOT_HELD,
         101,
         0,
         false,
         5,
         {17, 0, 101, 0, 21},
         SLOT_RUNNING,
         0,
         7,
         0,
         "light4 on, exit screen closed",
         "-"},
        {"held",
         SLOT_RUNNING,
         101,
         0,
         false,
         0,
         {17, 0, 101, 0, 22},
         SLOT_HELD,
         0,
         7,
         0,
         "light4 off",
         "-"},
        {"held closes the exit screen",
         SLOT_RUNNING,
         101,
         0,
         false,
         5,
         {17, 0, 101, 0, 22},
         SLOT_HELD,
         0,
         7,
         0,
         "light4 off, exit screen closed",
         "-"},
        {"held, another id: only the light",
         SLOT_RUNNING,
         101,
         0,
         false,
         0,
         {17, 0, 55, 0, 22},
         SLOT_RUNNING,
         0,
         7,
         0,
         "light4 off",
         "-"},
        {"sub-state 23",
         SLOT_RUNNING,
         101,
         0,
         false,
         0,
         {17, 0, 101, 0, 23},
         SLOT_RUNNING,
         0,
         7,
         0,
         "",
         "-"},
        {"data page failed",
         SLOT_FREE,
         -1,
         0,
         false,
         0,
         {18, 4},
         SLOT_FREE,
         0,
         7,
         0,
         "message L103\nL100",
         "-"},
        {"data page loaded", SLOT_FREE, -1, 0, false, 0, {18, 0}, SLOT_FREE, 0, 7, 0, "", "-"},
        {"reply 24 failed",
         SLOT_FREE,
         -1,
         0,
         false,
         0,
         {24, 1},
         SLOT_FREE,
         0,
         7,
         0,
         "message L132\nL100",
         "-"},
        {"contour failed",
         SLOT_FREE,
         -1,
         0,
         false,
         0,
         {27, 2},
         SLOT_FREE,
         0,
         7,
         0,
         "message L217\nL100",
         "-"},
        {"drivers stopped: not the poll's",
         SLOT_FREE,
         -1,
         0,
         false,
         0,
         {49, 0, 0, 1},
         SLOT_FREE,
         0,
         7,
         0,
         "",
         "-"},
        {"unknown reply",
         SLOT_RUNNING,
         101,
         0,
         false,
         0,
         {77, 3, 101},
         SLOT_RUNNING,
         0,
         7,
         0,
         "",
         "-"},
    };
    for (const DispatchCase& c : cases) {
        SCOPED_TRACE(c.what);
        MsgsysResetForTest();
        SetReplyUi(&ui_);
        if (c.slotId != -1) RecordTask(c.slotId, "PART1", c.slotState, 0x1000, 1, 4, 0);
        CurrentTaskId = 7;
        RunPending = c.runPending;
        ui_.loading = c.loading;
        ActiveMenuButton = c.activeButton;
        SetEnabledRows({2, 3, 4, 10});
        ui_.Take();
        Send(c.reply);
        ASSERT_TRUE(PollOnce());
        EXPECT_EQ(ui_.Take(), c.wantEvents);
        EXPECT_EQ(TaskSlot.state, c.wantState);
        EXPECT_EQ(TaskSlot.value, c.wantValue);
        EXPECT_EQ(CurrentTaskId, c.wantTaskId);
        EXPECT_EQ(RunPending, c.wantPending);
        EXPECT_EQ(EnabledRows(), std::string(c.wantRows) == "-" ? "2 3 4 10" : c.wantRows);
        EXPECT_TRUE(Requests().empty());
        EXPECT_FALSE(PollOnce()); // one reply per poll, and it was taken
    }
    ActiveMenuButton = 0;
}

TEST_F(MsgsysTest, RunRequestWaitsForReadyAndGoesOutOnce) {
    SetEnabledRows({2, 3, 4, 5, 6, 7, 8, 9, 10});
    Send(Reply{14, 0, 101, 4});
    Send(Reply{17, 0, 101, 0, 20});
    ASSERT_TRUE(PollOnce()); // the creation only: one reply per poll
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(RunPending, 1);
    EXPECT_EQ(PendingRunCode, 4);

    ui_.loading = true;
    ASSERT_TRUE(PollOnce()); // ready: the run goes out
    auto sent = Requests();
    ASSERT_EQ(sent.size(), 1u);
    const wire::Msg& m = sent[0];
    EXPECT_EQ(m.mtype, kKey);
    EXPECT_EQ(wire::Int(m, wire::kCode), 16);
    EXPECT_EQ(wire::Int(m, wire::kArg), 4);
    EXPECT_EQ(wire::Int(m, wire::kSender), getpid());
    EXPECT_EQ(wire::Int(m, wire::kTask), 101);
    EXPECT_EQ(wire::Int(m, wire::kData), 0x10000);
    EXPECT_EQ(wire::Text(m, wire::kPart, 25), "PART1");
    EXPECT_EQ(wire::Text(m, wire::kType, 27), "llf");
    EXPECT_EQ(wire::Int(m, wire::kRunMode), 3);
    EXPECT_EQ(RunPending, 0);
    EXPECT_EQ(PendingRunCode, -1);
    EXPECT_EQ(TaskSlot.id, 101);
    EXPECT_EQ(TaskSlot.state, SLOT_RUNNING);
    EXPECT_STREQ(TaskSlot.name, "PART1");
    EXPECT_EQ(TaskSlot.flags, 0x1000);
    EXPECT_EQ(TaskSlot.code, 4);
    EXPECT_EQ(TaskSlot.value, 0x10000);
    EXPECT_EQ(ui_.Take(), "light3 on, light4 on, apply, hide");
    EXPECT_EQ(EnabledRows(), "5 6 7 8 9 10");

    // The server reports it running, then ready again: no second run.
    Send(Reply{17, 0, 101, 0, 21});
    Send(Reply{17, 0, 101, 0, 20, 0});
    ASSERT_TRUE(PollOnce());
    ASSERT_TRUE(PollOnce());
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(TaskSlot.state, SLOT_READY);
    EXPECT_EQ(ui_.Take(), "light4 on, update, apply, light3 off, light4 off, raise, hide");

    // A new creation while the slot holds the task ready: the run goes out in
    // the same poll.
    Send(Reply{14, 0, 101, 114});
    ASSERT_TRUE(PollOnce());
    sent = Requests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(wire::Int(sent[0], wire::kArg), 114);
    EXPECT_EQ(wire::Int(sent[0], wire::kRunMode), 11);
    EXPECT_EQ(RunPending, 0);
    EXPECT_EQ(TaskSlot.state, SLOT_RUNNING);
    EXPECT_EQ(TaskSlot.code, 114);
}

struct RunCase {
    int code;
    bool sent;
    int data, runMode;
    const char* type;
    int slotFlags, slotValue;
    const char* rows;
    const char* events;
};

TEST_F(MsgsysTest, RunRequestByCode) {
    const RunCase cases[] = {
        {4, true, 0x10000, 3, "llf", 0x1000, 0x10000, "1 5 6 7 8 9 10",
         "light3 on, light4 on, apply, hide"},
        {114, true, 0x10000, 11, "llf", 0x1000, 0x10000, "1 5 6 7 8 9 10",
         "light3 on, light4 on, apply, hide"},
        {100, true, 0x800000, 3, "llf", 0, 14, "1 5 6 7 8 9 10",
         "light3 off, light4 on, apply, hide"},
        {101, true, 0x800000, 7, "llf", 0, 14, "1 5 6 7 8 9 10",
         "light3 off, light4 on, apply, hide"},
        {102, true, 0x800000, 0x1003, "INSPECT", 0, 14, "1 5 6 7 8 9 10",
         "light3 off, light4 on, apply, hide"},
        {103, false, 0, 0, "", 0, 0, "5", "apply, hide"},
        {50, false, 0, 0, "", 0, 0, "1 2 3 4 5 6 7 8 9", "apply, hide"},
    };
    for (const RunCase& c : cases) {
        SCOPED_TRACE(c.code);
        MsgsysResetForTest();
        SetReplyUi(&ui_);
        CurrentTaskId = 33;
        SetEnabledRows({1, 2, 3, 4, 6, 7, 8, 9});
        SendRunRequest(c.code);
        EXPECT_EQ(EnabledRows(), c.rows);
        EXPECT_EQ(ui_.Take(), c.events);
        auto sent = Requests();
        ASSERT_EQ(sent.size(), c.sent ? 1u : 0u);
        if (!c.sent) {
            EXPECT_EQ(TaskSlot.state, SLOT_FREE);
            continue;
        }
        EXPECT_EQ(wire::Int(sent[0], wire::kCode), 16);
        EXPECT_EQ(wire::Int(sent[0], wire::kArg), c.code);
        EXPECT_EQ(wire::Int(sent[0], wire::kTask), 33);
        EXPECT_EQ(wire::Int(sent[0], wire::kData), c.data);
        EXPECT_EQ(wire::Int(sent[0], wire::kRunMode), c.runMode);
        EXPECT_EQ(wire::Text(sent[0], wire::kType, 27), c.type);
        EXPECT_EQ(TaskSlot.state, SLOT_RUNNING);
        EXPECT_EQ(TaskSlot.id, 33);
        EXPECT_EQ(TaskSlot.flags, c.slotFlags);
        EXPECT_EQ(TaskSlot.code, c.code);
        EXPECT_EQ(TaskSlot.value, c.slotValue);
    }
}

TEST_F(MsgsysTest, RunRequestThatCannotBeSentLeavesOnlyPause) {
    for (int code : {4, 100}) {
        SCOPED_TRACE(code);
        MsgsysResetForTest();
        SetReplyUi(&ui_);
        MsgQueueId = -1; // no queue: msgsnd fails
        SetEnabledRows({1, 2, 3, 4, 6, 7, 8, 9, 10});
        SendRunRequest(code);
        EXPECT_EQ(EnabledRows(), "5");
        // Light 4 stays as it was: nothing runs.
        EXPECT_EQ(ui_.Take(), code == 4 ? "apply, hide" : "light3 off, apply, hide");
        EXPECT_EQ(TaskSlot.state, SLOT_FREE);
        EXPECT_EQ(TaskSlot.id, -1);
    }
}

TEST_F(MsgsysTest, MenuIsNotMadeSensitiveUnderAnOpenScreen) {
    Widget fakeScreen = reinterpret_cast<Widget>(&fakeScreen); // never dereferenced
    struct Screen {
        const char* what;
        int button;
        Widget shown;
    };
    const Screen screens[] = {{"file menu open", 9, nullptr},
                              {"homing", 2, nullptr},
                              {"work window shown", 0, fakeScreen}};
    for (const Screen& s : screens) {
        SCOPED_TRACE(s.what);
        MsgsysResetForTest();
        SetReplyUi(&ui_);
        ActiveMenuButton = s.button;
        ShownScreen = s.shown;
        SetEnabledRows({1, 2, 3, 4, 6, 7, 8, 9, 10});
        Send(Reply{14, 0, 101, 4});
        Send(Reply{17, 0, 101, 0, 20});
        Send(Reply{14, 8, 101});
        Send(Reply{14, 2, 101});
        for (int i = 0; i < 4; ++i) ASSERT_TRUE(PollOnce());
        EXPECT_EQ(Requests().size(), 1u);
        // Flags and lights follow; the sensitivity is left to the screen.
        EXPECT_EQ(ui_.Take(), "light3 on, light4 on, hide, update, light3 off, light4 off, raise, "
                              "hide, message L300");
        EXPECT_EQ(EnabledRows(), "5");
        EXPECT_EQ(TaskSlot.state, SLOT_FREE);
    }
    ActiveMenuButton = 0;
    ShownScreen = nullptr;
}

TEST_F(MsgsysTest, LongPartNamesAreCutWithinTheirFields) {
    struct Case {
        size_t length;
        size_t wantInMessage, wantInSlot;
        int wantLines;
    };
    for (Case c : {Case{24, 24, 24, 0}, Case{30, 24, 30, 1}, Case{79, 24, 39, 2}}) {
        SCOPED_TRACE(c.length);
        MsgsysResetForTest();
        SetReplyUi(&ui_);
        CurrentPart = std::string(c.length, 'p');
        CurrentTaskId = 5;
        testing::internal::CaptureStdout();
        SendRunRequest(4);
        const std::string out = testing::internal::GetCapturedStdout();
        auto sent = Requests();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(wire::Text(sent[0], wire::kPart, 25), std::string(c.wantInMessage, 'p'));
        EXPECT_EQ(wire::Text(sent[0], wire::kType, 27), "llf");
        EXPECT_EQ(wire::Int(sent[0], wire::kRunMode), 3);
        EXPECT_EQ(std::string(TaskSlot.name), std::string(c.wantInSlot, 'p'));
        EXPECT_EQ(TaskSlot.id, 5);
        int lines = 0;
        for (size_t at = 0; (at = out.find(" cut to ", at)) != std::string::npos; ++at) ++lines;
        EXPECT_EQ(lines, c.wantLines) << out;
    }
}

struct StopCase {
    const char* what;
    std::vector<Reply> queued;
    int want;
    std::vector<int> wantKeptTasks; // task ids of the replies kept for the poll
    int wantLongNaps;               // pauses of 3 s after a busy answer
    long atLeastMs;                 // virtual time waited
    const char* wantLine;
};

TEST_F(MsgsysTest, StopPrinterDriversWaitsBoundedAndKeepsOtherReplies) {
    const Reply stopped{49, 0, 0, 0};
    const Reply busy{49, 0, 0, 2};
    std::vector<Reply> six;
    for (int t = 1; t <= 6; ++t) six.push_back(Reply{17, 0, t, 0, 21});
    six.push_back(stopped); // the seventh is never read
    const StopCase cases[] = {
        {"stopped", {stopped}, 0, {}, 0, 0, ""},
        {"others first, kept in order",
         {Reply{14, 8, 1}, Reply{17, 0, 2, 0, 22}, stopped},
         0,
         {1, 2},
         0,
         0,
         ""},
        {"busy, then stopped", {busy, stopped}, 0, {}, 1, 3000, ""},
        {"six other replies", six, -1, {1, 2, 3, 4, 5, 6}, 0, 0, ""},
        {"a status -1 reply is not counted",
         {Reply{49, -1, 0, 0}, busy, stopped},
         0,
         {},
         1,
         3000,
         "with status -1 dropped"},
        {"no reply", {}, -1, {}, 0, kStopReplyWaitMs, "StopPrinterDrivers: no reply within 10 s\n"},
    };
    for (const StopCase& c : cases) {
        SCOPED_TRACE(c.what);
        MsgsysResetForTest();
        SetReplyUi(&ui_);
        for (const Reply& r : c.queued) Send(r);
        VirtualClock clock;
        testing::internal::CaptureStdout();
        EXPECT_EQ(StopPrinterDrivers(), c.want);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_NE(out.find(c.wantLine), std::string::npos) << out;
        EXPECT_EQ(clock.NapsOf(3000), c.wantLongNaps);
        EXPECT_GE(clock.Now(), c.atLeastMs);
        EXPECT_LE(clock.Now(), c.atLeastMs + 200);
        auto sent = Requests();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(wire::Int(sent[0], wire::kCode), 49);
        EXPECT_EQ(wire::Int(sent[0], wire::kArg), -1);
        // The poll gets the kept replies first, then the queue.
        std::vector<int> seen;
        while (PollOnce()) seen.push_back(wire::Int(Taken(), wire::kTask));
        std::vector<int> want = c.wantKeptTasks;
        if (c.queued.size() == 7) want.push_back(0); // the unread seventh
        EXPECT_EQ(seen, want);
    }
}

TEST_F(MsgsysTest, KeptTaskReplyReachesTheSlot) {
    RecordTask(101, "PART1", SLOT_RUNNING, 0x1000, 1, 4, 0);
    CurrentTaskId = 101;
    Send(Reply{14, 8, 101, 0, 0, 3});
    Send(Reply{49, 0, 0, 0});
    VirtualClock clock;
    ASSERT_EQ(StopPrinterDrivers(), 0);
    Send(Reply{17, 0, 101, 0, 21}); // arrives later
    ASSERT_TRUE(PollOnce());
    EXPECT_EQ(TaskSlot.state, SLOT_FREE);
    EXPECT_EQ(TaskSlot.value, 3);
    EXPECT_EQ(CurrentTaskId, 0);
}

TEST_F(MsgsysTest, ReceiveCopesWithOddMessages) {
    // Status -1 reads as nothing and is reported.
    Send(Reply{17, -1, 9, 0, 21});
    testing::internal::CaptureStdout();
    EXPECT_FALSE(PollOnce());
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ReceiveMessage: reply 17 for task 9 with status -1 dropped\n");
    EXPECT_EQ(ui_.Take(), "");

    // An oversized message is cut to the record; it does not block the queue.
    wire::Msg big = Encode(Reply{18, 6});
    Send(big, 400);
    Send(Reply{27, 1});
    EXPECT_TRUE(PollOnce());
    EXPECT_TRUE(PollOnce());
    EXPECT_EQ(ui_.Take(), "message L103\nL100, message L217\nL100");

    // A short message leaves zeros behind it, not the previous reply.
    wire::Msg full = Encode(Reply{17, 0, 9, 0, 22, 77});
    Send(full);
    EXPECT_EQ(ReceiveMessage(IPC_NOWAIT), 0);
    Send(Encode(Reply{18, 3}), 40);
    EXPECT_EQ(ReceiveMessage(IPC_NOWAIT), 3);
    EXPECT_EQ(wire::Int(Taken(), wire::kSubState), 0);
    EXPECT_EQ(wire::Int(Taken(), wire::kExit), 0);
    EXPECT_EQ(ReceiveMessage(IPC_NOWAIT), -1);
}

// ---- the backlog and the tick ----

// Also records, in order, the task id of each reply whose handling switched
// a light or showed a message.
class OrderUi : public RecordingUi {
  public:
    void Light(int index, bool on) override {
        Saw();
        RecordingUi::Light(index, on);
    }
    void Message(const std::string& text) override {
        Saw();
        RecordingUi::Message(text);
    }
    std::vector<int> tasks;

  private:
    void Saw() {
        const int task = MsgGetInt(MsgIn, kMsgTaskId);
        if (tasks.empty() || tasks.back() != task) tasks.push_back(task);
    }
};

Reply Held(int task) {
    return Reply{17, 0, task, 0, 22};
}

std::vector<int> Range(int from, int to) {
    std::vector<int> v;
    for (int i = from; i <= to; ++i) v.push_back(i);
    return v;
}

struct TickCase {
    const char* what;
    std::vector<Reply> queued;
    std::vector<int> wantPerTick; // replies handled by each tick, the last 0
    std::vector<int> wantOrder;   // task ids as handled
    const char* wantLine;         // on the console; "" for none
};

TEST_F(MsgsysTest, TickHandlesUpTo32RepliesOrUpToTheFirstMessage) {
    std::vector<Reply> forty;
    for (int t = 1; t <= 40; ++t) forty.push_back(Held(t));
    const TickCase cases[] = {
        {"forty replies: 32, then 8", forty, {32, 8, 0}, Range(1, 40), ""},
        {"a message ends the tick after its reply",
         {Held(1), Held(2), Held(3), Reply{18, 1, 4}, Held(5), Held(6)},
         {4, 2, 0},
         {1, 2, 3, 4, 5, 6},
         ""},
        {"each message in its own tick",
         {Reply{18, 1, 1}, Reply{27, 1, 2}, Held(3)},
         {1, 1, 1, 0},
         {1, 2, 3},
         ""},
        {"a status -1 reply is reported in its turn and not counted",
         {Held(1), Reply{17, -1, 2, 0, 22}, Held(3)},
         {2, 0},
         {1, 3},
         "ReceiveMessage: reply 17 for task 2 with status -1 dropped\n"},
    };
    for (const TickCase& c : cases) {
        SCOPED_TRACE(c.what);
        MsgsysResetForTest();
        OrderUi ui;
        SetReplyUi(&ui);
        for (const Reply& r : c.queued) Send(r);
        testing::internal::CaptureStdout();
        std::vector<int> perTick;
        for (size_t i = 0; i < c.wantPerTick.size(); ++i) perTick.push_back(PollTick());
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.wantLine);
        EXPECT_EQ(perTick, c.wantPerTick);
        EXPECT_EQ(ui.tasks, c.wantOrder);
        SetReplyUi(&ui_);
    }
}

TEST_F(MsgsysTest, BacklogHoldsWhatTheQueueCannot) {
    OrderUi ui;
    SetReplyUi(&ui);
    // The queue holds 73 replies; the drain between the bursts makes room.
    for (int t = 1; t <= 60; ++t) Send(Held(t));
    DrainReplies();
    for (int t = 61; t <= 120; ++t) Send(Held(t));
    std::vector<int> perTick;
    for (int i = 0; i < 5; ++i) perTick.push_back(PollTick());
    EXPECT_EQ(perTick, (std::vector<int>{32, 32, 32, 24, 0}));
    EXPECT_EQ(ui.tasks, Range(1, 120));
}

// What the server said before its queue went is handled first, also when
// it takes more than one tick: the notice waits for the tick that empties the
// backlog.
TEST_F(MsgsysTest, RemovedQueueIsToldOnceAfterTheBacklogAndTheMenuComesBack) {
    const std::string held = "light4 off, ";
    const std::string gone = "update, apply, light3 off, light4 off, hide, message L300\nL100";
    std::string heldTimes32;
    for (int i = 0; i < 32; ++i) heldTimes32 += held;
    struct Backlog {
        const char* what;
        std::vector<Reply> replies;
        std::vector<std::string> wantTicks; // the events of each tick
    };
    const Backlog backlogs[] = {
        {"one reply", {Held(101)}, {held + gone}},
        {"more replies than a tick handles",
         std::vector<Reply>(40, Held(101)),
         {heldTimes32.substr(0, heldTimes32.size() - 2),
          held + held + held + held + held + held + held + held + gone}},
        {"a reply that shows a message, then another",
         {Reply{18, 1}, Held(101)},
         {"message L103\nL100", held + gone}},
    };
    for (const Backlog& b : backlogs) {
        for (const bool bySend : {false, true}) {
            SCOPED_TRACE(std::string(b.what) +
                         (bySend ? ", found by a send" : ", found by the tick's receive"));
            MsgsysResetForTest();
            SetReplyUi(&ui_);
            RemovePrivateQueue(qid_);
            qid_ = MakePrivateQueue();
            ASSERT_NE(qid_, -1);
            MsgQueueId = qid_;
            RecordTask(101, "PART1", SLOT_RUNNING, 0x1000, 1, 4, 0x10000);
            CurrentTaskId = 101;
            ui_.loading = true;
            ui_.Take();
            // Taken off the queue before it went.
            for (const Reply& r : b.replies) Send(r);
            DrainReplies();
            ASSERT_EQ(msgctl(qid_, IPC_RMID, nullptr), 0);
            testing::internal::CaptureStdout();
            if (bySend) {
                MsgSetInt(MsgOut, kMsgCode, 18);
                EXPECT_EQ(SendMessage(0), -1);
            }
            for (const std::string& want : b.wantTicks) {
                PollTick();
                EXPECT_EQ(ui_.Take(), want);
            }
            EXPECT_EQ(TaskSlot.state, SLOT_FREE);
            EXPECT_EQ(CurrentTaskId, 0);
            EXPECT_TRUE(MessageQueueGone());

            // Told once; nothing is sent or waited for any more.
            EXPECT_EQ(PollTick(), 0);
            EXPECT_EQ(SendMessage(0), -1);
            EXPECT_EQ(ui_.Take(), "");
            const auto start = std::chrono::steady_clock::now();
            EXPECT_EQ(WaitForShutdownMessage(30), -1);
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
            const std::string out = testing::internal::GetCapturedStdout();
            const std::string head = std::string("Message System: the message queue is gone (") +
                                     (bySend ? "send" : "receive") + ": ";
            const std::string tail = "), the message server has stopped\n";
            EXPECT_EQ(out.rfind(head, 0), 0u) << out;
            EXPECT_EQ(out.find(tail), out.size() - tail.size()) << out;
            EXPECT_EQ(out.find('\n'), out.size() - 1) << out; // one line
        }
    }
}

TEST_F(MsgsysTest, SilentServerEndsTheNoticesWaitAndALateAnswerIsStillHandled) {
    ScopedEnv fast("QEL_NAP_PERCENT", "1");
    // The bound scales with the pauses, read once per process (ctest runs
    // every test in a process of its own), down to its floor of 5 s.
    const long bound = ServerAnswerBoundMs();
    ASSERT_EQ(bound, 5000);
    // Tenths of the bound.
    auto sleepTenths = [bound](int n) {
        std::this_thread::sleep_for(std::chrono::milliseconds(bound * n / 10));
    };
    SetEnabledRows({5, 6, 7, 8, 9});
    ui_.loading = true;
    EXPECT_EQ(PollTick(), 0); // finds the notice up: the wait starts
    sleepTenths(6);
    // The server answers: the wait for its ready report starts again.
    Send(Reply{14, 0, 101, 4});
    EXPECT_EQ(PollTick(), 1);
    sleepTenths(6);
    EXPECT_EQ(PollTick(), 0);
    EXPECT_EQ(ui_.Take(), "");
    sleepTenths(5);
    testing::internal::CaptureStdout();
    EXPECT_EQ(PollTick(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "CheckMess: no answer from the message server within 5 s\n");
    EXPECT_EQ(ui_.Take(), "hide, update, apply, message L307\nL100");
    EXPECT_FALSE(ui_.loading);
    EXPECT_EQ(PollTick(), 0);
    EXPECT_EQ(ui_.Take(), "");

    // The late ready report still sends the run.
    Send(Reply{17, 0, 101, 0, 20});
    EXPECT_EQ(PollTick(), 1);
    const auto sent = Requests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(wire::Int(sent[0], wire::kCode), 16);
    EXPECT_EQ(wire::Int(sent[0], wire::kArg), 4);
    EXPECT_EQ(TaskSlot.state, SLOT_RUNNING);

    // A notice hidden by the normal way is not waited on.
    ui_.Take();
    ui_.loading = true;
    EXPECT_EQ(PollTick(), 0);
    ui_.loading = false;
    sleepTenths(11);
    EXPECT_EQ(PollTick(), 0);
    EXPECT_EQ(ui_.Take(), "");
}

TEST_F(MsgsysTest, PrintAndPortRequests) {
    VirtualClock clock;
    const std::string path79 = "/u/tmp/" + std::string(72, 'a');
    ASSERT_TRUE(SetPrintPath(path79));
    SendCommand("FILE/COPY;", 10, 10);
    SendCommand39();
    auto sent = Requests();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(wire::Int(sent[0], wire::kCode), 10);
    EXPECT_EQ(wire::Int(sent[0], wire::kArg), 0);
    EXPECT_EQ(wire::Int(sent[0], wire::kSubState), 0);
    EXPECT_EQ(wire::Text(sent[0], wire::kPath, 80), path79);
    EXPECT_EQ(wire::Int(sent[1], wire::kCode), 39);
    EXPECT_EQ(wire::Int(sent[1], wire::kArg), -1);
    EXPECT_EQ(clock.NapsOf(3000), 1);

    // A path that does not fit is refused, and the record keeps the last one.
    testing::internal::CaptureStdout();
    EXPECT_FALSE(SetPrintPath(path79 + "b"));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("SetPrintPath: path of 80 characters"),
              std::string::npos);
    SendCommand("", 9, 0);
    sent = Requests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(wire::Text(sent[0], wire::kPath, 80), path79);
}

// The program's last wait: only the status 99 is the server's last message,
// and a queue that is gone ends the wait with another answer.
TEST_F(MsgsysTest, OnlyStatus99IsTheLastMessage) {
    Send(Reply{14, 8, 101}); // the abort's end, not read by the poll
    Send(Reply{0, 98});
    Send(Reply{0, 99});
    Send(Reply{17, 0, 101, 0, 21}); // after the last message: not taken
    EXPECT_EQ(WaitForShutdownMessage(5), 0);
    ASSERT_TRUE(PollOnce());
    EXPECT_EQ(wire::Int(Taken(), wire::kCode), 17);
    EXPECT_FALSE(PollOnce());

    // One that the drivers' stop kept for the poll counts as well.
    {
        VirtualClock clock;
        Send(Reply{0, 99});
        Send(Reply{49, 0, 0, 0});
        ASSERT_EQ(StopPrinterDrivers(), 0);
    }
    Requests();
    EXPECT_EQ(WaitForShutdownMessage(5), 0);

    Send(Reply{0, 98});
    testing::internal::CaptureStdout();
    EXPECT_EQ(WaitForShutdownMessage(1), -82);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ExitVok: no last message from the message server within 1 s\n");

    msgctl(qid_, IPC_RMID, nullptr);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForShutdownMessage(5), -1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

// ---- printer drivers ----

UartEntry Port(const std::string& name, char mode, uint32_t cflag, const std::string& type,
               const std::string& description) {
    UartEntry e;
    e.name = name;
    e.mode = mode;
    e.cflag = cflag;
    e.path = "/dev/M_" + name;
    e.type = type;
    e.description = description;
    return e;
}

SandboxOptions WithDrivers(std::vector<std::string> types) {
    SandboxOptions o = Sandbox::DefaultOptions();
    o.printerDrivers = std::move(types);
    return o;
}

// The lines of the drivers' log, once count of them have come (they run in
// the background).
std::vector<std::string> DriverLines(const Sandbox& box, size_t count) {
    WaitUntil([&] { return box.ScriptsLog().size() >= count; }, 5000);
    return box.ScriptsLog();
}

TEST(PrinterDrivers, OnlyThePlotterStartsAsDriverZero) {
    Sandbox box(WithDrivers({"PLT"}));
    box.WriteUart({ServoEntry(), Port("PLOTTER", 'P', 0x8BD, "PLT", "Plot A")});
    for (const char* spool : {"/u/tmp/P1", "/u/tmp/P2", "/u/tmp/P3"}) box.Write(spool, "old");
    MsgsysResetForTest();
    const int qid = MakePrivateQueue();
    ASSERT_NE(qid, -1);
    MsgQueueId = qid;
    MsgKey = kKey;
    OwnPid = getpid();
    VirtualClock clock;
    testing::internal::CaptureStdout();
    StartPrinterDrivers();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "\nPlease wait ... starting the printer drivers ...\n"
                   "SYSTEM('/u/qel/xeq/PLT 0 /dev/M_PLOTTER P 2237 \"Plot A\" &')\n"
                   "\nComplete.\n");
    EXPECT_EQ(clock.NapsOf(3000), 1);
    for (const char* spool : {"/u/tmp/P1", "/u/tmp/P2", "/u/tmp/P3"})
        EXPECT_FALSE(box.Exists(spool));

    wire::Msg m;
    ASSERT_GE(msgrcv(qid, &m, wire::kTextSize, kKey, IPC_NOWAIT), 0);
    EXPECT_EQ(wire::Int(m, wire::kCode), 38);
    EXPECT_EQ(wire::Int(m, wire::kArg), -1);
    EXPECT_EQ(wire::Text(m, 32, 40), "");
    EXPECT_EQ(wire::Text(m, 72, 40), "PLT");
    EXPECT_EQ(wire::Text(m, 112, 40), "");
    RemovePrivateQueue(qid);

    EXPECT_EQ(DriverLines(box, 1), std::vector<std::string>{"PLT [0] [" + box.root() +
                                                            "/dev/M_PLOTTER] [P] [2237] [Plot A]"});
}

// Runs the shell commands of a scope in a folder.
class InFolder {
  public:
    explicit InFolder(const std::string& dir) {
        char* old = getcwd(nullptr, 0);
        old_ = old ? old : "/";
        free(old);
        if (chdir(dir.c_str()) != 0) ADD_FAILURE() << "chdir " << dir;
    }
    ~InFolder() {
        if (chdir(old_.c_str()) != 0) ADD_FAILURE() << "chdir " << old_;
    }

  private:
    std::string old_;
};

TEST(PrinterDrivers, PortFieldsCannotReachTheShell) {
    Sandbox box(WithDrivers({"LP", "PLT", "PEN"}));
    InFolder here(box.root());
    box.WriteUart({Port("PRINTER", 'P', 0, "LP", "$(touch pwned)"),
                   Port("PLOTTER", ';', 7, "PLT", "\\\"; touch pwned; `touch pwned`"),
                   Port("PENPLOTTER", '\0', 7, "PEN", "pen")});
    MsgsysResetForTest();
    MsgQueueId = -1; // request 38 is not sent: the drivers start all the same
    VirtualClock clock;
    testing::internal::CaptureStdout();
    StartPrinterDrivers();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "\nPlease wait ... starting the printer drivers ...\n"
                   "SYSTEM('/u/qel/xeq/LP 0 /dev/M_PRINTER P 0 \"\\$(touch pwned)\" &')\n"
                   "SYSTEM('/u/qel/xeq/PLT 1 /dev/M_PLOTTER ';' 7 "
                   "\"\\\\\\\"; touch pwned; \\`touch pwned\\`\" &')\n"
                   "StartPrinterDrivers: PENPLOTTER has no printable mode character (code 0), "
                   "driver PEN not started\n"
                   "\nComplete.\n");
    // The drivers run in the background: their lines come in either order.
    auto lines = DriverLines(box, 2);
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "LP [0] [" + box.root() + "/dev/M_PRINTER] [P] [0] [$(touch pwned)]",
                         "PLT [1] [" + box.root() +
                             "/dev/M_PLOTTER] [;] [7] [\\\"; touch pwned; `touch pwned`]"}));
    EXPECT_FALSE(box.Exists("/pwned"));
}

TEST(PrinterDrivers, TypesThatAreNoPlainProgramNameAreRefused) {
    Sandbox box(WithDrivers({"PLT"}));
    box.WriteUart({Port("PRINTER", 'P', 0, "../../bin/sh", "p"),
                   Port("PLOTTER", 'P', 0, "PLT x", "q"), Port("PENPLOTTER", 'P', 0, "NONE", "r")});
    MsgsysResetForTest();
    MsgQueueId = -1;
    VirtualClock clock;
    testing::internal::CaptureStdout();
    StartPrinterDrivers();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "\nPlease wait ... starting the printer drivers ...\n"
                   "StartPrinterDrivers: driver type '../../bin/sh' of PRINTER refused\n"
                   "StartPrinterDrivers: driver type 'PLT x' of PLOTTER refused\n"
                   "\nComplete.\n");
}

} // namespace

// ---- against the simulated message server ----

// Real pauses at a tenth of their length, counted by length.
std::vector<long> Naps;
void TenthNap(long ms) {
    Naps.push_back(ms);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms / 10));
}

TEST(MsgsysWithServer, ExistingQueueIsUsedAndTheDriversStopAfterABusyAnswer) {
    // A server that outlived the stop script.
    SandboxOptions options = Sandbox::DefaultOptions();
    options.killServer = false;
    Sandbox box(options);
    const std::string key = box.Path("/usr/bin/XSRVR");
    ChildProcess server({QEL_MSGSIM_PATH, "serve", "--key-file", key, "--client",
                         std::to_string(getpid()), "--log", box.Path("/sim/msgserver.jsonl"),
                         "--stop-values", "2,0"},
                        {}, box.Path("/sim/msgserver.out"));
    ASSERT_TRUE(WaitUntil([&] { return msgget(ftok(key.c_str(), 'q'), 0) != -1; }, 5000));
    MsgsysResetForTest();
    SetNapHook(TenthNap);
    testing::internal::CaptureStdout();
    ASSERT_EQ(OpenMessageSystem(), 0);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "SYSTEM('/usr/bin/KILL_XSERVER')\n"
                   "\nError:  Could Not Start XServer.  After VOK comes up, manually start\n"
                   "/usr/bin/xserver.exe and then quit and restart the vok.exe.  This will\n"
                   "often happen directly after an QEL crash, and should be fine next time\n"
                   "vok is started, or the computer rebooted.\n");
    Naps.clear();
    EXPECT_EQ(StopPrinterDrivers(), 0);
    EXPECT_EQ(std::count(Naps.begin(), Naps.end(), 3000L), 1); // after the busy answer
    ASSERT_TRUE(SetPrintPath("/u/tmp/prt.out"));
    MsgSetInt(MsgOut, kMsgCode, MSG_PRINT);
    EXPECT_EQ(SendMessage(0), 0);
    SetNapHook(nullptr);
    ASSERT_TRUE(WaitUntil([&] { return box.ServerLog().size() >= 3; }, 5000));
    const auto log = box.ServerLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(JsonInt(log[0], "code"), 48);
    EXPECT_EQ(JsonInt(log[1], "code"), 49);
    EXPECT_EQ(JsonInt(log[2], "code"), 9);
    EXPECT_EQ(JsonStr(log[2], "path"), "/u/tmp/prt.out");
    // KILL_XSERVER only: no server, error window or drivers are started.
    EXPECT_EQ(box.ScriptsLog(), std::vector<std::string>{"KILL_XSERVER "});
}

// A message of type 1 read by a child that then ends: the queue's last
// reader is a process that has gone.
void ReadByAnEndedChild(int qid) {
    wire::Msg m;
    m.mtype = 1;
    ASSERT_EQ(msgsnd(qid, &m, wire::kTextSize, IPC_NOWAIT), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(msgrcv(qid, &m, wire::kTextSize, 1, IPC_NOWAIT) >= 0 ? 0 : 1);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

const char* const kServerStopped = "Message System: the message server (process ";

std::vector<std::string> RequestsOf(const Sandbox& box, int code) {
    std::vector<std::string> out;
    for (const std::string& line : box.ServerLog())
        if (JsonInt(line, "code") == code) out.push_back(line);
    return out;
}

// The server killed outright leaves its queue: requests still go onto it, but
// nothing will read them. The request after the kill is not sent, the console
// names the server and the request, and the next tick tells the operator once,
// as when the queue itself goes.
TEST(MsgsysWithServer, AServerKilledWithItsQueueLeftIsToldAfterTheNextRequest) {
    ScopedEnv fast("QEL_NAP_PERCENT", "1"); // the printer drivers' 3 s
    Sandbox box;
    std::string labels;
    for (int n = 1; n <= 320; ++n) labels += "L" + std::to_string(n) + "\n";
    box.Write(LabelFileName(0), labels);
    Language = 0;
    ASSERT_EQ(InitVok(), 0);
    MsgsysResetForTest();
    RecordingUi ui;
    SetReplyUi(&ui);
    ActiveMenuButton = 0;
    ShownScreen = nullptr;
    testing::internal::CaptureStdout();
    ASSERT_EQ(OpenMessageSystem(), 0);
    // The server's first read may not have happened yet: nothing is known,
    // nothing is said.
    EXPECT_EQ(SendPrintRequest("/u/tmp/first"), 0);
    ASSERT_TRUE(WaitUntil([&] { return RequestsOf(box, 9).size() == 1; }, 30000));
    const pid_t server = static_cast<pid_t>(JsonInt(RequestsOf(box, 9)[0], "server"));
    ASSERT_GT(server, 0);
    // The data page's answer, taken by the tick: this program is now the
    // queue's last reader.
    MsgSetInt(MsgOut, kMsgCode, 18);
    ASSERT_EQ(SendMessage(0), 0);
    ASSERT_TRUE(WaitUntil([&] { return PollTick() == 1; }, 30000));
    EXPECT_EQ(ui.Take(), "");

    ASSERT_EQ(kill(server, SIGKILL), 0);
    ASSERT_TRUE(WaitUntil([&] { return ProcessGone(server); }, 30000));
    EXPECT_EQ(SendPrintRequest("/u/tmp/second"), -1);
    EXPECT_TRUE(MessageQueueGone());
    EXPECT_EQ(PollTick(), 0);
    EXPECT_EQ(ui.Take(), "update, apply, light3 off, light4 off, hide, message L300\nL100");
    // Once: later requests are refused without a word more.
    EXPECT_EQ(SendPrintRequest("/u/tmp/third"), -1);
    EXPECT_EQ(PollTick(), 0);
    EXPECT_EQ(ui.Take(), "");
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string line =
        kServerStopped + std::to_string(server) + ") has stopped, request 9 stays unread\n";
    EXPECT_NE(out.find(line), std::string::npos) << out;
    EXPECT_EQ(out.find(kServerStopped), out.rfind(kServerStopped)) << out;
    SetReplyUi(nullptr);
}

// Who read the queue last decides, and only a reader seen after the queue
// was opened counts as the server: an old queue may name an earlier run of
// this program, long gone, while its server still runs.
TEST(MsgsysWithServer, OnlyAReaderSeenSinceTheOpenIsTakenForTheServer) {
    SandboxOptions options = Sandbox::DefaultOptions();
    options.killServer = false;
    Sandbox box(options);
    const key_t key = ftok(box.Path("/usr/bin/XSRVR").c_str(), 'q');
    const int qid = msgget(key, IPC_CREAT | IPC_EXCL | 0600);
    ASSERT_NE(qid, -1);
    ReadByAnEndedChild(qid);
    MsgsysResetForTest();
    testing::internal::CaptureStdout();
    ASSERT_EQ(OpenMessageSystem(), 0);
    ASSERT_EQ(MsgQueueId, qid);
    EXPECT_EQ(SendPrintRequest("/u/tmp/a"), 0);
    // This program's own receive makes it the last reader: still nothing.
    wire::Msg m;
    m.mtype = getpid();
    ASSERT_EQ(msgsnd(qid, &m, wire::kTextSize, IPC_NOWAIT), 0);
    DrainReplies();
    EXPECT_EQ(SendPrintRequest("/u/tmp/b"), 0);
    EXPECT_FALSE(MessageQueueGone());
    // A reader since the open, gone now.
    ReadByAnEndedChild(qid);
    EXPECT_EQ(SendPrintRequest("/u/tmp/c"), -1);
    EXPECT_TRUE(MessageQueueGone());
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find(kServerStopped), std::string::npos) << out;
    msgctl(qid, IPC_RMID, nullptr);
}

// The pauses of the server's start, in real time at their full length
// whatever QEL_NAP_PERCENT says, counted by length.
std::vector<long> StartNaps;
void RealNap(long ms) {
    StartNaps.push_back(ms);
    if (ms <= 100) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// The server started at the open makes its queue when it is up, which on a
// busy machine takes a while: the queue is looked for every 50 ms up to 2 s,
// and the start goes on as soon as it is there.
TEST(MsgsysWithServer, TheServersQueueIsLookedForEvery50msForUpTo2s) {
    struct Case {
        const char* what;
        const char* delay; // before the server starts: a sleep's argument
        int want;
    };
    const Case cases[] = {
        {"a server that takes half a second to come up", "0.5", 0},
        {"a server whose queue never comes", "", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SandboxOptions options = Sandbox::DefaultOptions();
        options.startServer = *c.delay != '\0';
        Sandbox box(options);
        if (options.startServer) {
            std::string script = box.Read("/usr/bin/xserver");
            script.insert(script.find('\n') + 1, std::string("sleep ") + c.delay + "\n");
            box.Write("/usr/bin/xserver", script);
        }
        MsgsysResetForTest();
        StartNaps.clear();
        SetNapHook(RealNap);
        testing::internal::CaptureStdout();
        EXPECT_EQ(OpenMessageSystem(), c.want);
        testing::internal::GetCapturedStdout();
        SetNapHook(nullptr);
        const long looks = std::count(StartNaps.begin(), StartNaps.end(), 50L);
        if (c.want == 0) {
            EXPECT_GT(looks, 0);
            EXPECT_LT(looks, 40); // on before the 2 s were up
        } else {
            EXPECT_EQ(looks, 40);
            EXPECT_EQ(StartNaps.size(), 40u); // nothing but the looks
        }
    }
}
