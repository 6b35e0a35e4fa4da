// The pause and exit screen: what opening it does for each state of the
// task slot (a running task is held), the poll that closes it again, the
// ways through OK to the end of the program (ExitVok recorded, not run),
// and the lines cut to their 78 bytes.
#include <gtest/gtest.h>

#include "choice_fixture.h"

#include "exitscreen.h"
#include "filescreen.h"
#include "labels.h"
#include "settings.h"
#include "vok.h"

#include <chrono>
#include <map>
#include <string>

namespace {

int ExitVokCalls = 0;
void RecordExitVok() {
    ++ExitVokCalls;
}

const std::string kLongLabel(100, 'x');

class ExitScreenTest : public ChoiceFixture {
  public:
    void SetUp() override {
        ChoiceFixture::SetUp();
        ExitVokCalls = 0;
        SetExitVokHook(RecordExitVok);
        NetworkOption = 0;
        CurrentPart = "P1";
        SetMenuFlags(kIdle);
    }
    void TearDown() override {
        SetExitVokHook(nullptr);
        ChoiceFixture::TearDown();
    }
    const ChoiceScreen& S() const { return ExitScreenState(); }
    bool Open() const { return S().window && XtIsManaged(S().window); }
    std::string Row(int row, bool right) const {
        return LabelText(right ? S().infoRight.at(row) : S().infoLeft.at(row));
    }
    // A task of the slot as the message system records it.
    void Task(int id, int state) {
        MsgsysResetForTest();
        RecordTask(id, "P1", state, 0x1000, 1, 4, 0x10000);
        CurrentTaskId = id;
        IndicatorOn(MainMenuIndicators[4]);
    }

