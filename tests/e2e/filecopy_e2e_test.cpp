// File copy end to end: the real program on the demo station. The
// file-utilities button opens the file menu; copy and OK ask the password,
// which is typed; the copy screen walks by pointer from the top list
// through the part list into P1's program folder, takes llf as the source,
// and the destination typed into the keyin field receives the copy.
//
// The test saves screenshots of the file menu (file-menu.png) and of the
// copy screen's destination phase (copy-destination.png) in
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

TEST(FileCopyE2E, CopiesP1sProgramToP2ByPointerAndKeys) {
    XvfbServer xvfb(800, 600);
    ASSERT_TRUE(xvfb.ok());
    Sandbox box;
    std::string error;
    ASSERT_TRUE(box.LayOutDemo(&error)) << error;
    ASSERT_FALSE(box.Exists("/u/qel/part/P2/program/llf"));
    VokRun run(box);
    ChildProcess& vok = run.child();
    ASSERT_TRUE(vok.WaitForOutput("ChangeCursor\n", kStartupMs)) << vok.Output();
    XClient x;
    ASSERT_TRUE(x.ok());
    Station st(x);
    ASSERT_TRUE(st.ok());
    FileScreenStation copy(x, st, box);
    Pause(300);

    st.ClickButton(kFileUtilMenu);
    ASSERT_TRUE(WaitUntil([&] { return st.ChoiceShown(kCopyChoice); }, 5000)) << st.Layout();
    st.ClickOnWork(kCopyChoice);
    Pause(300);
    const std::string menuShot = ScreenshotPath("file-menu.png");
    EXPECT_TRUE(xvfb.Screenshot(menuShot));
    std::printf("file menu: %s\n", menuShot.c_str());
    st.Click({kWork.x + kOk.x + 33, kWork.y + kOk.y + 33});

    // Copy asks for the programmer's password (item 41).
    ASSERT_NE(x.WaitForTopWindow(615, 215, 5000).id, 0u) << vok.Output();
    Pause(300);
    copy.TypePath("program");
    x.Key("Return");
    ASSERT_TRUE(WaitUntil([&] { return copy.List().id != 0; }, 5000)) << st.Layout();
    Pause(300);

    // The top list: the current part DEMO, then part/.
    copy.Choose(2);
    ASSERT_TRUE(WaitUntil([&] { return copy.RowOf("P1") != 0; }, 3000)) << vok.Output();
    copy.Choose(copy.RowOf("P1"));
    ASSERT_TRUE(WaitUntil([&] { return copy.RowOf("program") != 0; }, 3000)) << vok.Output();
    copy.Choose(copy.RowOf("program"));
    ASSERT_TRUE(WaitUntil([&] { return copy.RowOf("llf") == 1; }, 3000)) << vok.Output();
    copy.Choose(1);
    // The destination phase: no list, the keyin field preset with
    // part/P1/program/.
    ASSERT_TRUE(WaitUntil([&] { return copy.List().id == 0; }, 3000)) << st.Layout();
    st.Click(kKeyin);
    x.Key("End");
    for (int i = 0; i < 20; ++i) x.Key("BackSpace");
    copy.TypePath("part/P2/program/llf");
    Pause(300);
    const std::string copyShot = ScreenshotPath("copy-destination.png");
    EXPECT_TRUE(xvfb.Screenshot(copyShot));
    std::printf("copy destination: %s\n", copyShot.c_str());
    st.Click(kBigOk);

    ASSERT_TRUE(WaitUntil([&] { return box.Exists("/u/qel/part/P2/program/llf"); }, 5000))
        << vok.Output();
    EXPECT_EQ(box.Read("/u/qel/part/P2/program/llf"), box.Read("/u/qel/part/P1/program/llf"));
    const std::string out = vok.Output();
    EXPECT_NE(out.find("CopyIt [/u/qel/part/P1/program/llf] [/u/qel/part/P2/program/llf]"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("SYSTEM('cp /u/qel/part/P1/program/llf /u/qel/part/P2/program/llf')"),
              std::string::npos);
}

} // namespace
