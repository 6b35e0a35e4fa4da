// Child processes for the tests.
#include "proc.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

bool WaitUntil(const std::function<bool()>& cond, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (cond()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::map<std::string, std::string>& env,
                           const std::string& outFile)
    : outFile_(outFile) {
    int in[2];
    if (pipe(in) != 0) return;
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
        // The child ends with the test, however the test ends.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) _exit(127);
        dup2(in[0], 0);
        close(in[0]);
        close(in[1]);
        int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(out, 2);
        close(out);
        for (const auto& [k, v] : env) {
            if (v == kUnset)
                unsetenv(k.c_str());
            else
                setenv(k.c_str(), v.c_str(), 1);
        }
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(in[0]);
    stdinFd_ = in[1];
}

ChildProcess::~ChildProcess() {
    Kill();
    if (stdinFd_ >= 0) close(stdinFd_);
}

std::string ChildProcess::Output() const {
    std::ifstream f(outFile_);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

bool ChildProcess::WaitForOutput(const std::string& text, int timeoutMs) const {
    return WaitUntil([&] { return Output().find(text) != std::string::npos; }, timeoutMs);
}

void ChildProcess::WriteStdin(const std::string& text) {
    if (stdinFd_ >= 0 && write(stdinFd_, text.data(), text.size()) < 0) {
    }
}

bool ChildProcess::WaitExit(int timeoutMs, int* status) {
    if (reaped_) return true;
    bool done = WaitUntil(
        [&] {
            pid_t r = waitpid(pid_, status, WNOHANG);
            return r == pid_;
        },
        timeoutMs);
    if (done) reaped_ = true;
    return done;
}

bool ChildProcess::Running() {
    if (reaped_ || pid_ <= 0) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        reaped_ = true;
        return false;
    }
    return true;
}

void ChildProcess::Kill() {
    if (pid_ <= 0 || reaped_) return;
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    reaped_ = true;
}

int RunInChild(const std::function<void()>& fn, int timeoutMs) {
    std::fflush(stdout);
    const pid_t parent = getpid();
    pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(127);
        fn();
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    if (!WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, timeoutMs)) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return -1;
    }
    return status;
}
