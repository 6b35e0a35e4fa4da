// Small Xlib helpers with which the end-to-end tests look at the program's
// windows from outside, as a window manager or a user would.
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

  private:
    _XDisplay* dpy_ = nullptr;
};
