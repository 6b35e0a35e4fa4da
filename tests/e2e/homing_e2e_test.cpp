// Homing end to end: the real program on the online demo station against the
// simulated message server and the controller simulator qel-ctlsim (with the
// probe changer's line), driven by pointer clicks. Initialise and OK home the
// machine under the home dialog: the homed light comes on and Execute opens
// its screen, and the simulator's log holds the whole exchange in order. A
// second run presses the home dialog's Cancel while the controller stays not
// homed: the stop lines go out and the light stays off. A family B station
// homes the same way, the home dialog up while its controller answers BUSY.
//
// The test saves a screenshot of the home dialog (home-dialog.png) in
// QEL_SCREENSHOT_DIR, or in its working folder when that is not set.
#include <gtest/gtest.h>

#include "clicker.h"
#include "online.h"
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

// A 575 x 175 box with (question) or without (home dialog) an OK button,
// other than notThis: while the question is taken down its OK button can go
// before its window, and for that moment it looks like the home dialog.
TopWindowInfo WaitForBox(const XClient& x, bool withOk, int timeoutMs, XWindowId notThis = 0) {
    TopWindowInfo found;
    WaitUntil(
        [&] {
            for (const TopWindowInfo& top : x.TopWindows()) {
                if (!top.viewable || top.width != 575 || top.height != 175 || top.id == notThis)
                    continue;
                if (!DialogButton(x, top, false)) continue;
                if ((DialogButton(x, top, true) != 0) != withOk) continue;
                found = top;
                return true;
            }
            return false;
        },
        timeoutMs);
    return found;
}

long IndexOf(const std::vector<std::string>& lines, const std::string& text, long from = 0) {
    auto it = std::find(lines.begin() + std::min<long>(from, lines.size()), lines.end(), text);
    return it == lines.end() ? -1 : static_cast<long>(it - lines.begin());
}

TEST(HomingE2E, InitialiseHomesTheMachine) {
    XvfbServer xvfb(800, 600);
    ASSERT_TRUE(xvfb.ok());
    // Long enough under the home dialog for its screenshot.
    OnlineRun run({"--home-after", "40"});
    ASSERT_TRUE(run.ok());
    ASSERT_TRUE(run.vok().WaitForOutput("ChangeCursor\n", kStartupMs)) << run.vok().Output();
    XClient x;
    ASSERT_TRUE(x.ok());
    Station st(x);
    ASSERT_TRUE(st.ok());
    Pause(300);
    // The controller answers, the machine is not homed.
    const unsigned long lit = st.Light(0);
    const unsigned long dark = st.Light(1);
    ASSERT_NE(lit, dark);

    st.Click(kInitialiseMenu);
    const TopWindowInfo question = WaitForBox(x, true, 20000);
    ASSERT_NE(question.id, 0u) << run.vok().Output();
    x.ClickWindow(DialogButton(x, question, true));
    const TopWindowInfo home = WaitForBox(x, false, 20000, question.id);
    ASSERT_NE(home.id, 0u) << run.vok().Output();
    Pause(200);
    const std::string shot = ScreenshotPath("home-dialog.png");
    EXPECT_TRUE(xvfb.Screenshot(shot));
    std::printf("home dialog: %s\n", shot.c_str());

    ASSERT_TRUE(WaitUntil([&] { return st.Light(1) == lit; }, 20000)) << run.vok().Output();
    EXPECT_TRUE(x.WaitUntilGone(home.id, 5000));
    const std::string stamp = run.box().Read("/u/qel/run_data/toolchange/LastTimeHomed");
    EXPECT_FALSE(stamp.empty());
    EXPECT_EQ(stamp.find_first_not_of("0123456789"), std::string::npos) << stamp;
    const std::string console = run.vok().Output();
    EXPECT_NE(console.find(std::string(41, '.') + "\n\n"), std::string::npos)
        << "a dot per home-state query";

    // Execute is live: its screen opens.
    Pause(300);
    st.Click(kExecuteMenu);
    EXPECT_TRUE(WaitUntil([&] { return st.WorkWindowShown(); }, 5000));

    // Wake-up, download, the changer told before homing, the motion, the
    // changer told again.
    const std::vector<std::string> log = ControllerLog(run.box());
    const long initialise = IndexOf(log, "NFFS2EU", IndexOf(log, "NF2m85") + 1);
    ASSERT_GE(initialise, 0) << "the wake-up of the homing's open";
    const long wake = IndexOf(log, "NFFS2EU", initialise + 1);
    const long download = IndexOf(log, "NF8S1X10Y10Z10W", wake);
    const long downloadEnd = IndexOf(log, "NF8S2AX7D0Y7D0Z7D0W", download);
    const long before = IndexOf(log, "PCHANGER K", downloadEnd);
    const long motion = IndexOf(log, "NF5G5XYZ", before);
    const long after = IndexOf(log, "PCHANGER K", motion);
    ASSERT_GE(wake, 0);
    EXPECT_GT(download, wake);
    EXPECT_GT(downloadEnd, download);
    EXPECT_GT(before, downloadEnd);
    EXPECT_EQ(log[before + 1], "PCHANGER J");
    EXPECT_GT(motion, before);
    EXPECT_GT(after, motion);
    EXPECT_EQ(log[after + 1], "PCHANGER J");
    EXPECT_EQ(IndexOf(log, "NFFm40"), -1) << "no stop";
}

