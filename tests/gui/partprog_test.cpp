// The part-program menu: its buttons and their sensitivity, what OK does
// for learn, append and inspect (the requests read back from a private
// queue, then the server's answers and the run requests that follow), make
// part through the text question, the data page, the DMIS button, and the
// start-up requests for the data page and the contour program.
#include <gtest/gtest.h>

#include "choice_fixture.h"

#include "filescreen.h"
#include "labels.h"
#include "partnames.h"
#include "partprog.h"
#include "partsel.h"
#include "settings.h"
#include "vok.h"

#include "dialogs.h"

#include <Xm/TextF.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;
const char* const kProgram = "/u/qel/part/P1/program/llf";

// What the dialogs were asked, in order.
std::vector<std::string> Order;
void PasswordAsked() {
    Order.push_back("password");
}
void MessageShown() {
    Order.push_back("message");
}

class PartProgTest : public ChoiceFixture {
  protected:
    void SetUp() override {
        ChoiceFixture::SetUp();
        PartNamesResetForTest();
        PartValid = 1;
        MachineHomed = 1;
        ServoOn = 1;
        SysgenState = 1;
        NetworkOption = 0;
        OnlineItem = 2;
        ControllerFamily = 1;
        CurrentPart = "P1";
        Box().Write(kProgram, "MOVE X 0\n");
        Box().Write("/u/qel/sys_data/files/partname", "P1");
        Box().Write("/u/qel/database/dirfile", "buffer\nstat\n");
        Box().Write("/u/qel/database/evalidchars",
                    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789\n");
        Order.clear();
        InsidePassword = PasswordAsked;
        InsideMessage = MessageShown;
    }
    const Sandbox& Box() const { return gui_.box(); }
    PartProgView V() const { return PartProgState(); }
    bool Open() const { return V().frame->window && XtIsManaged(V().frame->window); }
    // Opens the menu and presses the button of the choice (0 none).
    void OpenAndChoose(int choice) {
        ShowPartProgMenu();
        ASSERT_TRUE(Open());
        Messages.clear();
        PasswordItems.clear();
        Order.clear();
        if (choice) Press(Button(choice));
    }
    Widget Button(int value) const {
        switch (value) {
        case REQ_MAKE_PART:
            return V().makePart;
        case REQ_LEARN:
            return V().learn;
        case REQ_APPEND:
            return V().append;
        case REQ_INSPECT:
            return V().inspect;
        case REQ_DATAPAGE:
            return V().dataPage;
        default:
            return V().dmis;
        }
    }
    // The server's answer to request 14: the task is made, its value the
    // request's argument.
    void TaskMade(int arg) const {
        wire::Msg r;
        r.mtype = OwnPid;
        wire::SetInt(r, wire::kCode, 14);
        wire::SetInt(r, wire::kTask, 101);
        wire::SetInt(r, wire::kStatus, 0);
        wire::SetInt(r, wire::kArg, arg);
        ASSERT_EQ(msgsnd(queue_, &r, wire::kTextSize, IPC_NOWAIT), 0);
    }
};

TEST_F(PartProgTest, ButtonsAndTheirSensitivity) {
    Box().Write("/u/qel/xeq/datapage", "");
    const struct {
        int partValid, taskState;
        bool runs, makePart;
    } cases[] = {
        {1, SLOT_FREE, true, true},   {0, SLOT_FREE, false, true}, {1, SLOT_RUNNING, false, false},
        {1, SLOT_HELD, false, false}, {1, SLOT_READY, true, true}, {0, SLOT_RUNNING, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.partValid) + " task state " + std::to_string(c.taskState));
        PartValid = c.partValid;
        MsgsysResetForTest();
        MsgQueueId = queue_;
        if (c.taskState != SLOT_FREE) RecordTask(101, "P1", c.taskState, 0x1000, 1, 4, 0x10000);
        ShowPartProgMenu();
        ASSERT_TRUE(Open());
        EXPECT_EQ(ShownScreen, V().frame->window);
        for (Widget b : {V().learn, V().append, V().inspect})
            EXPECT_EQ(XtIsSensitive(b) != 0, c.runs);
        EXPECT_EQ(XtIsSensitive(V().makePart) != 0, c.makePart);
        EXPECT_TRUE(XtIsSensitive(V().dataPage));
        PartProgCancel(nullptr, nullptr, nullptr);
        EXPECT_FALSE(Open());
    }
    ShowPartProgMenu();
    EXPECT_EQ(LabelText(V().frame->row1), "L25");
    EXPECT_EQ(LabelText(V().frame->row2), "L68 \"P1\"");
    EXPECT_EQ(XtParent(V().makePart), V().frame->toolbar);
    EXPECT_EQ(Geometry(V().makePart), (WidgetBox{248, 5, 66, 66}));
    EXPECT_EQ(Geometry(V().learn), (WidgetBox{94, 190, 66, 66}));
    EXPECT_EQ(Geometry(V().append), (WidgetBox{248, 190, 66, 66}));
    EXPECT_EQ(Geometry(V().inspect), (WidgetBox{402, 190, 66, 66}));
    EXPECT_EQ(Geometry(V().dataPage), (WidgetBox{248, 272, 66, 66}));
    EXPECT_EQ(V().dmis, nullptr);
    EXPECT_EQ(MenuSensitivity(), "0000000000");
}

