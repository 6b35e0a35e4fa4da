// The service menu under a private X server: its choices, what each asks
// and starts (the sandbox's stand-ins log their arguments) for each
// controller family, OK without a choice, the reload after the system
// generation, the family B constants with the upload's answers, the media
// table editor over the menu, and the main menu kept off while the menu and
// the screens over it are up.
#include <gtest/gtest.h>

#include "choice_fixture.h"

#include "colors.h"
#include "controller.h"
#include "labels.h"
#include "mediaedit.h"
#include "nap.h"
#include "portconfig.h"
#include "records_media.h"
#include "servicemenu.h"
#include "servicescreen.h"
#include "settings.h"
#include "statusline.h"

#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

void NoNap(long) {}

// Upload answers of the family B table.
int UploadAnswer = 0;
int UploadCalls = 0;
int FakeUpload(int family) {
    ++UploadCalls;
    EXPECT_EQ(family, 3);
    return UploadAnswer;
}

// A configuration store: language, operating mode and colour file.
std::map<int, SysgenItem> Store(int language, int mode, const char* colors) {
    return {{0, IntItem(language)}, {3, IntItem(mode)}, {6, StrItem("DEMO")}, {7, IntItem(0)},
            {21, IntItem(0)},       {80, IntItem(0)},   {96, StrItem(colors)}};
}

class ServiceMenuTest : public ChoiceFixture {
  protected:
    void SetUp() override {
        ChoiceFixture::SetUp();
        SetNapHook(NoNap);
        CurrentPart = "P1";
        ControllerFamily = 1;
        OnlineMode = 0;
        OnlineItem = 2;
        SetMenuFlags(kIdle);
        UploadAnswer = 0;
        UploadCalls = 0;
        SetConstantsUploadForTest(FakeUpload);
        Box().WriteSysgen(Store(0, 2, "colors.QEL"), 100);
        ReadSysgen();
    }
    void TearDown() override {
        SetConstantsUploadForTest(nullptr);
        SetNapHook(nullptr);
        ChoiceFixture::TearDown();
    }
    const Sandbox& Box() const { return gui_.box(); }
    ServiceMenuView V() const { return ServiceMenuState(); }
    bool Open() const { return V().frame->window && XtIsManaged(V().frame->window); }
    // The button of a value.
    Widget Button(int value) const {
        const int values[] = {1, 2, 3, 4, 7, 8, 9, 10};
        for (int i = 0; i < 8; ++i)
            if (values[i] == value) return V().buttons[i];
        return nullptr;
    }
    void Choose(int value) {
        if (!Open()) ShowServiceMenu();
        ASSERT_TRUE(Open());
        PasswordItems.clear();
        Messages.clear();
        Box().Remove("/sim/scripts.log");
        if (value) Press(Button(value));
    }
    // OK, with the console that it printed.
    std::string PressOk() {
        testing::internal::CaptureStdout();
        Press(V().frame->ok);
        return testing::internal::GetCapturedStdout();
    }
    void Task() {
        RecordTask(101, "P1", SLOT_RUNNING, 0x1000, 1, 4, 0x10000);
        CurrentTaskId = 101;
    }

    static constexpr const char* kIdle = "0111111111";
};

TEST_F(ServiceMenuTest, ShowsItsChoices) {
    ShowServiceMenu();
    ASSERT_TRUE(Open());
    EXPECT_EQ(ShownScreen, V().frame->window);
    EXPECT_EQ(ActiveMenuButton, 8);
    EXPECT_EQ(MenuSensitivity(), "0000000000");
    EXPECT_EQ(LabelText(V().frame->row1), "L21");
    EXPECT_EQ(LabelText(V().frame->row2), "L68 \"P1\"");
    const struct {
        int value;
        WidgetBox box;
        bool onToolbar;
    } buttons[] = {{1, {94, 108, 66, 66}, false},  {2, {248, 5, 66, 66}, true},
                   {3, {402, 108, 66, 66}, false}, {4, {402, 190, 66, 66}, false},
                   {7, {94, 272, 66, 66}, false},  {8, {248, 108, 66, 66}, false},
                   {9, {94, 190, 66, 66}, false},  {10, {402, 272, 66, 66}, false}};
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.value);
        EXPECT_EQ(Geometry(Button(b.value)), b.box);
        EXPECT_EQ(XtParent(Button(b.value)) == V().frame->toolbar, b.onToolbar);
    }
    Press(Button(3));
    EXPECT_EQ(V().frame->choice, 3);
    EXPECT_EQ(Geometry(Button(3)).width, 78);
    // A second opening while it is up changes nothing.
    ShowServiceMenu();
    EXPECT_EQ(V().frame->choice, 3);
}

