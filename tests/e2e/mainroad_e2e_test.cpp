// The main road end to end: the real program on the demo station against
// the simulated message server, driven by pointer clicks at the fixed
// places of its buttons. A run is executed through created, ready, running
// and ended; a single-step run is started, paused (held) and the program is
// left through the pause screen, which aborts the task, runs the stop
// script, waits for the server's last message and ends with status 0.
//
// The test saves screenshots of the execute and the pause screen
// (execute-screen.png, pause-screen.png) in QEL_SCREENSHOT_DIR, or in its
// working folder when that is not set.
#include <gtest/gtest.h>

#include "clicker.h"
#include "proc.h"
#include "sandbox.h"
#include "station.h"
#include "vok_run.h"
#include "xutil.h"
#include "xvfb.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/types.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

namespace {

TEST(MainRoadE2E, ExecuteStepPauseAndExit) {
    ScopedEnv fast("QEL_NAP_PERCENT", "10");
    XvfbServer xvfb(800, 600);
    ASSERT_TRUE(xvfb.ok());
    Sandbox box;
    std::string error;
    ASSERT_TRUE(box.LayOutDemo(&error)) << error;
    // Runs end when the test says so.
    box.SetServerArgs("--run-end never");
    VokRun run(box);
    ChildProcess& vok = run.child();
    ASSERT_TRUE(vok.WaitForOutput("ChangeCursor\n", kStartupMs)) << vok.Output();
    XClient x;
    ASSERT_TRUE(x.ok());
    Station st(x);
    ASSERT_TRUE(st.ok());
    Pause(300);
    // Offline with a valid part: the servo light is lit, the run lights dark.
    const unsigned long lit = st.Light(0);
    const unsigned long dark = st.Light(3);
    ASSERT_NE(lit, dark);
    ASSERT_EQ(st.Light(4), dark);

    // ---- Execute: created, ready, running ----
    // The centre of the execute button lies in its drawing, which the demo
    // shows dotted in grey while the menu is greyed.
    const unsigned long executeLive = st.Pixel(kExecuteMenu);
    st.ClickButton({30, 344});
    ASSERT_TRUE(WaitUntil([&] { return st.ChoiceShown(kExecuteChoice); }, 5000)) << st.Layout();
    EXPECT_TRUE(st.ChoiceShown(kStepChoice));
    EXPECT_TRUE(WaitUntil([&] { return st.Pixel(kExecuteMenu) != executeLive; }, 3000))
        << "the greyed main menu looks like the live one";
    st.ClickOnWork(kExecuteChoice);
    ASSERT_TRUE(WaitUntil([&] { return st.Shows(kWork.x + 94, kWork.y + 190, 78, 78); }, 3000))
        << st.Layout();
    Pause(300);
    const std::string executeShot = ScreenshotPath("execute-screen.png");
    EXPECT_TRUE(xvfb.Screenshot(executeShot));
    std::printf("execute screen: %s\n", executeShot.c_str());
    st.Click({kWork.x + kOk.x + 33, kWork.y + kOk.y + 33});

    ASSERT_TRUE(WaitUntil([&] { return RequestsOf(box, 16, 0x10000).size() == 1; }, 5000))
        << vok.Output();
    const auto creates = RequestsOf(box, 14);
    ASSERT_EQ(creates.size(), 1u);
    EXPECT_EQ(JsonInt(creates[0], "arg"), 4);
    EXPECT_EQ(JsonInt(creates[0], "sender"), vok.pid());
    EXPECT_EQ(JsonInt(creates[0], "task"), 0);
    EXPECT_EQ(JsonInt(creates[0], "data"), 0);
    EXPECT_EQ(JsonStr(creates[0], "part"), "");
    EXPECT_EQ(JsonStr(creates[0], "type"), "");
    EXPECT_EQ(JsonInt(creates[0], "runmode"), 3);
    EXPECT_EQ(JsonInt(creates[0], "opmode"), 0x2002); // item 3 = 2: offline
    const auto run1 = RequestsOf(box, 16, 0x10000)[0];
    EXPECT_EQ(JsonInt(run1, "arg"), 4);
    EXPECT_EQ(JsonInt(run1, "task"), 101);
    EXPECT_EQ(JsonStr(run1, "part"), "DEMO");
    EXPECT_EQ(JsonStr(run1, "type"), "llf");
    EXPECT_EQ(JsonInt(run1, "runmode"), 3);
    EXPECT_FALSE(st.WorkWindowShown());
    // Running: the run-requested and task-running lights are lit.
    EXPECT_TRUE(WaitUntil([&] { return st.Light(3) == lit && st.Light(4) == lit; }, 5000));
    // The part's folders are there for the run.
    EXPECT_TRUE(box.Exists("/u/qel/part/DEMO/stat"));
    EXPECT_TRUE(box.Exists("/u/qel/part/DEMO/feature"));
    ASSERT_TRUE(AllRepliesHandled(box, vok, 1)) << vok.Output();

    // ---- Ended ----
    Inject(box, vok.pid(), "--code 14 --status 8 --task 101");
    EXPECT_TRUE(WaitUntil([&] { return st.Light(3) == dark && st.Light(4) == dark; }, 5000));

    // ---- Step: running again, then paused ----
    st.ClickButton({30, 344});
    ASSERT_TRUE(WaitUntil([&] { return st.ChoiceShown(kStepChoice); }, 5000)) << st.Layout();
    st.ClickOnWork(kStepChoice);
    Pause(200);
    st.Click({kWork.x + kOk.x + 33, kWork.y + kOk.y + 33});
    ASSERT_TRUE(WaitUntil([&] { return RequestsOf(box, 16, 0x10000).size() == 2; }, 5000))
        << vok.Output();
    const auto step = RequestsOf(box, 14).back();
    EXPECT_EQ(JsonInt(step, "arg"), 114);
    EXPECT_EQ(JsonInt(step, "runmode"), 11);
    const auto run2 = RequestsOf(box, 16, 0x10000)[1];
    EXPECT_EQ(JsonInt(run2, "arg"), 114);
    EXPECT_EQ(JsonInt(run2, "runmode"), 11);
    // The server's running report handled too.
    ASSERT_TRUE(AllRepliesHandled(box, vok, 2)) << vok.Output();
    ASSERT_EQ(st.Light(4), lit);

    // Pause holds the running task; the server's confirmation closes the
    // screen again within about a second.
    st.ClickButton({30, 440});
    ASSERT_TRUE(WaitUntil([&] { return RequestsOf(box, 16, 0x20000).size() == 1; }, 5000))
        << vok.Output();
    const auto hold = RequestsOf(box, 16, 0x20000)[0];
    EXPECT_EQ(JsonInt(hold, "arg"), 4);
    EXPECT_EQ(JsonInt(hold, "task"), 101);
    EXPECT_TRUE(WaitUntil([&] { return !st.WorkWindowShown(); }, 3000)) << st.Layout();
    ASSERT_TRUE(AllRepliesHandled(box, vok, 3)) << vok.Output();
    EXPECT_FALSE(st.WorkWindowShown());
    EXPECT_EQ(st.Light(4), dark);

    // Pause again: the held task stays held, and the screen stays.
    st.ClickButton({30, 440});
    ASSERT_TRUE(WaitUntil([&] { return st.ChoiceShown(kExitChoice); }, 5000)) << st.Layout();
    Pause(1500);
    EXPECT_TRUE(st.ChoiceShown(kExitChoice));
    EXPECT_EQ(RequestsOf(box, 16, 0x20000).size(), 1u);

    // ---- Exit ----
    st.ClickOnWork(kExitChoice);
    ASSERT_TRUE(WaitUntil([&] { return st.Shows(kWork.x + 248, kWork.y + 190, 78, 78); }, 3000));
    Pause(300);
    const std::string pauseShot = ScreenshotPath("pause-screen.png");
    EXPECT_TRUE(xvfb.Screenshot(pauseShot));
    std::printf("pause screen: %s\n", pauseShot.c_str());
    st.Click({kWork.x + kOk.x + 33, kWork.y + kOk.y + 33});
    // The confirmation.
    const TopWindowInfo confirm = x.WaitForTopWindow(575, 175, 5000);
    ASSERT_NE(confirm.id, 0u) << vok.Output();
    const XWindowId ok = DialogButton(x, confirm, true);
    ASSERT_NE(ok, 0u);
    x.ClickWindow(ok);

    int status = -1;
    ASSERT_TRUE(vok.WaitExit(30000, &status)) << vok.Output();
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    // The screen's abort, then the program end's own.
    const auto aborts = RequestsOf(box, 16, 0x400000);
    ASSERT_EQ(aborts.size(), 2u);
    for (const std::string& a : aborts) {
        EXPECT_EQ(JsonInt(a, "arg"), 4);
        EXPECT_EQ(JsonInt(a, "task"), 101);
    }
    const auto log = box.ScriptsLog();
    EXPECT_NE(std::find(log.begin(), log.end(), "xstop "), log.end());
    const std::string out = vok.Output();
    EXPECT_NE(out.find("SYSTEM('/usr/bin/xstop')"), std::string::npos) << out;
    EXPECT_EQ(out.find("no last message from the message server"), std::string::npos) << out;
}

} // namespace
