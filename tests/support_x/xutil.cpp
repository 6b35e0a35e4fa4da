// Xlib helpers with which the tests look at windows and give input from outside.
#include "xutil.h"

#include <X11/Xlib.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cctype>
#include <mutex>
#include <set>
#include <chrono>
#include <thread>

namespace {

// Windows come and go while a test looks at them: errors on an XClient's own
// connection are ignored; others go to the handler that was there before.
std::mutex ClientsLock;
std::set<Display*> ClientDisplays;
XErrorHandler PreviousHandler = nullptr;

int ClientErrorHandler(Display* dpy, XErrorEvent* error) {
    {
        std::lock_guard<std::mutex> lock(ClientsLock);
        if (ClientDisplays.count(dpy)) return 0;
    }
    return PreviousHandler ? PreviousHandler(dpy, error) : 0;
}

void RegisterClient(Display* dpy) {
    std::lock_guard<std::mutex> lock(ClientsLock);
    XErrorHandler previous = XSetErrorHandler(ClientErrorHandler);
    if (previous != ClientErrorHandler) PreviousHandler = previous;
    ClientDisplays.insert(dpy);
}

void UnregisterClient(Display* dpy) {
    std::lock_guard<std::mutex> lock(ClientsLock);
    ClientDisplays.erase(dpy);
}

bool Expired(std::chrono::steady_clock::time_point end) {
    return std::chrono::steady_clock::now() >= end;
}
void Rest() {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

// The children of w with their geometry and state, bottom to top; with
// names when asked (top-level windows carry one).
std::vector<TopWindowInfo> ChildWindows(Display* dpy, Window w, bool withNames) {
    std::vector<TopWindowInfo> out;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(dpy, w, &root, &parent, &children, &n)) return out;
    for (unsigned int i = 0; i < n; ++i) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(dpy, children[i], &a)) continue;
        TopWindowInfo info;
        info.id = children[i];
        info.x = a.x;
        info.y = a.y;
        info.width = a.width;
        info.height = a.height;
        info.viewable = a.map_state == IsViewable;
        char* name = nullptr;
        if (withNames && XFetchName(dpy, children[i], &name) && name) {
            info.name = name;
            XFree(name);
        }
        out.push_back(info);
    }
    if (children) XFree(children);
    return out;
}
} // namespace

XClient::XClient() : dpy_(XOpenDisplay(nullptr)) {
    if (dpy_) RegisterClient(dpy_);
}
XClient::~XClient() {
    if (!dpy_) return;
    XCloseDisplay(dpy_);
    UnregisterClient(dpy_);
}

int XClient::ScreenWidth() const {
    return DisplayWidth(dpy_, DefaultScreen(dpy_));
}
int XClient::ScreenHeight() const {
    return DisplayHeight(dpy_, DefaultScreen(dpy_));
}

std::vector<TopWindowInfo> XClient::TopWindows() const {
    return ChildWindows(dpy_, DefaultRootWindow(dpy_), true);
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

TopWindowInfo XClient::WaitForTopWindow(int width, int height, int timeoutMs, int count) const {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        TopWindowInfo top;
        int found = 0;
        for (const TopWindowInfo& w : TopWindows()) {
            if (!w.viewable || w.width != width || w.height != height) continue;
            ++found;
            top = w; // children come bottom to top
        }
        if (found >= count) return top;
        if (Expired(end)) return {};
        Rest();
    }
}

bool XClient::WaitUntilGone(XWindowId w, int timeoutMs) const {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (IsMapped(w)) {
        if (Expired(end)) return false;
        Rest();
    }
    return true;
}

std::vector<TopWindowInfo> XClient::Descendants(XWindowId w) const {
    std::vector<TopWindowInfo> out;
    for (const TopWindowInfo& child : ChildWindows(dpy_, w, false)) {
        out.push_back(child);
        for (TopWindowInfo d : Descendants(child.id)) {
            d.x += child.x;
            d.y += child.y;
            out.push_back(d);
        }
    }
    return out;
}

