// Start-up steps that need no X server: the environment rewrite, the
// required files, the shell command launcher and the existence test.
#include <gtest/gtest.h>

#include "launch.h"
#include "partsel.h"
#include "proc.h"
#include "sandbox.h"
#include "startup.h"

#include <csignal>
#include <cstdlib>
#include <sys/wait.h>

namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "(unset)";
}

TEST(Startup, RootVariablesInTheDriveFormAreRewritten) {
    struct Case {
        const char* in;
        const char* out;
        const char* printed;
    };
    const std::string longValue = "/" + std::string(120, 'p');
    const Case cases[] = {{"/C=parts", "C:parts", "QELPART=C:parts"},
                          {"C:/parts", "C:/parts", ""},
                          {"/C", "/C", ""},
                          {"/", "/", ""},
                          {longValue.c_str(), longValue.c_str(), ""}};
    for (const Case& c : cases) {
        ScopedEnv p("QELPART", c.in), u("QELUSER", nullptr), d("QEL_Win_Install_Drive", nullptr);
        testing::internal::CaptureStdout();
        RewriteEnvironment();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed) << c.in;
        EXPECT_EQ(Env("QELPART"), c.out);
    }
    ScopedEnv p("QELPART", nullptr), u("QELUSER", "/D=users/x");
    testing::internal::CaptureStdout();
    RewriteEnvironment();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "QELUSER=D:users/x");
    EXPECT_EQ(Env("QELPART"), "(unset)");
}

TEST(Startup, InstallDriveIsCutToTwoCharacters) {
    struct Case {
        const char* in;
        const char* out;
    };
    for (Case c : {Case{"C:\\", "C:"}, {"C:", "C:"}, {"D", "D"}, {"E:\\qel\\", "E:"}}) {
        ScopedEnv d("QEL_Win_Install_Drive", c.in);
        RewriteEnvironment();
        EXPECT_EQ(Env("QEL_Win_Install_Drive"), c.out) << c.in;
    }
}

TEST(Startup, RequiredFiles) {
    {
        Sandbox box;
        box.Remove("/temp");
        testing::internal::CaptureStdout();
        EXPECT_EQ(CheckRequiredFiles(), 1);
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "Error: required folder /temp missing, creating\n");
        EXPECT_TRUE(box.Exists("/temp"));
    }
    {
        Sandbox box;
        box.Remove("/temp");
        box.Remove("/u/qel/xeq/vtc.exe");
        testing::internal::CaptureStdout();
        EXPECT_EQ(CheckRequiredFiles(), 0);
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "Error: required folder /temp missing, creating\n"
                  "Error: required file /u/qel/xeq/vtc.exe missing\n");
    }
}

TEST(Startup, SystemCmdEchoesAndReportsTheRealStatus) {
    Sandbox box;
    auto old = std::signal(SIGCHLD, SIG_IGN);
    testing::internal::CaptureStdout();
    int st = SystemCmd("exit 3");
    std::string out = testing::internal::GetCapturedStdout();
    std::signal(SIGCHLD, old);
    EXPECT_EQ(out, "SYSTEM('exit 3')\n");
    ASSERT_TRUE(WIFEXITED(st));
    EXPECT_EQ(WEXITSTATUS(st), 3);

    testing::internal::CaptureStdout();
    SystemCmd("/usr/bin/KILL_QELIPC");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "SYSTEM('/usr/bin/KILL_QELIPC')\n");
    EXPECT_EQ(box.ScriptsLog(), std::vector<std::string>{"KILL_QELIPC "});
}

TEST(Startup, FileExistsTestsOnTheInstallDrive) {
    Sandbox box;
    box.Write("/temp/x", "x");
    ScopedEnv d("QEL_Win_Install_Drive", nullptr);
    EXPECT_EQ(FileExists("/u/qel/xeq/vtc.exe"), 1);
    EXPECT_EQ(FileExists("/u/qel/xeq/none"), 0);
    EXPECT_EQ(FileExists("C:/temp"), 1);
    EXPECT_EQ(FileExists("/C=/temp"), 1);
    ScopedEnv d2("QEL_Win_Install_Drive", "D:");
    EXPECT_EQ(FileExists("/temp/x"), 1);
    EXPECT_EQ(FileExists("temp/x"), 1); // tested as D:/temp/x
}

// A sandbox folder that a shell would read as more than a name is refused
// before the program runs any command, with a console line and status 1.
TEST(Startup, HostileSandboxFolderIsRefused) {
    Sandbox box;
    // A whole install tree there: without the refusal its first command runs.
    const std::string hostile = box.root() + "/x$(touch " + box.root() + "/pwned)";
    std::string error;
    ASSERT_TRUE(LayOutSandbox(hostile, Sandbox::DefaultOptions(), &error)) << error;
    ChildProcess vok({QEL_VOK_PATH}, {{"QEL_SANDBOX", hostile}, {"DISPLAY", kUnset}},
                     box.root() + "/vok.out");
    int status = -1;
    ASSERT_TRUE(vok.WaitExit(10000, &status)) << vok.Output();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(vok.Output(), "QEL_SANDBOX refused: '" + hostile +
                                "' holds characters other than A-Z a-z 0-9 _ . / -\n");
    EXPECT_FALSE(box.Exists("/pwned"));
}

} // namespace
