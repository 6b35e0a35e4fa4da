// Label texts and the settings cache (no X server): the pieces of the label
// file, missing labels, the items ReadSysgen caches, the default store copy,
// the reload on a language change, IsOnline and the terminal settings.
#include <gtest/gtest.h>

#include "labels.h"
#include "language.h"
#include "sandbox.h"
#include "settings.h"
#include "sysgen.h"
#include "test_hooks.h"
#include "vok.h"

#include <cstring>

namespace {

const char* const kEnglish = "/u/qel/database/evok.data";
const char* const kFrench = "/u/qel/database/fvok.data";

class LabelsTest : public ::testing::Test {
  protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset() {
        FreeLabText();
        SysgenResetForTest();
        LanguageResetForTest();
        OnlineItem = -1;
        Language = -1;
        SysgenState = 0;
    }
    // Loads the English label file holding bytes.
    void Load(const std::string& bytes) {
        box.Write(kEnglish, bytes);
        Language = 0;
        ASSERT_EQ(InitVok(), 0);
    }
    void WriteStore(std::map<int, SysgenItem> items, int records = 100) {
        box.WriteSysgen(items, records);
        box.Write("/u/qel/database/fswitch.data", "x"); // lets language 1 count
    }
    std::vector<std::string> Labels() {
        std::vector<std::string> out;
        for (int n = 1; n <= LabTextLines; ++n) out.push_back(GetLabText(n));
        return out;
    }
    Sandbox box;
};

using Texts = std::vector<std::string>;

TEST_F(LabelsTest, LinesAreReadInPiecesOf158) {
    const std::string a200(200, 'a');
    const std::string c158(158, 'c'), c157(157, 'c');
    struct Case {
        std::string file;
        Texts labels;
    };
    const Case cases[] = {
        {"one\ntwo\nthree\n", {"one", "two", "three"}},
        {a200 + "\nB\n", {a200.substr(0, 158), a200.substr(158), "B"}},
        {"x\r\ny\n", {"x", "y"}},
        {c158 + "\nD\n", {c158, "", "D"}},   // the line end is a piece of its own
        {c157 + "\r\nD\n", {c157, "", "D"}}, // so is the LF after CR
        {"\n\nlast", {"", "", "last"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        Load(c.file);
        EXPECT_EQ(Labels(), c.labels) << c.file.substr(0, 20);
    }
}

TEST_F(LabelsTest, MissingLabels) {
    Load("one\ntwo\nthree\n");
    testing::internal::CaptureStdout();
    EXPECT_EQ(GetLabText(4), nullptr);
    EXPECT_EQ(GetLabText(0), nullptr);
    EXPECT_EQ(GetLabText(-3), nullptr);
    EXPECT_EQ(LabText(0), "");
    EXPECT_EQ(LabText(3), "three");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "GetLabText - n = 4  lablines = 3\n");

    // No file: the stat's result, and the table in force stays.
    Language = 1;
    testing::internal::CaptureStdout();
    EXPECT_EQ(InitVok(), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "InitVok: unable to stat /u/qel/database/fvok.data - -1\n");
    EXPECT_STREQ(GetLabText(2), "two");

    FreeLabText();
    testing::internal::CaptureStdout();
    EXPECT_EQ(GetLabText(1), nullptr);
    EXPECT_EQ(LabText(2), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "GetLabText - n = 1  lablines = 0\nGetLabText - n = 2  lablines = 0\n");
}

TEST_F(LabelsTest, FileLetterOfTheLanguage) {
    struct Case {
        int language;
        const char* file;
    };
    for (Case c : {Case{-1, "/u/qel/database/evok.data"},
                   {0, "/u/qel/database/evok.data"},
                   {1, "/u/qel/database/fvok.data"},
                   {8, "/u/qel/database/mvok.data"},
                   {9, "/u/qel/database/evok.data"}})
        EXPECT_EQ(LabelFileName(c.language), c.file) << c.language;
}

TEST_F(LabelsTest, TextsHandedOutStayReadableAcrossAReload) {
    Load("old one\n");
    const char* held = GetLabText(1);
    box.Write(kFrench, "nouveau\n");
    Language = 1;
    ASSERT_EQ(InitVok(), 0);
    EXPECT_STREQ(GetLabText(1), "nouveau");
    EXPECT_STREQ(held, "old one");
}

TEST_F(LabelsTest, ReadSysgenCachesTheItems) {
    const std::string colors(40, 'c');
    WriteStore({{0, IntItem(1)},
                {3, IntItem(2)},
                {6, StrItem("SIX")},
                {7, IntItem(1)},
                {21, IntItem(5)},
                {26, IntItem(3)},
                {57, IntItem(0)},
                {80, IntItem(1)},
                {96, StrItem(colors)}});
    box.Write(kFrench, "bonjour\n");
    ReadSysgen();
    EXPECT_EQ(SysgenState, 1);
    EXPECT_EQ(OnlineItem, 2);
    EXPECT_EQ(GetOnlineItem(), 2);
    EXPECT_EQ(ChangerType, 3);
    EXPECT_EQ(GetSysgenItem26(), 3);
    EXPECT_EQ(Language, 1);
    EXPECT_EQ(LanguageCopy, 1);
    EXPECT_EQ(ColorFileName, colors); // whole, beyond 31 characters
    EXPECT_EQ(SysgenItem21, 5);
    EXPECT_EQ(SysgenItem7Is1, 1);
    EXPECT_EQ(SysgenStr6, "SIX");
    EXPECT_EQ(EditorType, 0);
    EXPECT_EQ(NetworkOption, 1);
    EXPECT_EQ(LabText(1), "bonjour");

    // A store of five records: item 6 is absent and reads "".
    box.WriteSysgen({{3, IntItem(0)}}, 5);
    ReadSysgen();
    EXPECT_EQ(SysgenStr6, "");
    EXPECT_EQ(ColorFileName, "colors.RI");
    EXPECT_EQ(SysgenItem7Is1, 0);
    EXPECT_EQ(EditorType, 0);
}

TEST_F(LabelsTest, LanguageChangeReloadsTheTexts) {
    WriteStore({{0, IntItem(0)}});
    box.Write(kEnglish, "hello\n");
    box.Write(kFrench, "bonjour\n");
    ReadSysgen();
    EXPECT_EQ(LabText(1), "hello");

    box.Write(kEnglish, "changed\n");
    ReadSysgen(); // same language: nothing is loaded again
    EXPECT_EQ(LabText(1), "hello");

    WriteStore({{0, IntItem(1)}});
    ReadSysgen();
    EXPECT_EQ(LabText(1), "bonjour");
    EXPECT_EQ(LanguageCopy, 1);
}

TEST_F(LabelsTest, DefaultStoreIsCopiedOnlyWhenMissing) {
    box.Remove("/u/qel/sys_data/files/sysgen.bin");
    std::string defaults;
    {
        Sandbox other;
        other.WriteSysgen({{3, IntItem(7)}, {26, IntItem(2)}}, 100);
        defaults = other.Read("/u/qel/sys_data/files/sysgen.bin");
    }
    box.Write("/u/qel/sys_data/files/Dsysgen.bin", defaults);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    ReadSysgen();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "could not find sysgen.bin, copying defaults\n");
    EXPECT_NE(
        testing::internal::GetCapturedStdout().find("SYSTEM('cp /u/qel/sys_data/files/Dsysgen.bin "
                                                    "/u/qel/sys_data/files/sysgen.bin')\n"),
        std::string::npos);
    EXPECT_EQ(SysgenState, 2);
    EXPECT_EQ(OnlineItem, 7);
    EXPECT_EQ(ChangerType, 2);
    EXPECT_EQ(box.Read("/u/qel/sys_data/files/sysgen.bin"), defaults);

    // A store that is there but cannot be read is not replaced.
    box.Remove("/u/qel/sys_data/files/sysgen.bin");
    box.Write("/u/qel/sys_data/files/sysgen.bin/x", "x");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    ReadSysgen();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout().find("SYSTEM("), std::string::npos);
    EXPECT_EQ(SysgenState, 1);
    EXPECT_TRUE(box.Exists("/u/qel/sys_data/files/sysgen.bin/x"));
}