// ---- OK on learn, append and inspect ----

enum Program { kPresent, kEmpty, kMissing };

struct OkCase {
    const char* name;
    int choice; // 0 none
    Program program;
    int messageAnswer, password;
    bool sendWorks;
    Names order;    // the dialogs in order
    Names messages; // their texts
    std::vector<int> asked;
    int arg; // of the request; 0 for none
    bool closes;
    const char* flags; // afterwards, from all ten on
};

void PrintTo(const OkCase& c, std::ostream* os) {
    *os << c.name;
}

const char* const kAll = "1111111111";
const char* const kSent = "1000111110";
const char* const kLearnOver = "L96\nL97\nL64";

class PartProgOkTable : public PartProgTest, public testing::WithParamInterface<OkCase> {};

TEST_P(PartProgOkTable, Outcome) {
    const OkCase& c = GetParam();
    if (c.program == kEmpty) Box().Write(kProgram, "");
    if (c.program == kMissing) Box().Remove(kProgram);
    SetMenuFlags(kAll);
    // Run mode and texts of an earlier request.
    const int32_t staleRunMode = 11;
    std::memcpy(MsgOut.text + (wire::kRunMode - wire::kTypeWord), &staleRunMode, 4);
    std::memset(MsgOut.text + (wire::kPart - wire::kTypeWord), 'x', 25 + 27);
    OpenAndChoose(c.choice);
    MessageAnswer = c.messageAnswer;
    PasswordAnswer = c.password;
    if (!c.sendWorks) MsgQueueId = -1;

    Press(V().frame->ok);

    EXPECT_EQ(Order, c.order);
    EXPECT_EQ(Messages, c.messages);
    EXPECT_EQ(PasswordItems, c.asked);
    EXPECT_EQ(Open(), !c.closes);
    EXPECT_EQ(ShownScreen == nullptr, c.closes);
    EXPECT_EQ(MenuFlags(), c.flags);
    if (c.closes)
        EXPECT_EQ(MenuSensitivity(), c.flags);
    else
        EXPECT_EQ(MenuSensitivity(), "0000000000");
    const std::vector<wire::Msg> sent = Requests();
    if (!c.arg) {
        EXPECT_TRUE(sent.empty());
        EXPECT_EQ(LoadMessageShown, 0);
        return;
    }
    ASSERT_EQ(sent.size(), 1u);
    const wire::Msg& m = sent[0];
    EXPECT_EQ(m.mtype, MsgKey);
    EXPECT_EQ(wire::Int(m, wire::kArg), c.arg);
    EXPECT_EQ(wire::Int(m, wire::kSender), getpid());
    EXPECT_EQ(wire::Int(m, wire::kTask), 0);
    EXPECT_EQ(wire::Int(m, wire::kCode), 14);
    EXPECT_EQ(wire::Int(m, wire::kData), 0);
    // Part name and program type empty, every byte of both.
    for (size_t i = 0; i < 25 + 27; ++i)
        ASSERT_EQ(m.text[wire::kPart - wire::kTypeWord + i], 0) << "text byte " << i;
    EXPECT_EQ(wire::Int(m, wire::kRunMode), 0);
    EXPECT_EQ(wire::Int(m, wire::kOpMode), 0x2002);
    EXPECT_EQ(wire::Int(m, wire::kFamily), 1);
    EXPECT_EQ(LoadMessageShown, 1);
    EXPECT_EQ(RunChoice, c.choice == REQ_APPEND ? 2 : 1);
    // The part's folders of dirfile are there for the run.
    EXPECT_TRUE(Box().Exists("/u/qel/part/P1/buffer"));
}

