// Configuration store: getters and their defaults, reloads, string records.
#include <gtest/gtest.h>

#include "sandbox.h"
#include "sysgen.h"
#include "test_hooks.h"

#include <cstring>

namespace {

class SysgenTest : public ::testing::Test {
  protected:
    void SetUp() override { SysgenResetForTest(); }
    void TearDown() override { SysgenResetForTest(); }
    Sandbox box;
};

TEST_F(SysgenTest, ItemsBeyondTheFileReadTheirDefaults) {
    box.WriteSysgen({{3, IntItem(2)}, {6, StrItem("SIX")}, {9, RealItem(1.5)}}, 10);
    ASSERT_EQ(InitConfigure(), 0);
    EXPECT_EQ(SysgenRecordCount(), 10);
    struct IntCase {
        int item;
        int expect;
    };
    for (IntCase c : {IntCase{3, 2},
                      {4, 0},
                      {-1, 0},
                      {53, 4},
                      {58, 4},
                      {60, 2},
                      {85, 2},
                      {95, 1},
                      {59, 1},
                      {54, 0},
                      {96, 0},
                      {56, 0},
                      {200, 0}})
        EXPECT_EQ(GetSysgenInt(c.item), c.expect) << "item " << c.item;
    EXPECT_DOUBLE_EQ(GetSysgenReal(9), 1.5);
    EXPECT_DOUBLE_EQ(GetSysgenReal(11), 0.0);
    EXPECT_STREQ(GetSysgenStr(6), "SIX");
    struct StrCase {
        int item;
        const char* expect;
    };
    for (StrCase c : {StrCase{96, "colors.RI"},
                      {56, "14"},
                      {69, "A"},
                      {79, "A"},
                      {87, "BLACK"},
                      {89, "GREEN"},
                      {94, "YELLOW"}})
        EXPECT_STREQ(GetSysgenStr(c.item), c.expect) << "item " << c.item;
    EXPECT_EQ(GetSysgenStr(55), nullptr);
    EXPECT_EQ(GetSysgenStr(57), nullptr);
}

TEST_F(SysgenTest, PartialRecordIsLoadedButNotCounted) {
    box.WriteSysgen({{0, IntItem(0)}}, 1, 36); // 100 bytes
    ASSERT_EQ(InitConfigure(), 0);
    EXPECT_EQ(SysgenRecordCount(), 1);
    EXPECT_EQ(GetSysgenInt(1), 0);
    EXPECT_EQ(GetSysgenStr(1), nullptr);
}

TEST_F(SysgenTest, FailedLoadsKeepThePreviousStore) {
    box.WriteSysgen({{3, IntItem(7)}}, 10);
    ASSERT_EQ(InitConfigure(), 0);

    box.Write("/u/qel/sys_data/files/sysgen.bin", ""); // empty
    EXPECT_EQ(InitConfigure(), -240);
    EXPECT_EQ(GetSysgenInt(3), 7);

    box.Remove("/u/qel/sys_data/files/sysgen.bin"); // missing
    EXPECT_EQ(InitConfigure(), -240);
    EXPECT_EQ(GetSysgenInt(3), 7);

    // A folder in its place can be stat'ed but not read.
    box.Write("/u/qel/sys_data/files/sysgen.bin/x", "x");
    testing::internal::CaptureStdout();
    EXPECT_EQ(InitConfigure(), -131);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("InitConfigure: unable to read"),
              std::string::npos);
    EXPECT_EQ(GetSysgenInt(3), 7);
    EXPECT_EQ(SysgenRecordCount(), 10);
}

TEST_F(SysgenTest, ReloadSeesChangesAndKeepsPointersOfTheSameSize) {
    box.WriteSysgen({{6, StrItem("OLD")}}, 10);
    ASSERT_EQ(InitConfigure(), 0);
    const char* before = GetSysgenStr(6);
    box.WriteSysgen({{6, StrItem("NEW")}}, 10);
    ASSERT_EQ(InitConfigure(), 0);
    EXPECT_EQ(GetSysgenStr(6), before);
    EXPECT_STREQ(before, "NEW");

    box.WriteSysgen({{6, StrItem("LONGER")}}, 20);
    ASSERT_EQ(InitConfigure(), 0);
    EXPECT_EQ(SysgenRecordCount(), 20);
    EXPECT_STREQ(GetSysgenStr(6), "LONGER");

    CloseSysgen();
    EXPECT_EQ(SysgenRecordCount(), 0);
    EXPECT_EQ(GetSysgenStr(6), nullptr);
    EXPECT_EQ(GetSysgenInt(53), 4);
    CloseSysgen(); // nothing held: harmless
}

