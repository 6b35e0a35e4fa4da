// Help texts end to end: the real program on the demo station. HELP opens
// the program's own help text in the viewer and hides itself; a search
// typed into the viewer selects the word; print leaves the copy in /u/tmp
// and the simulated server logs the print request with its path; OK brings
// HELP back. The status button opens the information screen, whose Help
// shows the general help text.
//
// The test saves screenshots of the viewer and of the information screen
// (viewer.png, info-screen.png) in QEL_SCREENSHOT_DIR, or in its working
// folder when that is not set.
#include <gtest/gtest.h>

#include "proc.h"
#include "sandbox.h"
#include "vok_run.h"
#include "xutil.h"
#include "xvfb.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Place {
    int x, y;
};

// In the main window (770 x 560 at the root's corner).
constexpr Place kStatusButton = {690, 56};
constexpr Place kHelpButton = {690, 152};
// The work window of the choice screens, and its toolbar's Help and Cancel.
constexpr Place kWork = {107, 50};
constexpr Place kToolbarHelp = {3 + 76, 365 + 5};
constexpr Place kToolbarCancel = {3 + 5, 365 + 5};
// The viewer: its shell holds the form of 775 x 570 (the form's border
// lies outside the shell's window).
constexpr int kViewerWidth = 775, kViewerHeight = 570;

void Pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::vector<std::string> RequestsOf(const Sandbox& box, int code) {
    std::vector<std::string> out;
    for (const std::string& line : box.ServerLog())
        if (JsonInt(line, "code") == code) out.push_back(line);
    return out;
}

bool Shows(const XClient& x, const TopWindowInfo& top, Place p, int width, int height) {
    for (const TopWindowInfo& d : x.Descendants(top.id))
        if (d.viewable && d.x == p.x && d.y == p.y && d.width == width && d.height == height)
            return true;
    return false;
}

std::string TopLayout(const XClient& x) {
    std::string s;
    for (const TopWindowInfo& t : x.TopWindows())
        if (t.viewable)
            s += "(" + std::to_string(t.x) + "," + std::to_string(t.y) + " " +
                 std::to_string(t.width) + "x" + std::to_string(t.height) + ") ";
    return s;
}

void ClickButton(const XClient& x, const TopWindowInfo& top, Place p) {
    x.Click(top.x + p.x + 33, top.y + p.y + 33);
}

// The viewer's search field: the text field in its button area.
TopWindowInfo SearchField(const XClient& x, const TopWindowInfo& viewer) {
    for (const TopWindowInfo& d : x.Descendants(viewer.id))
        if (d.viewable && d.y > viewer.height - 80 && d.height == 30 && d.width > 100) return d;
    return {};
}

// The viewer's print and OK buttons (60 x 60), left to right.
std::vector<TopWindowInfo> ViewerButtons(const XClient& x, const TopWindowInfo& viewer) {
    std::vector<TopWindowInfo> out;
    for (const TopWindowInfo& d : x.Descendants(viewer.id))
        if (d.viewable && d.width == 60 && d.height == 60) out.push_back(d);
    std::sort(out.begin(), out.end(),
              [](const TopWindowInfo& a, const TopWindowInfo& b) { return a.x < b.x; });
    return out;
}

