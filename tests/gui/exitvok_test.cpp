// Program end: the abort only with an active task and the wait for its end
// (the poll runs meanwhile, as it does after start-up), the stop script, the
// bounded wait for the message server's last message, exit status 0.
#include <gtest/gtest.h>

#include "msgsys.h"
#include "proc.h"
#include "sandbox.h"
#include "startup.h"
#include "vok.h"
#include "wiring.h"
#include "xvfb.h"

#include <Xm/Form.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/msg.h>
#include <sys/wait.h>
#include <thread>

namespace {

// The poll's side on the screen: there is no main menu here to show it on.
class QuietUi : public ReplyUi {
  public:
    void Light(int, bool) override {}
    void UpdateMenu() override {}
    void ApplyMenu() override {}
    void Message(const std::string&) override {}
    bool LoadingShown() const override { return false; }
    void HideLoading() override {}
    void RaiseMainWindow() override {}
    void CloseExitScreen() override {}
};
QuietUi Quiet;

double WallSeconds() {
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// What the child leaves in a file when it exits: the task slot, and the
// seconds from EndStart to the exit.
std::string EndFile;
double EndStart = 0;
void RecordEnd() {
    if (FILE* f = std::fopen(EndFile.c_str(), "w")) {
        std::fprintf(f, "slot=%d cur=%d secs=%.3f\n", TaskSlot.state, CurrentTaskId,
                     WallSeconds() - EndStart);
        std::fclose(f);
    }
}

// In the child: the console into a file, the message system against the
// simulator, a top shell and main form as start-up makes them, and the poll
// running as it does from start-up on.
void OpenAndBuild(const Sandbox& box) {
    if (!std::freopen(box.Path("/child.out").c_str(), "w", stdout)) _exit(91);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (OpenMessageSystem() != 0) _exit(90);
    static char name[] = "vok";
    static char* argv[] = {name, nullptr};
    InitToolkit(1, argv);
    WireProgram();
    MainForm = XmCreateForm(TopShell, const_cast<char*>("VOK"), nullptr, 0);
    XtVaSetValues(MainForm, XmNwidth, 770, XmNheight, 560, nullptr);
    XtManageChild(MainForm);
    XtRealizeWidget(TopShell);
    TopWindow = XtWindow(TopShell);
    SetReplyUi(&Quiet);
    CheckMess(MainForm, nullptr);
    EndFile = box.Path("/child.end");
    std::atexit(RecordEnd);
}

// A running task of the slot, as the run request leaves it.
void RunningTask() {
    RecordTask(101, "P1", SLOT_RUNNING, 0x1000, 1, 4, 0x10000);
    CurrentTaskId = 101;
}

std::vector<std::string> Requests(const Sandbox& box, int code) {
    std::vector<std::string> out;
    for (const std::string& line : box.ServerLog())
        if (JsonInt(line, "code") == code) out.push_back(line);
    return out;
}

// A field "key=<number>" of the end file.
double EndValue(const Sandbox& box, const std::string& key) {
    const std::string end = box.Read("/child.end");
    const size_t at = end.find(key + "=");
    return at == std::string::npos ? -999 : std::atof(end.c_str() + at + key.size() + 1);
}

const char* const kNoLastMessage = "no last message from the message server";

TEST(ExitVok, AbortsAnActiveTaskThenWaitsForTheLastMessage) {
    ScopedEnv fast("QEL_NAP_PERCENT", "10");
    XvfbServer x;
    ASSERT_TRUE(x.ok());
    Sandbox box;
    // The server answers the abort at once and keeps its queue a minute
    // after its last message: only that message can end the last wait.
    box.SetServerArgs("--linger-ms 60000");
    int status = RunInChild(
        [&] {
            OpenAndBuild(box);
            RunningTask();
            ExitShutdownWaitSeconds = 20;
            EndStart = WallSeconds();
            ExitVok();
        },
        60000);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    auto aborts = Requests(box, 16);
    ASSERT_EQ(aborts.size(), 1u);
    EXPECT_EQ(JsonInt(aborts[0], "arg"), 4);
    EXPECT_EQ(JsonInt(aborts[0], "task"), 101);
    EXPECT_EQ(JsonInt(aborts[0], "data"), 0x400000);
    auto log = box.ScriptsLog();
    EXPECT_NE(std::find(log.begin(), log.end(), "xstop "), log.end());
    // The poll took the task's end during the wait, which then stopped
    // looking: the end came within two of its one-second tries, and the
    // last message right after the stop script.
    EXPECT_EQ(EndValue(box, "slot"), 5) << box.Read("/child.end");
    EXPECT_EQ(EndValue(box, "cur"), 0);
    EXPECT_LT(EndValue(box, "secs"), 5.0);
    EXPECT_EQ(box.Read("/child.out").find(kNoLastMessage), std::string::npos);
}

// A task whose end never comes is waited for seven tries of a second each;
// the tries end on the ticks of time(), so the program goes on at the 7th
// tick after the second in which it was called.
TEST(ExitVok, ATaskThatDoesNotEndIsWaitedForSevenSeconds) {
    ScopedEnv fast("QEL_NAP_PERCENT", "10");
    XvfbServer x;
    ASSERT_TRUE(x.ok());
    Sandbox box;
    box.SetServerArgs("--abort-end never");
    int status = RunInChild(
        [&] {
            OpenAndBuild(box);
            RunningTask();
            ExitShutdownWaitSeconds = 20;
            // Called well inside a second, so that no tick falls between
            // the second taken here and the wait's own first look.
            const time_t now = std::time(nullptr);
            while (std::time(nullptr) == now)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            EndStart = static_cast<double>(std::time(nullptr));
            ExitVok();
        },
        60000);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Requests(box, 16).size(), 1u);
    EXPECT_EQ(EndValue(box, "slot"), 1) << box.Read("/child.end");
    EXPECT_GE(EndValue(box, "secs"), 7.0);
    EXPECT_LT(EndValue(box, "secs"), 7.6);
    EXPECT_EQ(box.Read("/child.out").find(kNoLastMessage), std::string::npos);
}

TEST(ExitVok, NoTaskNoAbort) {
    ScopedEnv fast("QEL_NAP_PERCENT", "10");
    XvfbServer x;
    ASSERT_TRUE(x.ok());
    Sandbox box;
    int status = RunInChild(
        [&] {
            OpenAndBuild(box);
            ExitShutdownWaitSeconds = 20;
            ExitVok();
        },
        30000);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(Requests(box, 16).empty());
    EXPECT_EQ(Requests(box, 48).size(), 1u);
    EXPECT_EQ(box.Read("/child.out").find(kNoLastMessage), std::string::npos);
}

TEST(ExitVok, GivesUpWhenNoLastMessageComes) {
    ScopedEnv fast("QEL_NAP_PERCENT", "10");
    XvfbServer x;
    ASSERT_TRUE(x.ok());
    Sandbox box;
    box.SetServerArgs("--ignore-stop");
    int status = RunInChild(
        [&] {
            OpenAndBuild(box);
            ExitShutdownWaitSeconds = 2;
            ExitVok();
        },
        30000);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(box.Read("/child.out").find("no last message from the message server within 2 s"),
              std::string::npos);
}

// No last message, and the queue removed: the wait ends at once, without
// running into its time limit.
TEST(ExitVok, EndsAtOnceWhenTheQueueIsGone) {
    ScopedEnv fast("QEL_NAP_PERCENT", "10");
    XvfbServer x;
    ASSERT_TRUE(x.ok());
    Sandbox box;
    box.SetServerArgs("--no-final --linger-ms 0");
    int status = RunInChild(
        [&] {
            OpenAndBuild(box);
            ExitShutdownWaitSeconds = 30;
            EndStart = WallSeconds();
            ExitVok();
        },
        30000);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_LT(EndValue(box, "secs"), 5.0);
    EXPECT_EQ(box.Read("/child.out").find(kNoLastMessage), std::string::npos);
}

// A queue that went before the end: the abort cannot go out and no task
// can end, so neither the task's end nor the last message is waited for.
TEST(ExitVok, QueueGoneBeforeTheEndHoldsNothingUp) {
    ScopedEnv fast("QEL_NAP_PERCENT", "1"); // the start-up's pauses out of the way
    XvfbServer x;
    ASSERT_TRUE(x.ok());
    Sandbox box;
    const auto start = std::chrono::steady_clock::now();
    int status = RunInChild(
        [&box] {
            OpenAndBuild(box);
            RecordTask(101, "P1", SLOT_RUNNING, 0x1000, 1, 4, 0x10000);
            CurrentTaskId = 101;
            msgctl(MsgQueueId, IPC_RMID, nullptr);
            ExitShutdownWaitSeconds = 30;
            ExitVok();
        },
        30000);
    const auto secs =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_LT(secs, 4.0); // the task's wait alone would take 7 s
}

} // namespace
