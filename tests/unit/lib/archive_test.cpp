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
using Members = std::vector<ArchiveMember>;

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
        {"u/qel/a\nb", nullptr},
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
    // A folder is known by its "/", by its type, or by a member below it:
    // another tar lists folders without their "/".
    const Members listed = {
        {"u/qel/A/", 'd'}, {"u/qel/A/x"},      {"u/qel/A/sub/", 'd'}, {"u/qel/A/sub/y"},
        {"u/qel/Ab"},      {"u/qel/B/z"},      {"u/qel/A/x"},         {"u/qel/D", 'd'},
        {"u/qel/D/x"},     {"u/qel/D/s", 'd'}, {"u/qel/D/s/y"},       {"u/qel/E"},
        {"u/qel/E/y"},     {"u/qel/E.old"},    {"u/qel/F", 'd'},      {"u/qel/G", 'l', "F"},
        {"u/qel/G/x"},
    };
    struct Case {
        Names chosen;
        Names members;
    };
    const Case cases[] = {
        {{"u/qel/A/"}, {"u/qel/A/", "u/qel/A/x", "u/qel/A/sub/", "u/qel/A/sub/y"}},
        {{"u/qel/A/sub/", "u/qel/B/z"}, {"u/qel/A/sub/", "u/qel/A/sub/y", "u/qel/B/z"}},
        {{"u/qel/B/z", "u/qel/A/x"}, {"u/qel/A/x", "u/qel/B/z"}},
        {{"u/qel/D"}, {"u/qel/D", "u/qel/D/x", "u/qel/D/s", "u/qel/D/s/y"}},
        {{"u/qel/D/s"}, {"u/qel/D/s", "u/qel/D/s/y"}},
        {{"u/qel/E"}, {"u/qel/E", "u/qel/E/y"}},
        {{"u/qel/F"}, {"u/qel/F"}},
        // A link is no folder, whatever is listed below it.
        {{"u/qel/G"}, {"u/qel/G", "u/qel/G/x"}},
        {{"u/qel/C/", "not/listed", "u/qel/A"}, {}},
        {{}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExpandChosen(listed, c.chosen), c.members) << testing::PrintToString(c.chosen);
}