TEST(HomingE2E, CancelStopsTheMotion) {
    XvfbServer xvfb(800, 600);
    ASSERT_TRUE(xvfb.ok());
    OnlineRun run({"--home-after", "never"});
    ASSERT_TRUE(run.ok());
    ASSERT_TRUE(run.vok().WaitForOutput("ChangeCursor\n", kStartupMs)) << run.vok().Output();
    XClient x;
    ASSERT_TRUE(x.ok());
    Station st(x);
    ASSERT_TRUE(st.ok());
    Pause(300);
    const unsigned long dark = st.Light(1);

    st.Click(kInitialiseMenu);
    const TopWindowInfo question = WaitForBox(x, true, 20000);
    ASSERT_NE(question.id, 0u) << run.vok().Output();
    x.ClickWindow(DialogButton(x, question, true));
    const TopWindowInfo home = WaitForBox(x, false, 20000, question.id);
    ASSERT_NE(home.id, 0u) << run.vok().Output();
    Pause(500);
    x.ClickWindow(DialogButton(x, home, false));
    EXPECT_TRUE(x.WaitUntilGone(home.id, 10000));
    ASSERT_TRUE(WaitUntil([&] { return IndexOf(ControllerLog(run.box()), "NFFm40") >= 0; }, 10000));
    Pause(1000);

    const std::vector<std::string> log = ControllerLog(run.box());
    const long motion = IndexOf(log, "NF5G5XYZ");
    const long stop = IndexOf(log, "NFFm40", motion);
    ASSERT_GT(stop, motion);
    EXPECT_EQ(
        std::vector<std::string>(log.begin() + stop, log.begin() + stop + 6),
        (std::vector<std::string>{"NFFm40", "NF6m42", "NFFm41", "NF7S24", "NF1M80", "NF3M80"}))
        << "the stop lines, then the closing error report";
    EXPECT_EQ(IndexOf(log, "PCHANGER K", motion), -1) << "the changer is not told again";
    EXPECT_EQ(st.Light(1), dark);
    EXPECT_FALSE(run.box().Exists("/u/qel/run_data/toolchange/LastTimeHomed"));
    EXPECT_TRUE(run.vok().Running());
    EXPECT_TRUE(run.StopSimulator());
}

TEST(HomingE2E, FamilyBStationHomes) {
    XvfbServer xvfb(800, 600);
    ASSERT_TRUE(xvfb.ok());
    OnlineRun run({"--home-after", "30"}, 'B');
    ASSERT_TRUE(run.ok());
    ASSERT_TRUE(run.vok().WaitForOutput("ChangeCursor\n", kStartupMs)) << run.vok().Output();
    XClient x;
    ASSERT_TRUE(x.ok());
    Station st(x);
    ASSERT_TRUE(st.ok());
    Pause(300);
    const unsigned long lit = st.Light(0);
    ASSERT_NE(lit, st.Light(1)) << "the controller answers, the machine is not homed";

    st.Click(kInitialiseMenu);
    const TopWindowInfo question = WaitForBox(x, true, 30000);
    ASSERT_NE(question.id, 0u) << run.vok().Output();
    x.ClickWindow(DialogButton(x, question, true));
    const TopWindowInfo home = WaitForBox(x, false, 20000, question.id);
    ASSERT_NE(home.id, 0u) << run.vok().Output();
    ASSERT_TRUE(WaitUntil([&] { return st.Light(1) == lit; }, 30000)) << run.vok().Output();
    EXPECT_TRUE(x.WaitUntilGone(home.id, 5000));
    EXPECT_TRUE(run.box().Exists("/u/qel/run_data/toolchange/LastTimeHomed"));

    // The download and the homing in order; between them only status
    // requests (STX, ETX) and home-state queries.
    const std::vector<std::string> log = ControllerLog(run.box());
    const long download = IndexOf(log, "ESTATUS");
    ASSERT_GE(download, 0);
    std::vector<std::string> words;
    for (auto it = log.begin() + download; it != log.end(); ++it)
        if (!it->empty() && (*it)[0] != '<' && it->rfind("PCHANGER", 0) != 0) words.push_back(*it);
    EXPECT_EQ(words,
              (std::vector<std::string>{"ESTATUS", "DISABLE RELAYS", "ESTATUS", "SET_PAR FILE_RED",
                                        "ENABLE RELAYS", "SET_PAR HAVE_PH9,0", "DISABLE ABOUT",
                                        "SET_PAR JSTK_SGN,1,1,1", "SHOW AUTZER", "PRBTYP NUL",
                                        "ENABLE KAMIKAZE", "AUTZER", "SHOW AUTZER"}));
    const long autzer = IndexOf(log, "AUTZER");
    const long homed = IndexOf(log, "SHOW AUTZER", autzer);
    ASSERT_GT(homed, autzer);
    EXPECT_EQ(std::count(log.begin() + autzer, log.begin() + homed, "<STX>"), 31)
        << "a status request for each BUSY, and the one that found the motion done";
    const std::string console = run.vok().Output();
    EXPECT_NE(console.find(std::string(31, '.') + "\n\n"), std::string::npos);
    EXPECT_TRUE(run.StopSimulator());
}

} // namespace
