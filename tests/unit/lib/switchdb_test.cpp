// Switch database: the mapping through DBswitch and its bounds, the
// plot-colour names and paper sizes with and without their files, and the
// English tables of a second language.
#include <gtest/gtest.h>

#include "records_text.h"
#include "sandbox.h"
#include "switchdb.h"
#include "sysgen.h"
#include "test_hooks.h"

namespace {

const char* const kDb = "/u/qel/database/";

class SwitchDbTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SysgenResetForTest();
        SwitchDbResetForTest();
    }
    void TearDown() override {
        SwitchDbResetForTest();
        SysgenResetForTest();
    }
    void UseLanguage(int n) {
        box.WriteSysgen({{0, IntItem(n)}}, 100);
        ASSERT_EQ(InitConfigure(), 0);
    }
    void WriteTexts(char letter, const std::vector<std::string>& texts) {
        box.Write(std::string(kDb) + letter + "switch.data", SwitchRecordBytes(texts));
    }
    void WriteIndex(const std::vector<int>& records) {
        box.Write(std::string(kDb) + "DBswitch.data", SwitchIndexBytes(records));
    }
    // Switches 318 .. 326 mapped to records 1 .. 9 of these texts.
    void WriteColorSwitches(char letter, const std::vector<std::string>& nine) {
        std::vector<int> index(326, 0);
        for (int i = 0; i < 9; ++i) index[317 + i] = i + 1;
        WriteIndex(index);
        WriteTexts(letter, nine);
    }
    Sandbox box;
};

