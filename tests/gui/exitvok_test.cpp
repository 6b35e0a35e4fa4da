// Program end: the abort only with an active task, the stop script, the
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

#include <chrono>
#include <sys/msg.h>
#include <sys/wait.h>

namespace {

// In the child: the message system against the simulator, then a top shell
// and main form as start-up makes them.
void OpenAndBuild() {
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
}

std::vector<std::string> Requests(const Sandbox& box, int code) {
    std::vector<std::string> out;
    for (const std::string& line : box.ServerLog())
        if (JsonInt(line, "code") == code) out.push_back(line);
    return out;
}

TEST(ExitVok, AbortsAnActiveTaskThenWaitsForTheLastMessage) {
    XvfbServer x;
    ASSERT_TRUE(x.ok());
    Sandbox box;
    int status = RunInChild(
        [] {
            OpenAndBuild();
            RecordTask(101, "P1", SLOT_RUNNING, 0x1000, 1, 4, 0x10000);
            CurrentTaskId = 101;
            ExitShutdownWaitSeconds = 20;
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
}

TEST(ExitVok, NoTaskNoAbort) {
    XvfbServer x;
    ASSERT_TRUE(x.ok());
    Sandbox box;
    int status = RunInChild(
        [] {
            OpenAndBuild();
            ExitShutdownWaitSeconds = 20;
            ExitVok();
        },
        30000);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(Requests(box, 16).empty());
    EXPECT_EQ(Requests(box, 48).size(), 1u);
}

TEST(ExitVok, GivesUpWhenNoLastMessageComes) {
    XvfbServer x;
    ASSERT_TRUE(x.ok());
    Sandbox box;
    box.SetServerArgs("--ignore-stop");
    const std::string out = box.root() + "/child.out";
    int status = RunInChild(
        [&] {
            if (!freopen(out.c_str(), "w", stdout)) _exit(91);
            OpenAndBuild();
            ExitShutdownWaitSeconds = 2;
            ExitVok();
        },
        30000);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(box.Read("/child.out").find("no last message from the message server within 2 s"),
              std::string::npos);
}

TEST(ExitVok, EndsAtOnceWhenTheQueueIsGone) {
    XvfbServer x;
    ASSERT_TRUE(x.ok());
    Sandbox box;
    box.SetServerArgs("--no-final --linger-ms 0");
    auto start = std::chrono::steady_clock::now();
    int status = RunInChild(
        [] {
            OpenAndBuild();
            ExitShutdownWaitSeconds = 30;
            ExitVok();
        },
        30000);
    auto secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_LT(secs, 15.0);
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
        [] {
            OpenAndBuild();
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
