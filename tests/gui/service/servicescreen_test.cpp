// The service screen under a private X server: the scripts through the
// starter (the sandbox's stand-ins log their arguments) for each controller
// family, what a refused password or task question starts (nothing), the
// self test's button by operating mode and family, and ConfirmStopTasks:
// no task, Cancel, a task that ends and one that does not.
#include <gtest/gtest.h>

#include "choice_fixture.h"

#include "labels.h"
#include "nap.h"
#include "servicescreen.h"

#include <chrono>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

void NoNap(long) {}

class ServiceScreenTest : public ChoiceFixture {
  protected:
    void SetUp() override {
        ChoiceFixture::SetUp();
        SetNapHook(NoNap);
        CurrentPart = "P1";
        ControllerFamily = 1;
        OnlineMode = 1;
    }
    void TearDown() override {
        SetNapHook(nullptr);
        ChoiceFixture::TearDown();
    }
    const Sandbox& Box() const { return gui_.box(); }
    ServiceScreenView V() const { return ServiceScreenState(); }
    bool Open() const { return V().frame->window && XtIsManaged(V().frame->window); }
    void Choose(int index) {
        if (!Open()) ShowServiceScreen();
        ASSERT_TRUE(Open());
        PasswordItems.clear();
        Messages.clear();
        Box().Remove("/sim/scripts.log");
        Press(V().buttons[index]);
    }
    std::string PressOk() {
        testing::internal::CaptureStdout();
        Press(V().frame->ok);
        return testing::internal::GetCapturedStdout();
    }
    void Task() {
        RecordTask(101, "P1", SLOT_RUNNING, 0x1000, 1, 4, 0x10000);
        CurrentTaskId = 101;
    }
};

TEST_F(ServiceScreenTest, ShowsItsChoices) {
    DisableMainMenu(); // as the service menu leaves it
    ShowServiceScreen();
    ASSERT_TRUE(Open());
    EXPECT_EQ(ShownScreen, V().frame->window);
    EXPECT_EQ(LabelText(V().frame->row1), "L41");
    EXPECT_EQ(LabelText(V().frame->row2), "L68 \"P1\"");
    const WidgetBox boxes[] = {
        {94, 108, 66, 66}, {248, 108, 66, 66}, {402, 108, 66, 66}, {248, 272, 66, 66}};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Geometry(V().buttons[i]), boxes[i]) << i;
    Press(V().frame->cancel);
    EXPECT_FALSE(Open());
    EXPECT_EQ(ShownScreen, nullptr);
    EXPECT_EQ(MenuSensitivity(), "0000000000"); // the service menu's to give back
}

// The starter gets "start sh <script> <switch>": -VANTOR for families 1 and
// 2, -KROMI for 3, no switch for any other; the starter runs the script.
TEST_F(ServiceScreenTest, TheScriptsGoThroughTheStarter) {
    const struct {
        int index, item;
        const char* script;
    } scripts[] = {{1, 22, "SYS.BACKUP"}, {2, 23, "SYS.RESTORE"}, {3, 24, "SYS.SERVICE"}};
    const struct {
        int family;
        const char* sw;
    } families[] = {{1, " -VANTOR"}, {2, " -VANTOR"}, {3, " -KROMI"}, {0, ""}};
    for (const auto& s : scripts) {
        for (const auto& f : families) {
            SCOPED_TRACE(std::string(s.script) + " family " + std::to_string(f.family));
            ControllerFamily = f.family;
            Choose(s.index);
            const std::string out = PressOk();
            EXPECT_EQ(PasswordItems, std::vector<int>{s.item});
            // Each stand-in logs its name, a blank and its arguments.
            EXPECT_EQ(Box().ScriptsLog(), (Texts{std::string("start.exe sh ") + s.script + f.sw,
                                                 std::string(s.script) + (*f.sw ? f.sw : " ")}));
            std::string argv =
                "       0: 'start'\n       1: 'sh'\n       2: '" + std::string(s.script) + "'\n";
            if (*f.sw) argv += "       3: '" + std::string(f.sw + 1) + "'\n";
            EXPECT_NE(out.find(argv), std::string::npos) << out;
            EXPECT_EQ(out.find("has no switch") != std::string::npos, f.family == 0) << out;
            EXPECT_TRUE(Open());
            EXPECT_TRUE(XtIsSensitive(V().frame->ok));
            EXPECT_TRUE(XtIsSensitive(V().frame->cancel));
        }
    }
}

