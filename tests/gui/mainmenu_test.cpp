// The main menu under a private X server: where its buttons and lights
// stand, the demo's greyed looks of every row, the hint line (also after a
// language change), and the power button: one check per press, however
// often it is pressed while the check runs.
#include <gtest/gtest.h>

#include "clicker.h"
#include "colors.h"
#include "controller.h"
#include "gui.h"
#include "labels.h"
#include "mainmenu.h"
#include "proc.h"
#include "settings.h"
#include "test_hooks.h"
#include "makers.h"
#include "vok.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <Xm/PushB.h>
#include <Xm/Xm.h>

#include <map>
#include <string>
#include <unistd.h>

namespace {

std::map<int, std::string> MenuLabels() {
    std::map<int, std::string> labels = DefaultTestLabels();
    for (int n = 54; n <= 63; ++n) labels[n] = "HINT " + std::to_string(n);
    return labels;
}

class MainMenuTest : public testing::Test {
  protected:
    void SetUp() override {
        alarm(60); // a dialog left unanswered ends the test instead of the suite
        ASSERT_TRUE(gui_.ok());
        MakeMainMenu();
        for (const MainMenuEntry& row : MainMenuTable)
            XtAddCallback(row.widget, XmNactivateCallback, row.callback, nullptr);
        Serve(100);
    }
    void TearDown() override { alarm(0); }
    GuiSession gui_{MenuLabels()};
};

TEST_F(MainMenuTest, ButtonsAndLightsStandAtTheirPlaces) {
    for (int i = 0; i < kMainMenuRows; ++i) {
        SCOPED_TRACE("row " + std::to_string(i + 1));
        const MainMenuEntry& row = MainMenuTable[i];
        Widget b = MainMenuButtons[i];
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(row.widget, b);
        EXPECT_EQ(XtParent(b), MainForm);
        EXPECT_EQ(Geometry(b), (WidgetBox{row.x, row.y, 66, 66}));
        EXPECT_EQ(row.x2, row.x + 65);
        EXPECT_EQ(row.y2, row.y + 65);
        EXPECT_EQ(GetUChar(b, XmNlabelType), XmPIXMAP);
        EXPECT_FALSE(XtIsSensitive(b));
        EXPECT_TRUE(XtIsManaged(b));
        if (i < kMainMenuLights) {
            Widget light = MainMenuIndicators[i];
            ASSERT_NE(light, nullptr);
            EXPECT_EQ(Geometry(light), (WidgetBox{row.x - 23, row.y + 25, 16, 16}));
            EXPECT_EQ(GetUChar(light, XmNlabelType), XmPIXMAP);
            EXPECT_FALSE(XtIsSensitive(light));
            EXPECT_TRUE(XtIsManaged(light));
        }
    }
    // Two columns of five, 96 pixels apart.
    const int columns[2] = {30, 690};
    for (int i = 0; i < kMainMenuRows; ++i) {
        EXPECT_EQ(MainMenuTable[i].x, columns[i / 5]);
        EXPECT_EQ(MainMenuTable[i].y, 56 + 96 * (i % 5));
        EXPECT_EQ(MainMenuTable[i].hint, 54 + i);
    }
}

Pixel Background(Widget w) {
    Pixel p = 0;
    XtVaGetValues(w, XmNbackground, &p, nullptr);
    return p;
}

TEST_F(MainMenuTest, LightsFollowTheMachineState) {
    // The demo's colours, so that the two looks differ.
    std::string error;
    ASSERT_TRUE(gui_.box().LayOutDemo(&error)) << error;
    SysgenResetForTest();
    SwitchDbResetForTest();
    ResourcePaletteCreate(ColorFileName);
    // The looks of a light switched on and off, on lights of their own.
    Widget on = XmCreatePushButton(MainForm, const_cast<char*>("on"), nullptr, 0);
    Widget off = XmCreatePushButton(MainForm, const_cast<char*>("off"), nullptr, 0);
    IndicatorOn(on);
    IndicatorOff(off);
    const Pixel onPixel = Background(on), offPixel = Background(off);
    ASSERT_NE(onPixel, offPixel);
    for (Widget light : MainMenuIndicators) IndicatorOff(light);

    gui_.box().Write("/u/qel/part/DEMO/.keep", "");
    struct Case {
        int servo, homed;
        bool part;
        bool lights[3]; // servo on, homed, part valid
    };
    const Case cases[] = {
        {1, 1, true, {true, true, true}},    {1, 1, false, {true, true, false}},
        {1, 0, true, {true, false, false}},  {0, 1, true, {false, true, false}},
        {0, 0, true, {false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("servo " + std::to_string(c.servo) + " homed " + std::to_string(c.homed) +
                     (c.part ? " part" : " no part"));
        if (c.part)
            gui_.box().Write("/u/qel/sys_data/files/partname", "DEMO");
        else
            gui_.box().Remove("/u/qel/sys_data/files/partname");
        ServoOn = c.servo;
        MachineHomed = c.homed;
        UpdateMainMenu();
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Background(MainMenuIndicators[i]), c.lights[i] ? onPixel : offPixel)
                << "light " << i;
        // The run and task lights belong to the message system.
        EXPECT_EQ(Background(MainMenuIndicators[3]), offPixel);
        EXPECT_EQ(Background(MainMenuIndicators[4]), offPixel);
    }
}

// Each of the demo's schemes gives every row a greyed look of its own:
// wherever a button's live icon shows its drawing, its greyed icon shows
// another colour.
TEST_F(MainMenuTest, TheDemoSchemesGreyEveryRow) {
    std::string error;
    ASSERT_TRUE(gui_.box().LayOutDemo(&error)) << error;
    for (const char* scheme : {"colors.QEL", "colors.RI"}) {
        UpdateQELColors(scheme); // the rows take the scheme's looks
        for (int i = 0; i < kMainMenuRows; ++i) {
            SCOPED_TRACE(std::string(scheme) + " row " + std::to_string(i + 1));
            Widget b = MainMenuButtons[i];
            Pixmap live = 0, greyed = 0;
            Pixel drawing = 0;
            XtVaGetValues(b, XmNlabelPixmap, &live, XmNlabelInsensitivePixmap, &greyed,
                          XmNforeground, &drawing, nullptr);
            ASSERT_NE(live, XmUNSPECIFIED_PIXMAP);
            ASSERT_NE(greyed, XmUNSPECIFIED_PIXMAP);
            Window root;
            int x0, y0;
            unsigned w, h, border, depth;
            ASSERT_TRUE(XGetGeometry(TheDisplay, live, &root, &x0, &y0, &w, &h, &border, &depth));
            XImage* a = XGetImage(TheDisplay, live, 0, 0, w, h, AllPlanes, ZPixmap);
            XImage* g = XGetImage(TheDisplay, greyed, 0, 0, w, h, AllPlanes, ZPixmap);
            ASSERT_TRUE(a && g);
            int drawn = 0, alike = 0;
            for (unsigned y = 0; y < h; ++y)
                for (unsigned x = 0; x < w; ++x)
                    if (XGetPixel(a, x, y) == drawing) {
                        ++drawn;
                        if (XGetPixel(g, x, y) == drawing) ++alike;
                    }
            XDestroyImage(a);
            XDestroyImage(g);
            EXPECT_GT(drawn, 0);
            EXPECT_EQ(alike, 0) << "of " << drawn << " pixels of the drawing";
        }
    }
}

// Sends a crossing or key event to a button through the toolkit's dispatch.
void SendTo(Widget w, int type) {
    XEvent ev{};
    ev.type = type;
    ev.xany.display = XtDisplay(w);
    ev.xany.window = XtWindow(w);
    if (type == EnterNotify || type == LeaveNotify) {
        ev.xcrossing.mode = NotifyNormal;
        ev.xcrossing.detail = NotifyAncestor;
        ev.xcrossing.same_screen = True;
    } else {
        ev.xkey.keycode = XKeysymToKeycode(XtDisplay(w), XK_a);
        ev.xkey.same_screen = True;
    }
    XtDispatchEvent(&ev);
}

TEST_F(MainMenuTest, HintLineShowsTheHintWhileThePointerIsOnAButton) {
    for (MainMenuEntry& row : MainMenuTable) row.enabled = 1;
    ApplyMainMenu();
    SetStatusLine("READY");
    for (int i = 0; i < kMainMenuRows; ++i) {
        SCOPED_TRACE("row " + std::to_string(i + 1));
        Widget b = MainMenuButtons[i];
        SendTo(b, EnterNotify);
        EXPECT_EQ(LabelText(StatusLine), "HINT " + std::to_string(54 + i));
        SendTo(b, KeyPress);
        SendTo(b, KeyRelease);
        EXPECT_EQ(LabelText(StatusLine), "HINT " + std::to_string(54 + i));
        SendTo(b, LeaveNotify);
        EXPECT_EQ(LabelText(StatusLine), "");
    }
}

TEST_F(MainMenuTest, HintsFollowALanguageChange) {
    for (MainMenuEntry& row : MainMenuTable) row.enabled = 1;
    ApplyMainMenu();
    SendTo(MainMenuButtons[0], EnterNotify);
    ASSERT_EQ(LabelText(StatusLine), "HINT 54");

    // The French file holds the first hints only.
    std::string french;
    for (int n = 1; n <= 56; ++n) french += (n >= 54 ? "INDICE " : "F") + std::to_string(n) + "\n";
    gui_.box().Write(LabelFileName(1), french);
    Language = 1;
    ASSERT_EQ(InitVok(), 0);

    SendTo(MainMenuButtons[2], EnterNotify);
    EXPECT_EQ(LabelText(StatusLine), "INDICE 56");
    SendTo(MainMenuButtons[2], LeaveNotify);
    SetStatusLine("READY");
    SendTo(MainMenuButtons[9], EnterNotify); // label 63 is not in the file
    EXPECT_EQ(LabelText(StatusLine), "");
}

// A family-A controller double whose ping presses the power button again, as
// an impatient operator would while the check runs.
struct PowerDouble {
    int pings = 0;
    int nestedPresses = 0;
    int sensitiveDuringCheck = -1;
    int ping = 0; // 0 answers, -82 silent
};
PowerDouble gPower;

const ControllerDriver kPowerDouble = {
    [] { return 1; },
    [](int) { return 0; },
    [] { return 1; },
    [] { return 0; },
    [] {
        ++gPower.pings;
        gPower.sensitiveDuringCheck = XtIsSensitive(MainMenuButtons[0]) ? 1 : 0;
        if (gPower.nestedPresses-- > 0) PowerButtonCB(MainMenuButtons[0], nullptr, nullptr);
        return gPower.ping;
    },
    [] { return 0; },
    [] { return 1; },
};

class PowerButtonTest : public MainMenuTest {
  protected:
    void SetUp() override {
        MainMenuTest::SetUp();
        gui_.box().WriteUart({ServoEntry("Ondry")});
        OnlineItem = 0; // online
        SetControllerDriverForTest(kFamilyA, &kPowerDouble);
        gPower = PowerDouble{};
        ServoOn = MachineHomed = 0;
        UpdateMainMenu();
        ApplyMainMenu();
    }
    void TearDown() override {
        SetControllerDriverForTest(kFamilyA, nullptr);
        MainMenuTest::TearDown();
    }
};

TEST_F(PowerButtonTest, APressDuringTheCheckIsIgnored) {
    ASSERT_TRUE(XtIsSensitive(MainMenuButtons[0]));
    gPower.nestedPresses = 3;
    Press(MainMenuButtons[0]);
    EXPECT_EQ(gPower.pings, 1);
    EXPECT_EQ(gPower.sensitiveDuringCheck, 0);
    // The controller answered: power off, initialise on.
    EXPECT_EQ(ServoOn, 1);
    EXPECT_FALSE(XtIsSensitive(MainMenuButtons[0]));
    EXPECT_TRUE(XtIsSensitive(MainMenuButtons[1]));

    // The guard is released when the press has been handled.
    PowerButtonCB(MainMenuButtons[0], nullptr, nullptr);
    EXPECT_EQ(gPower.pings, 2);
}

TEST_F(PowerButtonTest, ASilentControllerIsReportedAndPowerStaysActive) {
    gPower.ping = -82;
    DialogAnswerer answerer;
    Press(MainMenuButtons[0]);
    EXPECT_EQ(gPower.pings, 1);
    // The message of label 101 (the answerer counts it once it is gone).
    EXPECT_TRUE(WaitUntil([&] { return answerer.answered() == 1; }, 3000));
    EXPECT_EQ(ServoOn, 0);
    EXPECT_TRUE(XtIsSensitive(MainMenuButtons[0]));
    EXPECT_FALSE(XtIsSensitive(MainMenuButtons[1]));
    // And the button works again.
    gPower.ping = 0;
    Press(MainMenuButtons[0]);
    EXPECT_EQ(gPower.pings, 2);
    EXPECT_EQ(ServoOn, 1);
}

} // namespace
