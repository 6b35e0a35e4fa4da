// Language support: case mapping, the font list (user before default data,
// short and long lines, re-reading), the locale and the title line.
#include <gtest/gtest.h>

#include "language.h"
#include "records_text.h"
#include "sandbox.h"
#include "sysgen.h"
#include "test_hooks.h"

#include <clocale>
#include <cstring>

namespace {

const char* const kDefFonts = "/u/qel/def_data/misc/efontlist";
const char* const kUsrFonts = "/u/qel/usr_data/misc/efontlist";
const char* const kInitialFont0 = "-adobe-courier-medium-r-normal--10-*-iso8859-1";
const char* const kInitialFont3 = "-adobe-courier-bold-r-normal--12-*-iso8859-1";

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

class LanguageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SysgenResetForTest();
        LanguageResetForTest();
    }
    void TearDown() override {
        LanguageResetForTest();
        SysgenResetForTest();
        std::setlocale(LC_ALL, "C");
    }
    void WriteStore(int language, int network) {
        box.WriteSysgen({{0, IntItem(language)}, {80, IntItem(network)}}, 100);
        if (language >= 1 && language <= 8)
            box.Write(std::string("/u/qel/database/") + static_cast<char>('e' + language) +
                          "switch.data",
                      "x");
    }
    // Every entry as GetFontDesc answers it, with its console output.
    std::vector<std::string> Fonts(std::string* printed = nullptr) {
        testing::internal::CaptureStdout();
        std::vector<std::string> out;
        for (int i = 0; i < 15; ++i) out.push_back(GetFontDesc("t", i));
        std::string text = testing::internal::GetCapturedStdout();
        if (printed) *printed = text;
        return out;
    }
    Sandbox box;
};

TEST_F(LanguageTest, UpperCaseLeavesJapaneseBytesAlone) {
    struct Case {
        int language, in, out;
    };
    for (Case c : {Case{6, 0xA4, 0xA4},
                   {6, 0x7F, 0x7F},
                   {6, 'a', 'A'},
                   {6, 0x100 + 'b', 'B'},
                   {0, 'a', 'A'},
                   {0, 'Z', 'Z'},
                   {0, '1', '1'},
                   {1, -1 & 0x1FF, 0xFF}}) {
        LanguageCopy = c.language;
        EXPECT_EQ(LangToUpper(c.in), c.out) << c.language << " " << c.in;
    }
}

TEST_F(LanguageTest, FontListReplacesEntriesByPosition) {
    WriteStore(0, 0);
    box.Write(kDefFonts, "! comment\nf0\r\n! another\nf1\n" + std::string(100, 'L') + "\nf3");
    std::string printed;
    std::vector<std::string> fonts = Fonts(&printed);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(FontListState, 1);
    EXPECT_EQ(fonts[0], "f0");
    EXPECT_EQ(fonts[1], "f1");
    EXPECT_EQ(fonts[2], std::string(79, 'L')); // the rest of the long line is dropped
    EXPECT_EQ(fonts[3], "f3");                 // a last line without its line feed
    EXPECT_EQ(fonts[4], "-adobe-courier-medium-r-normal--14-*-iso8859-1");
    EXPECT_EQ(fonts[14], "-adobe-courier-bold-r-normal--10-*-iso8859-1");

    // Read again only after a reset; entries the new file does not reach
    // keep the names of the earlier load.
    box.Write(kDefFonts, "g0\n");
    EXPECT_EQ(Fonts()[0], "f0");
    FontDescReset();
    fonts = Fonts();
    EXPECT_EQ(fonts[0], "g0");
    EXPECT_EQ(fonts[1], "f1");
}

TEST_F(LanguageTest, FontListOfTheUserBeforeTheDefault) {
    WriteStore(0, 0);
    box.Write(kDefFonts, "def\n");
    box.Write(kUsrFonts, ""); // empty: passed over
    EXPECT_EQ(Fonts()[0], "def");
    box.Write(kUsrFonts, "usr\n");
    FontDescReset();
    EXPECT_EQ(Fonts()[0], "usr");

    // The language picks the file.
    WriteStore(1, 0);
    box.Write("/u/qel/def_data/misc/ffontlist", "french\n");
    FontDescReset();
    EXPECT_EQ(Fonts()[0], "french");
}

