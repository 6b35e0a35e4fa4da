// A virtual clock behind nap(): while it lives, every pause of the program
// advances virtual time at once instead of sleeping, and the listeners (the
// fake controller) run after each pause. Waits of many seconds then run in
// milliseconds and always the same way.
#pragma once

#include <functional>
#include <vector>

class VirtualClock {
  public:
    VirtualClock(); // installs itself behind nap(); one clock at a time
    ~VirtualClock();
    VirtualClock(const VirtualClock&) = delete;
    VirtualClock& operator=(const VirtualClock&) = delete;

    // Virtual milliseconds since the clock was made.
    long Now() const { return now_; }
    // The pauses taken, each with its length in milliseconds.
    const std::vector<long>& Naps() const { return naps_; }
    // How many pauses had the given length.
    int NapsOf(long ms) const;
    // Runs after every pause with the new time.
    void OnNap(std::function<void(long now)> listener);

  private:
    static void Hook(long ms);
    long now_ = 0;
    std::vector<long> naps_;
    std::vector<std::function<void(long)>> listeners_;
};
