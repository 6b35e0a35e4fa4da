// File copy end to end: the real program on the demo station. The
// file-utilities button opens the file menu; copy and OK ask the password,
// which is typed; the copy screen walks by pointer from the top list
// through the part list into P1's program folder, takes llf as the source,
// and the destination typed into the keyin field receives the copy. The
// "current part's program" hotkey stays on across an empty destination and
// a failed copy, so that OK alone offers its source again.
//
// The test saves screenshots of the file menu (file-menu.png) and of the
// copy screen's destination phase (copy-destination.png) in
// QEL_SCREENSHOT_DIR, or in its working folder when that is not set.
#include <gtest/gtest.h>

#include "clicker.h"
#include "proc.h"
#include "sandbox.h"
#include "station.h"
#include "vok_run.h"
#include "xutil.h"
#include "xvfb.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

// From the main window through the file menu and the password (item 41)
// to the copy screen's top list; atMenu runs once the copy choice is marked
// in the file menu.
void OpenCopyScreen(const XClient& x, const Station& st, const FileScreenStation& copy,
                    ChildProcess& vok, const std::function<void()>& atMenu = {}) {
    st.ClickButton(kFileUtilMenu);
    ASSERT_TRUE(WaitUntil([&] { return st.ChoiceShown(kCopyChoice); }, 5000)) << st.Layout();
    st.ClickOnWork(kCopyChoice);
    if (atMenu) atMenu();
    st.Click({kWork.x + kOk.x + 33, kWork.y + kOk.y + 33});
    ASSERT_NE(x.WaitForTopWindow(615, 215, 5000).id, 0u) << vok.Output();
    Pause(300);
    copy.TypePath("program");
    x.Key("Return");
    ASSERT_TRUE(WaitUntil([&] { return copy.List().id != 0; }, 5000)) << st.Layout();
}

// Empties the keyin field by keys.
void ClearKeyin(const XClient& x, const Station& st) {
    st.Click(kKeyin);
    x.Key("End");
    for (int i = 0; i < 40; ++i) x.Key("BackSpace");
}

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
    OpenCopyScreen(x, st, copy, vok, [&] {
        Pause(300);
        const std::string menuShot = ScreenshotPath("file-menu.png");
        EXPECT_TRUE(xvfb.Screenshot(menuShot));
        std::printf("file menu: %s\n", menuShot.c_str());
    });
    if (HasFatalFailure()) return;
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
    EXPECT_NE(out.find("SYSTEM('cp /u/qel/part/P1/program/llf /u/qel/part/P2/program/.llf.copy && "
                       "mv -f /u/qel/part/P2/program/.llf.copy /u/qel/part/P2/program/llf || "
                       "{ s=$?; rm -f /u/qel/part/P2/program/.llf.copy; exit $s; }')"),
              std::string::npos)
        << out;
    EXPECT_FALSE(box.Exists("/u/qel/part/P2/program/.llf.copy"));
}

// The current part's program by its hotkey: after an empty destination,
// and after a copy that fails, the screen is back at the top with the
// hotkey still on, so a bare OK offers the same source again.
TEST(FileCopyE2E, TheHotkeySourceIsOfferedAgainAfterAnEmptyOrFailedCopy) {
    XvfbServer xvfb(800, 600);
    ASSERT_TRUE(xvfb.ok());
    Sandbox box;
    std::string error;
    ASSERT_TRUE(box.LayOutDemo(&error)) << error;
    VokRun run(box);
    ChildProcess& vok = run.child();
    ASSERT_TRUE(vok.WaitForOutput("ChangeCursor\n", kStartupMs)) << vok.Output();
    XClient x;
    ASSERT_TRUE(x.ok());
    Station st(x);
    ASSERT_TRUE(st.ok());
    FileScreenStation copy(x, st, box);
    OpenCopyScreen(x, st, copy, vok);
    if (HasFatalFailure()) return;

    // CurLLF, at (10, 330) of the screen, 350 x 30; then OK with nothing
    // selected.
    st.Click({10 + 175, 330 + 15});
    st.Click(kBigOk);
    ASSERT_TRUE(WaitUntil([&] { return copy.List().id == 0; }, 5000)) << vok.Output();

    // An empty destination: back at the top list, without a word.
    ClearKeyin(x, st);
    st.Click(kBigOk);
    ASSERT_TRUE(WaitUntil([&] { return copy.List().id != 0; }, 5000)) << vok.Output();
    st.Click(kBigOk);
    ASSERT_TRUE(WaitUntil([&] { return copy.List().id == 0; }, 5000))
        << "a bare OK offered nothing\n"
        << vok.Output();

    // A destination in a part that does not exist: cp fails, the failure is
    // told, and the screen goes back to the top.
    ClearKeyin(x, st);
    copy.TypePath("part/NOPART/program/llf");
    st.Click(kBigOk);
    const TopWindowInfo told = x.WaitForTopWindow(575, 175, 10000);
    ASSERT_NE(told.id, 0u) << vok.Output();
    // No window has the keyboard focus while the box is answered, and the
    // main window gets it back only once the screen is back at the top, as
    // a window manager may give it back late.
    x.Focus(0);
    x.ClickWindow(DialogButton(x, told, true));
    ASSERT_TRUE(x.WaitUntilGone(told.id, 5000));
    ASSERT_TRUE(WaitUntil([&] { return copy.List().id != 0; }, 5000)) << vok.Output();
    x.Focus(x.FindTopWindow(770, 560).id);
    st.Click(kBigOk);
    ASSERT_TRUE(WaitUntil([&] { return copy.List().id == 0; }, 5000))
        << "a bare OK offered nothing after the failed copy\n"
        << vok.Output();

    // The source offered is the current part's program: it lands in P2.
    ClearKeyin(x, st);
    copy.TypePath("part/P2/program/llf");
    st.Click(kBigOk);
    ASSERT_TRUE(WaitUntil([&] { return box.Exists("/u/qel/part/P2/program/llf"); }, 5000))
        << vok.Output();
    EXPECT_EQ(box.Read("/u/qel/part/P2/program/llf"), box.Read("/u/qel/part/DEMO/program/llf"));
    EXPECT_NE(vok.Output().find("CopyIt From[/u/qel/part/DEMO/program/llf] "
                                "To[part/P2/program/llf]"),
              std::string::npos)
        << vok.Output();
}

} // namespace
