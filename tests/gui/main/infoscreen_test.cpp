// The information screen: one case per row rule, the time read anew at each
// opening, the main menu held greyed while it is up (a server reply
// included) and given back by Cancel, and Help with the general help text.
#include <gtest/gtest.h>

#include "choice_fixture.h"

#include "clock.h"
#include "infoscreen.h"
#include "settings.h"
#include "viewer.h"

#include <cstdlib>
#include <functional>
#include <string>

namespace {

time_t Now = 1700000000; // Tuesday, 14 November 2023, 22:13:20 UTC
time_t FixedClock() {
    return Now;
}

class InfoScreenTest : public ChoiceFixture {
  public:
    void SetUp() override {
        ChoiceFixture::SetUp();
        setenv("TZ", "UTC", 1);
        tzset();
        SetWallClockHook(FixedClock);
        SetMenuFlags(kIdle);
        CurrentPart = "P1";
        ControllerFamily = 1;
        OnlineItem = 3;
        NetworkOption = 0;
        unsetenv("NETNAME");
        MsgsysResetForTest();
    }
    void TearDown() override {
        SetWallClockHook(nullptr);
        ChoiceFixture::TearDown();
    }
    const ChoiceScreen& S() const { return InfoScreenState(); }
    bool Open() const { return S().window && XtIsManaged(S().window); }
    std::string Caption(int row) const { return LabelText(S().infoLeft.at(row)); }
    std::string Value(int row) const { return LabelText(S().infoRight.at(row)); }
    void Reopen() {
        if (Open()) Press(S().cancel);
        ShowInfoScreen();
        ASSERT_TRUE(Open());
    }

