// The list loaders against the listing-script stand-in and GNU tar in a
// sandbox: the part folders, list files, a folder's entries for the file
// screens, the top lists, archive listings, and what kind of file a path
// names. The scratch files of an earlier listing never show as a new one,
// and names reach the scripts as one word each, whatever they hold.
#include <gtest/gtest.h>

#include "filelists.h"
#include "sandbox.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <vector>

namespace {

using Names = std::vector<std::string>;

Names Sorted(Names n) {
    std::sort(n.begin(), n.end());
    return n;
}

// A listing script that writes nothing and fails.
void BreakListScript(const Sandbox& box) {
    box.Write("/u/qel/shell/dols", "#!/bin/sh\nexit 1\n");
    chmod(box.Path("/u/qel/shell/dols").c_str(), 0755);
}

TEST(ReadDirList, ThePartFolders) {
    Sandbox box;
    box.Write("/u/qel/part/P1/program/llf", "");
    box.Write("/u/qel/part/P2/.keep", "");
    box.Write("/u/qel/part/notes.txt", "x");
    Names names{"earlier"};
    testing::internal::CaptureStdout();
    EXPECT_EQ(ReadDirList("/u/qel/part/", &names), 0);
    const std::string out = testing::internal::GetCapturedStdout();
    // The listing script lists what is there; the selection tests each name.
    EXPECT_EQ(Sorted(names), (Names{"P1", "P2", "notes.txt"}));
    EXPECT_NE(out.find("SYSTEM('/u/qel/shell/dols /u/qel/part/ /u/tmp/lst.out')"),
              std::string::npos)
        << out;
    const Names log = box.ScriptsLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "dols " + box.Path("/u/qel/part/") + " " + box.Path("/u/tmp/lst.out"));
    EXPECT_FALSE(box.Exists("/u/tmp/lst.out"));
}

TEST(ReadDirList, FailuresAnswerNoNames) {
    Sandbox box;
    Names names{"earlier"};
    EXPECT_EQ(ReadDirList("/u/qel/part/", &names), 201); // nothing there
    EXPECT_TRUE(names.empty());

    // A script that writes nothing leaves no listing: the last one is gone
    // before it runs.
    box.Write("/u/qel/part/P1/.keep", "");
    box.Write("/u/tmp/lst.out", "STALE\n");
    BreakListScript(box);
    names = {"earlier"};
    testing::internal::CaptureStdout();
    EXPECT_EQ(ReadDirList("/u/qel/part/", &names), 126);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(names.empty());
    EXPECT_NE(out.find("ReadDirList: no listing of /u/qel/part/\n"), std::string::npos) << out;
}

TEST(ReadDirList, TheTranslatedPartRootAndNamesTheShellMustNotSplit) {
    Sandbox box;
    // A part root whose path holds a blank, with hostile folder names.
    const std::string parts = box.root() + "/my parts";
    ScopedEnv part("QELPART", parts.c_str());
    const Names odd = {"my dir", "x;touch PWNED", "it's", "$(touch PWNED2)", "-n", "*"};
    for (const std::string& n : odd) box.Write("/my parts/" + n + "/.keep", "");
    Names names;
    testing::internal::CaptureStdout();
    ASSERT_EQ(ReadDirList("/u/qel/part/", &names), 0);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(Sorted(names), Sorted(odd));
    EXPECT_NE(out.find("dols '" + parts + "/' /u/tmp/lst.out"), std::string::npos) << out;
    for (const char* made : {"/PWNED", "/PWNED2", "/my parts/PWNED", "/u/tmp/PWNED"})
        EXPECT_FALSE(box.Exists(made)) << made;
    struct stat st {};
    EXPECT_NE(stat("PWNED", &st), 0);
}

