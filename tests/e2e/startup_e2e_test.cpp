// The real program in a sandbox, against the simulated message server, under
// a private Xvfb: start-up, its failure exits and the refused window close.
#include <gtest/gtest.h>

#include "proc.h"
#include "sandbox.h"
#include "vok_run.h"
#include "xutil.h"
#include "xvfb.h"

#include <sys/wait.h>

namespace {

// Positions of the texts in the output, in order; npos when one is missing.
bool InOrder(const std::string& out, const std::vector<std::string>& texts, std::string* missing) {
    size_t at = 0;
    for (const std::string& t : texts) {
        size_t found = out.find(t, at);
        if (found == std::string::npos) {
            *missing = t;
            return false;
        }
        at = found + t.size();
    }
    return true;
}

TEST(StartupE2E, EchoesItsStepsInOrderAndGreetsTheServer) {
    XvfbServer x(800, 600);
    ASSERT_TRUE(x.ok());
    Sandbox box;
    WriteOfflineStation(box);
    VokRun vok(box, {"a", "b"});
    ASSERT_TRUE(vok.child().WaitForOutput("ChangeCursor\n", kStartupMs)) << vok.child().Output();
    std::string missing;
    EXPECT_TRUE(InOrder(vok.child().Output(),
                        {"Starting Qel Version 5.031000\n", "SYSTEM('/usr/bin/KILL_QELIPC')\n",
                         "SYSTEM('/usr/bin/KILL_XSERVER')\n",
                         "SYSTEM('/usr/bin/xserver " + std::to_string(vok.child().pid()) + "&')\n",
                         "SYSTEM('/u/qel/xeq/errwin&')\n", "MainInit(a,b,)\n", "In MainInit\n",
                         "done MainInit\n", "InitConfigure\n", "ScreenDimensions\n",
                         "ResourcePaletteCreate\n", "CheckMess\n", "LoadDataPage\n",
                         "LoadContour\n", "MakeLoadMessage\n", "MachineState\n",
                         "\nPlease wait ... checking the controller ...\n", "ChangeCursor\n"},
                        &missing))
        << "missing or out of order: " << missing << "\n"
        << vok.child().Output();
    // The server came up with this start: the printer drivers' types
    // (request 38) go to it first, then the greeting (48).
    const auto log = box.ServerLog();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(JsonInt(log[0], "code"), 38) << log[0];
    EXPECT_EQ(JsonInt(log[0], "arg"), -1) << log[0];
    EXPECT_EQ(JsonInt(log[1], "code"), 48) << log[1];
    EXPECT_EQ(JsonInt(log[1], "arg"), 0) << log[1];
    EXPECT_EQ(JsonInt(log[1], "sender"), vok.child().pid());

    XClient xc;
    ASSERT_TRUE(xc.ok());
    EXPECT_EQ(xc.ScreenWidth(), 800);
    EXPECT_EQ(xc.ScreenHeight(), 600);
    TopWindowInfo main;
    ASSERT_TRUE(WaitUntil([&] { return (main = xc.FindTopWindow(770, 560)).id != 0; }, 5000));
    EXPECT_EQ(main.x, 0);
    EXPECT_EQ(main.y, 0);
    EXPECT_TRUE(vok.child().Running());
}

TEST(StartupE2E, WindowManagerCloseIsRefused) {
    XvfbServer x(800, 600);
    ASSERT_TRUE(x.ok());
    Sandbox box;
    WriteOfflineStation(box);
    VokRun vok(box);
    ASSERT_TRUE(vok.child().WaitForOutput("ChangeCursor\n", kStartupMs));
    XClient xc;
    TopWindowInfo main;
    ASSERT_TRUE(WaitUntil([&] { return (main = xc.FindTopWindow(770, 560)).id != 0; }, 5000));
    xc.SendDeleteWindow(main.id);
    EXPECT_TRUE(vok.child().WaitForOutput(
        "Do not use the Windows title bar 'close' ('X') to close a window. \n"
        " Use the appropriate original QEL button instead.\n",
        5000));
    EXPECT_TRUE(xc.IsMapped(main.id));
    EXPECT_TRUE(vok.child().Running());
}

TEST(StartupE2E, MissingRequiredFileQuitsAfterAKey) {
    SandboxOptions o = Sandbox::DefaultOptions();
    o.requiredFiles = false;
    Sandbox box(o);
    box.Remove("/temp");
    VokRun vok(box);
    ASSERT_TRUE(vok.child().WaitForOutput("Press Return to Quit", 10000)) << vok.child().Output();
    const std::string out = vok.child().Output();
    EXPECT_NE(out.find("Error: required folder /temp missing, creating\n"), std::string::npos);
    EXPECT_NE(out.find("Error: required file /u/qel/xeq/vtc.exe missing\n"), std::string::npos);
    EXPECT_TRUE(box.Exists("/temp"));
    EXPECT_TRUE(vok.child().Running()); // waits for the key
    vok.child().WriteStdin("\n");
    int status = 0;
    ASSERT_TRUE(vok.child().WaitExit(5000, &status));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_TRUE(box.ScriptsLog().empty()); // no script ran
}

TEST(StartupE2E, NoMessageQueueQuitsAfterAKey) {
    SandboxOptions o = Sandbox::DefaultOptions();
    o.startServer = false;
    Sandbox box(o);
    VokRun vok(box);
    ASSERT_TRUE(vok.child().WaitForOutput("Press Return to Continue", 15000))
        << vok.child().Output();
    EXPECT_NE(vok.child().Output().find("Unable to open Message System...\n"), std::string::npos);
    vok.child().WriteStdin("\n");
    int status = 0;
    ASSERT_TRUE(vok.child().WaitExit(5000, &status));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
}

TEST(StartupE2E, MissingConfigurationIsReplacedByTheDefaults) {
    XvfbServer x(800, 600);
    ASSERT_TRUE(x.ok());
    Sandbox box;
    WriteSysgenFile(box.Path("/u/qel/sys_data/files/Dsysgen.bin"), OfflineStation(), 100);
    box.WriteUart({ServoEntry()});
    VokRun vok(box);
    ASSERT_TRUE(vok.child().WaitForOutput("ChangeCursor\n", kStartupMs)) << vok.child().Output();
    const std::string out = vok.child().Output();
    EXPECT_NE(out.find("could not find sysgen.bin, copying defaults\n"), std::string::npos);
    EXPECT_NE(out.find("SYSTEM('cp /u/qel/sys_data/files/Dsysgen.bin "
                       "/u/qel/sys_data/files/sysgen.bin')"),
              std::string::npos);
    EXPECT_EQ(box.Read("/u/qel/sys_data/files/sysgen.bin"),
              box.Read("/u/qel/sys_data/files/Dsysgen.bin"));
}

} // namespace
