// Homing a counter-board station under a private X server, with the board's
// register model behind the bus seam: the home dialog stays until the board
// signals its homing event (the homed light then comes on) or until its
// Cancel is pressed, which leaves even a machine homed before not homed;
// the board is left so that the next ping finds it.
#include <gtest/gtest.h>

#include "board_model.h"
#include "clicker.h"
#include "controller.h"
#include "gui.h"
#include "homedialog.h"
#include "homing.h"
#include "imbed.h"
#include "labels.h"
#include "mainmenu.h"
#include "msgsys.h"
#include "nap.h"
#include "operator_hooks.h"
#include "settings.h"
#include "vok.h"

#include <Xm/Xm.h>

#include <chrono>
#include <thread>
#include <unistd.h>

namespace {

// Pauses recorded and taken at a hundredth of their length.
std::vector<long> Naps;
void QuickNap(long ms) {
    Naps.push_back(ms);
    if (ms > 0) std::this_thread::sleep_for(std::chrono::microseconds(ms * 10));
}

class BoardHomingTest : public testing::Test {
  protected:
    void SetUp() override {
        alarm(120);
        ASSERT_TRUE(gui_.ok());
        MakeMainMenu();
        InstallOperatorHooks();
        Serve(100);
        SetNapHook(QuickNap);
        Naps.clear();
        gui_.box().WriteUart({ServoEntry("TORVI")});
        gui_.box().Write("/u/qel/sys_data/files/partname", "DEMO");
        OnlineItem = 0;
        MsgsysResetForTest();
        ServoOn = MachineHomed = 0;
        HomeResult = 0;
    }
    void TearDown() override {
        SetNapHook(nullptr);
        alarm(0);
    }
    bool HomedLightOn() {
        Pixel homed = 0, servo = 0;
        XtVaGetValues(MainMenuIndicators[1], XmNbackground, &homed, nullptr);
        XtVaGetValues(MainMenuIndicators[0], XmNbackground, &servo, nullptr);
        return homed == servo;
    }
    int Polls() const { return static_cast<int>(std::count(Naps.begin(), Naps.end(), 20L)); }

    GuiSession gui_;
    BoardModel board_;
};

TEST_F(BoardHomingTest, TheEventHomesTheMachine) {
    const int k = 5;
    // The ping's set-up, the homing's set-up, k polls without an edge, then
    // the latch event.
    board_.statuses = std::vector<unsigned char>(2 + k, 0x00);
    board_.statuses.push_back(0x10);
    HomeMachine();
    EXPECT_EQ(MachineHomed, 1);
    EXPECT_TRUE(HomedLightOn());
    EXPECT_EQ(HomeDialog, nullptr) << "the dialog is gone";
    EXPECT_EQ(Polls(), k) << "a pause after each poll without the event";
    EXPECT_TRUE(board_.mode) << "the board keeps the homed mark";
    EXPECT_EQ(board_.page, 0);
    EXPECT_FALSE(board_.open);
    EXPECT_EQ(ImbedStatus(), 1);
}

TEST_F(BoardHomingTest, CancelLeavesTheBoardAsItWas) {
    board_.statuses = {0x00};
    OutsideClicker user([](const XClient& x) {
        const TopWindowInfo top = x.WaitForTopWindow(575, 175, 10000);
        ASSERT_NE(top.id, 0u);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        XWindowId cancel = 0;
        for (int i = 0; i < 100 && !(cancel = DialogButton(x, top, false)); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_NE(cancel, 0u);
        x.ClickWindow(cancel);
    });
    HomeMachine();
    user.Join();
    EXPECT_EQ(MachineHomed, 0);
    EXPECT_FALSE(HomedLightOn());
    EXPECT_EQ(HomeResult, 99);
    EXPECT_EQ(HomeDialog, nullptr);
    EXPECT_GT(Polls(), 0) << "the wait pauses between polls";
    EXPECT_FALSE(board_.open);
    EXPECT_EQ(board_.page, 0) << "no page left selected";
    EXPECT_FALSE(board_.mode);
    EXPECT_EQ(ImbedPing(), 1) << "the next ping finds the board";
    EXPECT_EQ(ImbedBoardId, 'E');
}

// A machine homed already is homed again after the question; Cancel in the
// home dialog then leaves it not homed: the flag, the light and the menu.
TEST_F(BoardHomingTest, HomedAgainAndCancelledShowsNotHomed) {
    board_.mode = true; // the board reports the machine homed
    board_.statuses = {0x00};
    OutsideClicker user([](const XClient& x) {
        // The question "homed already, home again?": OK.
        const TopWindowInfo question = x.WaitForTopWindow(575, 175, 10000);
        ASSERT_NE(question.id, 0u);
        XWindowId ok = 0;
        for (int i = 0; i < 100 && !(ok = DialogButton(x, question, true)); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_NE(ok, 0u);
        x.ClickWindow(ok);
        ASSERT_TRUE(x.WaitUntilGone(question.id, 10000));
        // The home dialog: Cancel.
        const TopWindowInfo home = x.WaitForTopWindow(575, 175, 10000);
        ASSERT_NE(home.id, 0u);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        XWindowId cancel = 0;
        for (int i = 0; i < 100 && !(cancel = DialogButton(x, home, false)); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_NE(cancel, 0u);
        EXPECT_EQ(DialogButton(x, home, true), 0u) << "the home dialog, Cancel only";
        x.ClickWindow(cancel);
    });
    HomeMachine();
    user.Join();
    EXPECT_EQ(HomeResult, 99) << "the home dialog was cancelled";
    EXPECT_EQ(MachineHomed, 0);
    EXPECT_FALSE(HomedLightOn());
    EXPECT_TRUE(XtIsSensitive(MainMenuButtons[1])) << "the controller answers";
    EXPECT_FALSE(XtIsSensitive(MainMenuButtons[2])) << "what needs a homed machine is off";
    EXPECT_EQ(HomeDialog, nullptr);
}

} // namespace