TEST_F(SwitchDbTest, TextsThroughTheIndexWithinBounds) {
    UseLanguage(0);
    box.Write(std::string(kDb) + "eswitch.data",
              SwitchRecordBytes({"ZERO", "ONE", std::string(25, 'X'), "THREE"}) + "PARTIAL");
    WriteIndex({2, 1, 0, 5, 3, -1, 4});
    ASSERT_EQ(InitSwitchDb(), 0);
    struct Case {
        int n;
        std::string expect;
    };
    const Case cases[] = {
        {1, "ONE"},
        {2, "ZERO"},
        {3, ""},                   // record 0: none
        {4, ""},                   // record 5: beyond the 4 records
        {5, std::string(24, 'X')}, // a full record reads 24 characters
        {6, ""},
        {7, "THREE"},
        {0, ""},
        {-1, ""},
        {8, ""}, // outside the switches
        {4999, ""},
        {5999, ""},
        {7000, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(GetSwitchText(c.n), c.expect) << c.n;
    EXPECT_STREQ(GetSwitchTextEng(1), ""); // language 0: no English tables
}

TEST_F(SwitchDbTest, PlotColorNamesFromTheFile) {
    UseLanguage(0);
    WriteColorSwitches('e', {"FIRST", "B", "C", "D", "E", "F", "G", "H", "I"});
    box.Write("/u/qel/def_data/misc/eplotcolors", "1 NOTUSED x *\n");
    box.Write("/u/qel/usr_data/misc/eplotcolors", "! plot colours\n"
                                                  "1 BLACK black *\n"
                                                  "2 WHITE white *\n"
                                                  "3 RED red\n" // no fallback: still counts
                                                  "x BAD b c\n"
                                                  "4 ONLY\n"
                                                  "\n"
                                                  "5 " +
                                                      std::string(30, 'L') + " grey *\n");
    ASSERT_EQ(InitSwitchDb(), 0);
    const std::vector<std::string> expect = {"FIRST", "BLACK", "WHITE", "RED",
                                             std::string(24, 'L')};
    for (size_t k = 0; k < expect.size(); ++k)
        EXPECT_EQ(GetSwitchText(5000 + static_cast<int>(k)), expect[k]) << k;
    EXPECT_STREQ(GetSwitchText(5000 + 5), "");

    EXPECT_EQ(FindPlotColor("WHITE"), 2);
    EXPECT_EQ(FindPlotColor("FIRST"), 0);
    EXPECT_EQ(FindPlotColor("white"), 16); // exact comparison
    EXPECT_EQ(FindPlotColor("NOTUSED"), 16);
    EXPECT_EQ(PlotColorFromEnglish, 0);
}

TEST_F(SwitchDbTest, AtMost149NamesFollowTheFirstEntry) {
    UseLanguage(0);
    WriteColorSwitches('e', {"FIRST", "B", "C", "D", "E", "F", "G", "H", "I"});
    std::string text;
    for (int i = 1; i <= 200; ++i) text += std::to_string(i) + " N" + std::to_string(i) + " c *\n";
    box.Write("/u/qel/def_data/misc/eplotcolors", text);
    ASSERT_EQ(InitSwitchDb(), 0);
    EXPECT_STREQ(GetSwitchText(5000), "FIRST");
    EXPECT_STREQ(GetSwitchText(5001), "N1");
    EXPECT_STREQ(GetSwitchText(5149), "N149");
    EXPECT_STREQ(GetSwitchText(5150), "");
    EXPECT_EQ(FindPlotColor("N149"), 149);
    EXPECT_EQ(FindPlotColor("N150"), 16);
}

TEST_F(SwitchDbTest, PlotColorFileFollowsTheUserRoot) {
    UseLanguage(0);
    WriteColorSwitches('e', {"FIRST", "B", "C", "D", "E", "F", "G", "H", "I"});
    ScopedEnv user("QELUSER", "/u/site");
    box.Write("/u/qel/usr_data/misc/eplotcolors", "1 UNTRANSLATED x *\n");
    box.Write("/u/site/misc/eplotcolors", "1 SITE x *\n");
    ASSERT_EQ(InitSwitchDb(), 0);
    EXPECT_STREQ(GetSwitchText(5001), "SITE");
}

TEST_F(SwitchDbTest, DefaultsWithoutColorAndPaperFiles) {
    UseLanguage(0);
    const std::vector<std::string> nine = {"K0", "K1", "K2", "K3", "K4", "K5", "K6", "K7", "K8"};
    WriteColorSwitches('e', nine);
    ASSERT_EQ(InitSwitchDb(), 0);
    for (int k = 0; k < 9; ++k) EXPECT_EQ(GetSwitchText(5000 + k), nine[k]) << k;
    EXPECT_STREQ(GetSwitchText(5009), "");
    EXPECT_EQ(FindPlotColor("K8"), 8);
    EXPECT_STREQ(GetSwitchText(6000), "A");
    EXPECT_STREQ(GetSwitchText(6001), "");
}

TEST_F(SwitchDbTest, PaperSizesFromTheFile) {
    UseLanguage(0);
    std::string paper = "! paper sizes\n\n\r\n  A4 portrait\nB\n" + std::string(30, 'P') + "\n";
    for (int i = 0; i < 40; ++i) paper += "S" + std::to_string(i) + "\n";
    box.Write("/u/qel/def_data/printers/PAPER", paper);
    ASSERT_EQ(InitSwitchDb(), 0);
    EXPECT_STREQ(GetSwitchText(6000), "A4");
    EXPECT_STREQ(GetSwitchText(6001), "B");
    EXPECT_EQ(GetSwitchText(6002), std::string(24, 'P'));
    EXPECT_STREQ(GetSwitchText(6003), "S0");
    EXPECT_STREQ(GetSwitchText(6029), "S26"); // 30 entries at most
    EXPECT_STREQ(GetSwitchText(6030), "");
}

TEST_F(SwitchDbTest, SecondLanguageKeepsEnglishTables) {
    box.Write(std::string(kDb) + "fswitch.data", "x"); // makes language 1 count
    UseLanguage(1);
    WriteColorSwitches('f', {"NOIR", "B", "C", "D", "E", "F", "G", "H", "I"});
    WriteTexts('e', {"BLACK", "B", "C", "D", "E", "F", "G", "H", "I"});
    box.Write("/u/qel/def_data/misc/fplotcolors", "1 NOIR black *\n2 BLANC white *\n");
    box.Write("/u/qel/def_data/misc/eplotcolors", "1 BLACK black *\n2 WHITE white *\n");
    box.Write("/u/qel/def_data/printers/PAPER", "A4\n");
    ASSERT_EQ(InitSwitchDb(), 0);

    EXPECT_STREQ(GetSwitchText(318), "NOIR");
    EXPECT_STREQ(GetSwitchTextEng(318), "BLACK");
    EXPECT_STREQ(GetSwitchText(5002), "BLANC");
    EXPECT_STREQ(GetSwitchTextEng(5000), "BLACK");
    EXPECT_STREQ(GetSwitchTextEng(5002), "WHITE");
    EXPECT_STREQ(GetSwitchTextEng(6000), "A4");

    EXPECT_EQ(FindPlotColor("BLANC"), 2);
    EXPECT_EQ(PlotColorFromEnglish, 0);
    EXPECT_EQ(FindPlotColor("WHITE"), 2);
    EXPECT_EQ(PlotColorFromEnglish, 1);
    EXPECT_EQ(FindPlotColor("GREY"), 16);
    EXPECT_EQ(PlotColorFromEnglish, 0);
}

TEST_F(SwitchDbTest, MissingFilesGiveEmptyTablesAndLoadOnce) {
    box.Write(std::string(kDb) + "fswitch.data", "x"); // language 1 counts; no whole record
    UseLanguage(1);
    testing::internal::CaptureStdout();
    ASSERT_EQ(InitSwitchDb(), 0);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, std::string("InitSwitchDb: unable to read ") + kDb + "DBswitch.data\n" +
                       "InitSwitchDb: unable to read " + kDb + "eswitch.data\n");
    EXPECT_STREQ(GetSwitchText(1), "");
    EXPECT_STREQ(GetSwitchText(5000), ""); // the nine defaults are empty texts
    EXPECT_STREQ(GetSwitchText(5008), "");
    EXPECT_STREQ(GetSwitchText(5009), "");
    EXPECT_STREQ(GetSwitchTextEng(1), "");

    // Loaded once: files that appear later are not read.
    WriteIndex({1});
    WriteTexts('f', {"LATE"});
    testing::internal::CaptureStdout();
    EXPECT_EQ(InitSwitchDb(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_STREQ(GetSwitchText(1), "");
}

} // namespace