TEST(ReadPartList, ListedNamesThatArePartFolders) {
    Sandbox box;
    for (const char* p : {"P1", "P2", " P3", "my part"})
        box.Write(std::string("/u/qel/part/") + p + "/.keep", "");
    box.Write("/u/qel/part/plain", "x");
    const struct {
        const char* name;
        std::string text;
        Names names;
    } cases[] = {
        {"file order, CR LF, last line without LF",
         "P2\r\nP1\n\nmy part\nP1",
         {"P2", "P1", "my part", "P1"}},
        // A listed name is taken as it stands: leading blanks are part of it.
        {"leading blanks", "  P1\n P3\n", {" P3"}},
        {"not folders, no text", "plain\nP9\n   \n\t\n", {}},
        {"empty", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        box.Write("/u/qel/usr_data/misc/parts", c.text);
        Names names{"earlier"};
        EXPECT_EQ(ReadPartList("/u/qel/usr_data/misc/parts", &names), 0);
        EXPECT_EQ(names, c.names);
    }
    Names names{"earlier"};
    EXPECT_EQ(ReadPartList("/u/qel/usr_data/misc/none", &names), 126);
    EXPECT_TRUE(names.empty());

    // Opened through the user-data translation.
    const std::string user = box.root() + "/user";
    ScopedEnv u("QELUSER", user.c_str());
    box.Write("/user/misc/parts", "P1\n");
    EXPECT_EQ(ReadPartList("/u/qel/usr_data/misc/parts", &names), 0);
    EXPECT_EQ(names, Names{"P1"});
}

class ListFolderTest : public testing::Test {
  protected:
    void SetUp() override {
        for (const std::string& f :
             {std::string("a.txt"), std::string("x.E1"), std::string("x.E"), std::string("x.E12"),
              std::string("status.dat"), std::string("b.R2"), n60, n72, std::string("my file")})
            box.Write(kFolder + f, "x");
        box.Write(kFolder + "sub/.keep", "");
        box.Write(kFolder + "old.E/.keep", "");
    }
    const std::string kFolder = "/u/qel/part/P1/stat/";
    const std::string n60 = std::string(56, 'n') + ".txt";
    const std::string n72 = std::string(72, 'm');
    Sandbox box;
};

TEST_F(ListFolderTest, ShownNamesFoldersAndHiddenNames) {
    const struct {
        ListRule rule;
        Names names;
    } cases[] = {
        {ListRule::kDir, {"a.txt", "status.dat", "sub/", n60, n72, "my file"}},
        {ListRule::kEdit, {"a.txt", "x.E", "x.E12", "sub/", "old.E/", n60, n72, "my file"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule == ListRule::kDir ? "copy, delete, backup, print" : "edit");
        Names names{"earlier"};
        bool sub = false;
        ASSERT_TRUE(ListFolder(kFolder, c.rule, &names, &sub));
        EXPECT_EQ(Sorted(names), Sorted(c.names));
        EXPECT_TRUE(sub);
    }
}

TEST_F(ListFolderTest, SubfoldersEmptyFoldersAndAFailingScript) {
    Names names;
    bool sub = true;
    box.Write("/u/qel/part/P1/program/llf", "x");
    ASSERT_TRUE(ListFolder("/u/qel/part/P1/program/", ListRule::kDir, &names, &sub));
    EXPECT_EQ(names, Names{"llf"});
    EXPECT_FALSE(sub);

    // Only a hidden folder: none shown, yet the folder has a subfolder.
    box.Write("/u/qel/part/P2/x.E/.keep", "");
    ASSERT_TRUE(ListFolder("/u/qel/part/P2/", ListRule::kDir, &names, &sub));
    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(sub);

    box.Write("/u/qel/part/P3/.keep", "");
    ASSERT_TRUE(ListFolder("/u/qel/part/P3/", ListRule::kDir, &names, &sub));
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(sub);

    BreakListScript(box);
    names = {"earlier"};
    testing::internal::CaptureStdout();
    EXPECT_FALSE(ListFolder(kFolder, ListRule::kDir, &names, &sub));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(names.empty());
    EXPECT_NE(out.find("ListFolder: no listing of " + kFolder), std::string::npos) << out;
}

// Which names are folders is read from the folder itself; a link counts as
// what it leads to, and a name the folder does not hold is no folder.
TEST_F(ListFolderTest, FoldersLinksAndTheTranslatedRoot) {
    box.Write("/u/qel/part/P4/real/.keep", "");
    box.Write("/u/qel/part/P4/file", "x");
    ASSERT_EQ(symlink("real", box.Path("/u/qel/part/P4/todir").c_str()), 0);
    ASSERT_EQ(symlink("file", box.Path("/u/qel/part/P4/tofile").c_str()), 0);
    ASSERT_EQ(symlink("nothing", box.Path("/u/qel/part/P4/gone").c_str()), 0);
    Names names;
    bool sub = false;
    ASSERT_TRUE(ListFolder("/u/qel/part/P4/", ListRule::kDir, &names, &sub));
    EXPECT_EQ(Sorted(names), (Names{"file", "gone", "real/", "todir/", "tofile"}));

    // A listing script that names what is not there.
    box.Write("/u/qel/shell/dols", "#!/bin/sh\nprintf 'real\\nghost\\n' > \"$2\"\n");
    ASSERT_TRUE(ListFolder("/u/qel/part/P4/", ListRule::kDir, &names, &sub));
    EXPECT_EQ(names, (Names{"real/", "ghost"}));

    // The folder read through the part root's translation.
    box.Write("/parts/P5/deep/.keep", "");
    box.Write("/parts/P5/flat", "x");
    box.Write("/u/qel/shell/dols", "#!/bin/sh\nls -1 \"$1\" > \"$2\"\n");
    ScopedEnv root("QELPART", box.Path("/parts").c_str());
    ASSERT_TRUE(ListFolder("/u/qel/part/P5/", ListRule::kDir, &names, &sub));
    EXPECT_EQ(Sorted(names), (Names{"deep/", "flat"}));
    EXPECT_TRUE(sub);
}

TEST(TopListNames, CurrentPartPartRootAndTheMiscList) {
    Sandbox box;
    const struct {
        const char* name;
        const char* usr; // nullptr: no file
        const char* def;
        const char* key;
        const char* part;
        Names names;
    } cases[] = {
        {"no key, no part", nullptr, nullptr, "", "", {"part/"}},
        {"no key", "x\n", "y\n", "", "P1", {"P1/", "part/"}},
        {"user list wins",
         "P1/stat\n\nbackup\r\nlast",
         "def\n",
         "fu.cp",
         "P1",
         {"P1/", "part/", "P1/stat/", "backup/", "last/"}},
        {"default list", nullptr, "def\n", "fu.cp", "", {"part/", "def/"}},
        {"a line with its own /",
         "usr_data/sub/\nflat\n",
         nullptr,
         "fu.cp",
         "",
         {"part/", "usr_data/sub/", "flat/"}},
        {"no list", nullptr, nullptr, "fu.cp", "P1", {"P1/", "part/"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        box.Remove("/u/qel/usr_data/misc/fu.cp");
        box.Remove("/u/qel/def_data/misc/fu.cp");
        if (c.usr) box.Write("/u/qel/usr_data/misc/fu.cp", c.usr);
        if (c.def) box.Write("/u/qel/def_data/misc/fu.cp", c.def);
        EXPECT_EQ(TopListNames(c.key, c.part), c.names);
    }
}

TEST(ListArchive, MembersAsTheyAreNamedWithTheirTypes) {
    Sandbox box;
    const std::string deep = "P1/stat/" + std::string(120, 'd') + "/f";
    const Names odd = {"P1/a b/it's x.txt", "P1/a -> b", "P1/q\"uote\\d \\n", "P1/line\nfeed",
                       "P1/ lead",          "P1/tail ",  "P1/\xe9t\xe9"};
    for (const std::string& name : odd) box.Write("/src/" + name, "x");
    box.Write("/src/" + deep, "x");
    ASSERT_EQ(symlink("/etc -> x", box.Path("/src/P1/sym -> link").c_str()), 0);
    box.Write("/src/P1/orig", "x");
    ASSERT_EQ(link(box.Path("/src/P1/orig").c_str(), box.Path("/src/P1/zhard").c_str()), 0);
    ASSERT_EQ(mkfifo(box.Path("/src/P1/fifo").c_str(), 0600), 0);
    const std::string tar = "tar cf '" + box.Path("/u/tmp/archive.tar") + "' -C '" +
                            box.Path("/src") + "' P1 >/dev/null 2>&1";
    ASSERT_EQ(std::system(tar.c_str()), 0);
    box.Write("/u/tmp/tar.out", "STALE\n");

    std::vector<ArchiveMember> members;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(ListArchive("/u/tmp/archive.tar", &members));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("SYSTEM('tar --numeric-owner --quoting-style=c -tvf /u/tmp/archive.tar "
                       ">/u/tmp/tar.out')"),
              std::string::npos)
        << out;
    std::map<std::string, ArchiveMember> byName;
    for (const ArchiveMember& m : members) byName[m.name] = m;
    EXPECT_EQ(byName.size(), members.size());
    for (const std::string& name : odd) {
        ASSERT_EQ(byName.count(name), 1u) << name;
        EXPECT_EQ(byName[name].type, '-') << name;
    }
    EXPECT_EQ(byName.count(deep), 1u);
    EXPECT_EQ(byName["P1/a b/"].type, 'd');
    EXPECT_EQ(byName["P1/"].type, 'd');
    EXPECT_EQ(byName["P1/sym -> link"].type, 'l');
    EXPECT_EQ(byName["P1/sym -> link"].target, "/etc -> x");
    EXPECT_EQ(byName["P1/fifo"].type, 'p');
    // tar stores the second name of one file as a hard link to the first.
    const bool hardFirst = byName["P1/zhard"].type == 'h';
    const ArchiveMember& hard = hardFirst ? byName["P1/zhard"] : byName["P1/orig"];
    EXPECT_EQ(hard.type, 'h');
    EXPECT_EQ(hard.target, hardFirst ? "P1/orig" : "P1/zhard");
    EXPECT_EQ(byName.count("STALE"), 0u);
    EXPECT_EQ(out.find("names no member"), std::string::npos) << out;

    // A device that holds no archive: no names, and the console says why.
    box.Write("/u/tmp/tar.out", "STALE\n");
    members = {{"earlier"}};
    testing::internal::CaptureStdout();
    EXPECT_FALSE(ListArchive("/u/tmp/none.tar", &members));
    const std::string failed = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(members.empty());
    EXPECT_NE(failed.find("ListArchive: tar ended with status 2"), std::string::npos) << failed;
}

TEST(FileType, KindsOfFile) {
    Sandbox box;
    box.Write("/u/qel/part/P1/f", "x");
    ASSERT_EQ(mkfifo(box.Path("/u/tmp/fifo").c_str(), 0600), 0);
    EXPECT_EQ(FileType("/u/qel/part/none"), 0);
    EXPECT_EQ(FileType("/u/qel/part/P1"), 1);
    EXPECT_EQ(FileType("/u/qel/part/P1/f"), 2);
    EXPECT_EQ(FileType("/dev/null"), 3);
    EXPECT_EQ(FileType("/u/tmp/fifo"), 5);
    // Through the part-root translation.
    const std::string parts = box.root() + "/parts";
    ScopedEnv p("QELPART", parts.c_str());
    box.Write("/parts/P2/f", "x");
    EXPECT_EQ(FileType("/u/qel/part/P2"), 1);
    EXPECT_EQ(FileType("/u/qel/part/P1"), 0);
    if (mknod(box.Path("/u/tmp/blk").c_str(), S_IFBLK | 0600, makedev(7, 200)) != 0)
        GTEST_SKIP() << "no block device can be made here";
    EXPECT_EQ(FileType("/u/tmp/blk"), 4);
}

} // namespace
