// Small Xlib helpers with which the tests look at the program's windows from
// outside, as a window manager or a user would, and press its buttons and
// keys through XTest. Each XClient has a display connection of its own, so
// one can live on a helper thread while the program's thread waits.
#pragma once

#include <string>
#include <vector>

// X handles as plain integers, so that no Xlib macro reaches the tests.
using XWindowId = unsigned long;
struct _XDisplay;

struct TopWindowInfo {
    XWindowId id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    bool viewable = false;
    std::string name;
};

class XClient {
  public:
    XClient();
    ~XClient();
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;
    bool ok() const { return dpy_ != nullptr; }
    _XDisplay* display() const { return dpy_; }
    int ScreenWidth() const;
    int ScreenHeight() const;
    // The mapped top-level windows (children of the root).
    std::vector<TopWindowInfo> TopWindows() const;
    // The first viewable top-level window of that size, id 0 when none.
    TopWindowInfo FindTopWindow(int width, int height) const;
    // What a window manager sends when its close button is pressed.
    void SendDeleteWindow(XWindowId w) const;
    bool IsMapped(XWindowId w) const;

    // The topmost viewable top-level window of that size once at least
    // count of them are mapped; id 0 when that does not happen in time.
    TopWindowInfo WaitForTopWindow(int width, int height, int timeoutMs, int count = 1) const;
    // Waits until w is no longer viewable; false on time-out.
    bool WaitUntilGone(XWindowId w, int timeoutMs) const;
    // The windows below w, depth first, with x and y relative to w.
    std::vector<TopWindowInfo> Descendants(XWindowId w) const;
    // Pointer and keyboard input as a user gives it (XTest).
    void MovePointer(int rootX, int rootY) const;
    void Click(int rootX, int rootY) const;
    // Clicks the centre of w.
    void ClickWindow(XWindowId w) const;
    // A key by its keysym name ("Return", "space", "a").
    void Key(const std::string& keysymName) const;
    // Letters, digits and spaces; upper-case letters with Shift.
    void Type(const std::string& text) const;
    // Gives w the keyboard focus, as a window manager would.
    void Focus(XWindowId w) const;
    // Whether the keyboard focus is on w or a window below it: keys typed
    // now reach w's program there.
    bool FocusWithin(XWindowId w) const;
    // Root coordinates of the top left corner of w.
    void RootPosition(XWindowId w, int* x, int* y) const;
    // The text that the owner of the PRIMARY selection hands out (what a
    // middle click would paste); "" when nobody owns it or no answer comes
    // in time.
    std::string PrimarySelection(int timeoutMs) const;

  private:
    _XDisplay* dpy_ = nullptr;
};
