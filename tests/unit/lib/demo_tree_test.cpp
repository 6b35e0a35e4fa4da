// The demo tree's controller files, generated from their readable sources,
// as the program reads them: the servo error texts in both languages, the
// system parameters, the tool inventory, the online variant, and the media
// table with its media and the install's writer of it.
#include <gtest/gtest.h>

#include "dbservo.h"
#include "family_a.h"
#include "media.h"
#include "sandbox.h"
#include "sysgen.h"
#include "test_hooks.h"

namespace {

class DemoTreeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SysgenResetForTest();
        ServoErrorDbResetForTest();
    }
    void TearDown() override {
        ServoErrorDbResetForTest();
        SysgenResetForTest();
    }
    std::string Error(int n) {
        char text[80];
        int proc = 0, disp = 0;
        if (GetServoError(n, 1, &proc, &disp, text, sizeof text) != 0) return "?";
        return text;
    }
    Sandbox box;
};

TEST_F(DemoTreeTest, ServoTextsInBothLanguages) {
    std::string error;
    ASSERT_TRUE(box.LayOutDemo(&error)) << error;
    ASSERT_EQ(InitServoErrorDb(), 0);
    EXPECT_EQ(ServoErrorCount(), 257);
    EXPECT_EQ(Error(0), "X following error too large");
    EXPECT_EQ(Error(64), "drive not ready");
    EXPECT_EQ(Error(193), "reference mark not found, axis 2");
    EXPECT_EQ(Error(256), "TF12 B3");
    EXPECT_EQ(Error(10), "TF00 B0") << "a number without its own line";
    FreeServoData();

    box.WriteSysgen({{0, IntItem(1)}}, 100);
    ASSERT_EQ(InitConfigure(), 0);
    ASSERT_EQ(InitServoErrorDb(), 0);
    EXPECT_EQ(Error(5), "Y fin de course atteinte");
    EXPECT_EQ(Error(65), "arr\xEAt d'urgence enclench\xE9") << "ISO 8859-1";
    FreeServoData();
}

TEST_F(DemoTreeTest, SystemParametersAndInventory) {
    std::string error;
    ASSERT_TRUE(box.LayOutDemo(&error)) << error;
    ASSERT_EQ(FamilyA::ServoParam(), 1);
    EXPECT_EQ(FamilyA::SysParTable[0], 2000);
    EXPECT_EQ(FamilyA::SysParTable[9], 0x10);
    EXPECT_EQ(FamilyA::SysParTable[21], -400);
    EXPECT_EQ(FamilyA::SysParTable[98], 7);
    EXPECT_EQ(FamilyA::SysParTable[99], 0);
    for (const char* file : {"ToolInvList", "TIL.ACR1"})
        EXPECT_EQ(box.Read(std::string("/u/qel/run_data/toolchange/") + file).rfind("T1 ", 0), 0u)
            << file;
    // Offline, without a changer; online with changer type 1.
    ASSERT_EQ(InitConfigure(), 0);
    EXPECT_EQ(GetSysgenInt(3), 2);
    EXPECT_EQ(GetSysgenInt(26), 0);
    Sandbox online;
    ASSERT_TRUE(online.LayOutDemo(&error, true)) << error;
    ASSERT_EQ(InitConfigure(), 0);
    EXPECT_EQ(GetSysgenInt(3), 0);
    EXPECT_EQ(GetSysgenInt(26), 1);
    EXPECT_EQ(GetSysgenInt(0), 0) << "the rest as the source says";
    EXPECT_EQ(std::string(GetSysgenStr(96)), "colors.QEL");
}

TEST_F(DemoTreeTest, MediaTableAndItsMedia) {
    std::string error;
    ASSERT_TRUE(box.LayOutDemo(&error)) << error;
    std::string bytes;
    ASSERT_EQ(ReadMediaFile("test", kMediaFile, &bytes), InstallFile::kRead);
    const MediaTable table = ParseMediaTable(bytes);
    ASSERT_EQ(table.records.size(), 3u);
    EXPECT_TRUE(table.rest.empty());
    std::vector<std::string> offered;
    for (const MediaRecord& r : SelectableMedia(bytes)) offered.push_back(MediaDevice(r));
    EXPECT_EQ(offered, (std::vector<std::string>{"/dev/fd0", "/dev/st0"}));
    EXPECT_EQ(MediaDevice(table.records[2]), "/dev/fd1");
    EXPECT_EQ(MediaEnable(table.records[2]), 0);
    for (const MediaRecord& r : table.records) {
        EXPECT_TRUE(box.Exists(MediaDevice(r))) << MediaDevice(r);
        EXPECT_EQ(box.Read(MediaDevice(r)), "");
    }
    // The stand-in of the install's writer puts the table back.
    box.Remove(kMediaFile);
    ASSERT_EQ(std::system(("\"" + box.Path("/u/qel/xeq/transmedia.exe") + "\"").c_str()), 0);
    EXPECT_EQ(box.Read(kMediaFile), bytes);
}

} // namespace