void XClient::MovePointer(int rootX, int rootY) const {
    XTestFakeMotionEvent(dpy_, DefaultScreen(dpy_), rootX, rootY, CurrentTime);
    XFlush(dpy_);
}

void XClient::Click(int rootX, int rootY) const {
    XTestFakeMotionEvent(dpy_, DefaultScreen(dpy_), rootX, rootY, CurrentTime);
    XTestFakeButtonEvent(dpy_, 1, True, CurrentTime);
    XTestFakeButtonEvent(dpy_, 1, False, CurrentTime);
    XFlush(dpy_);
}

void XClient::ClickWindow(XWindowId w) const {
    int x = 0, y = 0;
    RootPosition(w, &x, &y);
    XWindowAttributes a;
    if (!XGetWindowAttributes(dpy_, w, &a)) return;
    Click(x + a.width / 2, y + a.height / 2);
}

void XClient::Key(const std::string& keysymName) const {
    const KeySym sym = XStringToKeysym(keysymName.c_str());
    const KeyCode code = XKeysymToKeycode(dpy_, sym);
    if (code == 0) return;
    XTestFakeKeyEvent(dpy_, code, True, CurrentTime);
    XTestFakeKeyEvent(dpy_, code, False, CurrentTime);
    XFlush(dpy_);
}

void XClient::Type(const std::string& text) const {
    const KeyCode shift = XKeysymToKeycode(dpy_, XK_Shift_L);
    for (char c : text) {
        const bool upper = std::isupper(static_cast<unsigned char>(c)) != 0;
        const std::string name =
            c == ' ' ? "space" : std::string(1, static_cast<char>(std::tolower(c)));
        if (upper) XTestFakeKeyEvent(dpy_, shift, True, CurrentTime);
        Key(name);
        if (upper) XTestFakeKeyEvent(dpy_, shift, False, CurrentTime);
    }
    XFlush(dpy_);
}

void XClient::Focus(XWindowId w) const {
    XSetInputFocus(dpy_, w, RevertToParent, CurrentTime);
    XSync(dpy_, False);
}

bool XClient::FocusWithin(XWindowId w) const {
    Window focus = None;
    int revert = 0;
    XGetInputFocus(dpy_, &focus, &revert);
    const Window root = DefaultRootWindow(dpy_);
    while (focus != None && focus != PointerRoot && focus != root) {
        if (focus == w) return true;
        Window r = 0, parent = 0, *children = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(dpy_, focus, &r, &parent, &children, &n)) return false;
        if (children) XFree(children);
        focus = parent;
    }
    return false;
}

void XClient::RootPosition(XWindowId w, int* x, int* y) const {
    Window child = 0;
    *x = *y = 0;
    XTranslateCoordinates(dpy_, w, DefaultRootWindow(dpy_), 0, 0, x, y, &child);
}

std::string XClient::PrimarySelection(int timeoutMs) const {
    const Window root = DefaultRootWindow(dpy_);
    if (XGetSelectionOwner(dpy_, XA_PRIMARY) == None) return "";
    const Window w = XCreateSimpleWindow(dpy_, root, 0, 0, 1, 1, 0, 0, 0);
    const Atom property = XInternAtom(dpy_, "QEL_TEST_SELECTION", False);
    XConvertSelection(dpy_, XA_PRIMARY, XA_STRING, property, w, CurrentTime);
    XFlush(dpy_);
    std::string text;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        XEvent ev;
        if (XCheckTypedWindowEvent(dpy_, w, SelectionNotify, &ev)) {
            if (ev.xselection.property == None) break;
            Atom type = None;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(dpy_, w, property, 0, 1 << 16, True, AnyPropertyType, &type,
                                   &format, &count, &after, &data) == Success &&
                data) {
                if (format == 8) text.assign(reinterpret_cast<char*>(data), count);
                XFree(data);
            }
            break;
        }
        if (Expired(end)) break;
        Rest();
    }
    XDestroyWindow(dpy_, w);
    XFlush(dpy_);
    return text;
}