    static constexpr const char* kIdle = "0111111111";
};

TEST_F(InfoScreenTest, RowsAndTheirCaptions) {
    ShowInfoScreen();
    ASSERT_TRUE(Open());
    EXPECT_EQ(LabelText(S().row1), "L59");
    EXPECT_EQ(LabelText(S().row2), "L68 \"P1\"");
    const char* captions[] = {"L291", "L292", "L295", "L297", "L293", "L294", "L296", ""};
    for (int row = 0; row < 8; ++row) EXPECT_EQ(Caption(row), captions[row]) << row;
    EXPECT_EQ(Value(0), "Tuesday, November 14, 2023");
    EXPECT_EQ(Value(1), "10:13:20 PM UTC");
    EXPECT_EQ(S().ok, nullptr);
    ASSERT_NE(S().cancel, nullptr);
    EXPECT_TRUE(XtIsSensitive(S().cancel));
}

TEST_F(InfoScreenTest, OneCasePerRowRule) {
    struct Case {
        const char* name;
        std::function<void(const Sandbox&)> set;
        int row;
        const char* caption;
        const char* value;
    };
    const std::string longVersion(100, 'v');
    const Case cases[] = {
        {"version file missing", [](const Sandbox& b) { b.Remove("/u/qel/database/VERSION"); }, 2,
         "L295", "5.0310/NT"},
        {"version line without its line end",
         [](const Sandbox& b) { b.Write("/u/qel/database/VERSION", "6.12 demo\r\nsecond\n"); }, 2,
         "L295", "6.12 demo"},
        {"version file empty", [](const Sandbox& b) { b.Write("/u/qel/database/VERSION", ""); }, 2,
         "L295", "5.0310/NT"},
        {"version's first line empty",
         [](const Sandbox& b) { b.Write("/u/qel/database/VERSION", "\n6.12\n"); }, 2, "L295",
         "5.0310/NT"},
        {"version line of 100 characters",
         [&](const Sandbox& b) { b.Write("/u/qel/database/VERSION", longVersion + "\n"); }, 2,
         "L295", "vvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvv"},
        {"family 1", [](const Sandbox&) { ControllerFamily = 1; }, 3, "L297", "Vantor"},
        {"family 2", [](const Sandbox&) { ControllerFamily = 2; }, 3, "L297", "Torvi"},
        {"family 3", [](const Sandbox&) { ControllerFamily = 3; }, 3, "L297", "Kromi"},
        // After an opening with a known family an unknown one shows nothing.
        {"family 0", [](const Sandbox&) { ControllerFamily = 0; }, 3, "L297", ""},
        {"online", [](const Sandbox&) { OnlineItem = 0; }, 4, "L293", "L120"},
        {"offline", [](const Sandbox&) { OnlineItem = 3; }, 4, "L293", "L118"},
        {"task running",
         [](const Sandbox&) {
             RecordTask(101, "P1", SLOT_RUNNING, 0, 1, 4, 0);
             CurrentTaskId = 101;
         },
         5, "L294", "L196"},
        {"task held", [](const Sandbox&) { SetTaskState(101, nullptr, SLOT_HELD, 0); }, 5, "L294",
         "L215"},
        {"task ready", [](const Sandbox&) { SetTaskState(101, nullptr, SLOT_READY, 0); }, 5, "L294",
         "L216"},
        {"task free", [](const Sandbox&) { SetTaskState(101, nullptr, SLOT_FREE, 0); }, 5, "L294",
         "L194"},
        {"another task than the slot's", [](const Sandbox&) { CurrentTaskId = 202; }, 5, "L294",
         "L194"},
        {"NETNAME set", [](const Sandbox&) { setenv("NETNAME", "station-7", 1); }, 6, "L296",
         "station-7"},
        {"NETNAME unset", [](const Sandbox&) { unsetenv("NETNAME"); }, 6, "L296", ""},
        {"network monitor installed",
         [](const Sandbox& b) {
             NetworkOption = 1;
             b.Write("/u/qel/xeq/NetMon", "");
         },
         7, "L336", "L338"},
        {"network monitor not installed", [](const Sandbox& b) { b.Remove("/u/qel/xeq/NetMon"); },
         7, "L336", "L337"},
        // After an opening with the option on, off shows nothing.
        {"network option off", [](const Sandbox&) { NetworkOption = 0; }, 7, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.set(gui_.box());
        Reopen();
        EXPECT_EQ(Caption(c.row), c.caption);
        EXPECT_EQ(Value(c.row), c.value);
    }
}

TEST_F(InfoScreenTest, FirstOpeningWithUnknownFamilyAndNetworkOff) {
    ControllerFamily = 0;
    NetworkOption = 0;
    ShowInfoScreen();
    EXPECT_EQ(Value(3), "");
    EXPECT_EQ(Caption(7), "");
    EXPECT_EQ(Value(7), "");
}

TEST_F(InfoScreenTest, ReopeningShowsTheNewTime) {
    ShowInfoScreen();
    EXPECT_EQ(Value(1), "10:13:20 PM UTC");
    Now += 61;
    // The time does not tick while the screen is up.
    Serve(50);
    EXPECT_EQ(Value(1), "10:13:20 PM UTC");
    Press(S().cancel);
    ShowInfoScreen();
    EXPECT_EQ(Value(1), "10:14:21 PM UTC");
    Now += 3600 * 2;
    Reopen();
    EXPECT_EQ(Value(0), "Wednesday, November 15, 2023");
    EXPECT_EQ(Value(1), "12:14:21 AM UTC");
}

TEST_F(InfoScreenTest, HoldsTheMainMenuUntilCancel) {
    ShowInfoScreen();
    EXPECT_EQ(ActiveMenuButton, 6);
    EXPECT_EQ(ShownScreen, nullptr);
    EXPECT_EQ(MenuSensitivity(), "0000000000");

    // A task that ends meanwhile sets the flags but leaves the menu greyed.
    RecordTask(101, "P1", SLOT_RUNNING, 0, 1, 4, 0);
    CurrentTaskId = 101;
    Reply(14, 101, 0, 8);
    PollTick();
    EXPECT_EQ(GetTaskState(101), SLOT_FREE);
    EXPECT_EQ(MenuSensitivity(), "0000000000");
    EXPECT_TRUE(Open());

    const std::string flags = MenuFlags();
    Press(S().cancel);
    EXPECT_FALSE(Open());
    EXPECT_EQ(ActiveMenuButton, 0);
    EXPECT_EQ(MenuSensitivity(), flags);
}

TEST_F(InfoScreenTest, HelpShowsTheGeneralText) {
    gui_.box().Write("/u/qel/doc/README", "General help.\n");
    gui_.box().Write("/u/qel/doc/VOK", "The program's help.\n");
    ShowInfoScreen();
    Widget help = nullptr;
    for (Widget w : Children(S().toolbar))
        if (w != S().cancel) help = w;
    ASSERT_NE(help, nullptr);
    Press(help);
    EXPECT_EQ(ViewedPath, "/u/qel/doc/README");
    EXPECT_FALSE(XtIsManaged(help));
    EXPECT_TRUE(Open());
    Press(ViewerOKButton);
    EXPECT_TRUE(XtIsManaged(help));
}

} // namespace