INSTANTIATE_TEST_SUITE_P(
    , PartProgOkTable,
    testing::Values(
        // Learn over a program: the confirmation comes before the password.
        OkCase{"LearnOver",
               REQ_LEARN,
               kPresent,
               1,
               1,
               true,
               {"message", "password"},
               {kLearnOver},
               {31},
               100,
               true,
               kSent},
        OkCase{"LearnOverDeclined",
               REQ_LEARN,
               kPresent,
               0,
               1,
               true,
               {"message"},
               {kLearnOver},
               {},
               0,
               false,
               kAll},
        OkCase{
            "LearnNew", REQ_LEARN, kMissing, 1, 1, true, {"password"}, {}, {31}, 100, true, kSent},
        OkCase{
            "Append", REQ_APPEND, kPresent, 1, 1, true, {"password"}, {}, {32}, 101, true, kSent},
        OkCase{"AppendMissing",
               REQ_APPEND,
               kMissing,
               1,
               1,
               true,
               {"message"},
               {"L99"},
               {},
               0,
               false,
               kAll},
        OkCase{"AppendEmpty",
               REQ_APPEND,
               kEmpty,
               1,
               1,
               true,
               {"message"},
               {"L99"},
               {},
               0,
               false,
               kAll},
        OkCase{"InspectWithoutProgram",
               REQ_INSPECT,
               kMissing,
               1,
               1,
               true,
               {"password"},
               {},
               {33},
               102,
               true,
               kSent},
        // A refused password closes the menu without a request.
        OkCase{"InspectRefused",
               REQ_INSPECT,
               kPresent,
               1,
               0,
               true,
               {"password"},
               {},
               {33},
               0,
               true,
               kAll},
        OkCase{"NotSent",
               REQ_APPEND,
               kPresent,
               1,
               1,
               false,
               {"password", "message"},
               {"L300"},
               {32},
               0,
               true,
               "0000100000"},
        OkCase{"NothingChosen", 0, kPresent, 1, 1, true, {}, {}, {}, 0, false, kAll}),
    [](const testing::TestParamInfo<OkCase>& info) { return std::string(info.param.name); });

// Requests waiting in the queue while the question is up.
int QueuedAtQuestion = -1;
void CountQueuedAtQuestion() {
    Order.push_back("message");
    msqid_ds ds{};
    QueuedAtQuestion = msgctl(MsgQueueId, IPC_STAT, &ds) == 0 ? static_cast<int>(ds.msg_qnum) : -2;
}