TEST(ArchiveListing, EachLineAMemberWithItsType) {
    struct Case {
        const char* line;
        bool ok;
        char type;
        std::string name, target;
    };
    const Case cases[] = {
        {R"(-rw-r--r-- 0/0              10 2024-01-01 12:00 "u/qel/part/a/x")", true, '-',
         "u/qel/part/a/x", ""},
        {R"(drwxr-xr-x 1000/100          0 2024-01-01 12:00 "u/qel/part/a/")", true, 'd',
         "u/qel/part/a/", ""},
        // Blanks, an arrow, quotes and backslashes in a plain file's name.
        {R"(-rw-r--r-- 0/0 3 2024-01-01 12:00 "  a -> b \"q\" \\")", true, '-', "  a -> b \"q\" \\",
         ""},
        {R"(lrwxrwxrwx 0/0 0 2024-01-01 12:00 "u/qel/l -> x" -> "/etc -> y")", true, 'l',
         "u/qel/l -> x", "/etc -> y"},
        {R"(hrw-r--r-- 0/0 0 2024-01-01 12:00 "u/qel/h" link to "u/qel/a\"b")", true, 'h',
         "u/qel/h", "u/qel/a\"b"},
        // Whatever language tar speaks, the target is the second C string.
        {R"(hrw-r--r-- 0/0 0 2024-01-01 12:00 "u/qel/h" lien vers "u/qel/x")", true, 'h', "u/qel/h",
         "u/qel/x"},
        {R"(prw-r--r-- 0/0 0 2024-01-01 12:00 "u/qel/p")", true, 'p', "u/qel/p", ""},
        {R"(crw-r--r-- 0/0 1,3 2024-01-01 12:00 "u/qel/c")", true, 'c', "u/qel/c", ""},
        // An out-of-range time is one number; escapes of every kind.
        {R"(-rw-r--r-- 0/0 1  8589934597 "a\nb\tc\001\3777\r\a\b\f\v\?")", true, '-',
         std::string("a\nb\tc\001\377"
                     "7\r\a\b\f\v?"),
         ""},
        {R"(-rw-r--r-- 0/0 1 2024-01-01 12:00 "")", true, '-', "", ""},
        {R"(V--------- 0/0 0 2024-01-01 12:00 "label" --Volume Header--)", true, 'V', "label", ""},
        {R"(-rw-r--r-- 0/0 1 2024-01-01 12:00 u/qel/x)", false, 0, "", ""},
        {R"(-rw-r--r-- 0/0 1 2024-01-01 12:00 "u/qel/x)", false, 0, "", ""},
        {R"(-rw-r--r-- 0/0 1 2024-01-01 12:00 "u/qel/x\)", false, 0, "", ""},
        {R"(-rw-r--r-- 0/0 1 2024-01-01 12:00 "\777")", false, 0, "", ""},
        {R"(lrwxrwxrwx 0/0 0 2024-01-01 12:00 "u/qel/l" -> /etc)", false, 0, "", ""},
        {R"("u/qel/x")", false, 0, "", ""},
        {"", false, 0, "", ""},
    };
    for (const Case& c : cases) {
        ArchiveMember m{"unchanged", '?', "unchanged"};
        EXPECT_EQ(ParseListingLine(c.line, &m), c.ok) << c.line;
        if (!c.ok) {
            EXPECT_EQ(m.name, "unchanged") << c.line;
            continue;
        }
        EXPECT_EQ(m.type, c.type) << c.line;
        EXPECT_EQ(m.name, c.name) << c.line;
        EXPECT_EQ(m.target, c.target) << c.line;
    }
}