TEST_F(ServiceScreenTest, ARefusalStartsNothing) {
    Choose(1);
    PasswordAnswer = 0;
    Press(V().frame->ok);
    EXPECT_EQ(PasswordItems, std::vector<int>{22});
    EXPECT_TRUE(Messages.empty());
    EXPECT_TRUE(Box().ScriptsLog().empty());
    // The task may not be stopped.
    Task();
    PasswordAnswer = 1;
    MessageAnswer = 0;
    Choose(3);
    Press(V().frame->ok);
    EXPECT_EQ(Messages, Texts{"L74 \nL94 \nL64"});
    EXPECT_TRUE(Box().ScriptsLog().empty());
    EXPECT_TRUE(Requests().empty());
    EXPECT_TRUE(XtIsSensitive(V().frame->ok));
}

TEST_F(ServiceScreenTest, TheSelfTestByModeAndFamily) {
    const struct {
        int online, family;
        bool offered;
    } cases[] = {{0, 1, false}, {0, 3, false}, {1, 1, true}, {1, 3, true},
                 {1, 2, false}, {1, 0, false}, {2, 1, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.online) + " " + std::to_string(c.family));
        OnlineMode = c.online;
        ControllerFamily = c.family;
        ShowServiceScreen();
        EXPECT_EQ(XtIsSensitive(V().buttons[0]) != 0, c.offered);
        // The script buttons stay.
        for (int i = 1; i < 4; ++i) EXPECT_TRUE(XtIsSensitive(V().buttons[i]));
        Press(V().frame->cancel);
    }
    // Family B: after its password and the task check, only a message.
    ControllerFamily = 3;
    Choose(0);
    Press(V().frame->ok);
    EXPECT_EQ(PasswordItems, std::vector<int>{21});
    EXPECT_EQ(Messages, Texts{"This function is not available in NT. \n Please use kolbrin in "
                              "Hyperterminal instead."});
    EXPECT_TRUE(Box().ScriptsLog().empty());
    // Family A: the self test itself opens; this station's port table has
    // no SERVO record, so it says it cannot start.
    ControllerFamily = 1;
    Choose(0);
    Press(V().frame->ok);
    EXPECT_EQ(PasswordItems, std::vector<int>{21});
    EXPECT_EQ(Messages, Texts{"L87"});
}

// --- ConfirmStopTasks --------------------------------------------------------------

TEST_F(ServiceScreenTest, NoTaskNoQuestion) {
    EXPECT_EQ(ConfirmStopTasks(), 1);
    EXPECT_TRUE(Messages.empty());
    EXPECT_TRUE(Requests().empty());
}

TEST_F(ServiceScreenTest, CancelKeepsTheTask) {
    Task();
    MessageAnswer = 0;
    EXPECT_EQ(ConfirmStopTasks(), 0);
    EXPECT_EQ(Messages, Texts{"L74 \nL94 \nL64"});
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(TaskSlot.state, SLOT_RUNNING);
}

// The abort goes out, the notice shows while the poll waits for the task's
// end, and the task that ends lets the caller go on.
// The busy notice shown over the main window, or null.
Widget Notice() {
    for (Widget w : Children(MainForm))
        if (std::string(XtName(w)) == "lbl" && XtIsManaged(w) && w != LoadingLabel) return w;
    return nullptr;
}
std::string NoticeSeen;
void LookForNotice() {
    if (Widget notice = Notice()) NoticeSeen = LabelText(notice);
}

TEST_F(ServiceScreenTest, TheTaskEndsAfterTheAbort) {
    Task();
    static ServiceScreenTest* self = this;
    InsideMessage = [] { self->Reply(14, 101, 0, 8); };
    SetPollHookForTest(LookForNotice);
    CheckMess(MainForm, nullptr); // the poll, every second from now on
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ConfirmStopTasks(), 1);
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start)
            .count();
    EXPECT_LE(seconds, 3);
    SetPollHookForTest(nullptr);
    EXPECT_EQ(NoticeSeen, "L95");
    EXPECT_EQ(TaskSlot.state, SLOT_FREE);
    const std::vector<wire::Msg> sent = Requests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(wire::Int(sent[0], wire::kCode), 16);
    EXPECT_EQ(wire::Int(sent[0], wire::kArg), 4);
    EXPECT_EQ(wire::Int(sent[0], wire::kTask), 101);
    EXPECT_EQ(wire::Int(sent[0], wire::kData), 0x400000);
    EXPECT_EQ(Notice(), nullptr);
}

// The one slow test: the ten seconds that a task is given to end.
TEST_F(ServiceScreenTest, ATaskThatDoesNotEndHoldsTheCallerBack) {
    alarm(60);
    Task();
    CheckMess(MainForm, nullptr);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ConfirmStopTasks(), 0);
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start)
            .count();
    EXPECT_GE(seconds, 9);
    EXPECT_EQ(Requests().size(), 1u);
    EXPECT_EQ(TaskSlot.state, SLOT_RUNNING);
}

} // namespace
