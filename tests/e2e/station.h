// Shared pieces of the end-to-end tests that look at the station from
// outside: the fixed places of the main window and the choice screens, the
// station's window read and clicked through XTest, the server's request
// log and injected replies.
#pragma once

#include "proc.h"
#include "sandbox.h"
#include "xutil.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

struct Place {
    int x, y;
};

// In the main window (770 x 560 at the root's corner).
inline constexpr Place kInitialiseMenu = {30 + 33, 152 + 33};
inline constexpr Place kExecuteMenu = {30 + 33, 344 + 33};
inline constexpr Place kPauseMenu = {30 + 33, 440 + 33};
// The work window of the choice screens, and the places on it.
inline constexpr Place kWork = {107, 50};
inline constexpr int kWorkWidth = 571, kWorkHeight = 456;
inline constexpr Place kExecuteChoice = {94, 190};
inline constexpr Place kStepChoice = {402, 190};
inline constexpr Place kExitChoice = {248, 190};
inline constexpr Place kOk = {3 + 494, 365 + 5};
inline constexpr Place kToolbarCancel = {3 + 5, 365 + 5};

// The light of a main-menu row's button (rows 1 to 5 carry one).
inline Place LightCentre(int index) {
    return {30 - 23 + 8, 56 + 96 * index + 25 + 8};
}

inline void Pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

inline std::vector<std::string> RequestsOf(const Sandbox& box, int code, int data = -1) {
    std::vector<std::string> out;
    for (const std::string& line : box.ServerLog())
        if (JsonInt(line, "code") == code && (data == -1 || JsonInt(line, "data") == data))
            out.push_back(line);
    return out;
}

// Sends one reply to the program through the simulator.
inline void Inject(const Sandbox& box, pid_t to, const std::string& fields) {
    const std::string cmd = std::string("\"") + QEL_MSGSIM_PATH + "\" send --key-file \"" +
                            box.Path("/usr/bin/XSRVR") + "\" --to " + std::to_string(to) + " " +
                            fields;
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
}

// The poll takes one reply a second, in order: once the console reports a
// marker reply (status -1, dropped) sent now, every reply before it has been
// handled.
inline bool AllRepliesHandled(const Sandbox& box, ChildProcess& vok, int marker) {
    Inject(box, vok.pid(), "--code 0 --status -1 --task " + std::to_string(marker));
    return vok.WaitForOutput("reply 0 for task " + std::to_string(marker) + " with status -1",
                             10000);
}

class Station {
  public:
    explicit Station(const XClient& x) : x_(x) {
        WaitUntil([&] { return (top_ = x.FindTopWindow(770, 560)).id != 0; }, 5000);
    }
    bool ok() const { return top_.id != 0; }

    unsigned long Pixel(Place p) const {
        Display* dpy = x_.display();
        XImage* image = XGetImage(dpy, DefaultRootWindow(dpy), top_.x + p.x, top_.y + p.y, 1, 1,
                                  AllPlanes, ZPixmap);
        if (!image) return 0;
        const unsigned long v = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return v;
    }
    unsigned long Light(int index) const { return Pixel(LightCentre(index)); }

    void Click(Place p) const { x_.Click(top_.x + p.x, top_.y + p.y); }
    // Clicks the centre of a 66 x 66 button whose corner is at p.
    void ClickButton(Place p) const { Click({p.x + 33, p.y + 33}); }
    void ClickOnWork(Place p) const { ClickButton({kWork.x + p.x, kWork.y + p.y}); }

    // Whether a viewable window of that box is in the main window.
    bool Shows(int x, int y, int width, int height) const {
        for (const TopWindowInfo& d : x_.Descendants(top_.id))
            if (d.viewable && d.x == x && d.y == y && d.width == width && d.height == height)
                return true;
        return false;
    }
    // The viewable window at (x, y) of that width; id 0 when none.
    TopWindowInfo Find(int x, int y, int width) const {
        for (const TopWindowInfo& d : x_.Descendants(top_.id))
            if (d.viewable && d.x == x && d.y == y && d.width == width) return d;
        return {};
    }
    bool WorkWindowShown() const { return Shows(kWork.x, kWork.y, kWorkWidth, kWorkHeight); }
    // A choice screen whose (unmarked or marked) choice button stands at p.
    bool ChoiceShown(Place p) const {
        return WorkWindowShown() && (Shows(kWork.x + p.x, kWork.y + p.y, 66, 66) ||
                                     Shows(kWork.x + p.x, kWork.y + p.y, 78, 78));
    }
    // The choice at p is marked (its button grown to 78 x 78): the program
    // has taken the click on it.
    bool ChoiceMarked(Place p) const {
        return WorkWindowShown() && Shows(kWork.x + p.x, kWork.y + p.y, 78, 78);
    }
    // Clicks at p until done() holds, within kBusyMs. The program drops the
    // clicks that come while it runs a pass around its busy work, also just
    // after a screen has come up, and a user then clicks again; the same
    // here, for clicks that change nothing more once taken (a choice marked
    // again, a main-menu button that is dead while its screen is open).
    bool ClickUntil(Place p, const std::function<bool()>& done) const {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyMs);
        for (;;) {
            Click(p);
            if (WaitUntil(done, 2000)) return true;
            if (std::chrono::steady_clock::now() >= end) return false;
        }
    }
    // Clicks the choice at p until it is marked.
    bool Choose(Place p) const {
        return ClickUntil({kWork.x + p.x + 33, kWork.y + p.y + 33},
                          [&] { return ChoiceMarked(p); });
    }
    std::string Layout() const {
        std::string s;
        for (const TopWindowInfo& d : x_.Descendants(top_.id))
            if (d.viewable)
                s += "(" + std::to_string(d.x) + "," + std::to_string(d.y) + " " +
                     std::to_string(d.width) + "x" + std::to_string(d.height) + ") ";
        return s;
    }

  private:
    const XClient& x_;
    TopWindowInfo top_;
};

