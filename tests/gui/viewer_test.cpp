// The text viewer in widgets: what it shows of a file, the files it cannot
// show, the caller hidden until OK, a second file while it is up, the search,
// the print copy and its request, the window manager's close, the window
// on the 800 x 600 screen with OK pressed by the pointer, and the viewer
// kept over the main window when a task's end raises that.
#include <gtest/gtest.h>

#include "choice_fixture.h"

#include "clock.h"
#include "viewer.h"
#include "xutil.h"

#include <Xm/Text.h>
#include <Xm/TextF.h>

#include <string>

namespace {

time_t Now = 1700000000;
time_t FixedClock() {
    return Now;
}

const std::string FF = "\\!2FF";

class ViewerTest : public ChoiceFixture {
  public:
    void SetUp() override {
        ChoiceFixture::SetUp();
        SetWallClockHook(FixedClock);
        SetMenuFlags("1111111111");
        // HELP's callback, as start-up registers it.
        XtAddCallback(MainMenuButtons[6], XmNactivateCallback, HelpButtonCB, nullptr);
        gui_.box().Write("/u/qel/database/etitle.data", "0001Station title\n");
        gui_.box().Write("/u/qel/doc/README", "The general help.\n");
        gui_.box().Write("/u/qel/doc/VOK", "The program's help.\n");
    }
    void TearDown() override {
        SetWallClockHook(nullptr);
        ChoiceFixture::TearDown();
    }
    const Sandbox& box() const { return gui_.box(); }

