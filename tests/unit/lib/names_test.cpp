// Logical file names: the name check, the paths by file type and language,
// the user-data / default-data fallback and the database names.
#include <gtest/gtest.h>

#include "names.h"
#include "sandbox.h"
#include "sysgen.h"
#include "test_hooks.h"

namespace {

class NamesTest : public ::testing::Test {
  protected:
    void SetUp() override { SysgenResetForTest(); }
    void TearDown() override { SysgenResetForTest(); }
    // A store whose language is n (its switch texts exist, so it counts).
    void UseLanguage(int n) {
        box.WriteSysgen({{0, IntItem(n)}}, 100);
        if (n >= 1 && n <= 8)
            box.Write(std::string("/u/qel/database/") + static_cast<char>('e' + n) + "switch.data",
                      "x");
        SysgenResetForTest();
        ASSERT_EQ(InitConfigure(), 0);
    }
    Sandbox box;
};

TEST_F(NamesTest, CheckName) {
    struct Case {
        std::string name;
        int expect;
    };
    const Case cases[] = {
        {"a/b", -239},
        {"/a/b", 0},
        {"/", 0},
        {"abcdefghijklmn", 0},
        {"abcdefghijklmno", -230},
        {"/abcdefghijklmn/x", 0},
        {"/x/abcdefghijklmno", -230},
        {"x/abcdefghijklmno", -230}, // the length is tested before the leading '/'
        {"a b", -239},
        {"a*b", -239},
        {"a\\b", -239},
        {"", -239},
        {"\xc8x", 0},
        {"a_b.c-d[1]", 0},
        {"UPPER09", 0},
    };
    for (const Case& c : cases) {
        int16_t length = -1;
        EXPECT_EQ(CheckName(c.name, &length), c.expect) << "[" << c.name << "]";
        EXPECT_EQ(length, static_cast<int16_t>(c.name.size())) << "[" << c.name << "]";
    }
}

TEST_F(NamesTest, MakeNameByTypeAndLanguage) {
    struct Case {
        int language;
        const char* name;
        int type;
        const char* expect;
    };
    const Case cases[] = {
        {0, "/tmp/x", 22, "/tmp/x"},
        {0, "prog", 14, "/u/qel/part/_DefPart_/program/prog"},
        {0, "p", 18, "/u/qel/part/_DefPart_/contour/p"},
        {2, "m1", 9, "/u/qel/usr_data/macro/german/m1"},
        {7, "m1", 9, "/u/qel/usr_data/macro/portuguese/m1"},
        {0, "_fontlist", 22, "/u/qel/usr_data/misc/efontlist"},
        {6, "_fontlist", 22, "/u/qel/usr_data/misc/kfontlist"},
        {0, "sysgen.bin", 0, "/u/qel/sys_data/files/sysgen.bin"},
        {0, "t", 2, "/u/qel/run_data/tip/t"},
        {0, "c", 34, "/u/qel/def_data/contourformat/c"},
        {0, "c", 41, "/u/qel/part/_DefPart_/formraw/c"},
        {0, "m", 65536 + 22, "/u/qel/usr_data/misc/m"}, // the type is a 16-bit value
    };
    for (const Case& c : cases) {
        UseLanguage(c.language);
        std::string out;
        EXPECT_EQ(f_MakeName(c.name, c.type, &out), 0) << c.name << " " << c.type;
        EXPECT_EQ(out, c.expect);
    }
}

TEST_F(NamesTest, MakeNameErrors) {
    UseLanguage(0);
    struct Case {
        std::string name;
        int type;
        int expect;
        std::string printed;
    };
    const std::string longName(80, 'n');
    const Case cases[] = {
        {"x", 42, -110, ""},
        {"x", -1, -110, ""},
        {"/tmp/x", 42, -110, ""}, // absolute names too
        {"a b", 22, -239, "Bad Name files/f_name(a b,22) iname[a b]\n"},
        {"_a b", 22, -239, "Bad Name files/f_name(_a b,22) iname[ea b]\n"},
        {"abcdefghijklmnop", 14, -230,
         "Bad Name files/f_name(abcdefghijklmnop,14) iname[abcdefghijklmnop]\n"},
        {longName, 22, -230,
         "Bad Name files/f_name(" + longName + ",22) iname[" + longName + "]\n"},
    };
    for (const Case& c : cases) {
        std::string out = "untouched";
        testing::internal::CaptureStdout();
        EXPECT_EQ(f_MakeName(c.name, c.type, &out), c.expect) << c.name;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed);
        EXPECT_EQ(out, "untouched");
    }
    // 79 characters still fit, in one component below a folder each 14 long.
    std::string fits = "/";
    while (fits.size() + 15 <= 79) fits += std::string(14, 'a') + "/";
    fits += std::string(79 - fits.size(), 'b');
    ASSERT_EQ(fits.size(), 79u);
    std::string out;
    EXPECT_EQ(f_MakeName(fits, 22, &out), 0);
    EXPECT_EQ(out, fits);
}

