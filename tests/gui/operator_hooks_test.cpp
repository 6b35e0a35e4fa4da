// The shell's operator hooks of the controller link, reached the way the
// link reaches them: dialogs, the loading notice, texts and states.
#include <gtest/gtest.h>

#include "choice.h"
#include "clicker.h"
#include "gui.h"
#include "mainmenu.h"
#include "msgsys.h"
#include "operator_hooks.h"
#include "operator_ui.h"
#include "proc.h"
#include "vok.h"

#include <unistd.h>

namespace {

std::vector<std::string> Asked;

TEST(OperatorHooks, TheLinkReachesTheShell) {
    alarm(60);
    GuiSession gui({{100, "PRESS OK"}, {128, "MSGTITLE"}, {342, "UPLOADING"}});
    ASSERT_TRUE(gui.ok());
    InstallOperatorHooks();

    EXPECT_EQ(UiLabText(342), "UPLOADING");
    EXPECT_EQ(UiLabText(9999), "");
    OnlineMode = 1;
    EXPECT_EQ(UiOnlineMode(), 1);
    OnlineMode = 0;
    EXPECT_EQ(UiOnlineMode(), 0);

    testing::internal::CaptureStdout();
    EXPECT_EQ(UiSystemCmd("exit 3"), 3 << 8);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "SYSTEM('exit 3')\n");

    // The question is the screens' ConfirmStopTasks, as the wiring sets it.
    TaskSlot.state = SLOT_RUNNING;
    SetScreenMessageHook([](const std::string& text) {
        Asked.push_back(text);
        return 0;
    });
    EXPECT_EQ(UiConfirmStopTasks(), 0);
    EXPECT_EQ(Asked, std::vector<std::string>{"L74 \nL94 \nL64"});
    TaskSlot.state = SLOT_FREE;
    EXPECT_EQ(UiConfirmStopTasks(), 1);
    EXPECT_EQ(Asked.size(), 1u);
    SetScreenMessageHook(nullptr);
    // Unset, the question declines.
    SetStopTasksQuestion(nullptr);
    testing::internal::CaptureStdout();
    EXPECT_EQ(UiConfirmStopTasks(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "ConfirmStopTasks: question not wired\n");

    // The loading notice stands on the main form while it is shown.
    const size_t before = Children(MainForm).size();
    UiShowLoading("UPLOADING");
    std::vector<Widget> now = Children(MainForm);
    ASSERT_EQ(now.size(), before + 1);
    Widget notice = now.back();
    EXPECT_TRUE(XtIsManaged(notice));
    EXPECT_EQ(LabelText(notice), "UPLOADING");
    UiHideLoading();
    Serve(50);
    EXPECT_EQ(Children(MainForm).size(), before);
    UiHideLoading(); // a second hide does nothing

    {
        DialogAnswerer answerer(true);
        EXPECT_EQ(UiMessageDialog("unable to find servo in config", 0), 1);
    }
    alarm(0);
}

} // namespace