// With the part tree elsewhere (QELPART, no install drive named), the menu
// looks for the program in that tree: a learn over it asks first and sends
// nothing before the answer, an append runs it; a program left in the
// install tree's own part folder is not the part's.
TEST_F(PartProgTest, AMovedPartTreeHoldsThePrograms) {
    const std::string parts = Box().root() + "/parts";
    ScopedEnv p("QELPART", parts.c_str());
    ScopedEnv d("QEL_Win_Install_Drive", nullptr);
    const struct {
        const char* name;
        bool inMovedTree;
        int choice, messageAnswer;
        Names order, messages;
        int arg; // 0 none sent
    } cases[] = {
        {"learn over, declined", true, REQ_LEARN, 0, {"message"}, {kLearnOver}, 0},
        {"learn over", true, REQ_LEARN, 1, {"message", "password"}, {kLearnOver}, 100},
        {"append", true, REQ_APPEND, 1, {"password"}, {}, 101},
        {"learn, program only in the install tree", false, REQ_LEARN, 1, {"password"}, {}, 100},
        {"append, program only in the install tree", false, REQ_APPEND, 1, {"message"}, {"L99"}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Box().Remove("/parts");
        Box().Remove(kProgram);
        Box().Write(c.inMovedTree ? "/parts/P1/program/llf" : kProgram, "MOVE X 0\n");
        MsgsysResetForTest();
        MsgQueueId = queue_;
        SetMenuFlags(kAll);
        OpenAndChoose(c.choice);
        InsideMessage = CountQueuedAtQuestion;
        QueuedAtQuestion = -1;
        MessageAnswer = c.messageAnswer;
        Press(V().frame->ok);
        EXPECT_EQ(Order, c.order);
        EXPECT_EQ(Messages, c.messages);
        if (!c.messages.empty()) {
            EXPECT_EQ(QueuedAtQuestion, 0);
        }
        const std::vector<wire::Msg> sent = Requests();
        if (!c.arg) {
            EXPECT_TRUE(sent.empty());
            EXPECT_TRUE(Open());
            PartProgCancel(nullptr, nullptr, nullptr);
            continue;
        }
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(wire::Int(sent[0], wire::kCode), 14);
        EXPECT_EQ(wire::Int(sent[0], wire::kArg), c.arg);
        // The run's folders are made in the part's folder of the moved tree.
        if (c.inMovedTree) {
            EXPECT_TRUE(Box().Exists("/parts/P1/buffer"));
            EXPECT_TRUE(Box().Exists("/parts/P1/stat"));
        }
        HideLoadMessage();
    }
}

TEST_F(PartProgTest, WhatTheRunNeedsKeepsTheMenuOpen) {
    const std::string longPart(25, 'L');
    Box().Write("/u/qel/part/" + longPart + "/program/llf", "x");
    const struct {
        const char* name;
        int sysgen, partValid, homed;
        std::string part;
        std::string message;
    } cases[] = {
        {"no configuration", 0, 1, 1, "P1", "L202"},
        {"no part", 1, 0, 1, "P1", "L26"},
        {"not homed", 1, 1, 0, "P1", "L27"},
        // The run request cannot carry the name: another part would run.
        {"name too long to run", 1, 1, 1, longPart, "\"" + longPart + "\"\n\nL308"},
        {"24 characters run", 1, 1, 1, std::string(24, 'M'), ""},
    };
    Box().Write("/u/qel/part/" + std::string(24, 'M') + "/program/llf", "x");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SysgenState = c.sysgen;
        PartValid = 1;
        MachineHomed = c.homed;
        CurrentPart = c.part;
        OpenAndChoose(REQ_INSPECT);
        PartValid = c.partValid;
        Press(V().frame->ok);
        if (c.message.empty()) {
            EXPECT_FALSE(Open());
            EXPECT_EQ(Requests().size(), 1u);
            continue;
        }
        EXPECT_EQ(Messages, Names{c.message});
        EXPECT_TRUE(PasswordItems.empty());
        EXPECT_TRUE(Open());
        EXPECT_TRUE(XtIsSensitive(V().frame->ok));
        EXPECT_TRUE(Requests().empty());
        PartProgCancel(nullptr, nullptr, nullptr);
    }
}

