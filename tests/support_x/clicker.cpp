// Outside agent on a helper thread.
#include "clicker.h"

#include <chrono>

OutsideClicker::OutsideClicker(std::function<void(const XClient&)> script)
    : thread_([this, script = std::move(script)] {
          XClient x;
          if (x.ok()) script(x);
          done_ = true;
      }) {}

OutsideClicker::~OutsideClicker() {
    Join();
}

void OutsideClicker::Join() {
    if (thread_.joinable()) thread_.join();
}

XWindowId DialogButton(const XClient& x, const TopWindowInfo& top, bool ok) {
    XWindowId best = 0;
    for (const TopWindowInfo& w : x.Descendants(top.id)) {
        if (!w.viewable || w.y + w.height != top.height - 5) continue;
        if (ok ? w.x + w.width == top.width - 5 : w.x == 5) best = w.id;
    }
    return best;
}

DialogAnswerer::DialogAnswerer(bool ok)
    : thread_([this, ok] {
          XClient x;
          if (!x.ok()) return;
          while (!stop_) {
              const TopWindowInfo top = x.WaitForTopWindow(575, 175, 50);
              if (!top.id) continue;
              if (XWindowId b = DialogButton(x, top, ok)) {
                  x.ClickWindow(b);
                  if (x.WaitUntilGone(top.id, 2000)) ++answered_;
              }
          }
      }) {}

DialogAnswerer::~DialogAnswerer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}
