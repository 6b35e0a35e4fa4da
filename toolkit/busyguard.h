// The re-entry guard of a callback that can run a local event loop: it holds
// the callback's busy flag for the length of the call; a second entry finds
// the flag set, is not entered and leaves the flag alone.
#pragma once

class BusyGuard {
  public:
    explicit BusyGuard(int& flag) : flag_(flag), entered_(flag == 0) {
        if (entered_) flag_ = 1;
    }
    ~BusyGuard() {
        if (entered_) flag_ = 0;
    }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;
    bool entered() const { return entered_; }

  private:
    int& flag_;
    bool entered_;
};