TEST_F(PartProgTest, TheServerStartsTheTaskInTheChosenMode) {
    const struct {
        int choice, arg, runMode;
        const char* type;
    } cases[] = {{REQ_LEARN, 100, 3, "llf"},
                 {REQ_APPEND, 101, 7, "llf"},
                 {REQ_INSPECT, 102, 0x1003, "INSPECT"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arg);
        MsgsysResetForTest();
        MsgQueueId = queue_;
        MessageAnswer = 1;
        OpenAndChoose(c.choice);
        Press(V().frame->ok);
        ASSERT_EQ(Requests().size(), 1u);
        TaskMade(c.arg);
        ASSERT_TRUE(PollOnce());
        Reply(17, 101, 20); // ready
        ASSERT_TRUE(PollOnce());
        const std::vector<wire::Msg> sent = Requests();
        ASSERT_EQ(sent.size(), 1u);
        const wire::Msg& m = sent[0];
        EXPECT_EQ(wire::Int(m, wire::kCode), 16);
        EXPECT_EQ(wire::Int(m, wire::kArg), c.arg);
        EXPECT_EQ(wire::Int(m, wire::kTask), 101);
        EXPECT_EQ(wire::Int(m, wire::kData), 0x800000);
        EXPECT_EQ(wire::Text(m, wire::kPart, 25), "P1");
        EXPECT_EQ(wire::Text(m, wire::kType, 27), c.type);
        EXPECT_EQ(wire::Int(m, wire::kRunMode), c.runMode);
        Reply(14, 101, 0, 8); // ended
        ASSERT_TRUE(PollOnce());
    }
}

TEST_F(PartProgTest, MakePartAsksForTheNameAndMakesItCurrent) {
    PartValid = 0;
    CurrentPart.clear();
    SetMenuFlags("0110111111");
    OpenAndChoose(REQ_MAKE_PART);
    EXPECT_FALSE(XtIsSensitive(V().learn));
    // The answer, typed while the question waits.
    After(200, [] {
        ASSERT_NE(AskField, nullptr);
        XmTextFieldSetString(AskField, const_cast<char*>(" a b "));
        Press(ResponseOKButton);
    });
    Press(V().frame->ok);
    EXPECT_EQ(PasswordItems, std::vector<int>{34});
    EXPECT_TRUE(Messages.empty());
    EXPECT_TRUE(Open());
    EXPECT_EQ(CurrentPart, "ab");
    EXPECT_EQ(PartValid, 1);
    EXPECT_EQ(Box().Read("/u/qel/sys_data/files/partname"), "ab");
    EXPECT_TRUE(Box().Exists("/u/qel/part/ab/buffer"));
    EXPECT_TRUE(Box().Exists("/u/qel/part/ab/stat"));
    EXPECT_EQ(LabelText(V().frame->row2), "L68 \"ab\"");
    for (Widget b : {V().learn, V().append, V().inspect}) EXPECT_TRUE(XtIsSensitive(b));
    EXPECT_TRUE(XtIsSensitive(V().frame->ok));
    EXPECT_TRUE(XtIsSensitive(V().frame->cancel));
    // The main menu: the execute button comes live when the menu closes.
    EXPECT_EQ(MenuFlags(), "0111111111");
    EXPECT_EQ(MenuSensitivity(), "0000000000");
    Press(V().frame->cancel);
    EXPECT_EQ(MenuSensitivity(), "0111111111");
    EXPECT_TRUE(Requests().empty());

    // A name refused, and the question cancelled: nothing changes.
    const struct {
        const char* typed;
        bool ok;
        Names messages;
    } refused[] = {
        {"a/b", true, {"\"a/b\"\n\nL70"}}, {"c", false, {}}, {"   ", true, {"\"\"\n\nL200"}}};
    for (const auto& r : refused) {
        SCOPED_TRACE(r.typed);
        OpenAndChoose(REQ_MAKE_PART);
        static const char* typed;
        static bool ok;
        typed = r.typed;
        ok = r.ok;
        After(200, [] {
            XmTextFieldSetString(AskField, const_cast<char*>(typed));
            Press(ok ? ResponseOKButton : ResponseCancelButton);
        });
        Press(V().frame->ok);
        EXPECT_EQ(Messages, r.messages);
        EXPECT_EQ(CurrentPart, "ab");
        EXPECT_TRUE(Open());
        PartProgCancel(nullptr, nullptr, nullptr);
    }
}

