// Archives on removable media: the tar commands as the shell splits them
// (every operand one word, whatever it holds), the command's size limit,
// where a member lands and which ones are never written, what a chosen
// folder member brings, the split by what exists, and the diskette
// estimate in 64 bits.
#include <gtest/gtest.h>

#include "archive.h"
#include "ospath.h"
#include "sandbox.h"

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Names = std::vector<std::string>;

// The words the shell makes of a command (after the sandbox's mapping),
// each in brackets: the command's program replaced by printf.
std::string Words(const std::string& command) {
    const std::string mapped = OsCommand(command);
    const size_t blank = mapped.find(' ');
    const std::string shell = "printf '[%s]' " + mapped.substr(blank + 1);
    FILE* p = popen(shell.c_str(), "r");
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

TEST(ArchiveCommands, EveryOperandIsOneWord) {
    Sandbox box;
    const std::string root = box.root();
    struct Case {
        Names paths;
        std::string words; // after "[-C][<root>][-cvf][<device>][--no-unquote][--]"
    };
    const Case cases[] = {
        {{"/u/qel/part/A", "/u/qel/part/B/prog"}, "[u/qel/part/A][u/qel/part/B/prog]"},
        {{"/u/qel/part/a b;touch PWNED"}, "[u/qel/part/a b;touch PWNED]"},
        {{"/u/qel/part/$(touch PWNED)", "/u/qel/part/`id`"},
         "[u/qel/part/$(touch PWNED)][u/qel/part/`id`]"},
        {{"/u/qel/part/it's \"q\""}, "[u/qel/part/it's \"q\"]"},
        {{"/-rf", "//u/qel/x"}, "[-rf][u/qel/x]"},
        {{"C:/u/qel/part/P1", "/"}, "[u/qel/part/P1][.]"},
    };
    for (const Case& c : cases) {
        const std::string cmd = BackupCommand("/dev/fd0", c.paths);
        EXPECT_EQ(Words(cmd),
                  "[-C][" + root + "][-cvf][" + root + "/dev/fd0][--no-unquote][--]" + c.words)
            << cmd;
    }
    EXPECT_FALSE(box.Exists("/PWNED"));
    EXPECT_EQ(BackupCommand("/dev/fd 0", {"/u/qel/part/A"}),
              "tar -C " + root + " -cvf '/dev/fd 0' --no-unquote -- u/qel/part/A");

    // Translated part root: the archive holds the translated path.
    const std::string parts = root + "/parts";
    {
        ScopedEnv p("QELPART", parts.c_str());
        EXPECT_EQ(Words(BackupCommand("/dev/fd0", {"/u/qel/part/P1/"})),
                  "[-C][" + root + "][-cvf][" + root + "/dev/fd0][--no-unquote][--][" +
                      parts.substr(1) + "/P1/]");
    }

    EXPECT_EQ(Words(RestoreCommand("/dev/st0")),
              "[-C][" + root + "][-xvf][" + root + "/dev/st0][--no-recursion][--no-unquote]" +
                  "[--verbatim-files-from][-T][" + root + "/u/tmp/res.out]");
}

TEST(ArchiveCommands, WithoutASandboxTarWorksFromTheRoot) {
    ScopedEnv none("QEL_SANDBOX", nullptr);
    EXPECT_EQ(BackupCommand("/dev/fd0", {"/u/qel/part/A", "/u/qel/part/B/prog"}),
              "tar -C / -cvf /dev/fd0 --no-unquote -- u/qel/part/A u/qel/part/B/prog");
    EXPECT_EQ(RestoreCommand("/dev/st0"), "tar -C / -xvf /dev/st0 --no-recursion --no-unquote "
                                          "--verbatim-files-from -T /u/tmp/res.out");
}

TEST(ArchiveCommands, AtMost128KiBReachTheShell) {
    ScopedEnv none("QEL_SANDBOX", nullptr);
    EXPECT_TRUE(CommandFits(std::string(128 * 1024 - 1, 'x')));
    EXPECT_FALSE(CommandFits(std::string(128 * 1024, 'x')));
    // Measured as the sandbox maps it.
    ScopedEnv box("QEL_SANDBOX", "/sandbox");
    const std::string cmd = "tar -cvf /dev/fd0 -- " + std::string(128 * 1024 - 25, 'x');
    ASSERT_LT(cmd.size(), 128u * 1024);
    EXPECT_FALSE(CommandFits(cmd));
}

TEST(ArchiveMembers, WhereAMemberLands) {
    struct Case {
        const char* member;
        const char* place; // nullptr: never written
    };
    const Case anywhere[] = {
        {"u/qel/part/A/x", "/u/qel/part/A/x"},
        {"/u/qel/part/A/x", "/u/qel/part/A/x"},
        {"//u/qel/part/A/", "/u/qel/part/A/"},
        {"u/qel/a..b/x", "/u/qel/a..b/x"},
        {"etc/x", "/etc/x"},
        {"../x", nullptr},
        {"u/qel/../../x", nullptr},
        {"u/qel/..", nullptr},
        {"/", nullptr},
        {"", nullptr},
    };
    ScopedEnv none("QEL_SANDBOX", nullptr);
    for (const Case& c : anywhere) {
        std::string place = "unchanged";
        EXPECT_EQ(MemberPlace(c.member, &place), c.place != nullptr) << c.member;
        if (c.place) {
            EXPECT_EQ(place, c.place) << c.member;
        }
    }
    // In a sandbox only what the sandbox re-roots.
    ScopedEnv box("QEL_SANDBOX", "/sandbox");
    std::string place, why;
    EXPECT_FALSE(MemberPlace("etc/x", &place, &why));
    EXPECT_EQ(why, "outside the sandbox");
    EXPECT_FALSE(MemberPlace("usr/lib/x", &place));
    EXPECT_TRUE(MemberPlace("u/tmp/x", &place));
    EXPECT_TRUE(MemberPlace("/temp/x", &place));
    EXPECT_EQ(place, "/temp/x");
    EXPECT_FALSE(MemberPlace("u/../etc/x", &place, &why));
    EXPECT_EQ(why, "a \"..\" in its name");
}

TEST(ArchiveMembers, AChosenFolderBringsWhatIsListedBelowIt) {
    const Names listed = {"u/qel/A/", "u/qel/A/x", "u/qel/A/sub/", "u/qel/A/sub/y",
                          "u/qel/Ab", "u/qel/B/z", "u/qel/A/x"};
    struct Case {
        Names chosen;
        Names members;
    };
    const Case cases[] = {
        {{"u/qel/A/"}, {"u/qel/A/", "u/qel/A/x", "u/qel/A/sub/", "u/qel/A/sub/y"}},
        {{"u/qel/A/sub/", "u/qel/B/z"}, {"u/qel/A/sub/", "u/qel/A/sub/y", "u/qel/B/z"}},
        {{"u/qel/B/z", "u/qel/A/x"}, {"u/qel/A/x", "u/qel/B/z"}},
        {{"u/qel/C/", "not/listed"}, {}},
        {{}, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(ExpandChosen(listed, c.chosen), c.members);
}

TEST(ArchiveMembers, SplitByWhatExistsAtThePlace) {
    Sandbox box;
    box.Write("/u/qel/part/a/x", "old");
    ASSERT_EQ(symlink("/nowhere", box.Path("/u/qel/part/a/link").c_str()), 0);
    testing::internal::CaptureStdout();
    const MemberSplit split =
        SplitMembers({"u/qel/part/a/x", "u/qel/part/a/y", "/u/qel/part/a/", "u/qel/part/b/z",
                      "u/qel/part/a/link", "../x", "etc/passwd"},
                     "RestCheckExisting");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(split.existing, (Names{"u/qel/part/a/x", "/u/qel/part/a/", "u/qel/part/a/link"}));
    EXPECT_EQ(split.missing, (Names{"u/qel/part/a/y", "u/qel/part/b/z"}));
    EXPECT_NE(out.find("RestCheckExisting: ../x left out: a \"..\" in its name"), std::string::npos)
        << out;
    EXPECT_NE(out.find("RestCheckExisting: etc/passwd left out: outside the sandbox"),
              std::string::npos)
        << out;
}

TEST(ArchiveEstimate, DiskettesOfBothKinds) {
    struct Case {
        uint64_t total, big, small;
    };
    const Case cases[] = {
        {0, 1, 1},
        {1199999, 1, 1},
        {1200000, 1, 2},
        {1439999, 1, 2},
        {1440000, 2, 2},
        {(1ull << 31) + 1, 1492, 1790},
        {1ull << 40, 763550, 916260},
    };
    for (const Case& c : cases) {
        const DisketteCounts n = DiskettesFor(c.total);
        EXPECT_EQ(n.big, c.big) << c.total;
        EXPECT_EQ(n.small, c.small) << c.total;
    }
}

TEST(ArchiveEstimate, TheSetsFilesAddedUpIn64Bits) {
    Sandbox box;
    box.Write("/u/qel/part/A/a", std::string(1000, 'a'));
    box.Write("/u/qel/part/A/sub/b", std::string(440000, 'b'));
    box.Write("/u/qel/part/B/prog", std::string(5, 'p'));
    ASSERT_EQ(symlink(box.Path("/u/qel/part/B/prog").c_str(), box.Path("/u/qel/part/A/l").c_str()),
              0);
    EXPECT_EQ(SetSize({"/u/qel/part/A/", "/u/qel/part/B/prog"}), 441005u);
    EXPECT_EQ(SetSize({"/u/qel/part/A", "/u/qel/part/A/a"}), 442000u);
    EXPECT_EQ(SetSize({"/u/qel/part/none", ""}), 0u);
    EXPECT_EQ(SetSize({}), 0u);

    // A sparse file of 3 GiB: no room taken, but its size counts whole.
    box.Write("/u/qel/part/C/big", "");
    const int big = open(box.Path("/u/qel/part/C/big").c_str(), O_WRONLY);
    ASSERT_GE(big, 0);
    ASSERT_EQ(ftruncate(big, 3ll << 30), 0);
    close(big);
    EXPECT_EQ(SetSize({"/u/qel/part/C"}), 3ull << 30);
    const DisketteCounts n = DiskettesFor(SetSize({"/u/qel/part/C"}));
    EXPECT_EQ(n.big, 2237u);
    EXPECT_EQ(n.small, 2685u);
}

TEST(ArchiveStatus, ToolStatusTexts) {
    EXPECT_EQ(ToolStatusText("tar", 2 << 8), "tar: exit status 2");
    EXPECT_EQ(ToolStatusText("/bin/format", 9), "/bin/format: signal 9");
    EXPECT_EQ(ToolStatusText("tar", -1), "tar: not run");
}

} // namespace
