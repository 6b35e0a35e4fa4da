// Part folders of a run: the folder table read from dirfile, and the
// current part's missing subfolders made from it; the file size of the run
// screens; the bounds of the existence test and the partname file's write.
#include <gtest/gtest.h>

#include "filelists.h"
#include "mainmenu.h"
#include "partsel.h"
#include "sandbox.h"

#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Names = std::vector<std::string>;

TEST(PartDirs, FolderTableFromDirfile) {
    Sandbox box;
    const std::string long48(48, 'n');
    const struct {
        const char* name;
        std::string text;
        Names table;
    } cases[] = {
        {"lines", "buffer\ncad\r\nstat", {"buffer", "cad", "stat"}},
        {"empty second line", "buffer\n\ncad\n", {"buffer"}},
        {"empty first line", "\nbuffer\n", {}},
        // A line that fills its piece is no reason to end the table.
        {"48 characters", long48 + "\ncad\n", {long48, "cad"}},
        {"longer lines in pieces",
         std::string(50, 'm') + "\ncad\n",
         {std::string(48, 'm'), "mm", "cad"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        box.Write("/u/qel/database/dirfile", c.text);
        EXPECT_EQ(ReadDirfile(), 1);
        EXPECT_EQ(PartFolderTable, c.table);
    }
    std::string many;
    for (int i = 0; i < 25; ++i) many += "f" + std::to_string(i) + "\n";
    box.Write("/u/qel/database/dirfile", many);
    ASSERT_EQ(ReadDirfile(), 1);
    ASSERT_EQ(PartFolderTable.size(), 19u);
    EXPECT_EQ(PartFolderTable.back(), "f18");
}

TEST(PartDirs, MissingSubfoldersOfTheCurrentPartAreMade) {
    Sandbox box;
    CurrentPart = "P1";
    box.Write("/u/qel/part/P1/program/llf", "x\n");
    box.Remove("/u/qel/database/dirfile");
    EXPECT_EQ(MakePartDirs(), 0);
    EXPECT_FALSE(box.Exists("/u/qel/part/P1/stat"));

    box.Write("/u/qel/database/dirfile", "program\nstat\nplot\n");
    EXPECT_EQ(MakePartDirs(), 1);
    EXPECT_TRUE(box.Exists("/u/qel/part/P1/stat"));
    EXPECT_TRUE(box.Exists("/u/qel/part/P1/plot"));
    // What was there stays.
    EXPECT_EQ(box.Read("/u/qel/part/P1/program/llf"), "x\n");
}

TEST(PartDirs, FoldersAreMadeUnderTheTranslatedPartRoot) {
    Sandbox box;
    const std::string parts = box.root() + "/parts";
    ScopedEnv p("QELPART", parts.c_str());
    box.Write("/parts/P1/program/llf", "x\n");
    MakeMissingFolders("P1", PartSubdirTable);
    for (const std::string& sub : PartSubdirTable)
        EXPECT_TRUE(box.Exists("/parts/P1/" + sub)) << sub;
    EXPECT_EQ(PartSubdirTable.size(), 9u);
    EXPECT_FALSE(box.Exists("/u/qel/part/P1"));
    EXPECT_EQ(box.Read("/parts/P1/program/llf"), "x\n");
}

TEST(PartDirs, FileExistsBounds) {
    Sandbox box;
    // An existing path of more than 512 characters answers 0; a shorter one
    // answers 1.
    std::string deep = "/u/tmp";
    while (deep.size() < 500) deep += "/" + std::string(100, 'd');
    box.Write(deep + "/f", "x");
    const std::string shorter = deep.substr(0, deep.rfind('/'));
    struct stat st {};
    ASSERT_EQ(stat(box.Path(deep + "/f").c_str(), &st), 0);
    EXPECT_GT(std::string("C:" + deep + "/f").size(), 512u);
    EXPECT_EQ(FileExists(deep + "/f"), 0);
    EXPECT_EQ(FileExists(shorter), 1);
    EXPECT_EQ(FileExists(""), 0);
    // Three characters or fewer: tested as they stand.
    EXPECT_EQ(FileExists("/u"), 1);
    EXPECT_EQ(FileExists("/x"), 0);
}

// The existence test answers for the file that the type and size tests see,
// wherever the part and user trees lie and whether or not the install's
// drive is named. Each row has the file where the translation puts it and a
// shorter copy in the other tree, which no test may take for it.
TEST(PartDirs, ExistenceTypeAndSizeSeeTheSameFile) {
    Sandbox box;
    const std::string parts = box.root() + "/parts";
    const std::string users = box.root() + "/users";
    const char* const llf = "/u/qel/part/P1/program/llf";
    const char* const misc = "/u/qel/usr_data/misc/f";
    const struct {
        const char* name;
        bool movePart, moveUser;
        const char* drive; // QEL_Win_Install_Drive, null unset
        std::string asked, file, decoy;
    } cases[] = {
        {"in place", false, false, nullptr, llf, llf, "/parts/P1/program/llf"},
        {"in place, drive C:", false, false, "C:", llf, llf, "/parts/P1/program/llf"},
        {"part tree moved", true, false, nullptr, llf, "/parts/P1/program/llf", llf},
        {"part tree moved, drive C:", true, false, "C:", llf, "/parts/P1/program/llf", llf},
        {"part tree moved, drive D:", true, false, "D:", llf, "/parts/P1/program/llf", llf},
        {"part tree moved, drive empty", true, false, "", llf, "/parts/P1/program/llf", llf},
        {"user tree moved", false, true, nullptr, misc, "/users/misc/f", misc},
        {"user tree moved, drive C:", false, true, "C:", misc, "/users/misc/f", misc},
        {"both moved, user file", true, true, nullptr, misc, "/users/misc/f", misc},
        {"both moved, part file", true, true, nullptr, llf, "/parts/P1/program/llf", llf},
        // A path on the named drive is translated; without the variable a
        // drive path stays in the install tree, for all three alike.
        {"drive path, drive C:", true, false, "C:", std::string("C:") + llf,
         "/parts/P1/program/llf", llf},
        {"drive path, no drive", true, false, nullptr, std::string("C:") + llf, llf,
         "/parts/P1/program/llf"},
        {"drive path, other drive", true, false, "D:", std::string("C:") + llf, llf,
         "/parts/P1/program/llf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedEnv p("QELPART", c.movePart ? parts.c_str() : nullptr);
        ScopedEnv u("QELUSER", c.moveUser ? users.c_str() : nullptr);
        ScopedEnv d("QEL_Win_Install_Drive", c.drive);
        box.Write(c.file, "12345");
        box.Write(c.decoy, "123");
        EXPECT_EQ(FileExists(c.asked), 1);
        EXPECT_EQ(FileType(c.asked), 2);
        EXPECT_EQ(FileSize(c.asked), 5);
        box.Remove(c.file);
        EXPECT_EQ(FileExists(c.asked), 0);
        EXPECT_EQ(FileType(c.asked), 0);
        EXPECT_EQ(FileSize(c.asked), 0);
        box.Remove(c.decoy);
    }
}

TEST(PartDirs, PartnameIsWrittenWithoutALineEnd) {
    Sandbox box;
    EXPECT_TRUE(WritePartname("PartSelectOk", "P1"));
    EXPECT_EQ(box.Read("/u/qel/sys_data/files/partname"), "P1");
    EXPECT_TRUE(WritePartname("PartSelectOk", "P2"));
    EXPECT_EQ(box.Read("/u/qel/sys_data/files/partname"), "P2");
    // A partname that cannot be written says so on the console.
    box.Remove("/u/qel/sys_data/files/partname");
    box.Write("/u/qel/sys_data/files/partname/x", "");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(WritePartname("CreatePart", "P3"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "CreatePart: unable to write /u/qel/sys_data/files/partname\n");
    // A full disk shows only when the file is closed.
    box.Remove("/u/qel/sys_data/files/partname");
    ASSERT_EQ(symlink("/dev/full", box.Path("/u/qel/sys_data/files/partname").c_str()), 0);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(WritePartname("PartSelectOk", "P4"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "PartSelectOk: unable to write /u/qel/sys_data/files/partname\n");
}

TEST(PartDirs, FileSize) {
    Sandbox box;
    box.Write("/u/qel/part/P1/program/llf", "12345");
    box.Write("/u/qel/part/P1/program/empty", "");
    EXPECT_EQ(FileSize("/u/qel/part/P1/program/llf"), 5);
    EXPECT_EQ(FileSize("/u/qel/part/P1/program/empty"), 0);
    EXPECT_EQ(FileSize("/u/qel/part/P1/program/none"), 0);
}

} // namespace
