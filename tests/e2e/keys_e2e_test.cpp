// Key events that no keyboard makes: any client may send the program a key
// event with keycode 0, which the toolkit would look up in its keyboard
// tables unchecked. The real program on the demo station gets such events
// in every window it has (mapped or not, with the execute screen open) and
// goes on working. Under the sanitizer build this is where an out-of-bounds
// read would end it.
#include <gtest/gtest.h>

#include "proc.h"
#include "sandbox.h"
#include "vok_run.h"
#include "xutil.h"
#include "xvfb.h"

#include <X11/Xlib.h>

#include <string>
#include <vector>

namespace {

// Every window below w, depth first.
void AllWindows(Display* dpy, Window w, std::vector<Window>* out) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(dpy, w, &root, &parent, &children, &n)) return;
    for (unsigned int i = 0; i < n; ++i) {
        out->push_back(children[i]);
        AllWindows(dpy, children[i], out);
    }
    if (children) XFree(children);
}

TEST(KeysE2E, KeycodeZeroInEveryWindowIsDropped) {
    ScopedEnv fast("QEL_NAP_PERCENT", "10");
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
    TopWindowInfo main;
    ASSERT_TRUE(WaitUntil([&] { return (main = x.FindTopWindow(770, 560)).id != 0; }, 5000));
    // The execute screen open: its buttons and toolbar are windows too.
    x.Click(main.x + 30 + 33, main.y + 344 + 33);
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (const TopWindowInfo& d : x.Descendants(main.id))
                if (d.viewable && d.width == 571 && d.height == 456) return true;
            return false;
        },
        5000));

    Display* dpy = x.display();
    std::vector<Window> windows;
    AllWindows(dpy, DefaultRootWindow(dpy), &windows);
    ASSERT_GT(windows.size(), 30u);
    Time time = 1;
    for (Window w : windows) {
        for (int type : {KeyPress, KeyRelease}) {
            XEvent ev{};
            ev.xkey.type = type;
            ev.xkey.display = dpy;
            ev.xkey.window = w;
            ev.xkey.root = DefaultRootWindow(dpy);
            ev.xkey.same_screen = True;
            ev.xkey.time = ++time;
            ev.xkey.keycode = 0;
            XSendEvent(dpy, w, False, 0, &ev);
        }
    }
    XSync(dpy, False);

    // Still there, and its main loop still answers the window manager.
    x.SendDeleteWindow(main.id);
    EXPECT_TRUE(vok.WaitForOutput("Use the appropriate original QEL button instead.\n", 10000))
        << vok.Output();
    EXPECT_TRUE(vok.Running()) << vok.Output();
}

} // namespace
