// What a test starts ends with the test process, also when that process
// dies without running its destructors: its private X server, the simulated
// message server of its sandbox with the queue, its own message queues and
// the programs it started.
#include <gtest/gtest.h>

#include "proc.h"
#include "queues.h"
#include "sandbox.h"
#include "wire.h"
#include "xvfb.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/msg.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct ProcStat {
    std::string name, state;
    long parent = 0;
};

// The head of /proc/<pid>/stat; false when there is no such process.
bool ReadStat(long pid, ProcStat* st) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
    long self = 0;
    return static_cast<bool>(f >> self >> st->name >> st->state >> st->parent);
}

// The Xvfb that this process started, or 0.
long OwnXvfb() {
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        ProcStat st;
        if (ReadStat(std::stol(name), &st) && st.parent == getpid() && st.name == "(Xvfb)")
            return std::stol(name);
    }
    return 0;
}

// Whether the process is gone (or only waits to be reaped).
bool Gone(long pid) {
    ProcStat st;
    return !ReadStat(pid, &st) || st.state == "Z";
}

TEST(Harness, XvfbEndsWithAKilledTestProcess) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const int status = RunInChild(
        [&] {
            close(fds[0]);
            XvfbServer x;
            const long pid = x.ok() ? OwnXvfb() : 0;
            if (write(fds[1], &pid, sizeof pid) != sizeof pid) _exit(2);
            raise(SIGKILL);
        },
        20000);
    close(fds[1]);
    long server = 0;
    const ssize_t got = read(fds[0], &server, sizeof server);
    close(fds[0]);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    ASSERT_EQ(got, static_cast<ssize_t>(sizeof server));
    ASSERT_GT(server, 0);
    EXPECT_TRUE(WaitUntil([&] { return Gone(server); }, 10000))
        << "Xvfb " << server << " outlived its test process";
}

// What the killed test had started, as it reported it.
struct Started {
    long server = 0;      // the simulated message server
    int serverQueue = -1; // its queue
    int ownQueue = -1;    // a queue of the test's own
    long program = 0;     // a program started as a child process
    char root[128] = {};  // the sandbox, left behind with the test
};

TEST(Harness, ServerQueuesAndProgramsEndWithAKilledTestProcess) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const int status = RunInChild(
        [&] {
            close(fds[0]);
            Started st;
            Sandbox box;
            // The server as the program starts it: in the background, with
            // the shell that started it gone at once.
            const std::string key = box.Path("/usr/bin/XSRVR");
            const std::string start =
                "\"" + box.Path("/usr/bin/xserver") + "\" " + std::to_string(getpid()) + " &";
            if (std::system(start.c_str()) != 0) _exit(2);
            const key_t k = ftok(key.c_str(), 'q');
            if (!WaitUntil([&] { return (st.serverQueue = msgget(k, 0)) != -1; }, 30000)) _exit(3);
            wire::Msg hello;
            hello.mtype = k;
            wire::SetInt(hello, wire::kCode, 48);
            msgsnd(st.serverQueue, &hello, wire::kTextSize, 0);
            if (!WaitUntil([&] { return !box.ServerLog().empty(); }, 30000)) _exit(4);
            st.server = JsonInt(box.ServerLog()[0], "server");
            st.ownQueue = MakePrivateQueue();
            ChildProcess program({"/bin/sleep", "600"}, {}, box.Path("/sleep.out"));
            st.program = program.pid();
            box.root().copy(st.root, sizeof st.root - 1);
            if (write(fds[1], &st, sizeof st) != sizeof st) _exit(5);
            raise(SIGKILL);
        },
        60000);
    close(fds[1]);
    Started st;
    const ssize_t got = read(fds[0], &st, sizeof st);
    close(fds[0]);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    ASSERT_EQ(got, static_cast<ssize_t>(sizeof st));
    std::error_code ec;
    std::filesystem::remove_all(st.root, ec);
    ASSERT_GT(st.server, 0);
    ASSERT_GT(st.program, 0);
    msqid_ds ds{};
    EXPECT_TRUE(WaitUntil([&] { return Gone(st.server); }, 30000))
        << "the server " << st.server << " outlived its test process";
    EXPECT_TRUE(WaitUntil([&] { return msgctl(st.serverQueue, IPC_STAT, &ds) != 0; }, 30000))
        << "the server's queue outlived its test process";
    EXPECT_TRUE(WaitUntil([&] { return msgctl(st.ownQueue, IPC_STAT, &ds) != 0; }, 30000))
        << "the test's own queue outlived its test process";
    EXPECT_TRUE(WaitUntil([&] { return Gone(st.program); }, 30000))
        << "the program " << st.program << " outlived its test process";
}

} // namespace