TEST_F(LanguageTest, MissingFontListUsesTheTableAndSaysSoEachTime) {
    WriteStore(0, 0);
    std::string printed;
    std::vector<std::string> fonts = Fonts(&printed);
    EXPECT_EQ(FontListState, -1);
    EXPECT_EQ(fonts[0], kInitialFont0);
    EXPECT_EQ(fonts[3], kInitialFont3);
    const std::string line =
        "GetFontDesc(t): Could not read file " + std::string(kDefFonts) + " (will use defaults)\n";
    std::string expect;
    for (int i = 0; i < 15; ++i) expect += line;
    EXPECT_EQ(printed, expect);
}

TEST_F(LanguageTest, BadFontIndexGivesEntryZero) {
    WriteStore(0, 0);
    box.Write(kDefFonts, "zero\none\n");
    for (int index : {15, -1, 1000}) {
        testing::internal::CaptureStdout();
        EXPECT_STREQ(GetFontDesc("x", index), "zero");
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "GetFontDesc(x): Bad index " + std::to_string(index) + " (Will use index 0)\n");
    }
}

TEST_F(LanguageTest, LocaleKeepsTheDecimalPoint) {
    WriteStore(0, 0);
    SysgenResetForTest();
    InitConfigure();
    SetLanguageLocale();
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), "C");

    WriteStore(6, 0);
    InitConfigure();
    bool japanese = false;
    for (const char* name : {"ja_JP.EUC", "ja_JP.eucJP", "ja_JP.ujis"})
        japanese = japanese || std::setlocale(LC_CTYPE, name) != nullptr;
    std::setlocale(LC_ALL, "C");
    testing::internal::CaptureStdout();
    SetLanguageLocale();
    const std::string out = testing::internal::GetCapturedStdout();
    if (!japanese) {
        EXPECT_EQ(out, "SetLanguageLocale: no Japanese locale (ja_JP.EUC, ja_JP.eucJP, "
                       "ja_JP.ujis)\n");
    }
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
}

TEST_F(LanguageTest, TitleLines) {
    // The first header byte is a line feed: the header is skipped by bytes,
    // not by reading a line.
    box.Write("/u/qel/database/etitle.data",
              TitleFileBytes(std::string("\n\0\0\0", 4),
                             {"! comment", "Station #", "V# ok", "", std::string(20, '#'),
                              std::string(100, 'a'), "after long"}));
    box.Write("/u/qel/database/ftitle.data", TitleFileBytes({"Poste #"}));
    struct Case {
        int language, network;
        const char* netname; // nullptr: unset
        int n;
        std::string expect;
    };
    const std::string path = "/u/qel/database/etitle.data";
    const Case cases[] = {
        {0, 0, "N1", 0, "Station 5.0310"},
        {0, 1, "N1", 0, "Station 5.0310 (N1)"},
        {0, 1, nullptr, 0, "Station 5.0310 ()"},
        {0, 0, nullptr, 1, "V5.0310 ok"},
        {0, 0, nullptr, 2, ": RECORD NOT FOUND(3)"},
        {0, 0, nullptr, 3, Repeat("5.0310", 20).substr(0, 79)},
        {0, 1, "NET", 3, Repeat("5.0310 (NET)", 20).substr(0, 79)},
        {0, 0, nullptr, 4, std::string(78, 'a')},
        {0, 0, nullptr, 5, "after long"},
        {0, 0, nullptr, 6, path + ": RECORD NOT FOUND(7)"},
        {0, 0, nullptr, -1, path + ": RECORD NOT FOUND(0)"},
        {1, 0, nullptr, 0, "Poste 5.0310"},
        {9, 0, nullptr, 0, "Station 5.0310"}, // no such language: English
    };
    for (const Case& c : cases) {
        WriteStore(c.language, c.network);
        ScopedEnv net("NETNAME", c.netname);
        const char* title = GetTitleLine(c.n);
        EXPECT_EQ(title, c.expect) << c.language << " " << c.n;
        EXPECT_LT(std::strlen(title), 80u); // the title buffer's 80 bytes
    }

    box.Remove("/u/qel/database/etitle.data");
    WriteStore(0, 0);
    EXPECT_STREQ(GetTitleLine(0), "/u/qel/database/etitle.data: FILE NOT FOUND");
}

} // namespace
