// Child processes for the end-to-end tests: a program started with its
// output in a file and a pipe to its standard input, waited for with bounds.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

class ChildProcess {
  public:
    // Starts argv[0] with the environment of this process plus env (a value
    // of nullptr-like "\x01unset" removes the variable). stdout and stderr go
    // to outFile.
    ChildProcess(const std::vector<std::string>& argv,
                 const std::map<std::string, std::string>& env, const std::string& outFile);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    std::string Output() const;
    // Waits until the output holds text (true) or the time is up (false).
    bool WaitForOutput(const std::string& text, int timeoutMs) const;
    void WriteStdin(const std::string& text);
    // Waits for the end; false on time-out. status gets the wait status.
    bool WaitExit(int timeoutMs, int* status);
    bool Running();
    void Kill();

  private:
    pid_t pid_ = -1;
    int stdinFd_ = -1;
    std::string outFile_;
    bool reaped_ = false;
};

inline const char* const kUnset = "\x01unset";

// How long a window of a program may take to come, change or go, or a peer
// to do what it was asked, on a busy machine: far above what it takes
// there, a bound that only a fault reaches.
inline constexpr int kBusyMs = 30000;

// Polls cond every 20 ms until it holds or timeoutMs have passed.
bool WaitUntil(const std::function<bool()>& cond, int timeoutMs);

// Runs fn in a forked child and returns its wait status (-1 on time-out,
// when the child is killed).
int RunInChild(const std::function<void()>& fn, int timeoutMs);
