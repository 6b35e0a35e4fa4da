// posix_spawn-based children with SIGCHLD handled around the wait.
#include "process.h"

#include "ospath.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <string>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// SIGCHLD at its default while we wait for our own child, restored after.
class ChildSignalDefault {
  public:
    ChildSignalDefault() {
        struct sigaction dfl {};
        dfl.sa_handler = SIG_DFL;
        sigemptyset(&dfl.sa_mask);
        sigaction(SIGCHLD, &dfl, &saved_);
    }
    ~ChildSignalDefault() { sigaction(SIGCHLD, &saved_, nullptr); }
    ChildSignalDefault(const ChildSignalDefault&) = delete;
    ChildSignalDefault& operator=(const ChildSignalDefault&) = delete;

  private:
    struct sigaction saved_ {};
};

// SIGINT and SIGQUIT ignored while the shell runs a command, restored after,
// as system() does: a Ctrl-C at the console ends the command, not the
// caller. The child gets the defaults back (SpawnAttr).
class ShellSignalsIgnored {
  public:
    ShellSignalsIgnored() {
        struct sigaction ign {};
        ign.sa_handler = SIG_IGN;
        sigemptyset(&ign.sa_mask);
        sigaction(SIGINT, &ign, &savedInt_);
        sigaction(SIGQUIT, &ign, &savedQuit_);
    }
    ~ShellSignalsIgnored() {
        sigaction(SIGINT, &savedInt_, nullptr);
        sigaction(SIGQUIT, &savedQuit_, nullptr);
    }
    ShellSignalsIgnored(const ShellSignalsIgnored&) = delete;
    ShellSignalsIgnored& operator=(const ShellSignalsIgnored&) = delete;

  private:
    struct sigaction savedInt_ {};
    struct sigaction savedQuit_ {};
};

class SpawnAttr {
  public:
    SpawnAttr() {
        posix_spawnattr_init(&attr_);
        sigset_t all;
        sigfillset(&all);
        posix_spawnattr_setsigdefault(&attr_, &all);
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigmask(&attr_, &none);
        posix_spawnattr_setflags(&attr_, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    }
    ~SpawnAttr() { posix_spawnattr_destroy(&attr_); }
    SpawnAttr(const SpawnAttr&) = delete;
    SpawnAttr& operator=(const SpawnAttr&) = delete;
    const posix_spawnattr_t* get() const { return &attr_; }

  private:
    posix_spawnattr_t attr_;
};

pid_t Spawn(const std::string& path, const std::vector<std::string>& args) {
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    SpawnAttr attr;
    pid_t pid = -1;
    int rc = posix_spawn(&pid, path.c_str(), nullptr, attr.get(), argv.data(), environ);
    if (rc != 0) return -rc;
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return status;
}

} // namespace

int RunShellCommand(const std::string& command) {
    ChildSignalDefault keep;
    ShellSignalsIgnored protect;
    pid_t pid = Spawn("/bin/sh", {"sh", "-c", OsCommand(command)});
    if (pid < 0) return -1;
    return Wait(pid);
}

pid_t RunProgram(const std::string& path, const std::vector<std::string>& argv, int* status) {
    ChildSignalDefault keep;
    pid_t pid = Spawn(OsPath(path), argv);
    if (pid < 0) return pid;
    int st = Wait(pid);
    if (status) *status = st;
    return pid;
}

std::string ShellQuote(const std::string& word) {
    bool plain = !word.empty();
    for (char c : word) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || std::strchr("_./:@%+=,-", c))) {
            plain = false;
            break;
        }
    }
    if (plain) return word;
    std::string out = "'";
    for (char c : word) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    out += "'";
    return out;
}

std::string ShellEscapeInDoubleQuotes(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == '"' || c == '$' || c == '`') out += '\\';
        out += c;
    }
    return out;
}

bool ProcessGone(pid_t pid) {
    if (pid <= 0) return false;
    if (kill(pid, 0) != 0) return errno == ESRCH;
    // The state follows the name in brackets, which may itself hold blanks.
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return false;
    const size_t close = line.rfind(')');
    return close != std::string::npos && line.compare(close + 1, 3, " Z ") == 0;
}