TEST(HelpE2E, HelpSearchPrintAndTheInformationScreen) {
    ScopedEnv fast("QEL_NAP_PERCENT", "10");
    XvfbServer xvfb(800, 600);
    ASSERT_TRUE(xvfb.ok());
    Sandbox box;
    std::string error;
    ASSERT_TRUE(box.LayOutDemo(&error)) << error;
    const std::string vokText = box.Read("/u/qel/doc/VOK");
    ASSERT_FALSE(vokText.empty());
    VokRun run(box);
    ChildProcess& vok = run.child();
    ASSERT_TRUE(vok.WaitForOutput("ChangeCursor\n", kStartupMs)) << vok.Output();
    XClient x;
    ASSERT_TRUE(x.ok());
    TopWindowInfo main;
    ASSERT_TRUE(WaitUntil([&] { return (main = x.FindTopWindow(770, 560)).id != 0; }, 5000));
    Pause(300);

    // ---- HELP: the program's own text, HELP hidden ----
    ASSERT_TRUE(Shows(x, main, kHelpButton, 66, 66));
    ClickButton(x, main, kHelpButton);
    const TopWindowInfo viewer = x.WaitForTopWindow(kViewerWidth, kViewerHeight, 5000);
    ASSERT_NE(viewer.id, 0u) << vok.Output() << TopLayout(x);
    EXPECT_EQ(viewer.x, 10);
    EXPECT_EQ(viewer.y, 10);
    EXPECT_TRUE(vok.WaitForOutput(": /u/qel/doc/VOK]\n", 3000)) << vok.Output();
    EXPECT_FALSE(Shows(x, main, kHelpButton, 66, 66));

    // ---- A search typed into the viewer selects the word ----
    Pause(200);
    const TopWindowInfo field = SearchField(x, viewer);
    ASSERT_NE(field.id, 0u);
    x.ClickWindow(field.id);
    x.Type("search");
    x.Key("Return");
    EXPECT_TRUE(WaitUntil([&] { return x.PrimarySelection(500) == "search"; }, 5000));
    Pause(300);
    const std::string viewerShot = ScreenshotPath("viewer.png");
    EXPECT_TRUE(xvfb.Screenshot(viewerShot));
    std::printf("viewer: %s\n", viewerShot.c_str());

    // ---- Print: the copy in /u/tmp and request 10 with its path ----
    std::vector<TopWindowInfo> buttons = ViewerButtons(x, viewer);
    ASSERT_EQ(buttons.size(), 2u);
    x.Click(viewer.x + buttons[0].x + 30, viewer.y + buttons[0].y + 30);
    ASSERT_TRUE(WaitUntil([&] { return RequestsOf(box, 10).size() == 1; }, 5000)) << vok.Output();
    const std::string path = JsonStr(RequestsOf(box, 10)[0], "path");
    EXPECT_TRUE(std::regex_match(path, std::regex("/u/tmp/PRT[0-9]+"))) << path;
    EXPECT_EQ(box.Read(path), vokText);

    // ---- OK: the viewer goes, HELP comes back ----
    x.Click(viewer.x + buttons[1].x + 30, viewer.y + buttons[1].y + 30);
    EXPECT_TRUE(x.WaitUntilGone(viewer.id, 5000));
    EXPECT_TRUE(WaitUntil([&] { return Shows(x, main, kHelpButton, 66, 66); }, 3000));

    // ---- Status: the information screen, its Help the general text ----
    ClickButton(x, main, kStatusButton);
    ASSERT_TRUE(WaitUntil([&] { return Shows(x, main, kWork, 571, 456); }, 5000));
    Pause(300);
    const std::string infoShot = ScreenshotPath("info-screen.png");
    EXPECT_TRUE(xvfb.Screenshot(infoShot));
    std::printf("information screen: %s\n", infoShot.c_str());
    ClickButton(x, main, {kWork.x + kToolbarHelp.x, kWork.y + kToolbarHelp.y});
    const TopWindowInfo general = x.WaitForTopWindow(kViewerWidth, kViewerHeight, 5000);
    ASSERT_NE(general.id, 0u) << vok.Output();
    EXPECT_TRUE(vok.WaitForOutput(": /u/qel/doc/README]\n", 3000)) << vok.Output();
    buttons = ViewerButtons(x, general);
    ASSERT_EQ(buttons.size(), 2u);
    x.Click(general.x + buttons[1].x + 30, general.y + buttons[1].y + 30);
    EXPECT_TRUE(x.WaitUntilGone(general.id, 5000));
    ClickButton(x, main, {kWork.x + kToolbarCancel.x, kWork.y + kToolbarCancel.y});
    EXPECT_TRUE(WaitUntil([&] { return !Shows(x, main, kWork, 571, 456); }, 5000));
    EXPECT_TRUE(vok.Running()) << vok.Output();
}

} // namespace