// Each choice: the password item it asks, and what it starts when the
// password is given, for each controller family.
TEST_F(ServiceMenuTest, EachChoiceAsksItsItemAndStartsItsProgram) {
    Box().Write("/u/qel/database/uart.txt", "SERVO SERVO\n");
    const struct {
        int value;
        int family;
        std::vector<int> items;
        Texts started; // the stand-ins' log when the password is given
        const char* console;
    } cases[] = {
        {1, 1, {13}, {"syspgen.exe -VANTOR"}, nullptr},
        {1, 2, {13}, {"syspgen.exe -TORVI"}, nullptr},
        {1, 0, {13}, {"syspgen.exe "}, "controller family 0 has no switch"},
        {8, 1, {11}, {"sysgen.exe -VANTOR"}, nullptr},
        {8, 2, {11}, {"sysgen.exe -TORVI"}, nullptr},
        {8, 3, {11}, {"sysgen.exe -KROMI"}, nullptr},
        {8, 0, {11}, {"sysgen.exe "}, "controller family 0 has no switch"},
        {9, 3, {12}, {"passgen.exe "}, nullptr},
        {9, 0, {12}, {"passgen.exe "}, nullptr},
    };
    for (const auto& c : cases) {
        for (int answer : {0, 1}) {
            SCOPED_TRACE(std::to_string(c.value) + " family " + std::to_string(c.family) +
                         " answer " + std::to_string(answer));
            ControllerFamily = c.family;
            Choose(c.value);
            PasswordAnswer = answer;
            const std::string out = PressOk();
            EXPECT_EQ(PasswordItems, c.items);
            EXPECT_EQ(Box().ScriptsLog(), answer ? c.started : Texts{});
            if (c.console) {
                EXPECT_EQ(out.find(c.console) != std::string::npos, answer == 1) << out;
            }
            // The menu stays, its choice marked, OK and Cancel live again.
            EXPECT_TRUE(Open());
            EXPECT_EQ(V().frame->choice, c.value);
            EXPECT_TRUE(XtIsSensitive(V().frame->ok));
            EXPECT_TRUE(XtIsSensitive(V().frame->cancel));
            EXPECT_TRUE(Messages.empty());
        }
    }
}

// The media records: item 15, then the media table editor over the menu,
// which is the screen shown again once the editor closes.
TEST_F(ServiceMenuTest, TheMediaTableEditorOverTheMenu) {
    Box().Write(kMediaFile,
                MediaTableBytes({{1, "Diskette", "/dev/fd0"}, {0, "Tape", "/dev/st0"}}));
    for (int answer : {0, 1}) {
        SCOPED_TRACE(answer);
        Choose(4);
        PasswordAnswer = answer;
        PressOk();
        EXPECT_EQ(PasswordItems, std::vector<int>{15});
        const Widget editor = MediaEditorState().window;
        EXPECT_EQ(editor && XtIsManaged(editor), answer == 1);
        EXPECT_EQ(ShownScreen, answer ? editor : V().frame->window);
        EXPECT_TRUE(Open());
        EXPECT_EQ(MenuSensitivity(), "0000000000");
    }
    EXPECT_EQ(MediaEditorState().toggles.size(), 2u);
    MessageAnswer = 1;
    Press(MediaEditorState().cancel);
    EXPECT_EQ(Messages, Texts{"L110"});
    EXPECT_FALSE(XtIsManaged(MediaEditorState().window));
    EXPECT_EQ(ShownScreen, V().frame->window);
    EXPECT_EQ(V().frame->choice, 4);
    EXPECT_EQ(ActiveMenuButton, 8);
}

