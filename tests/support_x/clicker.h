// An outside agent for loops that serve no timers (the message dialog, the
// timed waits): a helper thread with a display connection of its own that
// waits for a window and presses its buttons or keys, while the program's
// thread sits in its loop.
#pragma once

#include "xutil.h"

#include <atomic>
#include <functional>
#include <thread>

class OutsideClicker {
  public:
    // Starts script on the helper thread with a fresh XClient.
    explicit OutsideClicker(std::function<void(const XClient&)> script);
    // Waits for the script to end.
    ~OutsideClicker();
    OutsideClicker(const OutsideClicker&) = delete;
    OutsideClicker& operator=(const OutsideClicker&) = delete;

    void Join();
    bool done() const { return done_; }

  private:
    std::atomic<bool> done_{false};
    std::thread thread_;
};

// Answers every message dialog (575 x 175) that comes up, with OK or with
// Cancel, until it is destroyed: for runs of the real program whose
// start-up or screens show messages that a test does not look at.
class DialogAnswerer {
  public:
    explicit DialogAnswerer(bool ok = true);
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    int answered() const { return answered_; }

  private:
    std::atomic<bool> stop_{false};
    std::atomic<int> answered_{0};
    std::thread thread_;
};

// The bottom-right (OK) or bottom-left (Cancel) answer button of a dialog
// whose top-level window is top: the descendant window that sits 5 pixels
// from the dialog's bottom and side. Id 0 when none is mapped.
XWindowId DialogButton(const XClient& x, const TopWindowInfo& top, bool ok);
