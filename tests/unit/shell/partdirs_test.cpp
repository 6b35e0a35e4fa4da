// Part folders of a run: the folder table read from dirfile, and the
// current part's missing subfolders made from it; the file size of the run
// screens.
#include <gtest/gtest.h>

#include "filelists.h"
#include "mainmenu.h"
#include "partsel.h"
#include "sandbox.h"

#include <string>
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

TEST(PartDirs, FileSize) {
    Sandbox box;
    box.Write("/u/qel/part/P1/program/llf", "12345");
    box.Write("/u/qel/part/P1/program/empty", "");
    EXPECT_EQ(FileSize("/u/qel/part/P1/program/llf"), 5);
    EXPECT_EQ(FileSize("/u/qel/part/P1/program/empty"), 0);
    EXPECT_EQ(FileSize("/u/qel/part/P1/program/none"), 0);
}

} // namespace