    static constexpr const char* kIdle = "0111111111";
};

void ExpectTaskControl(const wire::Msg& m, int task) {
    EXPECT_EQ(m.mtype, MsgKey);
    EXPECT_EQ(wire::Int(m, wire::kArg), 4);
    EXPECT_EQ(wire::Int(m, wire::kTask), task);
    EXPECT_EQ(wire::Int(m, wire::kCode), 16);
}

TEST_F(ExitScreenTest, OpeningByTaskState) {
    struct Case {
        const char* name;
        int slotId, state, current;
        bool sendWorks;
        const char* hold;      // row 1, right
        const char* stateLine; // row 2, right
        bool holdSent;
    };
    const Case cases[] = {
        {"running", 101, SLOT_RUNNING, 101, true, "L167", "L196", true},
        {"running, hold not sent", 101, SLOT_RUNNING, 101, false, " ", "L196", false},
        {"held", 101, SLOT_HELD, 101, true, " ", "L215", false},
        {"ready", 101, SLOT_READY, 101, true, " ", "L216", false},
        {"free", -1, SLOT_FREE, 0, true, " ", "L194", false},
        {"another task", 101, SLOT_RUNNING, 202, true, " ", "L194", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.slotId < 0)
            MsgsysResetForTest();
        else
            Task(c.slotId, c.state);
        CurrentTaskId = c.current;
        IndicatorOn(MainMenuIndicators[4]);
        const Pixel lit = Background(MainMenuIndicators[4]);
        MsgQueueId = c.sendWorks ? queue_ : -1;
        const TaskRecord before = TaskSlot;

        ShowExitScreen();
        MsgQueueId = queue_;
        ASSERT_TRUE(Open());
        EXPECT_EQ(ActiveMenuButton, kPauseButton);
        EXPECT_EQ(ShownScreen, nullptr);
        EXPECT_EQ(MenuSensitivity(), "0000000000");
        EXPECT_EQ(LabelText(S().row1), "L14");
        EXPECT_EQ(LabelText(S().row2), "L68 \"P1\"");
        EXPECT_EQ(Row(0, false), " ");
        EXPECT_EQ(Row(0, true), c.hold);
        EXPECT_EQ(Row(1, false), "L294");
        EXPECT_EQ(Row(1, true), c.stateLine);
        EXPECT_EQ(Row(2, false), "");
        EXPECT_TRUE(XtIsSensitive(S().ok));
        EXPECT_TRUE(XtIsSensitive(S().cancel));

        const auto sent = Requests();
        if (c.holdSent) {
            ASSERT_EQ(sent.size(), 1u);
            ExpectTaskControl(sent[0], 101);
            EXPECT_EQ(wire::Int(sent[0], wire::kData), 0x20000);
            EXPECT_EQ(TaskSlot.state, SLOT_HELD);
            EXPECT_EQ(TaskSlot.value, 0x20000);
            EXPECT_EQ(Background(MainMenuIndicators[4]), DarkLight());
            EXPECT_EQ(S().choice, 0x20000);
        } else {
            EXPECT_TRUE(sent.empty());
            EXPECT_EQ(TaskSlot.state, before.state);
            EXPECT_EQ(TaskSlot.value, before.value);
            EXPECT_EQ(Background(MainMenuIndicators[4]), lit);
            EXPECT_EQ(S().choice, 0);
        }

        // Cancel closes without a word about the task: a held one stays held.
        const TaskRecord opened = TaskSlot;
        Press(S().cancel);
        EXPECT_FALSE(Open());
        EXPECT_EQ(ActiveMenuButton, 0);
        EXPECT_EQ(MenuSensitivity(), kIdle);
        EXPECT_TRUE(Requests().empty());
        EXPECT_EQ(TaskSlot.state, opened.state);
    }
}

TEST_F(ExitScreenTest, PauseWhileOpenDoesNothing) {
    Task(101, SLOT_RUNNING);
    ShowExitScreen();
    ShowExitScreen();
    EXPECT_EQ(Requests().size(), 1u);
    EXPECT_TRUE(Open());
}

// With a running task, Pause holds it, and the server's confirmation closes
// the screen again through the poll; the next Pause shows the held task and
// stays.
TEST_F(ExitScreenTest, TheHoldConfirmationClosesTheScreenWithinASecond) {
    Task(101, SLOT_RUNNING);
    CheckMess(MainForm, nullptr); // the poll, every second from now on
    ShowExitScreen();
    ASSERT_TRUE(Open());
    ASSERT_EQ(Requests().size(), 1u);
    Reply(17, 101, 22);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(ServeUntil([&] { return !Open(); }, 3000));
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    EXPECT_LE(ms, 1300);
    EXPECT_EQ(ActiveMenuButton, 0);
    EXPECT_EQ(MenuSensitivity(), kIdle);
    EXPECT_EQ(TaskSlot.state, SLOT_HELD);

    ShowExitScreen();
    EXPECT_EQ(Row(1, true), "L215");
    EXPECT_TRUE(Requests().empty());
    Serve(1500);
    EXPECT_TRUE(Open());
    // The task runs again: the poll closes the screen.
    Reply(17, 101, 21);
    EXPECT_TRUE(ServeUntil([&] { return !Open(); }, 3000));
    EXPECT_EQ(TaskSlot.state, SLOT_RUNNING);
}

// The poll runs inside the password dialog: a state report then leaves the
// screen up, as OK has already taken the screen's mark.
TEST_F(ExitScreenTest, AReportDuringThePasswordDoesNotCloseTheScreen) {
    Task(101, SLOT_HELD);
    ShowExitScreen();
    Press(S().buttons.at(0));
    static ExitScreenTest* self = this;
    static bool openInside = false;
    InsidePassword = [] {
        self->Reply(17, 101, 21);
        EXPECT_EQ(ActiveMenuButton, 0);
        EXPECT_TRUE(PollOnce());
        openInside = self->Open();
    };
    PasswordAnswer = 0;
    Press(S().ok);
    EXPECT_TRUE(openInside);
    EXPECT_EQ(TaskSlot.state, SLOT_RUNNING);
    EXPECT_FALSE(Open()); // refused: OK closes it
    EXPECT_EQ(ExitVokCalls, 0);
}

// The task ends while the password is asked: the main menu's flags change,
// but no button comes alive under the screen that is still up.
TEST_F(ExitScreenTest, ATaskEndDuringThePasswordKeepsTheMenuInsensitive) {
    Task(101, SLOT_HELD);
    ShowExitScreen();
    Press(S().buttons.at(0));
    static ExitScreenTest* self = this;
    static std::string menuInside;
    InsidePassword = [] {
        self->Reply(17, 101, 20);
        EXPECT_TRUE(PollOnce());
        menuInside = MenuSensitivity();
    };
    PasswordAnswer = 0;
    Press(S().ok);
    EXPECT_EQ(menuInside, "0000000000");
    EXPECT_FALSE(Open());
    EXPECT_EQ(MenuSensitivity(), MenuFlags()); // applied when the screen closed
}

bool OpenDuringNestedCancel = false;
void CancelAgainHandler(Widget, XtPointer, XEvent*, Boolean*) {
    ExitScreenCancel(nullptr, nullptr, nullptr);
    OpenDuringNestedCancel = XtIsManaged(ExitScreenState().window);
}

TEST_F(ExitScreenTest, CancelIsNotEnteredAgainFromItsEventPass) {
    ShowExitScreen();
    RunInNextEventPass(CancelAgainHandler);
    ExitScreenCancel(nullptr, nullptr, nullptr);
    EXPECT_TRUE(OpenDuringNestedCancel);
    EXPECT_FALSE(Open());
    EXPECT_EQ(ActiveMenuButton, 0);
}

TEST_F(ExitScreenTest, WaysThroughOk) {
    struct Case {
        const char* name;
        int slot; // -1: no task
        bool chooseExit;
        int password, confirm;
        std::vector<int> asked;
        size_t confirmations;
        int aborts;
        bool ended;
    };
    const Case cases[] = {
        {"nothing chosen", SLOT_HELD, false, 1, 1, {}, 0, 0, false},
        {"password refused", SLOT_HELD, true, 0, 1, {3}, 0, 0, false},
        {"not confirmed", SLOT_HELD, true, 1, 0, {3}, 1, 0, false},
        {"confirmed with a task", SLOT_HELD, true, 1, 1, {3}, 1, 1, true},
        {"confirmed, task just held", SLOT_RUNNING, true, 1, 1, {3}, 1, 1, true},
        {"confirmed without a task", -1, true, 1, 1, {3}, 1, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.slot < 0)
            MsgsysResetForTest();
        else
            Task(101, c.slot);
        PasswordItems.clear();
        Messages.clear();
        PasswordAnswer = c.password;
        MessageAnswer = c.confirm;
        ExitVokCalls = 0;
        SetMenuFlags(kIdle);
        ShowExitScreen();
        Requests(); // the hold of a running task
        if (c.chooseExit) {
            Press(S().buttons.at(0));
            EXPECT_EQ(S().choice, 0x400000);
            EXPECT_EQ(S().marked, S().buttons[0]);
            EXPECT_EQ(Geometry(S().buttons[0]), (WidgetBox{248, 190, 78, 78}));
        }
        Press(S().ok);
        EXPECT_EQ(PasswordItems, c.asked);
        ASSERT_EQ(Messages.size(), c.confirmations);
        if (c.confirmations) {
            EXPECT_EQ(Messages[0], " \nL90");
        }
        const auto sent = Requests();
        ASSERT_EQ(sent.size(), static_cast<size_t>(c.aborts));
        if (c.aborts) {
            ExpectTaskControl(sent[0], 101);
            EXPECT_EQ(wire::Int(sent[0], wire::kData), 0x400000);
        }
        EXPECT_EQ(ExitVokCalls, c.ended ? 1 : 0);
        EXPECT_EQ(ActiveMenuButton, 0);
        if (!c.ended) {
            EXPECT_FALSE(Open());
            EXPECT_EQ(S().marked, nullptr);
            EXPECT_EQ(MenuSensitivity(), kIdle);
            if (c.slot == SLOT_HELD) {
                EXPECT_EQ(TaskSlot.state, SLOT_HELD);
            }
        } else {
            ExitScreenCancel(nullptr, nullptr, nullptr);
        }
        EXPECT_FALSE(XtIsSensitive(S().ok));
    }
}

// Pause pressed while OK waits for the confirmation: the screen is not
// opened over itself, and once closed it opens again.
void PressPause() {
    ShowExitScreen();
}

TEST_F(ExitScreenTest, PauseDuringTheConfirmationLeavesTheScreenReachable) {
    ShowExitScreen();
    Press(S().buttons.at(0));
    MessageAnswer = 0;
    InsideMessage = PressPause;
    Press(S().ok);
    EXPECT_EQ(Messages.size(), 1u);
    EXPECT_FALSE(Open());
    EXPECT_EQ(ActiveMenuButton, 0);
    InsideMessage = nullptr;
    ShowExitScreen();
    EXPECT_TRUE(Open());
    EXPECT_EQ(ActiveMenuButton, kPauseButton);
}

TEST_F(ExitScreenTest, LinesHoldAtMost78Bytes) {
    const std::string pair = "\xA4\xA2"; // one two-byte character
    std::string pairs;
    for (int i = 0; i < 40; ++i) pairs += pair;
    const struct {
        std::string label;
        int language;
        size_t kept;
    } cases[] = {
        {"short", 0, 5},      {std::string(78, 'a'), 0, 78},
        {kLongLabel, 0, 78},  {kLongLabel, 6, 78},
        {pairs, 6, 78},       // 39 characters
        {"a" + pairs, 6, 77}, // the 39th character would end at byte 79
        {"a" + pairs, 0, 78}, // other languages count bytes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.label.size()) + " bytes, language " +
                     std::to_string(c.language));
        const std::string line = ScreenLineText(c.label, c.language);
        EXPECT_EQ(line, c.label.substr(0, c.kept));
    }

    // On the screen: the running task's line from a label of 100 bytes.
    std::map<int, std::string> labels = ChoiceLabels();
    labels[196] = kLongLabel;
    WriteLabelFile(gui_.box(), labels);
    FreeLabText();
    ASSERT_EQ(InitVok(), 0);
    Task(101, SLOT_RUNNING);
    ShowExitScreen();
    EXPECT_EQ(Row(1, true), std::string(78, 'x'));
}

} // namespace
