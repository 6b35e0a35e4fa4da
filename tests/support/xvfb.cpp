// Private Xvfb per test; it dies with the process that started it.
#include "xvfb.h"

#include "process.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <cstdlib>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

XvfbServer::XvfbServer(int width, int height, int depth) {
    int fds[2];
    if (pipe(fds) != 0) return;
    const std::string screen =
        std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth);
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
        // The server ends with the test process, however that ends.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) _exit(127);
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        int devnull = open("/dev/null", 0);
        dup2(devnull, 1);
        dup2(devnull, 2);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
               "-nolisten", "tcp", "-noreset", "-ac", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    // Far above what a busy machine takes to start it.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < end) {
        if (poll(&p, 1, 100) <= 0) continue;
        char c;
        ssize_t n = read(fds[0], &c, 1);
        if (n <= 0 || c == '\n') break;
        number += c;
    }
    close(fds[0]);
    if (number.empty()) return;
    display_ = ":" + number;
    const char* old = std::getenv("DISPLAY");
    hadDisplay_ = old != nullptr;
    if (old) oldDisplay_ = old;
    setenv("DISPLAY", display_.c_str(), 1);
}

XvfbServer::~XvfbServer() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
    if (hadDisplay_)
        setenv("DISPLAY", oldDisplay_.c_str(), 1);
    else if (!display_.empty())
        unsetenv("DISPLAY");
}

bool XvfbServer::Screenshot(const std::string& pngPath) const {
    const std::string cmd = "import -display " + ShellQuote(display_) + " -window root " +
                            ShellQuote(pngPath) + " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}