    static std::string Shown() {
        if (!ViewerText) return "<no text>";
        char* s = XmTextGetString(ViewerText);
        std::string out = s ? s : "";
        XtFree(s);
        return out;
    }
    static bool Up() {
        if (!ViewerShell || !XtIsRealized(ViewerShell)) return false;
        XWindowAttributes a;
        return XGetWindowAttributes(TheDisplay, XtWindow(ViewerShell), &a) &&
               a.map_state == IsViewable;
    }
    static std::string Title() {
        char* title = nullptr;
        XtVaGetValues(ViewerShell, XmNtitle, &title, nullptr);
        return title ? title : "";
    }
    static std::pair<long, long> Selection() {
        XmTextPosition left = -1, right = -1;
        if (!XmTextGetSelectionPosition(ViewerText, &left, &right)) return {-1, -1};
        return {left, right};
    }
    static void Search(const std::string& what) {
        XmTextFieldSetString(SearchField, const_cast<char*>(what.c_str()));
        Press(SearchButton);
    }
    Widget Caller(const char* name) {
        Widget w = XmCreatePushButton(MainForm, const_cast<char*>(name), nullptr, 0);
        XtManageChild(w);
        return w;
    }
};

TEST_F(ViewerTest, HelpShowsTheProgramsTextUntilOk) {
    box().Write("/u/qel/doc/VOK", std::string("first line\r\nsecond\0line\r\n", 25));
    Widget help = MainMenuButtons[6];
    Press(help);
    ASSERT_TRUE(ServeUntil(Up, 3000));
    EXPECT_EQ(Shown(), "first line \nsecond line \n");
    EXPECT_EQ(ViewedPath, "/u/qel/doc/VOK");
    EXPECT_EQ(Title(), "Station title: /u/qel/doc/VOK");
    EXPECT_FALSE(XtIsManaged(help));

    Press(ViewerOKButton);
    EXPECT_TRUE(ServeUntil([] { return !Up(); }, 3000));
    EXPECT_EQ(ViewerText, nullptr);
    EXPECT_TRUE(XtIsManaged(help));
    EXPECT_EQ(ViewerCaller, nullptr);
}

TEST_F(ViewerTest, HelpIndexesOtherThanOneShowTheGeneralText) {
    for (int index : {0, 5, -1}) {
        SCOPED_TRACE(index);
        ShowHelpText(Caller("b"), index);
        EXPECT_EQ(ViewedPath, "/u/qel/doc/README");
        EXPECT_EQ(Shown(), "The general help.\n");
        Press(ViewerOKButton);
    }
}

TEST_F(ViewerTest, FilesThatCannotBeShown) {
    box().Write("/u/qel/doc/empty", "");
    box().Write("/u/qel/doc/folder/x", "x");
    Widget caller = Caller("caller");
    for (const char* path : {"/u/qel/doc/none", "/u/qel/doc/empty", "/u/qel/doc/folder"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(DisplayFile(path, "t", caller), -1);
        EXPECT_TRUE(XtIsManaged(caller));
        EXPECT_EQ(ViewerCaller, nullptr);
        EXPECT_EQ(ViewerShell, nullptr); // nothing was built, nothing pops up
    }
}

TEST_F(ViewerTest, ASecondFileWhileUp) {
    box().Write("/u/qel/doc/VOK", FF + "The program's help." + FF);
    Widget first = Caller("first");
    Widget second = Caller("second");
    ASSERT_EQ(DisplayFile("/u/qel/doc/README", "one", first), 0);
    EXPECT_FALSE(XtIsManaged(first));

    // Another file shows in a new text widget, the only one in the frame.
    ASSERT_EQ(DisplayFile("/u/qel/doc/VOK", "two", second), 0);
    Serve(50);
    EXPECT_EQ(Children(ViewerFrame).size(), 1u);
    EXPECT_EQ(Shown(), FF + "The program's help." + FF);
    EXPECT_EQ(Title(), "two");
    EXPECT_TRUE(XtIsManaged(first));
    EXPECT_FALSE(XtIsManaged(second));

    // A file that fails leaves the view, its search and its print as they
    // were; its own caller is shown again.
    Widget third = Caller("third");
    EXPECT_EQ(DisplayFile("/u/qel/doc/none", "three", third), -1);
    EXPECT_TRUE(Up());
    EXPECT_TRUE(XtIsManaged(third));
    EXPECT_EQ(Shown(), FF + "The program's help." + FF);
    EXPECT_EQ(ViewedPath, "/u/qel/doc/VOK");
    Search("help");
    EXPECT_EQ(Selection(), std::make_pair(long(FF.size() + 14), long(FF.size() + 18)));
    Press(ViewerPrintButton);
    EXPECT_EQ(box().Read("/u/tmp/PRT1700000000"), "The program's help.");
}

TEST_F(ViewerTest, SearchStepsWrapsAndFollowsTheScroll) {
    std::string text;
    for (int line = 0; line < 120; ++line)
        text +=
            (line == 5 || line == 50 || line == 100 ? "a needle here" : "hay") + std::string("\n");
    box().Write("/u/qel/doc/VOK", text);
    ASSERT_EQ(DisplayFile("/u/qel/doc/VOK", "t", nullptr), 0);
    Serve(100);
    const long first = static_cast<long>(text.find("needle"));
    const long second = static_cast<long>(text.find("needle", first + 1));
    const long third = static_cast<long>(text.find("needle", second + 1));
    auto at = [](long p) { return std::make_pair(p, p + 6); };

    Search("needle");
    EXPECT_EQ(Selection(), at(first));
    Search("needle");
    EXPECT_EQ(Selection(), at(second));
    Search("needle");
    EXPECT_EQ(Selection(), at(third));
    Search("needle");
    EXPECT_EQ(Selection(), at(first));
    // An empty field does nothing.
    Search("");
    EXPECT_EQ(Selection(), at(first));
    // Scrolled past the second: the search starts at the first visible line.
    XmTextSetTopCharacter(ViewerText, static_cast<XmTextPosition>(text.find("hay", second)));
    Search("needle");
    EXPECT_EQ(Selection(), at(third));
    // Enter in the field searches too.
    XmTextFieldSetString(SearchField, const_cast<char*>("needle"));
    CallAction(SearchField, "activate");
    EXPECT_EQ(Selection(), at(first));
}

TEST_F(ViewerTest, PrintCopiesOnceASecondAndAsksTheServer) {
    box().Write("/u/qel/doc/VOK", FF + "line one\r\nline two\n" + FF);
    ASSERT_EQ(DisplayFile("/u/qel/doc/VOK", "t", nullptr), 0);
    Requests();

    testing::internal::CaptureStdout();
    Press(ViewerPrintButton);
    Press(ViewerPrintButton);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(box().Read("/u/tmp/PRT1700000000"), "line one\r\nline two\n");
    EXPECT_NE(console.find("In theory we will send to [/u/qel/doc/VOK] printer "
                           "[/u/tmp/PRT1700000000]"),
              std::string::npos)
        << console;
    auto sent = Requests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].mtype, MsgKey);
    EXPECT_EQ(wire::Int(sent[0], 20), 10); // request code
    EXPECT_EQ(wire::Int(sent[0], 112), 0); // sub-state
    EXPECT_EQ(wire::Text(sent[0], 32, 80), "/u/tmp/PRT1700000000");

    // The next second prints again; a copy that fails sends nothing.
    Now += 1;
    box().Remove("/u/tmp");
    testing::internal::CaptureStdout();
    Press(ViewerPrintButton);
    const std::string failed = testing::internal::GetCapturedStdout();
    EXPECT_NE(failed.find("failed (-163), nothing sent to print"), std::string::npos) << failed;
    EXPECT_TRUE(Requests().empty());
    Now += 1;
    box().Write("/u/tmp/.keep", "");
    Press(ViewerPrintButton);
    sent = Requests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(wire::Text(sent[0], 32, 80), "/u/tmp/PRT1700000002");
}

