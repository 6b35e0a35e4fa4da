// Child processes: real exit statuses while SIGCHLD is ignored, default
// signal dispositions in the child, and the quoting helpers.
#include <gtest/gtest.h>

#include "process.h"
#include "sandbox.h"

#include <cerrno>
#include <csignal>
#include <fstream>
#include <sys/wait.h>

namespace {

class IgnoredChildSignal : public ::testing::Test {
  protected:
    void SetUp() override { old_ = std::signal(SIGCHLD, SIG_IGN); }
    void TearDown() override { std::signal(SIGCHLD, old_); }
    void (*old_)(int) = nullptr;
};

TEST_F(IgnoredChildSignal, ShellCommandsReportTheirStatus) {
    int st = RunShellCommand("exit 3");
    ASSERT_TRUE(WIFEXITED(st));
    EXPECT_EQ(WEXITSTATUS(st), 3);
    EXPECT_EQ(RunShellCommand("true"), 0);
    EXPECT_EQ(std::signal(SIGCHLD, SIG_IGN), SIG_IGN); // restored
}

TEST_F(IgnoredChildSignal, ProgramsStartWithDefaultSignals) {
    Sandbox box;
    const std::string out = box.root() + "/sigign";
    int status = -1;
    pid_t pid =
        RunProgram("/bin/sh", {"sh", "-c", "grep SigIgn /proc/$$/status > " + out}, &status);
    ASSERT_GT(pid, 0);
    EXPECT_EQ(status, 0);
    std::ifstream f(out);
    std::string word, mask;
    f >> word >> mask;
    EXPECT_EQ(mask.substr(mask.size() - 5), "00000"); // SIGCHLD (bit 16) not ignored
}

TEST_F(IgnoredChildSignal, MissingProgramIsReportedAtOnce) {
    int status = 12345;
    EXPECT_EQ(RunProgram("/no/such/program", {"x"}, &status), -ENOENT);
    EXPECT_EQ(status, 12345);
}

TEST(ShellQuote, OnlyWordsThatNeedIt) {
    EXPECT_EQ(ShellQuote("/u/qel/part/A-1_x.llf"), "/u/qel/part/A-1_x.llf");
    EXPECT_EQ(ShellQuote("a b"), "'a b'");
    EXPECT_EQ(ShellQuote("it's"), "'it'\\''s'");
    EXPECT_EQ(ShellQuote(""), "''");
    EXPECT_EQ(ShellEscapeInDoubleQuotes("Plot A"), "Plot A");
    EXPECT_EQ(ShellEscapeInDoubleQuotes("$(x) `y` \"z\" \\"), "\\$(x) \\`y\\` \\\"z\\\" \\\\");
}

} // namespace