TEST_F(ServiceMenuTest, ThePortsAskTheirItemAndTheTasksQuestion) {
    Box().Write("/u/qel/database/uart.txt", "SERVO SERVO\n");
    const struct {
        int password, question;
        bool task, opened;
    } cases[] = {{0, 1, false, false}, {1, 1, false, true}, {1, 0, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.password) + std::to_string(c.question) +
                     std::to_string(c.task));
        if (c.task) Task();
        Choose(3);
        PasswordAnswer = c.password;
        MessageAnswer = c.question;
        Press(V().frame->ok);
        EXPECT_EQ(PasswordItems, std::vector<int>{14});
        EXPECT_EQ(Messages, c.task ? Texts{"L74 \nL94 \nL64"} : Texts{});
        const Widget port = PortConfigState().window;
        EXPECT_EQ(port && XtIsManaged(port), c.opened);
        EXPECT_TRUE(Requests().empty());
        if (c.opened) {
            EXPECT_EQ(ShownScreen, port);
            EXPECT_EQ(MenuSensitivity(), "0000000000");
            MessageAnswer = 1;
            Press(PortConfigState().cancel);
            EXPECT_TRUE(Open());
        }
        MsgsysResetForTest();
    }
}

TEST_F(ServiceMenuTest, TheServiceScreenAndTheOptionsNotHere) {
    Choose(7);
    Press(V().frame->ok);
    Choose(10);
    Press(V().frame->ok);
    EXPECT_EQ(Messages, (Texts{"L275"}));
    EXPECT_TRUE(PasswordItems.empty());
    Choose(2);
    Press(V().frame->ok);
    const ServiceScreenView s = ServiceScreenState();
    ASSERT_NE(s.frame->window, nullptr);
    EXPECT_TRUE(XtIsManaged(s.frame->window));
    EXPECT_EQ(ShownScreen, s.frame->window);
    EXPECT_TRUE(PasswordItems.empty());
}

Picture OkUnderQuestion, CancelUnderQuestion;
bool SensitiveUnderQuestion = true;

// While a question waits, OK and Cancel are insensitive and still show their
// icons, greyed by the toolkit's stipple: neither drawn as plain squares
// (their redrawing dropped with the queued clicks) nor as the toolkit's own
// grey copy of the icon.
TEST_F(ServiceMenuTest, UnderAQuestionOkAndCancelKeepTheirIcons) {
    CopyDemoIcons(Box(), {"OK.VOK", "CANCEL.VOK"});
    Choose(7);
    const Picture ok = Drawn(V().frame->ok), cancel = Drawn(V().frame->cancel);
    InsideMessage = [] {
        const ServiceMenuView v = ServiceMenuState();
        SensitiveUnderQuestion = XtIsSensitive(v.frame->ok) || XtIsSensitive(v.frame->cancel);
        OkUnderQuestion = Drawn(v.frame->ok);
        CancelUnderQuestion = Drawn(v.frame->cancel);
    };
    Press(V().frame->ok);
    InsideMessage = nullptr;
    ASSERT_EQ(Messages, (Texts{"L275"}));
    EXPECT_FALSE(SensitiveUnderQuestion);
    EXPECT_GT(IconKept(ok, OkUnderQuestion), 0.3);
    EXPECT_GT(IconKept(cancel, CancelUnderQuestion), 0.3);
    for (Widget b : {V().frame->ok, V().frame->cancel}) {
        Pixmap shown = 0, greyed = 0;
        XtVaGetValues(b, XmNlabelPixmap, &shown, XmNlabelInsensitivePixmap, &greyed, nullptr);
        EXPECT_EQ(greyed, shown);
    }
}

TEST_F(ServiceMenuTest, OkWithoutAChoiceOnlyGivesOkAndCancelBack) {
    Choose(0);
    SetStatusLine("HINT");
    const std::string out = PressOk();
    EXPECT_TRUE(XtIsSensitive(V().frame->ok));
    EXPECT_TRUE(XtIsSensitive(V().frame->cancel));
    EXPECT_EQ(LabelText(StatusLine), "HINT");
    EXPECT_TRUE(PasswordItems.empty());
    EXPECT_TRUE(Box().ScriptsLog().empty());
    EXPECT_EQ(out, "");
}

TEST_F(ServiceMenuTest, CancelGivesBackTheMainMenu) {
    Choose(8);
    Press(V().frame->cancel);
    EXPECT_FALSE(Open());
    EXPECT_EQ(ShownScreen, nullptr);
    EXPECT_EQ(ActiveMenuButton, 0);
    EXPECT_EQ(MenuSensitivity(), kIdle);
}