TEST_F(PartProgTest, DataPageAndContour) {
    // Not installed: nothing is sent.
    EXPECT_EQ(LoadDataPage(0), 0);
    EXPECT_EQ(LoadContour(0), 0);
    EXPECT_TRUE(Requests().empty());
    Box().Write("/u/qel/xeq/datapage", "");
    Box().Write("/u/qel/xeq/Contour.exe", "");
    EXPECT_EQ(LoadDataPage(0), 0);
    EXPECT_EQ(LoadContour(0), 0);
    std::vector<wire::Msg> sent = Requests();
    ASSERT_EQ(sent.size(), 2u);
    const int codes[2] = {18, 27};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(wire::Int(sent[i], wire::kCode), codes[i]);
        EXPECT_EQ(wire::Int(sent[i], wire::kArg), 0);
        EXPECT_EQ(wire::Int(sent[i], wire::kData), 0);
        EXPECT_EQ(wire::Int(sent[i], wire::kTask), 0);
    }

    // From the menu: password 61, then request 18 with the flag 1 and the
    // choice word; the menu stays.
    OpenAndChoose(REQ_DATAPAGE);
    ASSERT_NE(V().dataPage, nullptr);
    Press(V().frame->ok);
    EXPECT_EQ(PasswordItems, std::vector<int>{61});
    EXPECT_TRUE(Open());
    sent = Requests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(wire::Int(sent[0], wire::kCode), 18);
    EXPECT_EQ(wire::Int(sent[0], wire::kArg), 111);
    EXPECT_EQ(wire::Int(sent[0], wire::kData), 1);

    PasswordAnswer = 0;
    Press(V().frame->ok);
    EXPECT_TRUE(Requests().empty());
    PasswordAnswer = 1;
    MsgQueueId = -1;
    testing::internal::CaptureStdout();
    Press(V().frame->ok);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("LoadDataPage: send failed\n"),
              std::string::npos);
    EXPECT_TRUE(Open());
    EXPECT_TRUE(Messages.empty());
}

TEST_F(PartProgTest, TheDmisButtonDoesNothing) {
    Box().Write("/u/qel/xeq/dmis.exe", "");
    ScopedEnv dmis("DMIS", "/u/qel/xeq/dmis.exe");
    OpenAndChoose(0);
    ASSERT_NE(V().dmis, nullptr);
    EXPECT_EQ(V().dataPage, nullptr);
    EXPECT_EQ(Geometry(V().dmis), (WidgetBox{402, 272, 66, 66}));
    Press(V().dmis);
    Press(V().frame->ok);
    EXPECT_TRUE(Open());
    EXPECT_TRUE(PasswordItems.empty());
    EXPECT_TRUE(Messages.empty());
    EXPECT_TRUE(Requests().empty());
}

// Runs if an event queued before OK is dispatched.
bool QueuedEventDispatched = false;
void QueuedEventHandler(Widget, XtPointer, XEvent*, Boolean*) {
    QueuedEventDispatched = true;
}

TEST_F(PartProgTest, EventsQueuedAtOkAreDiscarded) {
    OpenAndChoose(0);
    RunInNextEventPass(QueuedEventHandler);
    Press(V().frame->ok);
    Serve(200);
    EXPECT_FALSE(QueuedEventDispatched);
    // Without OK the same event is dispatched.
    RunInNextEventPass(QueuedEventHandler);
    Serve(200);
    EXPECT_TRUE(QueuedEventDispatched);
}

TEST_F(PartProgTest, CancelGivesTheMenuBack) {
    const std::string flags = "0111011101";
    SetMenuFlags(flags);
    OpenAndChoose(REQ_LEARN);
    ASSERT_EQ(RunChoice, 1);
    ShowPartProgMenu(); // shown already: nothing changes
    EXPECT_EQ(RunChoice, 1);
    Press(V().frame->cancel);
    EXPECT_FALSE(Open());
    EXPECT_EQ(ShownScreen, nullptr);
    EXPECT_EQ(RunChoice, 0);
    EXPECT_EQ(MenuSensitivity(), flags);
    EXPECT_TRUE(Requests().empty());
}

} // namespace
