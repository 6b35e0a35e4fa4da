// A bare Motif program with the main window's widgets and nothing else: the
// yardstick for the operator program's own start-up work. With arguments it
// is the second yardstick: the same program doing the work that a start-up
// of the operator program must do, and nothing more:
//
//   --colour NAME   allocates the named colour
//   --icon PATH     loads the icon file into a pixmap
//   --font NAME     opens the font
//   --cursors       makes the busy and the normal cursor
#include <X11/cursorfont.h>
#include <Xm/Form.h>
#include <Xm/Label.h>
#include <Xm/PushB.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Work {
    std::vector<std::string> colours, icons, fonts;
    bool cursors = false;
};

// False on an argument it does not know.
bool ParseWork(int argc, char** argv, Work* work) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--cursors") {
            work->cursors = true;
        } else if (a == "--colour" && hasValue) {
            work->colours.push_back(argv[++i]);
        } else if (a == "--icon" && hasValue) {
            work->icons.push_back(argv[++i]);
        } else if (a == "--font" && hasValue) {
            work->fonts.push_back(argv[++i]);
        } else {
            std::fprintf(stderr, "bench_bare: unknown argument %s\n", a.c_str());
            return false;
        }
    }
    return true;
}

// Counts what failed: the yardstick must not be cheaper than the program
// because a file or a name was missing.
int DoWork(Widget top, const Work& work) {
    Display* dpy = XtDisplay(top);
    Screen* screen = XtScreen(top);
    const Colormap cmap = DefaultColormapOfScreen(screen);
    int failed = 0;
    for (const std::string& name : work.colours) {
        XColor near, exact;
        if (!XAllocNamedColor(dpy, cmap, name.c_str(), &near, &exact)) ++failed;
    }
    for (const std::string& path : work.fonts)
        if (!XLoadQueryFont(dpy, path.c_str())) ++failed;
    for (const std::string& path : work.icons) {
        const Pixmap p = XmGetPixmap(screen, const_cast<char*>(path.c_str()),
                                     BlackPixelOfScreen(screen), WhitePixelOfScreen(screen));
        if (p == XmUNSPECIFIED_PIXMAP || p == 0) ++failed;
    }
    if (work.cursors) {
        XCreateFontCursor(dpy, XC_watch);
        XCreateFontCursor(dpy, XC_left_ptr);
    }
    return failed;
}

} // namespace

int main(int argc, char** argv) {
    XtAppContext app;
    Widget top = XtAppInitialize(&app, "bare", nullptr, 0, &argc, argv, nullptr, nullptr, 0);
    Work work;
    if (!ParseWork(argc, argv, &work)) return 2;
    const int failed = DoWork(top, work);
    if (failed) {
        std::fprintf(stderr, "bench_bare: %d colours, fonts or icons could not be had\n", failed);
        return 1;
    }
    Widget form = XtVaCreateManagedWidget("VOK", xmFormWidgetClass, top, XmNwidth, 770, XmNheight,
                                          560, XmNresizePolicy, XmRESIZE_NONE, nullptr);
    for (int i = 0; i < 10; ++i) {
        int x = i < 5 ? 30 : 690, y = 56 + 96 * (i % 5);
        XtVaCreateManagedWidget("button", xmPushButtonWidgetClass, form, XmNx, x, XmNy, y, XmNwidth,
                                66, XmNheight, 66, XmNrecomputeSize, False, nullptr);
        if (i < 5)
            XtVaCreateManagedWidget("light", xmPushButtonWidgetClass, form, XmNx, x - 23, XmNy,
                                    y + 25, XmNwidth, 16, XmNheight, 16, XmNrecomputeSize, False,
                                    nullptr);
    }
    XtVaCreateManagedWidget("Winfo", xmLabelWidgetClass, form, XmNx, 250, XmNy, 525, XmNwidth, 565,
                            XmNheight, 20, XmNrecomputeSize, False, nullptr);
    XtRealizeWidget(top);
    XFlush(XtDisplay(top));
    std::printf("ready\n");
    std::fflush(stdout);
    XtAppMainLoop(app);
    return 0;
}