// A task report changes the main menu's flags while the menu is up, and
// after a screen opened from it has closed: no button comes alive until
// the menu's Cancel.
TEST_F(ServiceMenuTest, TheMainMenuStaysOffUnderTheMenu) {
    Box().Write("/u/qel/database/uart.txt", "SERVO SERVO\n");
    Choose(3);
    Press(V().frame->ok);
    ASSERT_NE(PortConfigState().window, nullptr);
    ASSERT_TRUE(XtIsManaged(PortConfigState().window));
    Press(PortConfigState().cancel);
    RecordTask(101, "P1", SLOT_HELD, 0x1000, 1, 4, 0x10000);
    CurrentTaskId = 101;
    EXPECT_EQ(ShownScreen, nullptr);
    EXPECT_EQ(ActiveMenuButton, 8);
    const std::string before = MenuFlags();
    Reply(17, 101, 20); // the task state: ready
    EXPECT_TRUE(PollOnce());
    EXPECT_NE(MenuFlags(), before);
    EXPECT_EQ(MenuSensitivity(), "0000000000");
    Press(V().frame->cancel);
    EXPECT_EQ(MenuSensitivity(), MenuFlags());
}

// --- the system generation and the reload ----------------------------------------

class ReloadTest : public ServiceMenuTest {
  protected:
    void SetUp() override {
        ServiceMenuTest::SetUp();
        for (const char* scheme : {"colors.QEL", "colors.RI"}) {
            std::string text;
            ASSERT_TRUE(ReadFileBytes(
                std::string(QEL_SOURCE_DIR) + "/demo/tree/def_data/misc/" + scheme, &text));
            Box().Write(std::string("/u/qel/def_data/misc/") + scheme, text);
        }
        // The French labels, and the prompts of both languages.
        std::string french;
        for (int n = 1; n <= 400; ++n) french += "F" + std::to_string(n) + "\n";
        Box().Write(LabelFileName(1), french);
        // A language counts once its switch texts are there.
        Box().Write("/u/qel/database/fswitch.data", "x\n");
        Box().Write("/u/qel/database/epwprompt.txt", "0  OPERATOR?\n1  PROGRAMMER?\n");
        Box().Write("/u/qel/database/fpwprompt.txt", "0  OPERATEUR?\n1  PROGRAMMEUR?\n");
        UpdateQELColors(ColorFileName);
        PasswordInit("vok", MainForm, Language, AppContext);
    }
    void Next(const std::map<int, SysgenItem>& items) {
        WriteSysgenFile(Box().Path("/sim/sysgen.next"), items, 100);
    }
    std::string Prompt() const { return LabelText(FindWidget(PasswordDialogWidget(), "label")); }
    static constexpr const char* kStateCheck = "Please wait ... checking the controller ...";
};

TEST_F(ReloadTest, OnlyTheColoursChange) {
    Task();
    Next(Store(0, 2, "colors.RI"));
    Choose(8);
    const Pixel before = Background(V().frame->window);
    const std::string out = PressOk();
    EXPECT_EQ(Box().ScriptsLog(), Texts{"sysgen.exe -VANTOR"});
    EXPECT_EQ(ColorFileName, "colors.RI");
    EXPECT_NE(Background(V().frame->window), before);
    // The mark stays on the system generation.
    EXPECT_EQ(V().frame->marked, Button(8));
    EXPECT_EQ(Geometry(Button(8)), (WidgetBox{248, 108, 78, 78}));
    const std::vector<wire::Msg> sent = Requests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(wire::Int(sent[0], wire::kCode), 16);
    EXPECT_EQ(wire::Int(sent[0], wire::kArg), 100);
    EXPECT_EQ(wire::Int(sent[0], wire::kTask), 101);
    EXPECT_EQ(wire::Int(sent[0], wire::kData), 0x400000);
    EXPECT_EQ(out.find(kStateCheck), std::string::npos);
}

TEST_F(ReloadTest, NothingChanges) {
    Task();
    Next(Store(0, 2, "colors.QEL"));
    Choose(8);
    const std::string out = PressOk();
    EXPECT_EQ(Box().ScriptsLog(), Texts{"sysgen.exe -VANTOR"});
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(out.find(kStateCheck), std::string::npos);
}

