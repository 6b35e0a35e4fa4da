// The list loaders of the file screens in a list widget: what each shows,
// that a row shows what fits of a name while the name stays whole, that a
// failed listing leaves no earlier names on show, and the archive listing
// with nothing selected.
#include <gtest/gtest.h>

#include "gui.h"
#include "listfill.h"
#include "mainmenu.h"
#include "makers.h"

#include <Xm/List.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

Names NamesOf(const std::vector<ArchiveMember>& members) {
    Names names;
    for (const ArchiveMember& m : members) names.push_back(m.name);
    return names;
}

class ListFillTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(gui_.ok());
        Widget big = MakeBigWorkWindow();
        list_ = MakeScrolledList(big, 10, 110, 700, 14);
        XtManageChild(big);
    }
    const Sandbox& Box() const { return gui_.box(); }
    GuiSession gui_;
    Widget list_ = nullptr;
};

TEST_F(ListFillTest, FoldersRowsAndFailures) {
    const std::string longName = std::string(80, 'n') + ".txt";
    Box().Write("/u/qel/part/P1/stat/a.txt", "x");
    Box().Write("/u/qel/part/P1/stat/x.E1", "x");
    Box().Write("/u/qel/part/P1/stat/" + longName, "x");
    Box().Write("/u/qel/part/P1/stat/sub/.keep", "");
    Names names{"earlier"};
    EXPECT_EQ(FillDirList(list_, &names, "/u/qel/part/P1/stat/"), 1);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Names{"a.txt", longName, "sub/"}));
    Names rows = ListItems(list_);
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (Names{"a.txt", longName.substr(0, 71), "sub/"}));
    EXPECT_EQ(SelectedPositions(list_), std::vector<int>{1});
    EXPECT_EQ(XmGetFocusWidget(list_), list_);

    EXPECT_EQ(FillEditList(list_, &names, "/u/qel/part/P1/stat/"), 1);
    EXPECT_EQ(names.size(), 3u); // x.E1 is hidden here too, the rest shown

    // An empty folder, then a listing that fails: no earlier names show.
    Box().Write("/u/qel/part/P2/.keep", "");
    EXPECT_EQ(FillDirList(list_, &names, "/u/qel/part/P2/"), 0);
    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(ListItems(list_).empty());
    FillDirList(list_, &names, "/u/qel/part/P1/stat/");
    ASSERT_EQ(ListItems(list_).size(), 3u);
    Box().Write("/u/qel/shell/dols", "#!/bin/sh\nexit 1\n");
    EXPECT_EQ(FillDirList(list_, &names, "/u/qel/part/P1/stat/"), 0);
    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(ListItems(list_).empty());
}

TEST_F(ListFillTest, TopListAndArchive) {
    CurrentPart = "P1";
    Box().Write("/u/qel/def_data/misc/fu.cp", "P1/stat\n\n");
    Names names;
    FillTopList(list_, &names, "fu.cp");
    EXPECT_EQ(names, (Names{"P1/", "part/", "P1/stat/"}));
    EXPECT_EQ(ListItems(list_), names);

    Box().Write("/src/P1/stat/a b.txt", "x");
    const std::string tar = "tar cf '" + Box().Path("/u/tmp/a.tar") + "' -C '" +
                            Box().Path("/src") + "' P1 >/dev/null 2>&1";
    ASSERT_EQ(std::system(tar.c_str()), 0);
    std::vector<ArchiveMember> members;
    EXPECT_EQ(FillTarList(list_, &members, "/u/tmp/a.tar"), 0);
    EXPECT_EQ(NamesOf(members), (Names{"P1/", "P1/stat/", "P1/stat/a b.txt"}));
    EXPECT_EQ(members[2].type, '-');
    EXPECT_EQ(ListItems(list_), NamesOf(members));
    EXPECT_TRUE(SelectedPositions(list_).empty());
}

std::vector<std::string> Shown;
int RecordShown(const std::string& text) {
    Shown.push_back(text);
    return 1;
}

TEST_F(ListFillTest, ArchivesThatFailAndDevicesRefused) {
    // A medium that holds no archive: tar fails, the operator is told with
    // which status, and nothing of the earlier listing shows.
    Box().Write("/u/tmp/junk.tar", std::string(2048, 'j'));
    std::vector<ArchiveMember> members{{"earlier"}};
    ListSetNames(list_, {"earlier"});
    Shown.clear();
    testing::internal::CaptureStdout();
    EXPECT_EQ(FillTarList(list_, &members, "/u/tmp/junk.tar", RecordShown), 1);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(members.empty());
    EXPECT_TRUE(ListItems(list_).empty());
    EXPECT_EQ(Shown, (Names{"tar: exit status 2 \nL100"}));
    EXPECT_NE(out.find("FillTarList: tar: exit status 2"), std::string::npos) << out;

    // An archive cut short: the members listed before the failure stay.
    for (int i = 0; i < 8; ++i)
        Box().Write("/src/P1/f" + std::to_string(i),
                    std::string(20000, static_cast<char>('a' + i)));
    const std::string tar = "tar cf '" + Box().Path("/u/tmp/cut.tar") + "' -C '" +
                            Box().Path("/src") + "' P1 >/dev/null 2>&1";
    ASSERT_EQ(std::system(tar.c_str()), 0);
    Box().Write("/u/tmp/cut.tar", Box().Read("/u/tmp/cut.tar").substr(0, 70000));
    Shown.clear();
    EXPECT_EQ(FillTarList(list_, &members, "/u/tmp/cut.tar", RecordShown), 1);
    ASSERT_GE(members.size(), 3u);
    EXPECT_LT(members.size(), 9u);
    EXPECT_EQ(members[0].name, "P1/");
    EXPECT_EQ(ListItems(list_), NamesOf(members));
    EXPECT_EQ(Shown.size(), 1u);

    // No device, or (in the sandbox) one that the sandbox does not re-root:
    // refused without tar, naming the media table.
    for (const char* device : {"", "/tmp/fd0"}) {
        Shown.clear();
        members = {{"earlier"}};
        testing::internal::CaptureStdout();
        EXPECT_EQ(FillTarList(list_, &members, device, RecordShown), -1) << device;
        const std::string refused = testing::internal::GetCapturedStdout();
        EXPECT_EQ(refused.find("SYSTEM("), std::string::npos) << refused;
        EXPECT_TRUE(members.empty());
        EXPECT_TRUE(ListItems(list_).empty());
        EXPECT_EQ(Shown, (Names{"/u/qel/sys_data/files/media.bin L155\nL100"}));
    }
}

TEST_F(ListFillTest, AtMost5000RowsOfWholeNames) {
    Names many;
    for (int i = 0; i < 5001; ++i) many.push_back("N" + std::to_string(i));
    ListSetNames(list_, many);
    const Names rows = ListItems(list_);
    ASSERT_EQ(rows.size(), 5000u);
    EXPECT_EQ(rows.back(), "N4999");
    EXPECT_EQ(GetInt(list_, XmNtopItemPosition), 1);
}

} // namespace
