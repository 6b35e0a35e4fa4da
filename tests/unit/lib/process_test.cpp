// Child processes: real exit statuses while SIGCHLD is ignored, default
// signal dispositions in the child, and the quoting helpers.
#include <gtest/gtest.h>

#include "process.h"
#include "sandbox.h"

#include <cerrno>
#include <cstdlib>
#include <csignal>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <vector>

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

// Every character a word can hold reaches a command through the shell as it
// stands: printf gives each quoted word back byte for byte, and a character
// that the shell reads (&, ;, |, $, a blank ...) left unquoted would split,
// run or expand the word instead.
TEST(ShellQuote, EveryCharacterReachesTheShellUnchanged) {
    Sandbox box;
    std::vector<std::string> words;
    for (int c = 1; c < 256; ++c) words.push_back(std::string("a") + static_cast<char>(c) + "b");
    for (const char* w : {"&", "x&", "-n", "~", "*", "#", "a=b", "'", "''", "\\", "!", "$HOME",
                          "$(echo x)", "`echo x`", "a\nb", "", " lead", "trail "})
        words.push_back(w);
    std::string command = "printf '%s\\n'";
    for (const std::string& w : words) command += " " + ShellQuote(w);
    const std::string out = box.root() + "/words";
    ASSERT_EQ(std::system((command + " > " + out).c_str()), 0) << command;
    std::string printed;
    ASSERT_TRUE(ReadFileBytes(out, &printed));
    std::string expected;
    for (const std::string& w : words) expected += w + "\n";
    EXPECT_EQ(printed, expected);
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