TEST_F(NamesTest, LanguageSurvivesAReleasedStore) {
    UseLanguage(2);
    CloseSysgen(); // as the homing and the part selection do after their reads
    std::string out;
    ASSERT_EQ(f_MakeName("_x", 22, &out), 0);
    EXPECT_EQ(out, "/u/qel/usr_data/misc/gx");
    EXPECT_GT(SysgenRecordCount(), 0); // loaded again and kept

    UseLanguage(9); // no such language: English
    EXPECT_STREQ(GetLanguageName(), "english");
    EXPECT_EQ(DefDbPath("_x"), "/u/qel/database/ex");
}

TEST_F(NamesTest, MakeNameExistFallsBackToDefaultData) {
    UseLanguage(0);
    const std::string usr = "/u/qel/usr_data/misc/efontlist";
    const std::string def = "/u/qel/def_data/misc/efontlist";
    std::string out;

    EXPECT_EQ(f_MakeNameExist("_fontlist", 22, 0, &out), -90);
    EXPECT_EQ(out, def);

    box.Write(def, "font\n");
    EXPECT_EQ(f_MakeNameExist("_fontlist", 22, 0, &out), 0);
    EXPECT_EQ(out, def);

    box.Write(usr, ""); // an empty user file: passed over, but taken by modes 4 and 6
    for (int mode : {0, 2}) {
        EXPECT_EQ(f_MakeNameExist("_fontlist", 22, mode, &out), 0);
        EXPECT_EQ(out, def) << mode;
    }
    for (int mode : {4, 6}) {
        EXPECT_EQ(f_MakeNameExist("_fontlist", 22, mode, &out), 0);
        EXPECT_EQ(out, usr) << mode;
    }
    box.Remove(def);
    EXPECT_EQ(f_MakeNameExist("_fontlist", 22, 0, &out), -90);
    EXPECT_EQ(out, def);

    // Mode 1 only builds the name; unknown modes are refused.
    EXPECT_EQ(f_MakeNameExist("nothing", 22, 1, &out), 0);
    EXPECT_EQ(out, "/u/qel/usr_data/misc/nothing");
    for (int mode : {3, 5, -1, 7, 65536 + 3})
        EXPECT_EQ(f_MakeNameExist("_fontlist", 22, mode, &out), -110) << mode;

    // A folder other than usr_data has no second place to look.
    EXPECT_EQ(f_MakeNameExist("x", 0, 0, &out), -90);
    EXPECT_EQ(out, "/u/qel/sys_data/files/x");
    // Errors of the name come back as they are.
    EXPECT_EQ(f_MakeNameExist("a b", 22, 0, &out), -239);
    EXPECT_EQ(f_MakeNameExist("x", 42, 0, &out), -110);
}

TEST_F(NamesTest, MakeNameExistTranslatesOnce) {
    UseLanguage(0);
    // A user root that itself lies below /u/qel/usr_data: translating twice
    // would look in .../site/site/misc.
    ScopedEnv user("QELUSER", "/u/qel/usr_data/site");
    box.Write("/u/qel/usr_data/site/misc/efontlist", "font\n");
    std::string out;
    EXPECT_EQ(f_MakeNameExist("_fontlist", 22, 0, &out), 0);
    EXPECT_EQ(out, "/u/qel/usr_data/misc/efontlist");
}

TEST_F(NamesTest, DatabasePathsAndLanguageNames) {
    UseLanguage(3);
    EXPECT_EQ(DefDbPath("_servo.data"), "/u/qel/database/hservo.data");
    EXPECT_EQ(DefDbPath("DBservo.data"), "/u/qel/database/DBservo.data");
    EXPECT_EQ(DefDbPath(""), "/u/qel/database/");
    EXPECT_EQ(DefDbPath("_"), "/u/qel/database/h");
    EXPECT_EQ(GetLanguageLetter(), 'h');

    const char* const names[] = {"english", "french", "german",     "swedish", "italian",
                                 "spanish", "kanji",  "portuguese", "chinese"};
    for (int n = 0; n <= 8; ++n) {
        UseLanguage(n);
        EXPECT_STREQ(GetLanguageName(), names[n]);
        EXPECT_EQ(GetLanguageLetter(), 'e' + n);
    }

    std::string name = "_x";
    EXPECT_EQ(SubstLanguageLetter(name), 1);
    EXPECT_EQ(name, "mx");
    name = "x_";
    EXPECT_EQ(SubstLanguageLetter(name), 0);
    EXPECT_EQ(name, "x_");
}

} // namespace
