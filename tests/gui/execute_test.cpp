// The choice-screen frame through its first member, the execute and step
// screen: built once and shown once, Cancel gives the main menu back as it
// was, the entry's preconditions, the choice and its marks, the network
// line, and what OK does (the request bytes read from a private queue).
#include <gtest/gtest.h>

#include "choice_fixture.h"

#include "colors.h"
#include "execute.h"
#include "filescreen.h"
#include "labels.h"
#include "partsel.h"
#include "settings.h"
#include "test_hooks.h"
#include "vok.h"

#include <cstring>
#include <map>
#include <string>

namespace {

const char* const kProgram = "/u/qel/part/P1/program/llf";

class ExecuteTest : public ChoiceFixture {
  protected:
    void SetUp() override {
        ChoiceFixture::SetUp();
        PartValid = 1;
        MachineHomed = 1;
        SysgenState = 1;
        NetworkOption = 0;
        OnlineItem = 2;
        CurrentPart = "P1";
        gui_.box().Write(kProgram, "MOVE X 0\n");
        gui_.box().Write("/u/qel/database/dirfile", "buffer\nstat\n");
    }
    const ChoiceScreen& S() const { return ExecuteScreenState(); }
    Widget ExecuteButton() const { return S().buttons.at(0); }
    Widget StepButton() const { return S().buttons.at(1); }
    bool Open() const { return S().window && XtIsManaged(S().window); }
    // Opens the screen and presses the choice (0 none, 1 execute, 2 step).
    void OpenAndChoose(int choice) {
        ShowExecuteScreen();
        ASSERT_TRUE(Open());
        if (choice == 1) Press(ExecuteButton());
        if (choice == 2) Press(StepButton());
    }
};

TEST_F(ExecuteTest, BuiltOnceShownOnceAndCancelGivesTheMenuBack) {
    const std::string flags = "1011001101";
    SetMenuFlags(flags);
    ASSERT_EQ(MenuSensitivity(), flags);

    ShowExecuteScreen();
    ASSERT_TRUE(Open());
    const Widget window = S().window;
    EXPECT_EQ(ShownScreen, window);
    EXPECT_EQ(MenuSensitivity(), "0000000000");
    EXPECT_EQ(MenuFlags(), flags);
    EXPECT_EQ(LabelText(S().row1), "L11");
    EXPECT_EQ(LabelText(S().row2), "L68 \"P1\"");
    EXPECT_TRUE(XtIsSensitive(S().ok));
    EXPECT_TRUE(XtIsSensitive(S().cancel));
    EXPECT_EQ(Geometry(ExecuteButton()), (WidgetBox{GridX[1], GridY[3], 66, 66}));
    EXPECT_EQ(Geometry(StepButton()), (WidgetBox{GridX[5], GridY[3], 66, 66}));
    EXPECT_EQ(Geometry(ExecuteButton()), (WidgetBox{94, 190, 66, 66}));
    EXPECT_EQ(Geometry(StepButton()), (WidgetBox{402, 190, 66, 66}));
    EXPECT_TRUE(XtIsSensitive(ExecuteButton()));
    EXPECT_TRUE(XtIsSensitive(StepButton()));

    // Pressing the main-menu button again while it is shown changes nothing.
    Press(ExecuteButton());
    ASSERT_EQ(RunChoice, 1);
    ShowExecuteScreen();
    EXPECT_EQ(RunChoice, 1);
    EXPECT_EQ(S().marked, ExecuteButton());
    EXPECT_EQ(Geometry(ExecuteButton()).width, 78);

    SetStatusLine("hint");
    Press(S().cancel);
    EXPECT_FALSE(Open());
    EXPECT_EQ(ShownScreen, nullptr);
    EXPECT_EQ(RunChoice, 0);
    EXPECT_EQ(S().marked, nullptr);
    EXPECT_EQ(Geometry(ExecuteButton()).width, 66);
    EXPECT_EQ(MenuFlags(), flags);
    EXPECT_EQ(MenuSensitivity(), flags);
    EXPECT_EQ(LabelText(StatusLine), "");
    EXPECT_TRUE(Requests().empty());

    // The next opening shows the same widgets again, nothing chosen.
    ShowExecuteScreen();
    EXPECT_TRUE(Open());
    EXPECT_EQ(S().window, window);
    EXPECT_EQ(S().buttons.size(), 2u);
    EXPECT_EQ(S().choice, 0);
    EXPECT_TRUE(XtIsSensitive(S().cancel));
}

TEST_F(ExecuteTest, EntryPreconditions) {
    const std::string flags = "0111111111";
    struct Case {
        int partValid, homed, sysgen;
        const char* message; // "" none
    };
    const Case cases[] = {
        {0, 1, 1, ""},
        {1, 0, 1, ""},
        {0, 0, 0, ""},
        {1, 1, 0, "L202"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.partValid) + std::to_string(c.homed) +
                     std::to_string(c.sysgen));
        SetMenuFlags(flags);
        Messages.clear();
        PartValid = c.partValid;
        MachineHomed = c.homed;
        SysgenState = c.sysgen;
        ShowExecuteScreen();
        EXPECT_EQ(S().made, 0);
        EXPECT_EQ(ShownScreen, nullptr);
        EXPECT_EQ(Messages,
                  *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        EXPECT_EQ(MenuSensitivity(), flags);
    }
    PartValid = MachineHomed = SysgenState = 1;
    ShowExecuteScreen();
    EXPECT_TRUE(Open());
}

TEST_F(ExecuteTest, ARunningOrHeldTaskLeavesNothingToChoose) {
    const struct {
        int state;
        bool choosable;
    } cases[] = {{SLOT_RUNNING, false}, {SLOT_HELD, false}, {SLOT_READY, true}, {SLOT_FREE, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE("slot state " + std::to_string(c.state));
        MsgsysResetForTest();
        MsgQueueId = queue_;
        RecordTask(101, "P1", c.state, 0x1000, 1, 4, 0x10000);
        ShowExecuteScreen();
        ASSERT_TRUE(Open());
        EXPECT_EQ(XtIsSensitive(ExecuteButton()) != 0, c.choosable);
        EXPECT_EQ(XtIsSensitive(StepButton()) != 0, c.choosable);
        EXPECT_TRUE(XtIsSensitive(S().ok));
        EXPECT_TRUE(XtIsSensitive(S().cancel));
        ExecuteCancel(nullptr, nullptr, nullptr);
        ASSERT_FALSE(Open());
    }
}

TEST_F(ExecuteTest, TheLastPressedButtonIsTheChoice) {
    OpenAndChoose(1);
    EXPECT_EQ(RunChoice, 1);
    EXPECT_EQ(Geometry(ExecuteButton()), (WidgetBox{94, 190, 78, 78}));
    Press(StepButton());
    EXPECT_EQ(RunChoice, 2);
    EXPECT_EQ(S().marked, StepButton());
    EXPECT_EQ(Geometry(StepButton()), (WidgetBox{402, 190, 78, 78}));
    EXPECT_EQ(Geometry(ExecuteButton()), (WidgetBox{94, 190, 66, 66}));
    // The marked button pressed again stays chosen.
    Press(StepButton());
    EXPECT_EQ(RunChoice, 2);
    EXPECT_EQ(Geometry(StepButton()).width, 78);
}

TEST_F(ExecuteTest, NetworkLineFollowsTheOptionAndTheMonitor) {
    const struct {
        int option;
        bool monitor;
        const char *left, *right;
    } cases[] = {
        {1, true, "L336", "L338"},
        {1, false, "L336", "L337"},
        // Off after it was on: blank, not the earlier state.
        {0, true, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.option) + (c.monitor ? " monitor" : " none"));
        NetworkOption = c.option;
        if (c.monitor)
            gui_.box().Write("/u/qel/xeq/NetMon", "");
        else
            gui_.box().Remove("/u/qel/xeq/NetMon");
        EXPECT_EQ(NetMonState(), c.option != 1 ? -1 : c.monitor ? 1 : 0);
        ShowExecuteScreen();
        EXPECT_EQ(LabelText(S().infoLeft[0]), c.left);
        EXPECT_EQ(LabelText(S().infoRight[0]), c.right);
        ExecuteCancel(nullptr, nullptr, nullptr);
    }
}

// ---- OK ----

enum Program { kPresent, kEmpty, kMissing };

struct OkCase {
    const char* name;
    Program program;
    int choice;
    int password;
    bool sendWorks;
    std::vector<int> asked;
    const char* message; // "" none
    int arg;             // of the request; 0 for none
    int runMode;
    const char* flags; // afterwards, from all ten on
};

void PrintTo(const OkCase& c, std::ostream* os) {
    *os << c.name;
}

class ExecuteOkTable : public ExecuteTest, public testing::WithParamInterface<OkCase> {};

TEST_P(ExecuteOkTable, Outcome) {
    const OkCase& c = GetParam();
    if (c.program == kEmpty) gui_.box().Write(kProgram, "");
    if (c.program == kMissing) gui_.box().Remove(kProgram);
    PasswordAnswer = c.password;
    SetMenuFlags("1111111111");
    IndicatorOn(MainMenuIndicators[3]);
    // Bytes of an earlier request in the two text fields.
    std::memset(MsgOut.text + (wire::kPart - wire::kTypeWord), 'x', 25 + 27);
    OpenAndChoose(c.choice);
    if (!c.sendWorks) MsgQueueId = -1;

    Press(S().ok);

    EXPECT_FALSE(Open());
    EXPECT_EQ(ShownScreen, nullptr);
    EXPECT_FALSE(XtIsSensitive(S().ok)); // until the next opening
    EXPECT_FALSE(XtIsSensitive(S().cancel));
    EXPECT_EQ(PasswordItems, c.asked);
    EXPECT_EQ(Messages,
              *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
    EXPECT_EQ(MenuFlags(), c.flags);
    EXPECT_EQ(MenuSensitivity(), c.flags);
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
    EXPECT_EQ(wire::Int(m, wire::kRunMode), c.runMode);
    EXPECT_EQ(wire::Int(m, wire::kOpMode), 0x2002);
    EXPECT_EQ(wire::Int(m, wire::kFamily), ControllerFamily);
    EXPECT_EQ(LoadMessageShown, 1);
    EXPECT_EQ(Background(MainMenuIndicators[3]), DarkLight());
    // The part's folders of dirfile are there for the run.
    EXPECT_TRUE(gui_.box().Exists("/u/qel/part/P1/buffer"));
    EXPECT_TRUE(gui_.box().Exists("/u/qel/part/P1/stat"));
}

const char* const kAll = "1111111111";
INSTANTIATE_TEST_SUITE_P(
    , ExecuteOkTable,
    testing::Values(OkCase{"Missing", kMissing, 1, 1, true, {}, "L99", 0, 0, kAll},
                    OkCase{"Empty", kEmpty, 2, 1, true, {}, "L99", 0, 0, kAll},
                    OkCase{"MissingNothingChosen", kMissing, 0, 1, true, {}, "L99", 0, 0, kAll},
                    OkCase{"NothingChosen", kPresent, 0, 1, true, {}, "", 0, 0, kAll},
                    OkCase{"ExecuteRefused", kPresent, 1, 0, true, {2}, "", 0, 0, kAll},
                    OkCase{"StepRefused", kPresent, 2, 0, true, {5}, "", 0, 0, kAll},
                    OkCase{"Execute", kPresent, 1, 1, true, {2}, "", 4, 3, "1000111110"},
                    OkCase{"Step", kPresent, 2, 1, true, {5}, "", 114, 11, "1000111110"},
                    OkCase{"NotSent", kPresent, 1, 1, false, {2}, "L300", 0, 0, "0000100000"}),
    [](const testing::TestParamInfo<OkCase>& info) { return std::string(info.param.name); });

// With the part tree elsewhere (QELPART, no install drive named), the run
// takes the program of that tree: there it runs; one left only in the
// install tree's own part folder is no program of the part (label 99).
TEST_F(ExecuteTest, AMovedPartTreeHoldsTheProgram) {
    const std::string parts = gui_.box().root() + "/parts";
    ScopedEnv p("QELPART", parts.c_str());
    ScopedEnv d("QEL_Win_Install_Drive", nullptr);
    for (const bool inMovedTree : {true, false}) {
        SCOPED_TRACE(inMovedTree ? "in the moved tree" : "only in the install tree");
        gui_.box().Remove("/parts");
        gui_.box().Remove(kProgram);
        gui_.box().Write(inMovedTree ? "/parts/P1/program/llf" : kProgram, "MOVE X 0\n");
        Messages.clear();
        PasswordItems.clear();
        SetMenuFlags(kAll);
        OpenAndChoose(1);
        Press(S().ok);
        EXPECT_FALSE(Open());
        const std::vector<wire::Msg> sent = Requests();
        if (!inMovedTree) {
            EXPECT_EQ(Messages, std::vector<std::string>{"L99"});
            EXPECT_TRUE(sent.empty());
            continue;
        }
        EXPECT_TRUE(Messages.empty());
        EXPECT_EQ(PasswordItems, std::vector<int>{2});
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(wire::Int(sent[0], wire::kCode), 14);
        EXPECT_EQ(wire::Int(sent[0], wire::kArg), 4);
        EXPECT_TRUE(gui_.box().Exists("/parts/P1/buffer"));
        EXPECT_TRUE(gui_.box().Exists("/parts/P1/stat"));
        HideLoadMessage();
    }
}

// The request's part field holds 24 characters: a longer current part is
// refused before anything is asked or sent, with its name in the message.
TEST_F(ExecuteTest, APartNameTooLongForTheRunIsRefusedFirst) {
    const struct {
        size_t length;
        int choice;
        bool runs;
    } cases[] = {{24, 1, true}, {25, 1, false}, {25, 2, false}, {79, 1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.length) + " characters, choice " + std::to_string(c.choice));
        CurrentPart = std::string(c.length, 'p');
        gui_.box().Write("/u/qel/part/" + CurrentPart + "/program/llf", "MOVE X 0\n");
        PasswordItems.clear();
        Messages.clear();
        SetMenuFlags(kAll);
        OpenAndChoose(c.choice);
        Press(S().ok);
        EXPECT_FALSE(Open());
        const std::vector<wire::Msg> sent = Requests();
        if (c.runs) {
            EXPECT_EQ(sent.size(), 1u);
            EXPECT_EQ(PasswordItems, std::vector<int>{2});
            EXPECT_TRUE(Messages.empty());
            EXPECT_EQ(LoadMessageShown, 1);
        } else {
            EXPECT_TRUE(sent.empty());
            EXPECT_TRUE(PasswordItems.empty());
            EXPECT_EQ(Messages, std::vector<std::string>{"\"" + CurrentPart + "\"\n\nL308"});
            EXPECT_EQ(MenuFlags(), kAll);
            EXPECT_EQ(LoadMessageShown, 0);
        }
        HideLoadMessage();
    }
}

TEST_F(ExecuteTest, OperatingModeWordFollowsItemThree) {
    const std::map<int, int> words = {{0, 0}, {2, 0x2002}, {5, 2}, {-1, 2}, {1, 2}};
    ControllerFamily = 3;
    for (const auto& [item, word] : words) {
        SCOPED_TRACE("item 3 = " + std::to_string(item));
        EXPECT_EQ(OperatingModeWord(item), word);
        OnlineItem = item;
        OpenAndChoose(1);
        Press(S().ok);
        const auto sent = Requests();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(wire::Int(sent[0], wire::kOpMode), word);
        EXPECT_EQ(wire::Int(sent[0], wire::kFamily), 3);
    }
}

// ---- Re-entry ----

void PressOkAgain() {
    Press(ExecuteScreenState().ok);
    ExecuteOk(nullptr, nullptr, nullptr);
}

TEST_F(ExecuteTest, OkIsNotEnteredAgainFromItsDialog) {
    InsidePassword = PressOkAgain;
    OpenAndChoose(1);
    ExecuteOk(nullptr, nullptr, nullptr);
    EXPECT_EQ(PasswordItems, std::vector<int>{2});
    EXPECT_EQ(Requests().size(), 1u);
    EXPECT_FALSE(Open());
    EXPECT_EQ(S().okBusy, 0);
}

// Runs inside Cancel's event pass: the property change of the main form
// that the test made just before.
bool OpenDuringNestedCancel = false;
void CancelAgainHandler(Widget, XtPointer, XEvent*, Boolean*) {
    ExecuteCancel(nullptr, nullptr, nullptr);
    OpenDuringNestedCancel = XtIsManaged(ExecuteScreenState().window);
}

TEST_F(ExecuteTest, CancelIsNotEnteredAgainFromItsEventPass) {
    OpenAndChoose(2);
    RunInNextEventPass(CancelAgainHandler);
    ExecuteCancel(nullptr, nullptr, nullptr);
    EXPECT_TRUE(OpenDuringNestedCancel);
    EXPECT_FALSE(Open());
    EXPECT_EQ(RunChoice, 0);
    EXPECT_EQ(S().cancelBusy, 0);
}

// ---- Frame ----

TEST_F(ExecuteTest, AMemberWithoutOkKeepsNoOtherScreensOk) {
    ShowExecuteScreen();
    ASSERT_TRUE(Open());
    ChoiceScreen info;
    MakeChoiceFrame(
        info, nullptr, [](Widget, XtPointer, XtPointer) {}, 0, 2);
    EXPECT_EQ(info.ok, nullptr);
    EXPECT_NE(info.cancel, nullptr);
    EXPECT_NE(info.cancel, S().cancel);
    EXPECT_EQ(info.infoLeft.size(), 2u);
    EXPECT_EQ(Geometry(info.infoRight[1]), (WidgetBox{280, 110, 250, 30}));
    SetChoiceToolbar(info, false);
    EXPECT_TRUE(XtIsSensitive(S().ok));
    EXPECT_FALSE(XtIsSensitive(info.cancel));
}

TEST_F(ExecuteTest, ButtonsShowTheirIconsAndHints) {
    std::string error;
    ASSERT_TRUE(gui_.box().LayOutDemo(&error)) << error;
    SysgenResetForTest();
    SwitchDbResetForTest();
    ResourcePaletteCreate("colors.QEL");
    CurrentPart = "DEMO";
    ShowExecuteScreen();
    ASSERT_TRUE(Open());
    for (Widget b : {ExecuteButton(), StepButton()}) {
        Pixmap on = XmUNSPECIFIED_PIXMAP, off = XmUNSPECIFIED_PIXMAP;
        XtVaGetValues(b, XmNlabelPixmap, &on, XmNlabelInsensitivePixmap, &off, nullptr);
        EXPECT_NE(on, XmUNSPECIFIED_PIXMAP);
        EXPECT_NE(off, XmUNSPECIFIED_PIXMAP);
        EXPECT_NE(on, off);
    }
    const int hints[2] = {9, 10};
    for (int i = 0; i < 2; ++i) {
        XEvent ev{};
        ev.type = EnterNotify;
        ev.xcrossing.display = TheDisplay;
        ev.xcrossing.window = XtWindow(S().buttons[i]);
        ev.xcrossing.mode = NotifyNormal;
        ev.xcrossing.same_screen = True;
        XtDispatchEvent(&ev);
        EXPECT_EQ(LabelText(StatusLine), LabText(hints[i]));
    }
}

} // namespace