// The password dialog (615 x 215) once the keys reach it: the program hands
// it the keyboard focus only after it has the pointer, and keys typed before
// that go elsewhere. Id 0 when that does not happen within kBusyMs.
inline TopWindowInfo WaitForPasswordDialog(const XClient& x) {
    TopWindowInfo dialog = x.WaitForTopWindow(615, 215, kBusyMs);
    if (dialog.id == 0 || !WaitUntil([&] { return x.FocusWithin(dialog.id); }, kBusyMs)) return {};
    return dialog;
}

// Types the password into its dialog and ends it with Return; false when
// no dialog took the keys.
inline bool TypePassword(const XClient& x, const std::string& word) {
    const TopWindowInfo dialog = WaitForPasswordDialog(x);
    if (dialog.id == 0) return false;
    x.Type(word);
    x.Key("Return");
    return x.WaitUntilGone(dialog.id, kBusyMs);
}

// The file-utilities button, and the choices of its file menu on the work
// window.
inline constexpr Place kFileUtilMenu = {690, 344};
inline constexpr Place kCopyChoice = {94, 108};
inline constexpr Place kPrintChoice = {248, 108};
inline constexpr Place kDeleteChoice = {402, 108};
inline constexpr Place kBlockEditChoice = {94, 190};
inline constexpr Place kTextEditChoice = {248, 190};
inline constexpr Place kContourEditChoice = {402, 190};
// A file screen covers the main window: its list (the rows that the big
// font shows), its OK and Cancel and its keyin field.
inline constexpr Place kList = {10, 110};
inline constexpr int kListWidth = 350, kListRows = 9;
inline constexpr Place kBigOk = {655 + 33, 437 + 33};
inline constexpr Place kBigCancel = {45 + 33, 437 + 33};
inline constexpr Place kKeyin = {45 + 60, 400 + 15};

// The names the listing script wrote last, in the order of the listing.
inline std::vector<std::string> Listing(const Sandbox& box) {
    return SplitLines(box.Read("/u/tmp/lst.out"));
}

// A file screen of the station, used by pointer and keys.
class FileScreenStation {
  public:
    FileScreenStation(const XClient& x, const Station& st, const Sandbox& box)
        : x_(x), st_(st), box_(box) {}
    TopWindowInfo List() const { return st_.Find(kList.x, kList.y, kListWidth); }
    // Clicks the row of the list (1-based).
    void Select(int row) const {
        const TopWindowInfo list = List();
        ASSERT_NE(list.id, 0u) << st_.Layout();
        st_.Click({list.x + 60, list.y + list.height * (2 * row - 1) / (2 * kListRows)});
        Pause(200);
    }
    // Clicks the row of the list (1-based) and then OK.
    void Choose(int row) const {
        Select(row);
        st_.Click(kBigOk);
        Pause(400);
    }
    // The row of a name in the folder listed last (a listing that hides no
    // name).
    int RowOf(const std::string& name) const {
        const std::vector<std::string> names = Listing(box_);
        auto it = std::find(names.begin(), names.end(), name);
        return it == names.end() ? 0 : static_cast<int>(it - names.begin()) + 1;
    }
    // Types a path: letters, digits, "/" and ".".
    void TypePath(const std::string& text) const {
        for (char c : text) {
            if (c == '/')
                x_.Key("slash");
            else if (c == '.')
                x_.Key("period");
            else
                x_.Type(std::string(1, c));
        }
    }

  private:
    const XClient& x_;
    const Station& st_;
    const Sandbox& box_;
};