TEST_F(ReloadTest, TheOperatingModeChanges) {
    Next(Store(0, 1, "colors.QEL"));
    Choose(8);
    const std::string out = PressOk();
    EXPECT_EQ(OnlineItem, 1);
    EXPECT_NE(out.find(kStateCheck), std::string::npos) << out;
    EXPECT_TRUE(Requests().empty()); // no task to abort
}

// The language changes: the passwords' prompts are read again, and the
// hints of the buttons made before show the new language.
TEST_F(ReloadTest, TheLanguageChanges) {
    EXPECT_EQ(Prompt(), "OPERATOR?");
    Next(Store(1, 2, "colors.QEL"));
    Choose(8);
    PressOk();
    EXPECT_EQ(Language, 1);
    EXPECT_EQ(Prompt(), "OPERATEUR?");
    for (int value : {1, 8}) {
        XEvent ev{};
        ev.type = EnterNotify;
        ev.xcrossing.display = TheDisplay;
        ev.xcrossing.window = XtWindow(Button(value));
        ev.xcrossing.mode = NotifyNormal;
        ev.xcrossing.same_screen = True;
        XtDispatchEvent(&ev);
        EXPECT_EQ(LabelText(StatusLine), value == 1 ? "F15" : "F24");
    }
}

// --- family B: the constants ---------------------------------------------------------

TEST_F(ServiceMenuTest, FamilyBReadsEditsAndPrintsTheConstants) {
    ControllerFamily = 3;
    EditorType = 1; // the vi script through the starter
    Box().Write("/u/qel/shell/dovi",
                "#!/bin/sh\necho \"dovi $*\" >> \"$QEL_SANDBOX/sim/scripts.log\"\n");
    const std::string first = "L345\n \nL172", failed = "L343\n L344\n \nL172",
                      print = "L341\n \nL172";
    const Texts edited = {"start.exe sh /u/qel/shell/dovi  /u/qel/sys_data/files/constant.asc",
                          "dovi /u/qel/sys_data/files/constant.asc"};
    const struct {
        const char* what;
        std::vector<int> answers; // of the questions in turn
        int upload;
        int uploads;
        Texts asked;
        bool editor, printed;
    } cases[] = {
        {"no upload", {0, 1}, 0, 0, {first, print}, true, true},
        {"upload stopped", {1}, -1, 1, {first}, false, false},
        {"upload failed, edit the old file", {1, 1, 0}, -2, 1, {first, failed, print}, true, false},
        {"upload failed, stop", {1, 0}, -2, 1, {first, failed}, false, false},
        {"upload done", {1, 1}, 0, 1, {first, print}, true, true},
        {"upload answered otherwise", {1}, 5, 1, {first}, false, false},
    };
    static std::vector<int> answers;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Choose(1);
        answers = c.answers;
        InsideMessage = [] {
            MessageAnswer = answers.empty() ? 0 : answers.front();
            if (!answers.empty()) answers.erase(answers.begin());
        };
        UploadAnswer = c.upload;
        UploadCalls = 0;
        // Leftovers of an earlier request in the words that request 9 clears.
        MsgSetInt(MsgOut, kMsgSubState, 7);
        MsgSetInt(MsgOut, kMsgExit, 7);
        Press(V().frame->ok);
        EXPECT_EQ(PasswordItems, std::vector<int>{13});
        EXPECT_EQ(Messages, c.asked);
        EXPECT_EQ(UploadCalls, c.uploads);
        EXPECT_EQ(Box().ScriptsLog(), c.editor ? edited : Texts{});
        const std::vector<wire::Msg> sent = Requests();
        ASSERT_EQ(sent.size(), c.printed ? 1u : 0u);
        if (c.printed) {
            EXPECT_EQ(wire::Int(sent[0], wire::kCode), 9);
            EXPECT_EQ(wire::Int(sent[0], wire::kArg), 0);
            EXPECT_EQ(wire::Text(sent[0], wire::kPath, wire::kPathWidth),
                      "/u/qel/sys_data/files/constant.asc");
            EXPECT_EQ(wire::Int(sent[0], 112), 0);
            EXPECT_EQ(wire::Int(sent[0], 116), 0);
        }
    }
    InsideMessage = nullptr;
}

} // namespace
