// The real program's main window, seen from outside as a user sees it: the
// ten buttons and five lights at their places, which buttons answer the
// pointer for the machine state, the hint line while the pointer is on a
// button, and the power button's new check of the controller.
//
// A button that is not sensitive gets no Enter from the toolkit, so the hint
// line tells from outside whether a button is active: it changes when the
// pointer enters an active button, and stays as it was on an inactive one.
#include <gtest/gtest.h>

#include "clicker.h"
#include "fake_controller.h"
#include "proc.h"
#include "sandbox.h"
#include "vok_run.h"
#include "xutil.h"
#include "xvfb.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <set>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct Place {
    int x, y;
};
// Top left corners of the ten buttons in the main window.
const Place kButtons[10] = {{30, 56},  {30, 152},  {30, 248},  {30, 344},  {30, 440},
                            {690, 56}, {690, 152}, {690, 248}, {690, 344}, {690, 440}};

using Rows = std::set<int>;

// The pixels of a rectangle of the screen, row by row.
std::vector<unsigned long> Pixels(const XClient& x, int left, int top, int width, int height) {
    std::vector<unsigned long> out;
    Display* dpy = x.display();
    XImage* image =
        XGetImage(dpy, DefaultRootWindow(dpy), left, top, width, height, AllPlanes, ZPixmap);
    if (!image) return out;
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i) out.push_back(XGetPixel(image, i, j));
    XDestroyImage(image);
    return out;
}

bool AllOneColour(const std::vector<unsigned long>& p) {
    for (unsigned long v : p)
        if (v != p.front()) return false;
    return true;
}

void Pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

class MainWindow {
  public:
    explicit MainWindow(const XClient& x) : x_(x) {
        WaitUntil([&] { return (top_ = x.FindTopWindow(770, 560)).id != 0; }, 5000);
        for (const TopWindowInfo& d : x.Descendants(top_.id)) {
            if (d.width == 565 && d.height == 20 && d.x == 250 && d.y == 525) status_ = d.id;
            windows_.push_back(d);
        }
    }
    bool ok() const { return top_.id != 0 && status_ != 0; }
    // The mapped window of that box, id 0 when there is none.
    XWindowId At(int x, int y, int width, int height) const {
        for (const TopWindowInfo& d : windows_)
            if (d.viewable && d.x == x && d.y == y && d.width == width && d.height == height)
                return d.id;
        return 0;
    }
    // The status line stands out of the main window on the right: its part
    // inside the window.
    std::vector<unsigned long> StatusPixels() const {
        return Pixels(x_, top_.x + 250, top_.y + 525, 770 - 250, 20);
    }
    // Moves the pointer into the work area, off every button.
    void PointerAway() const { x_.MovePointer(top_.x + 385, top_.y + 250); }
    void PointerOnButton(int row) const {
        x_.MovePointer(top_.x + kButtons[row - 1].x + 33, top_.y + kButtons[row - 1].y + 33);
    }
    void ClickButton(int row) const {
        x_.Click(top_.x + kButtons[row - 1].x + 33, top_.y + kButtons[row - 1].y + 33);
    }

    // The rows whose button shows a hint when the pointer enters it, and the
    // hint lines seen; each button is left again before the next one.
    Rows ActiveRows(std::vector<std::vector<unsigned long>>* hints) const {
        // The line may still show a hint whose button was made insensitive
        // before the pointer left it: enter and leave the help button, which
        // is always active, to clear it.
        PointerOnButton(7);
        Pause(150);
        Rows active;
        for (int row = 1; row <= 10; ++row) {
            PointerAway();
            Pause(150);
            const std::vector<unsigned long> before = StatusPixels();
            PointerOnButton(row);
            std::vector<unsigned long> now;
            if (WaitUntil([&] { return (now = StatusPixels()) != before; }, 1000)) {
                active.insert(row);
                hints->push_back(now);
            }
        }
        PointerAway();
        return active;
    }

  private:
    const XClient& x_;
    TopWindowInfo top_;
    XWindowId status_ = 0;
    std::vector<TopWindowInfo> windows_;
};