TEST_F(SysgenTest, HeldTextsKeepTheirBoundAcrossASameSizeReload) {
    // Records without a NUL: each text must end at its record's last byte.
    box.Write(kSysgenPath, std::string(3 * 64, 'x'));
    ASSERT_EQ(InitConfigure(), 0);
    const char* middle = GetSysgenStr(1);
    const char* last = GetSysgenStr(2);
    ASSERT_EQ(std::strlen(middle), 63u);
    ASSERT_EQ(std::strlen(last), 63u);

    // Held across the reload, not asked for again: the load alone bounds
    // them (the last one would otherwise run past the store's end).
    box.Write(kSysgenPath, std::string(3 * 64, 'y'));
    ASSERT_EQ(InitConfigure(), 0);
    EXPECT_EQ(std::string(middle), std::string(63, 'y'));
    EXPECT_EQ(std::string(last), std::string(63, 'y'));
}

TEST_F(SysgenTest, StringRecordsAreTrimmedInPlaceAndBounded) {
    box.WriteSysgen({{1, StrItem("ABC   ")},
                     {2, StrItem("      ")},
                     {3, StrItem("")},
                     {4, StrItem(std::string(64, 'x'))}},
                    5);
    ASSERT_EQ(InitConfigure(), 0);
    EXPECT_STREQ(GetSysgenStr(1), "ABC");
    EXPECT_STREQ(GetSysgenStr(1), "ABC");
    EXPECT_STREQ(GetSysgenStr(2), " ");
    EXPECT_STREQ(GetSysgenStr(3), " "); // written blank-padded: one blank stays
    EXPECT_EQ(std::strlen(GetSysgenStr(4)), 63u);
}

TEST_F(SysgenTest, LanguageCountsOnlyWithItsSwitchTexts) {
    box.WriteSysgen({{0, IntItem(2)}}, 10);
    ASSERT_EQ(InitConfigure(), 0);
    EXPECT_EQ(GetSysgenInt(0), 0); // gswitch.data missing
    box.Write("/u/qel/database/gswitch.data", "");
    EXPECT_EQ(GetSysgenInt(0), 0); // empty
    box.Write("/u/qel/database/gswitch.data", "x");
    EXPECT_EQ(GetSysgenInt(0), 2);

    // The nine languages end with 8 (Chinese, letter 'm'). Outside them a
    // value reads as English even where a switch-text file has the letter
    // that 'e' + value would give.
    struct Case {
        int value;
        const char* letterFile; // written with text, or null
        int expect;
    };
    for (Case c : {Case{8, "mswitch.data", 8},
                   {9, "nswitch.data", 0},
                   {-1, "dswitch.data", 0},
                   {-101, nullptr, 0}}) {
        if (c.letterFile) box.Write(std::string("/u/qel/database/") + c.letterFile, "x");
        box.WriteSysgen({{0, IntItem(c.value)}}, 10);
        ASSERT_EQ(InitConfigure(), 0);
        EXPECT_EQ(GetSysgenInt(0), c.expect) << c.value;
        EXPECT_EQ(LibLanguage(), c.expect) << c.value;
    }
}

TEST_F(SysgenTest, LanguageLookupLoadsTheStoreWhenItWasReleased) {
    box.WriteSysgen({{0, IntItem(1)}}, 10);
    box.Write("/u/qel/database/fswitch.data", "x");
    ASSERT_EQ(SysgenRecordCount(), 0);
    EXPECT_EQ(LibLanguage(), 1);
    EXPECT_EQ(SysgenRecordCount(), 10);
}

} // namespace
