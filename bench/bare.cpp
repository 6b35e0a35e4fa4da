// A bare Motif program with the main window's widgets and nothing else: the
// yardstick for the operator program's own start-up work. With arguments it
// is a further yardstick: the same program doing the work that a start-up
// of the operator program must do, and nothing more:
//
//   --colour NAME   allocates the named colour
//   --icon PATH     loads the icon file into a pixmap
//   --font NAME     opens the font
//   --cursors       makes the busy and the normal cursor
//   --script PATH   runs the file through /bin/sh and waits for it, before
//                   the toolkit starts, as the start-up's clean-up scripts run
//   --sync          the start-up's order around its synchronous section: the
//                   main form is made, then realised with the display in
//                   synchronous requests; the work named after --sync is done
//                   there (the busy cursor shown on the window), a notice is
//                   put over the work area and painted, and the display goes
//                   back to asynchronous requests; then the status line, the
//                   buttons and the lights are made and the work named after
//                   --async is done, the normal cursor shown last
//   --async         ends the work of the synchronous section
//   --logo          (in the section) a label gadget at the form's top right
//                   showing the section's first icon
//   --dialog        (in the section) a dialog, made and not shown, of a form
//                   in a frame with a label, a text field, a separator and
//                   three icon buttons: the section's first and third
//                   colour are the dialog's and the field's background, its
//                   last two fonts the label's and the field's, and the first
//                   three of its last four icons the buttons' pixmaps
//
// Without --sync all work is done before the one realise of the window.
#include <X11/cursorfont.h>
#include <Xm/BulletinB.h>
#include <Xm/Form.h>
#include <Xm/Frame.h>
#include <Xm/Label.h>
#include <Xm/LabelG.h>
#include <Xm/PushB.h>
#include <Xm/Separator.h>
#include <Xm/Text.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Work {
    std::vector<std::string> colours, icons, fonts;
    bool cursors = false;
    bool logo = false;
    bool dialog = false;
};

struct Plan {
    std::vector<std::string> scripts;
    bool sync = false;
    Work before, inSync, after;
};

// What a piece of work made, for the widgets that show it.
struct Made {
    std::vector<Pixel> colours;
    std::vector<XFontStruct*> fonts;
    std::vector<Pixmap> icons;
    Cursor busy = None, normal = None;
};

// False on an argument it does not know.
bool ParsePlan(int argc, char** argv, Plan* plan) {
    Work* work = &plan->before;
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
        } else if (a == "--script" && hasValue) {
            plan->scripts.push_back(argv[++i]);
        } else if (a == "--sync") {
            plan->sync = true;
            work = &plan->inSync;
        } else if (a == "--async" && plan->sync) {
            work = &plan->after;
        } else if (a == "--logo" && work == &plan->inSync) {
            work->logo = true;
        } else if (a == "--dialog" && work == &plan->inSync) {
            work->dialog = true;
        } else {
            std::fprintf(stderr, "bench_bare: unknown argument %s\n", a.c_str());
            return false;
        }
    }
    return true;
}

