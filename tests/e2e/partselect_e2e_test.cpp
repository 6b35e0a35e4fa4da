// The part selection end to end: the real program on the demo station,
// started without a current part, lists the demo's part folders through the
// listing script; a part chosen by pointer becomes the current part: the
// partname file names it, the part light goes on and the execute button
// opens its screen.
//
// The test saves a screenshot of the part selection (part-selection.png) in
// QEL_SCREENSHOT_DIR, or in its working folder when that is not set.
#include <gtest/gtest.h>

#include "proc.h"
#include "sandbox.h"
#include "station.h"
#include "vok_run.h"
#include "xutil.h"
#include "xvfb.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr Place kLoadProgMenu = {30, 248};
// The part list on the work window: 11 rows of the demo's font.
constexpr Place kList = {75, 85};

TEST(PartSelectE2E, APartChosenByPointerBecomesCurrent) {
    XvfbServer xvfb(800, 600);
    ASSERT_TRUE(xvfb.ok());
    Sandbox box;
    std::string error;
    ASSERT_TRUE(box.LayOutDemo(&error)) << error;
    box.Remove("/u/qel/sys_data/files/partname");
    VokRun run(box);
    ChildProcess& vok = run.child();
    ASSERT_TRUE(vok.WaitForOutput("ChangeCursor\n", kStartupMs)) << vok.Output();
    XClient x;
    ASSERT_TRUE(x.ok());
    Station st(x);
    ASSERT_TRUE(st.ok());
    // No current part: the part light is dark, the execute button dead.
    const unsigned long lit = st.Light(0);
    const unsigned long dark = st.Light(3);
    ASSERT_NE(lit, dark);
    EXPECT_EQ(st.Light(2), dark);
    const unsigned long deadExecute = st.Pixel(kExecuteMenu);
    st.Click(kExecuteMenu);

    // The clicks are taken in order: had the execute button opened its
    // screen, the load button would be dead under it.
    st.ClickButton(kLoadProgMenu);
    ASSERT_TRUE(WaitUntil([&] { return st.WorkWindowShown(); }, kBusyMs)) << st.Layout();
    EXPECT_FALSE(st.ChoiceShown(kExecuteChoice)) << st.Layout();
    const TopWindowInfo list = st.Find(kWork.x + kList.x, kWork.y + kList.y, 415);
    ASSERT_NE(list.id, 0u) << st.Layout();
    // The demo's parts, sorted without regard to case: the third is FLANGE.
    st.Click({list.x + 100, list.y + list.height * 5 / 22});
    Pause(300);
    const std::string shot = ScreenshotPath("part-selection.png");
    EXPECT_TRUE(xvfb.Screenshot(shot));
    std::printf("part selection: %s\n", shot.c_str());
    st.Click({kWork.x + kOk.x + 33, kWork.y + kOk.y + 33});

    ASSERT_TRUE(
        WaitUntil([&] { return box.Read("/u/qel/sys_data/files/partname") == "FLANGE"; }, kBusyMs))
        << vok.Output();
    EXPECT_TRUE(WaitUntil([&] { return !st.WorkWindowShown(); }, kBusyMs)) << st.Layout();
    EXPECT_TRUE(WaitUntil([&] { return st.Light(2) == lit; }, kBusyMs));
    EXPECT_TRUE(box.Exists("/u/qel/part/FLANGE/stat"));
    const std::vector<std::string> log = box.ScriptsLog();
    EXPECT_NE(std::find(log.begin(), log.end(),
                        "dols " + box.Path("/u/qel/part/") + " " + box.Path("/u/tmp/lst.out")),
              log.end());
    // The execute button comes alive after the light: clicked before, or
    // while the program still drops input after making it alive, it takes
    // nothing.
    ASSERT_TRUE(WaitUntil([&] { return st.Pixel(kExecuteMenu) != deadExecute; }, kBusyMs));
    EXPECT_TRUE(st.ClickUntil(kExecuteMenu, [&] { return st.ChoiceShown(kExecuteChoice); }))
        << st.Layout();
}

} // namespace