TEST(ArchiveMembers, SplitByWhatExistsAtThePlace) {
    Sandbox box;
    box.Write("/u/qel/part/a/x", "old");
    box.Write("/u/qel/part/f", "a file where the archive has a folder");
    box.Write("/u/tmp/out/keep", "outside the tree");
    ASSERT_EQ(symlink("/nowhere", box.Path("/u/qel/part/a/link").c_str()), 0);
    ASSERT_EQ(symlink(box.Path("/u/tmp/out").c_str(), box.Path("/u/qel/part/plant").c_str()), 0);
    ASSERT_EQ(symlink(box.Path("/u/qel/part/a").c_str(), box.Path("/u/qel/part/in").c_str()), 0);
    const Members listed = {
        {"u/qel/part/a/x"},
        {"u/qel/part/a/y"},
        {"/u/qel/part/a/", 'd'},
        {"u/qel/part/b/z"},
        {"u/qel/part/a/link"},
        {"u/qel/part/f/", 'd'},
        {"../x"},
        {"etc/passwd"},
        {"u/tmp/out/x"},
        {"u/qel/part/plant/x"},
        {"u/qel/part/in/x"},
        {"u/qel/part/s", 'l', "/etc"},
        {"u/qel/part/p", 'p'},
        {"u/qel/part/c", 'c'},
        {"u/qel/part/v", 'V'},
        // Two members of one place: tar extracts both.
        {"u/qel/part/twice"},
        {"u/qel/part/twice/", 'l', "/etc"},
        // Hard links: to a file that this split writes, listed before it;
        // out of the tree; to a file listed after it; to one left out.
        {"u/qel/part/h1", 'h', "u/qel/part/a/y"},
        {"u/qel/part/h2", 'h', "u/tmp/out/keep"},
        {"u/qel/part/h3", 'h', "u/qel/part/later"},
        {"u/qel/part/later"},
        {"u/qel/part/h4", 'h', "u/qel/part/plant/x"},
    };
    Names brought;
    for (const ArchiveMember& m : listed) brought.push_back(m.name);
    brought.push_back("u/qel/part/unlisted");
    testing::internal::CaptureStdout();
    const MemberSplit split = SplitMembers(brought, listed, "RestCheckExisting");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(split.existing, (Names{"u/qel/part/a/x", "/u/qel/part/a/", "u/qel/part/a/link",
                                     "u/qel/part/f/", "u/qel/part/in/x"}));
    EXPECT_EQ(split.missing,
              (Names{"u/qel/part/a/y", "u/qel/part/b/z", "u/qel/part/h1", "u/qel/part/later"}));
    const std::vector<std::pair<std::string, std::string>> left = {
        {"../x", "a \"..\" in its name"},
        {"etc/passwd", "outside the sandbox"},
        {"u/tmp/out/x", "outside the install tree"},
        {"u/qel/part/plant/x", "below a link that leads out of the install tree"},
        {"u/qel/part/s", "a symbolic link to /etc"},
        {"u/qel/part/p", "a FIFO"},
        {"u/qel/part/c", "a character device"},
        {"u/qel/part/v", "of type 'V', no plain file or folder"},
        {"u/qel/part/twice", "in the place of \"u/qel/part/twice/\", a symbolic link to /etc"},
        {"u/qel/part/twice/", "a symbolic link to /etc"},
        {"u/qel/part/h2", "a hard link to u/tmp/out/keep, which this restore does not write"},
        {"u/qel/part/h3", "a hard link to u/qel/part/later, which this restore does not write"},
        {"u/qel/part/h4", "a hard link to u/qel/part/plant/x, which this restore does not write"},
        {"u/qel/part/unlisted", "not in the archive's listing"},
    };
    ASSERT_EQ(split.leftOut.size(), left.size());
    for (size_t i = 0; i < left.size(); ++i) {
        EXPECT_EQ(split.leftOut[i].name, left[i].first);
        EXPECT_EQ(split.leftOut[i].why, left[i].second) << left[i].first;
        EXPECT_NE(out.find("RestCheckExisting: " + left[i].first + " left out: " + left[i].second),
                  std::string::npos)
            << out;
    }

    // The operator kept a hard link's target as it is: the link goes too.
    Names missing = {"u/qel/part/h1", "u/qel/part/b/z"};
    Names existing = {"u/qel/part/a/x"};
    testing::internal::CaptureStdout();
    const std::vector<LeftOutMember> dropped =
        DropUnwrittenLinkTargets(&missing, &existing, listed, "RestTar");
    const std::string tarOut = testing::internal::GetCapturedStdout();
    EXPECT_EQ(missing, (Names{"u/qel/part/b/z"}));
    EXPECT_EQ(existing, (Names{"u/qel/part/a/x"}));
    ASSERT_EQ(dropped.size(), 1u);
    EXPECT_EQ(dropped[0].name, "u/qel/part/h1");
    EXPECT_NE(tarOut.find("RestTar: u/qel/part/h1 left out: a hard link to u/qel/part/a/y"),
              std::string::npos)
        << tarOut;
    missing = {"u/qel/part/h1", "u/qel/part/a/y"};
    EXPECT_TRUE(DropUnwrittenLinkTargets(&missing, &existing, listed, "RestTar").empty());
    EXPECT_EQ(missing.size(), 2u);
}

TEST(ArchiveMembers, TheOperatorIsToldWhatIsLeftOut) {
    std::vector<LeftOutMember> left = {{"u/qel/a", "a FIFO"}, {"u/qel/b c", "a block device"}};
    EXPECT_EQ(LeftOutText(left, "L70", "L100"),
              "\"u/qel/a\": a FIFO\n\"u/qel/b c\": a block device\nL70 \nL100");
    for (int i = 0; i < 11; ++i) left.push_back({"m" + std::to_string(i), "a FIFO"});
    const std::string text = LeftOutText(left, "L70", "L100");
    EXPECT_NE(text.find("\"m7\": a FIFO\n(3 more on the console)\nL70 \nL100"), std::string::npos)
        << text;
    EXPECT_EQ(text.find("\"m8\""), std::string::npos) << text;
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
