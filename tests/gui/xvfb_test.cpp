// The private X server of a test ends with the test process, also when that
// process dies without running its destructors.
#include <gtest/gtest.h>

#include "proc.h"
#include "xvfb.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
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

} // namespace
