// The sandbox seam: re-rooting, the drive strip, commands and paths back.
#include <gtest/gtest.h>

#include "ospath.h"
#include "sandbox.h"

namespace {

TEST(OsPath, UnsetChangesNothingButTheDrive) {
    ScopedEnv s("QEL_SANDBOX", nullptr);
    EXPECT_EQ(OsPath("/u/qel/xeq/vtc.exe"), "/u/qel/xeq/vtc.exe");
    EXPECT_EQ(OsPath("C:/u/qel/xeq/vtc.exe"), "/u/qel/xeq/vtc.exe");
    EXPECT_EQ(OsPath("/C=/temp"), "/temp");
    EXPECT_EQ(OsPath("D:parts"), "parts");
    EXPECT_EQ(OsCommand("/usr/bin/xserver 12&"), "/usr/bin/xserver 12&");
    EXPECT_EQ(OsCommand("C:/u/qel/xeq/StripCr.exe \"/u/a\""), "/u/qel/xeq/StripCr.exe \"/u/a\"");
    EXPECT_EQ(OsCommand("cp /C=/u/qel/part/a \"/D=/u/tmp/b\""), "cp /u/qel/part/a \"/u/tmp/b\"");
    EXPECT_EQ(UnrootPath("/u/qel"), "/u/qel");
    EXPECT_EQ(OsRoot(), "/");
    EXPECT_EQ(OsPath("/dev/fd0"), "/dev/fd0");
}

TEST(OsPath, TheRootOfTheInstallTreeAndTheDriveStrip) {
    {
        ScopedEnv s("QEL_SANDBOX", "/sb/");
        EXPECT_EQ(OsRoot(), "/sb");
    }
    {
        ScopedEnv s("QEL_SANDBOX", "");
        EXPECT_EQ(OsRoot(), "/");
    }
    EXPECT_EQ(WithoutDrive("C:/u/qel/part"), "/u/qel/part");
    EXPECT_EQ(WithoutDrive("/D=/u/qel"), "/u/qel");
    EXPECT_EQ(WithoutDrive("/u/qel/C:/x"), "/u/qel/C:/x");
    EXPECT_EQ(WithoutDrive("part/P1"), "part/P1");
}

TEST(OsPath, SandboxReRootsFixedNamesOnly) {
    ScopedEnv s("QEL_SANDBOX", "/sb/");
    struct Case {
        const char* in;
        const char* out;
    };
    for (Case c : {Case{"/u/qel/xeq/vtc.exe", "/sb/u/qel/xeq/vtc.exe"},
                   {"/u/tmp/LastCMMMode.txt", "/sb/u/tmp/LastCMMMode.txt"},
                   {"/u", "/sb/u"},
                   {"/temp", "/sb/temp"},
                   {"/temp/x", "/sb/temp/x"},
                   {"C:/temp", "/sb/temp"},
                   {"/C=/u/qel/part", "/sb/u/qel/part"},
                   {"/usr/bin/xserver", "/sb/usr/bin/xserver"},
                   {"/usr/bin/XSRVR", "/sb/usr/bin/XSRVR"},
                   {"/usr/bin/xstop", "/sb/usr/bin/xstop"},
                   {"/dev/M_SERVO", "/sb/dev/M_SERVO"},
                   {"/dev/imbed", "/sb/dev/imbed"},
                   {"/dev/fd0", "/sb/dev/fd0"},
                   {"/dev/fd1", "/sb/dev/fd1"},
                   {"/dev/st0", "/sb/dev/st0"},
                   {"/bin/format", "/sb/bin/format"},
                   {"/dev/fd01", "/dev/fd01"},
                   {"/dev/sda", "/dev/sda"},
                   {"/usr/bin/ls", "/usr/bin/ls"},
                   {"/usr/bin/xserverx", "/usr/bin/xserverx"},
                   {"/usr", "/usr"},
                   {"/tempo", "/tempo"},
                   {"/bin/sh", "/bin/sh"},
                   {"/dev/null", "/dev/null"},
                   {"relative/u", "relative/u"}})
        EXPECT_EQ(OsPath(c.in), c.out) << c.in;
}

TEST(OsPath, CommandsMapEveryPathWord) {
    ScopedEnv s("QEL_SANDBOX", "/sb");
    struct Case {
        const char* in;
        const char* out;
    };
    for (Case c : {Case{"cp /u/qel/a /u/qel/b", "cp /sb/u/qel/a /sb/u/qel/b"},
                   {"/usr/bin/xserver 4711&", "/sb/usr/bin/xserver 4711&"},
                   {"/u/qel/xeq/errwin&", "/sb/u/qel/xeq/errwin&"},
                   {"C:/u/qel/xeq/StripCr.exe \"/u/qel/part/x\"",
                    "/sb/u/qel/xeq/StripCr.exe \"/sb/u/qel/part/x\""},
                   {"ls >/u/tmp/lst.out 2>&1", "ls >/sb/u/tmp/lst.out 2>&1"},
                   {"cp /C=/u/qel/part/a \"/D=/temp/b\"", "cp /sb/u/qel/part/a \"/sb/temp/b\""},
                   {"echo a:b /usr/lib", "echo a:b /usr/lib"},
                   {"cat x/u/qel", "cat x/u/qel"},
                   // Quoted words are mapped inside their quotes, at their start only.
                   {"cp '/u/qel/a b' \"C:/u/tmp/c\"", "cp '/sb/u/qel/a b' \"/sb/u/tmp/c\""},
                   {"drv \"queue C:/spool /u/x\" &", "drv \"queue C:/spool /u/x\" &"},
                   {"echo $(cat /u/x) ${v:-/u/x} `cat /u/x` #C:/u/x",
                    "echo $(cat /u/x) ${v:-/u/x} `cat /u/x` #C:/u/x"},
                   {"(cd /u/tmp;ls)|sort>/u/tmp/o", "(cd /sb/u/tmp;ls)|sort>/sb/u/tmp/o"},
                   {"V=/u/x a\\ /u/x /C=x", "V=/u/x a\\ /u/x /C=x"},
                   // Whether a name is re-rooted is read from the word's value.
                   {"cat \"/u\"x '/u'/qel /u\\ x", "cat \"/u\"x '/sb/u'/qel /sb/u\\ x"}})
        EXPECT_EQ(OsCommand(c.in), c.out) << c.in;
}

TEST(OsPath, SandboxFoldersThatAShellReadsAsOneName) {
    struct Case {
        const char* root;
        bool safe;
    };
    for (Case c : {Case{"/tmp/qel-test-Ab_9.x", true},
                   {"", true},
                   {"relative/dir", true},
                   {"/tmp/a b", false},
                   {"/tmp/a$(touch x)", false},
                   {"/tmp/a`x`", false},
                   {"/tmp/a;b", false},
                   {"/tmp/a'b", false},
                   {"/tmp/a\"b", false},
                   {"/tmp/a*", false},
                   {"/tmp/a~b", false},
                   {"/tmp/\xc3\xa4", false},
                   {"/tmp/a\nb", false}})
        EXPECT_EQ(SandboxRootIsSafe(c.root), c.safe) << c.root;
}

TEST(OsPath, PathsFromTheOsLoseTheRoot) {
    ScopedEnv s("QEL_SANDBOX", "/sb");
    EXPECT_EQ(UnrootPath("/sb/u/qel/part"), "/u/qel/part");
    EXPECT_EQ(UnrootPath("/sb"), "/sb");
    EXPECT_EQ(UnrootPath("/sb/work"), "/sb/work"); // not mapped in, so not mapped out
    EXPECT_EQ(UnrootPath("/sbx/u"), "/sbx/u");
    EXPECT_EQ(UnrootPath("/other"), "/other");
}

TEST(OsPath, CallsReachTheSandbox) {
    Sandbox box;
    box.Write("/u/qel/xeq/probe", "x");
    struct stat st {};
    EXPECT_EQ(os_stat("C:/u/qel/xeq/probe", &st), 0);
    EXPECT_EQ(os_mkdir("/u/tmp/newdir", 0777), 0);
    EXPECT_TRUE(box.Exists("/u/tmp/newdir"));
    ASSERT_EQ(os_chdir("/u/qel/xeq"), 0);
    EXPECT_EQ(os_getcwd(), "/u/qel/xeq");
    EXPECT_EQ(os_unlink("/u/qel/xeq/probe"), 0);
    EXPECT_FALSE(box.Exists("/u/qel/xeq/probe"));
    ASSERT_EQ(chdir("/"), 0);
}

} // namespace