TEST_F(ViewerTest, WindowManagerCloseLeavesItOpen) {
    ASSERT_EQ(DisplayFile("/u/qel/doc/VOK", "t", nullptr), 0);
    ASSERT_TRUE(ServeUntil(Up, 3000));
    XClient x;
    ASSERT_TRUE(x.ok());
    testing::internal::CaptureStdout();
    x.SendDeleteWindow(XtWindow(ViewerShell));
    Serve(300);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_NE(console.find("Do not use the Windows title bar 'close' ('X') to close a window."),
              std::string::npos)
        << console;
    EXPECT_TRUE(Up());
    EXPECT_NE(ViewerText, nullptr);
}

TEST_F(ViewerTest, FitsTheScreenAndOkClosesItByPointer) {
    Widget help = MainMenuButtons[6];
    Press(help);
    ASSERT_TRUE(ServeUntil(Up, 3000));
    Serve(200);
    XClient x;
    ASSERT_TRUE(x.ok());
    ASSERT_EQ(x.ScreenWidth(), 800);
    ASSERT_EQ(x.ScreenHeight(), 600);
    int sx = 0, sy = 0;
    x.RootPosition(XtWindow(ViewerShell), &sx, &sy);
    EXPECT_EQ(sx, 10);
    EXPECT_EQ(sy, 10);
    const WidgetBox form = Geometry(ViewerForm);
    EXPECT_EQ(form.width, 775);
    EXPECT_EQ(form.height, 570);
    for (Widget w : {ViewerOKButton, ViewerPrintButton, SearchButton, SearchField, ViewerText}) {
        SCOPED_TRACE(XtName(w));
        int rx = 0, ry = 0;
        x.RootPosition(XtWindow(w), &rx, &ry);
        const WidgetBox b = Geometry(w);
        EXPECT_GE(rx, 0);
        EXPECT_GE(ry, 0);
        EXPECT_LE(rx + b.width, 800);
        EXPECT_LE(ry + b.height, 600);
        EXPECT_GT(b.width, 0);
    }
    int ox = 0, oy = 0;
    x.RootPosition(XtWindow(ViewerOKButton), &ox, &oy);
    const WidgetBox ok = Geometry(ViewerOKButton);
    x.Click(ox + ok.width / 2, oy + ok.height / 2);
    EXPECT_TRUE(ServeUntil([] { return !Up(); }, 3000));
    EXPECT_TRUE(XtIsManaged(help));
}

// Position of a top-level window in the stacking order, bottom first; -1
// when it is not a child of the root.
int StackIndex(Window w) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int n = 0;
    int at = -1;
    if (XQueryTree(TheDisplay, DefaultRootWindow(TheDisplay), &root, &parent, &children, &n))
        for (unsigned int i = 0; i < n; ++i)
            if (children[i] == w) at = static_cast<int>(i);
    if (children) XFree(children);
    return at;
}

unsigned long ScreenPixel(int x, int y) {
    XSync(TheDisplay, False);
    XImage* image =
        XGetImage(TheDisplay, DefaultRootWindow(TheDisplay), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return ~0UL;
    const unsigned long v = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return v;
}

// The server reports the run's end (and, for the second case, the task
// ready) while the help text is up: the poll raises the main window, and
// the viewer with it, so that it stays in view with its OK.
TEST_F(ViewerTest, ATasksEndLeavesTheViewerOnTop) {
    const struct {
        const char* what;
        int code, subState, status;
    } reports[] = {{"the task ended", 14, 0, 8}, {"the task is ready", 17, 20, 0}};
    Press(MainMenuButtons[6]);
    ASSERT_TRUE(ServeUntil(Up, 3000));
    Serve(200);
    XClient x;
    ASSERT_TRUE(x.ok());
    // The middle of the viewer's OK button, on the screen.
    int ox = 0, oy = 0;
    x.RootPosition(XtWindow(ViewerOKButton), &ox, &oy);
    ox += 30;
    oy += 30;
    const unsigned long okPixel = ScreenPixel(ox, oy);
    for (const auto& r : reports) {
        SCOPED_TRACE(r.what);
        RecordTask(101, "P1", SLOT_RUNNING, 0x1000, 1, 4, 0x10000);
        CurrentTaskId = 101;
        Reply(r.code, 101, r.subState, r.status);
        ASSERT_TRUE(PollOnce());
        EXPECT_NE(TaskSlot.state, SLOT_RUNNING) << "the report was handled";
        XSync(TheDisplay, False);
        EXPECT_GT(StackIndex(XtWindow(ViewerShell)), StackIndex(TopWindow));
        EXPECT_GE(StackIndex(TopWindow), 0);
        EXPECT_EQ(ScreenPixel(ox, oy), okPixel);
        EXPECT_TRUE(Up());
        EXPECT_FALSE(XtIsManaged(MainMenuButtons[6])) << "HELP stays hidden while the viewer is up";
    }
}

} // namespace