TEST(MainMenuE2E, DemoStationShowsItsMenuAndHints) {
    XvfbServer x(800, 600);
    ASSERT_TRUE(x.ok());
    Sandbox box;
    std::string error;
    ASSERT_TRUE(box.LayOutDemo(&error)) << error;
    VokRun vok(box);
    ASSERT_TRUE(vok.child().WaitForOutput("ChangeCursor\n", kStartupMs)) << vok.child().Output();
    XClient xc;
    ASSERT_TRUE(xc.ok());
    MainWindow main(xc);
    ASSERT_TRUE(main.ok());

    for (int row = 1; row <= 10; ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        const Place p = kButtons[row - 1];
        EXPECT_NE(main.At(p.x, p.y, 66, 66), 0u);
        if (row <= 5) {
            EXPECT_NE(main.At(p.x - 23, p.y + 25, 16, 16), 0u); // its light
        }
    }

    // The demo runs offline with a valid part: all but the power button.
    std::vector<std::vector<unsigned long>> hints;
    EXPECT_EQ(main.ActiveRows(&hints), (Rows{2, 3, 4, 5, 6, 7, 8, 9, 10}));
    // Each hint is a text of its own; leaving the button clears the line.
    for (size_t i = 0; i < hints.size(); ++i) {
        EXPECT_FALSE(AllOneColour(hints[i])) << "hint " << i;
        for (size_t j = 0; j < i; ++j) EXPECT_NE(hints[i], hints[j]) << i << " and " << j;
    }
    Pause(300);
    EXPECT_TRUE(AllOneColour(main.StatusPixels()));
    EXPECT_TRUE(vok.child().Running());
}

TEST(MainMenuE2E, SilentControllerLeavesOnlyPowerAndTheRest) {
    XvfbServer x(800, 600);
    ASSERT_TRUE(x.ok());
    Sandbox box;
    std::string error;
    ASSERT_TRUE(box.LayOutDemo(&error)) << error;
    // Online, with a family-A controller on its line that does not answer.
    box.WriteSysgen({{0, IntItem(0)}, {3, IntItem(0)}, {96, StrItem("colors.QEL")}}, 100);
    box.WriteUart({ServoEntry("Ondry", "/dev/M_SERVO")});
    FakeController silent;
    silent.SetSilent(true);
    ASSERT_EQ(symlink(silent.SlavePath().c_str(), box.Path("/dev/M_SERVO").c_str()), 0);
    DialogAnswerer answerer;
    VokRun vok(box);
    ASSERT_TRUE(vok.child().WaitForOutput("ChangeCursor\n", kStartupMs)) << vok.child().Output();
    EXPECT_TRUE(WaitUntil([&] { return answerer.answered() == 1; }, 3000)); // label 101
    XClient xc;
    MainWindow main(xc);
    ASSERT_TRUE(main.ok());
    std::vector<std::vector<unsigned long>> hints;
    EXPECT_EQ(main.ActiveRows(&hints), (Rows{1, 5, 6, 7, 8, 9, 10}));

    // The power button checks again, and says again that nothing answers.
    const std::string wait = "\nPlease wait ... checking the controller ...\n";
    main.ClickButton(1);
    EXPECT_TRUE(WaitUntil([&] { return answerer.answered() == 2; }, kBusyMs));
    const std::string out = vok.child().Output();
    EXPECT_NE(out.find(wait, out.find(wait) + 1), std::string::npos) << out;
    EXPECT_EQ(main.ActiveRows(&hints), (Rows{1, 5, 6, 7, 8, 9, 10}));
}

TEST(MainMenuE2E, NoControllerRecordIsReportedAtStartUp) {
    XvfbServer x(800, 600);
    ASSERT_TRUE(x.ok());
    Sandbox box;
    WriteOfflineStation(box);
    box.Remove("/u/qel/sys_data/files/uart.bin");
    DialogAnswerer answerer;
    VokRun vok(box);
    ASSERT_TRUE(vok.child().WaitForOutput("ChangeCursor\n", kStartupMs)) << vok.child().Output();
    EXPECT_TRUE(WaitUntil([&] { return answerer.answered() == 1; }, 3000));
    EXPECT_NE(vok.child().Output().find("defaulting to offline vantor control!\n"),
              std::string::npos);
}

} // namespace
