// The watcher of a test's message queues.
//
// The watcher is a grandchild of the test in a session of its own, so that
// neither a signal to the test's process group nor a kill of its process
// tree reaches it; a forked child of the test that makes queues gets its own
// watcher. It reads lines "+q <id>", "-q <id>", "+k <file>" and
// "-k <file>" from a pipe whose only writer is the test (the write end is
// closed on exec, and forked children of the test end with it); end of file
// means the test has gone.
#include "queues.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <string>
#include <sys/ipc.h>
#include <sys/msg.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::mutex Lock;
int WriteEnd = -1;
// The process whose watcher the write end reaches: a forked child of the
// test gets a watcher of its own.
pid_t Watched = 0;

void Watch(int readEnd) {
    std::set<int> queues;
    std::set<std::string> keyFiles;
    std::string pending;
    char buf[512];
    for (;;) {
        const ssize_t n = read(readEnd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        pending.append(buf, static_cast<size_t>(n));
        size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (line.size() < 4) continue;
            const std::string arg = line.substr(3);
            if (line.compare(0, 3, "+q ") == 0) queues.insert(std::atoi(arg.c_str()));
            if (line.compare(0, 3, "-q ") == 0) queues.erase(std::atoi(arg.c_str()));
            if (line.compare(0, 3, "+k ") == 0) keyFiles.insert(arg);
            if (line.compare(0, 3, "-k ") == 0) keyFiles.erase(arg);
        }
    }
    for (int id : queues) msgctl(id, IPC_RMID, nullptr);
    for (const std::string& file : keyFiles) {
        const key_t key = ftok(file.c_str(), 'q');
        const int id = key == -1 ? -1 : msgget(key, 0);
        if (id != -1) msgctl(id, IPC_RMID, nullptr);
    }
}

// Starts the watcher once; false when it could not be started.
bool Started() {
    if (WriteEnd != -1 && Watched == getpid()) return true;
    if (WriteEnd != -1) close(WriteEnd);
    WriteEnd = -1;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    const pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (child == 0) {
        if (fork() != 0) _exit(0);
        setsid();
        std::signal(SIGINT, SIG_IGN);
        std::signal(SIGTERM, SIG_IGN);
        std::signal(SIGHUP, SIG_IGN);
        // Nothing of the test's stays open here but the list's pipe.
        for (int fd = 0; fd < 1024; ++fd)
            if (fd != fds[0]) close(fd);
        const int null = open("/dev/null", O_RDWR);
        if (null >= 0) {
            dup2(null, 0);
            dup2(null, 1);
            dup2(null, 2);
        }
        Watch(fds[0]);
        _exit(0);
    }
    close(fds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    WriteEnd = fds[1];
    Watched = getpid();
    return true;
}

void Tell(const std::string& line) {
    std::lock_guard<std::mutex> hold(Lock);
    if (!Started()) return;
    const std::string text = line + "\n";
    if (write(WriteEnd, text.data(), text.size()) < 0) {
    }
}

// Started before main, while the test is one thread: the watcher is forked
// and runs on without an exec.
const bool StartedEarly = [] {
    std::lock_guard<std::mutex> hold(Lock);
    return Started();
}();

} // namespace

int MakePrivateQueue() {
    const int id = msgget(IPC_PRIVATE, IPC_CREAT | 0600);
    if (id != -1) Tell("+q " + std::to_string(id));
    return id;
}

void RemovePrivateQueue(int msqid) {
    if (msqid == -1) return;
    Tell("-q " + std::to_string(msqid));
    msgctl(msqid, IPC_RMID, nullptr);
}

void GuardKeyFileQueue(const std::string& keyFile) {
    Tell("+k " + keyFile);
}

void ReleaseKeyFileQueue(const std::string& keyFile) {
    Tell("-k " + keyFile);
}