// The script through the shell, waited for. False when it could not run or
// did not end with status 0.
bool RunScript(const std::string& path) {
    const char* argv[] = {"sh", "-c", path.c_str(), nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
        return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Counts what failed: the yardstick must not be cheaper than the program
// because a file or a name was missing.
int DoWork(Widget top, const Work& work, Made* made) {
    Display* dpy = XtDisplay(top);
    Screen* screen = XtScreen(top);
    const Colormap cmap = DefaultColormapOfScreen(screen);
    int failed = 0;
    for (const std::string& name : work.colours) {
        XColor near, exact;
        if (XAllocNamedColor(dpy, cmap, name.c_str(), &near, &exact))
            made->colours.push_back(near.pixel);
        else
            ++failed;
    }
    for (const std::string& path : work.fonts) {
        if (XFontStruct* font = XLoadQueryFont(dpy, path.c_str()))
            made->fonts.push_back(font);
        else
            ++failed;
    }
    for (const std::string& path : work.icons) {
        const Pixmap p = XmGetPixmap(screen, const_cast<char*>(path.c_str()),
                                     BlackPixelOfScreen(screen), WhitePixelOfScreen(screen));
        if (p == XmUNSPECIFIED_PIXMAP || p == 0)
            ++failed;
        else
            made->icons.push_back(p);
    }
    if (work.cursors) {
        made->busy = XCreateFontCursor(dpy, XC_watch);
        made->normal = XCreateFontCursor(dpy, XC_left_ptr);
        if (XtIsRealized(top)) XDefineCursor(dpy, XtWindow(top), made->busy);
    }
    return failed;
}

Widget MakeForm(Widget top) {
    return XtVaCreateManagedWidget("VOK", xmFormWidgetClass, top, XmNwidth, 770, XmNheight, 560,
                                   XmNresizePolicy, XmRESIZE_NONE, nullptr);
}

void MakeMainWindow(Widget form) {
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
}

void MakeLogo(Widget form, Pixmap icon) {
    XtVaCreateManagedWidget("logo", xmLabelGadgetClass, form, XmNtopAttachment, XmATTACH_FORM,
                            XmNrightAttachment, XmATTACH_FORM, XmNwidth, 215, XmNheight, 44,
                            XmNrecomputeSize, False, XmNlabelType, XmPIXMAP, XmNlabelPixmap, icon,
                            nullptr);
}

Widget IconButton(Widget form, Pixmap icon, const char* side) {
    return XtVaCreateWidget("button", xmPushButtonWidgetClass, form, XmNwidth, 60, XmNheight, 60,
                            XmNlabelType, XmPIXMAP, XmNlabelPixmap, icon, XmNbottomAttachment,
                            XmATTACH_FORM, side, XmATTACH_FORM, nullptr);
}

// False when the section did not make what the dialog shows.
bool MakeDialog(Widget form, const Made& made) {
    if (made.colours.size() < 3 || made.fonts.size() < 2 || made.icons.size() < 4) return false;
    const Pixel back = made.colours[0], field = made.colours[2];
    const size_t f = made.fonts.size() - 2, i = made.icons.size() - 4;
    XmFontList labelFont = XmFontListCreate(made.fonts[f], XmFONTLIST_DEFAULT_TAG);
    XmFontList fieldFont = XmFontListCreate(made.fonts[f + 1], XmFONTLIST_DEFAULT_TAG);
    Arg args[4];
    XtSetArg(args[0], XmNwidth, 615);
    XtSetArg(args[1], XmNheight, 215);
    XtSetArg(args[2], XmNbackground, back);
    XtSetArg(args[3], XmNautoUnmanage, False);
    Widget dialog = XmCreateFormDialog(form, const_cast<char*>("dialog"), args, XtNumber(args));
    Widget frame = XtVaCreateWidget("frame", xmFrameWidgetClass, dialog, XmNx, 10, XmNy, 10,
                                    XmNwidth, 595, XmNheight, 195, nullptr);
    Widget inner =
        XtVaCreateWidget("form", xmFormWidgetClass, frame, XmNwidth, 575, XmNheight, 175, nullptr);
    Widget label = XtVaCreateWidget(
        "label", xmLabelWidgetClass, inner, XmNtopAttachment, XmATTACH_FORM, XmNleftAttachment,
        XmATTACH_FORM, XmNrightAttachment, XmATTACH_FORM, XmNfontList, labelFont, nullptr);
    Widget text = XtVaCreateWidget(
        "text", xmTextWidgetClass, inner, XmNeditMode, XmSINGLE_LINE_EDIT, XmNcolumns, 10,
        XmNtopAttachment, XmATTACH_WIDGET, XmNtopWidget, label, XmNleftAttachment, XmATTACH_FORM,
        XmNleftOffset, 222, XmNrightAttachment, XmATTACH_FORM, XmNrightOffset, 222, XmNbackground,
        field, XmNfontList, fieldFont, nullptr);
    Widget sep = XtVaCreateWidget("sep", xmSeparatorWidgetClass, inner, XmNtopAttachment,
                                  XmATTACH_WIDGET, XmNtopWidget, text, XmNleftAttachment,
                                  XmATTACH_FORM, XmNrightAttachment, XmATTACH_FORM, nullptr);
    Widget cancel = IconButton(inner, made.icons[i + 1], XmNleftAttachment);
    Widget ok = IconButton(inner, made.icons[i], XmNrightAttachment);
    Widget eyes = XtVaCreateWidget("eyes", xmPushButtonWidgetClass, inner, XmNwidth, 60, XmNheight,
                                   60, XmNlabelType, XmPIXMAP, XmNlabelPixmap, made.icons[i + 2],
                                   XmNbottomAttachment, XmATTACH_FORM, XmNrightAttachment,
                                   XmATTACH_WIDGET, XmNrightWidget, ok, nullptr);
    Widget children[] = {label, text, sep, cancel, ok, eyes};
    XtManageChildren(children, XtNumber(children));
    XtManageChild(inner);
    XtManageChild(frame);
    return true;
}

void NoteExpose(Widget, XtPointer client, XEvent* event, Boolean*) {
    if (event->type == Expose) *static_cast<bool*>(client) = true;
}

// A label of three lines over the work area, shown and waited for until it
// is painted (bounded: the yardstick gives up after 10 s).
bool ShowNotice(XtAppContext app, Widget form) {
    Widget board = XtVaCreateWidget("", xmBulletinBoardWidgetClass, form, XmNx, 107, XmNy, 50,
                                    XmNwidth, 571, XmNheight, 456, XmNresizePolicy, XmRESIZE_NONE,
                                    XmNshadowType, XmSHADOW_IN, XmNshadowThickness, 3, nullptr);
    XmString text = XmStringCreateLtoR(
        const_cast<char*>("Starting\nPlease wait\nThe main menu follows"), XmFONTLIST_DEFAULT_TAG);
    Widget label =
        XtVaCreateWidget("", xmLabelWidgetClass, board, XmNx, 0, XmNy, 0, XmNwidth, 565, XmNheight,
                         450, XmNrecomputeSize, False, XmNlabelString, text, nullptr);
    XmStringFree(text);
    bool exposed = false;
    XtAddEventHandler(label, ExposureMask, False, NoteExpose, &exposed);
    XtManageChild(label);
    XtManageChild(board);
    Display* dpy = XtDisplay(form);
    for (int round = 0; !exposed && round < 1000; ++round) {
        while (!exposed && XtAppPending(app) & XtIMXEvent) XtAppProcessEvent(app, XtIMXEvent);
        if (exposed) break;
        XFlush(dpy);
        pollfd p{ConnectionNumber(dpy), POLLIN, 0};
        poll(&p, 1, 10);
    }
    XtRemoveEventHandler(label, ExposureMask, False, NoteExpose, &exposed);
    return exposed;
}

// The synchronous section and what follows it; counts what failed.
int StartInOrder(XtAppContext app, Widget top, Widget form, const Plan& plan, Made* made) {
    Display* dpy = XtDisplay(top);
    XSynchronize(dpy, True);
    XtRealizeWidget(top);
    Made section;
    int failed = DoWork(top, plan.inSync, &section);
    // The window's title, which the start-up sets with the labels' fonts.
    XtVaSetValues(top, XmNtitle, "bare Motif", nullptr);
    if (plan.inSync.logo) {
        if (section.icons.empty())
            ++failed;
        else
            MakeLogo(form, section.icons.front());
    }
    if (plan.inSync.dialog && !MakeDialog(form, section)) ++failed;
    if (!ShowNotice(app, form)) ++failed;
    XSynchronize(dpy, False);
    MakeMainWindow(form);
    failed += DoWork(top, plan.after, made);
    const Cursor normal = section.normal != None ? section.normal : made->normal;
    if (normal != None) XDefineCursor(dpy, XtWindow(top), normal);
    return failed;
}

} // namespace

int main(int argc, char** argv) {
    Plan plan;
    if (!ParsePlan(argc, argv, &plan)) return 2;
    for (const std::string& script : plan.scripts) {
        if (!RunScript(script)) {
            std::fprintf(stderr, "bench_bare: script %s failed\n", script.c_str());
            return 1;
        }
    }
    XtAppContext app;
    Widget top = XtAppInitialize(&app, "bare", nullptr, 0, &argc, argv, nullptr, nullptr, 0);
    Made made;
    int failed = DoWork(top, plan.before, &made);
    Widget form = MakeForm(top);
    if (plan.sync) {
        failed += StartInOrder(app, top, form, plan, &made);
    } else {
        MakeMainWindow(form);
        XtRealizeWidget(top);
    }
    if (failed) {
        std::fprintf(stderr, "bench_bare: %d colours, fonts, icons or widgets could not be had\n",
                     failed);
        return 1;
    }
    XFlush(XtDisplay(top));
    std::printf("ready\n");
    std::fflush(stdout);
    XtAppMainLoop(app);
    return 0;
}
