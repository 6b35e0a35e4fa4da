// Dialogs, cursor and event pumps.
//
// The message box comes with the screen toolkit; for now its text goes to the
// console and it answers OK.
#include "dialogs.h"

#include "msgsys.h"
#include "nap.h"
#include "vok.h"

#include <X11/Intrinsic.h>

#include <cstdio>
#include <ctime>

void ChangeCursor(Cursor cursor) {
    if (!TheDisplay || !TopWindow) return;
    XDefineCursor(TheDisplay, TopWindow, cursor);
    XFlush(TheDisplay);
}

void FlushEventsNoInput() {
    if (!TheDisplay) return;
    XEvent ev;
    const long input = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask;
    while (XCheckMaskEvent(TheDisplay, input, &ev)) {
    }
    XSync(TheDisplay, False);
    while (XtAppPending(AppContext) & XtIMXEvent) {
        XtAppNextEvent(AppContext, &ev);
        if (ev.type == KeyPress || ev.type == KeyRelease || ev.type == ButtonPress ||
            ev.type == ButtonRelease)
            continue;
        XtDispatchEvent(&ev);
    }
}

void WaitSeconds(int seconds) {
    const time_t end = std::time(nullptr) + seconds;
    do {
        FlushEventsNoInput();
    } while (std::time(nullptr) < end);
}

int ProcessEventsFor(int seconds) {
    const time_t end = std::time(nullptr) + seconds;
    while (std::time(nullptr) < end) {
        XtInputMask pending = AppContext ? XtAppPending(AppContext) : 0;
        if (!pending) {
            nap(10);
            continue;
        }
        if (pending & XtIMXEvent) {
            XEvent ev;
            XtAppNextEvent(AppContext, &ev);
            if (ev.type == KeyPress || ev.type == KeyRelease || ev.type == ButtonPress ||
                ev.type == ButtonRelease)
                continue;
            XtDispatchEvent(&ev);
        } else {
            XtAppProcessEvent(AppContext, pending);
        }
    }
    return -82;
}

int WaitTasksEnd(int tries) {
    for (int i = 0; i < tries; ++i) {
        if (!AnyTaskActive()) return 0;
        ProcessEventsFor(1);
    }
    return AnyTaskActive() ? -82 : 0;
}

int MessageDialog(const std::string& text, int) {
    std::printf("MessageDialog: %s\n", text.c_str());
    std::fflush(stdout);
    return 1;
}