TEST_F(LabelsTest, IsOnline) {
    EXPECT_EQ(IsOnline(), 0); // before any read
    EXPECT_EQ(GetOnlineItem(), -1);
    struct Case {
        int item3, online;
    };
    for (Case c : {Case{-1, 0}, {0, 1}, {2, 0}, {1, 0}, {-2, 1}}) {
        WriteStore({{3, IntItem(c.item3)}});
        ReadSysgen();
        EXPECT_EQ(GetOnlineItem(), c.item3);
        EXPECT_EQ(IsOnline(), c.online) << c.item3;
    }
}

TEST_F(LabelsTest, TerminalSettings) {
    struct Case {
        const char *path, *name, *sw;
        const char *outPath, *outName, *outSwitch;
    };
    const Case cases[] = {
        {"/bin/xt", "xt", "-ls", "/bin/xt", "xt", "-ls"},
        {"/bin/xt", "xt", nullptr, "/bin/xt", "xt", ""},
        {"", "xt", "-ls", "/u/qel/xeq/sh.exe", "xterm", ""},
        {"/bin/xt", nullptr, "-ls", "/u/qel/xeq/sh.exe", "xterm", ""},
        {nullptr, nullptr, nullptr, "/u/qel/xeq/sh.exe", "xterm", ""},
    };
    for (const Case& c : cases) {
        ScopedEnv p("XXTERMPATH", c.path), n("XXTERM", c.name), s("XXTERMSWITCH", c.sw);
        XtermSwitch = "stale";
        InitXterm();
        EXPECT_EQ(XtermPath, c.outPath);
        EXPECT_EQ(XtermName, c.outName);
        EXPECT_EQ(XtermSwitch, c.outSwitch);
    }
}

} // namespace
