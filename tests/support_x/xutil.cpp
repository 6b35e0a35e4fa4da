// Xlib helpers for the end-to-end tests.
#include "xutil.h"

#include <X11/Xlib.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>

XClient::XClient() : dpy_(XOpenDisplay(nullptr)) {}
XClient::~XClient() {
    if (dpy_) XCloseDisplay(dpy_);
}

int XClient::ScreenWidth() const {
    return DisplayWidth(dpy_, DefaultScreen(dpy_));
}
int XClient::ScreenHeight() const {
    return DisplayHeight(dpy_, DefaultScreen(dpy_));
}

std::vector<TopWindowInfo> XClient::TopWindows() const {
    std::vector<TopWindowInfo> out;
    Window root = DefaultRootWindow(dpy_), parent = 0, *children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(dpy_, root, &root, &parent, &children, &n)) return out;
    for (unsigned int i = 0; i < n; ++i) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(dpy_, children[i], &a)) continue;
        TopWindowInfo info;
        info.id = children[i];
        info.x = a.x;
        info.y = a.y;
        info.width = a.width;
        info.height = a.height;
        info.viewable = a.map_state == IsViewable;
        char* name = nullptr;
        if (XFetchName(dpy_, children[i], &name) && name) {
            info.name = name;
            XFree(name);
        }
        out.push_back(info);
    }
    if (children) XFree(children);
    return out;
}

TopWindowInfo XClient::FindTopWindow(int width, int height) const {
    for (const TopWindowInfo& w : TopWindows())
        if (w.viewable && w.width == width && w.height == height) return w;
    return {};
}

void XClient::SendDeleteWindow(XWindowId w) const {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = XInternAtom(dpy_, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy_, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy_, w, False, NoEventMask, &ev);
    XFlush(dpy_);
}

bool XClient::IsMapped(XWindowId w) const {
    XWindowAttributes a;
    return XGetWindowAttributes(dpy_, w, &a) && a.map_state == IsViewable;
}
