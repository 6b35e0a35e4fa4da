// The shell's table and hook that reach the screens, built without the
// screens and the program's top: unset, a main-menu button of a screen and
// the poll's closing of the exit screen only print their console line; set,
// each button opens its own entry and the poll closes the exit screen
// through the closer.
#include <gtest/gtest.h>

#include "mainmenu.h"
#include "msgrecord.h"
#include "msgsys.h"

#include <functional>
#include <string>

namespace {

std::string Console(const std::function<void()>& fn) {
    testing::internal::CaptureStdout();
    fn();
    return testing::internal::GetCapturedStdout();
}

struct ScreenButton {
    const char* name;
    XtCallbackProc press;
    int button;
};
const ScreenButton kScreenButtons[] = {
    {"load program", LoadProgButtonCB, 3},
    {"execute", ExecuteButtonCB, 4},
    {"pause", PauseButtonCB, 5},
    {"status", StatusButtonCB, 6},
    {"utilities", UtilitiesButtonCB, 8},
    {"file utilities", FileUtilButtonCB, 9},
    {"program functions", ProgFunctButtonCB, 10},
};

int Opened = 0;
template <int Button> void Open() {
    Opened = Button;
}

TEST(MainMenuScreens, UnsetEntriesOnlyPrintTheirLine) {
    for (const ScreenButton& b : kScreenButtons) {
        SCOPED_TRACE(b.name);
        EXPECT_EQ(Console([&] { b.press(nullptr, nullptr, nullptr); }),
                  "Main menu: button " + std::to_string(b.button) + " not wired to a screen\n");
    }
}

TEST(MainMenuScreens, EachButtonOpensItsOwnEntry) {
    MainMenuScreens screens{};
    screens.loadProg = Open<3>;
    screens.execute = Open<4>;
    screens.pause = Open<5>;
    screens.status = Open<6>;
    screens.utilities = Open<8>;
    screens.fileUtil = Open<9>;
    screens.progFunct = Open<10>;
    SetMainMenuScreens(screens);
    for (const ScreenButton& b : kScreenButtons) {
        SCOPED_TRACE(b.name);
        Opened = 0;
        EXPECT_EQ(Console([&] { b.press(nullptr, nullptr, nullptr); }), "");
        EXPECT_EQ(Opened, b.button);
    }
}

int Closed = 0;
void Close() {
    ++Closed;
}

TEST(PollScreenSide, TheExitScreenClosesThroughTheCloser) {
    struct Case {
        const char* what;
        ExitScreenCloser closer;
        int activeButton;
        int subState;
        const char* line;
        int closed;
    };
    const Case cases[] = {
        {"unset, running", nullptr, 5, 21, "CheckMess: exit screen not wired\n", 0},
        {"unset, held", nullptr, 5, 22, "CheckMess: exit screen not wired\n", 0},
        {"set, running", Close, 5, 21, "", 1},
        {"set, held", Close, 5, 22, "", 1},
        {"set, another button's screen open", Close, 4, 21, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MsgsysResetForTest();
        SetReplyUi(nullptr); // the main window's, with its screen side
        SetExitScreenCloser(c.closer);
        ActiveMenuButton = c.activeButton;
        Closed = 0;
        MsgRecord reply{};
        MsgSetInt(reply, 16, 17); // code: task state
        MsgSetInt(reply, 108, c.subState);
        EXPECT_EQ(Console([&] { HandleReply(reply); }), c.line);
        EXPECT_EQ(Closed, c.closed);
    }
    ActiveMenuButton = 0;
    SetExitScreenCloser(nullptr);
}

} // namespace
