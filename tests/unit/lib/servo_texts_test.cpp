// Line databases: counted line files, the servo error database and its
// texts, the error history and the text of a result code.
#include <gtest/gtest.h>

#include "dbservo.h"
#include "errhist.h"
#include "ramdb.h"
#include "records_text.h"
#include "sandbox.h"
#include "sysgen.h"
#include "test_hooks.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const kDb = "/u/qel/database/";

class LineDbTest : public ::testing::Test {
  protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset() {
        ServoErrorDbResetForTest();
        ErrHistResetForTest();
        SysgenResetForTest();
    }
    void WriteCounted(const std::string& file, int32_t count, const std::string& text) {
        box.Write(kDb + file, CountedLineFileBytes(count, text));
    }
    Sandbox box;
};

std::string Lines(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "l" + std::to_string(i) + "\n";
    return s;
}

TEST_F(LineDbTest, CountedLineFiles) {
    struct Case {
        const char* what;
        int32_t count;
        std::string text;
        int kept; // db.count
        std::vector<std::pair<int, std::string>> lines;
    };
    const Case cases[] = {
        {"LF", 3, "a\nb\nc\n", 3, {{0, "a"}, {1, "b"}, {2, "c"}, {3, ""}, {4, ""}, {-1, "b"}}},
        {"CR", 3, "a\rb\rc\r", 3, {{0, "a"}, {1, "b"}, {2, "c"}}},
        {"CR LF ends a line and an empty one",
         4,
         "a\r\nb\r\n",
         4,
         {{0, "a"}, {1, ""}, {2, "b"}, {3, ""}, {4, ""}}},
        {"no last line end", 3, "a\nb\nc", 3, {{2, "c"}, {3, ""}}},
        {"a NUL ends a line", 2, std::string("a\0b\n", 4), 2, {{0, "a"}, {1, "b"}}},
        {"count above the lines", 5, "a\nb\nc\n", 3, {{2, "c"}, {3, ""}, {4, ""}}},
        {"count far above the lines", 0x7FFFFFFF, "a\nb", 2, {{1, "b"}, {2, ""}}},
        {"count below the lines", 2, "a\nb\nc\n", 2, {{1, "b"}, {2, ""}}},
        {"count 0", 0, "a\nb\n", 0, {{0, ""}, {1, ""}}},
        {"negative count", -3, "a\nb\n", 0, {{0, ""}}},
        {"no text", 3, "", 0, {{0, ""}}},
        {"one empty line", 1, "\n", 1, {{0, ""}}},
        {"n taken as 16 bits",
         3,
         "a\nb\nc\n",
         3,
         {{65536 + 1, "b"}, {65536 - 1, "b"}, {-32768, ""}, {32768, ""}}},
        {"above 32767 lines",
         40000,
         Lines(40000),
         32767,
         {{32766, "l32766"}, {32767, ""}, {-32767, ""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteCounted("etest.data", c.count, c.text);
        RamDb db;
        ASSERT_EQ(OpenRamDb(&db, "_test.data"), 0);
        EXPECT_EQ(db.count, c.kept);
        for (const auto& [n, expect] : c.lines)
            EXPECT_STREQ(GetRamText(db, n), expect.c_str()) << n;
        CloseRamDb(&db);
        EXPECT_EQ(db.text, nullptr);
        EXPECT_STREQ(GetRamText(db, 0), "");
    }
}

TEST_F(LineDbTest, ShortAndMissingFilesAreMissing) {
    for (const std::string& bytes :
         {std::string(), std::string("\x03"), std::string("\x03\0\0", 3)}) {
        SCOPED_TRACE(bytes.size());
        box.Write(std::string(kDb) + "etest.data", bytes);
        RamDb db;
        EXPECT_EQ(OpenRamDb(&db, "_test.data"), -90);
        EXPECT_EQ(db.count, 0);
        int code = 0;
        EXPECT_EQ(ErrHistGet(&code), ": /u/qel/database/etest.data");
        EXPECT_EQ(code, -90);
    }
    box.Remove(std::string(kDb) + "etest.data");
    RamDb db;
    EXPECT_EQ(OpenRamDb(&db, "_test.data"), -90);
    box.Write(std::string(kDb) + "etest.data", CountedLineFileBytes(0, ""));
    EXPECT_EQ(OpenRamDb(&db, "_test.data"), 0) << "four bytes are a file without lines";
    EXPECT_EQ(db.count, 0);
    CloseRamDb(&db);
}

// The texts of the servo error fixture: line 0 is never used by a record.
std::string ServoTexts(const std::string& prefix) {
    std::string t;
    for (int i = 0; i <= 5; ++i) t += prefix + std::to_string(i) + "\n";
    t += std::string(100, 'x') + "\n"; // line 6
    t += std::string(300, 'y') + "\n"; // line 7
    return t;
}

class ServoErrorTest : public LineDbTest {
  protected:
    void SetUp() override {
        LineDbTest::SetUp();
        WriteCounted("eservo.data", 8, ServoTexts("text "));
        WriteCounted("fservo.data", 8, ServoTexts("texte "));
        std::vector<ServoRecord> r(9);
        r[0] = {0, 0, 0, 0, 7, 3, 1, 0};
        r[1] = {11, 12, 13, 14, 0, 0, 2, 5};
        r[2] = {0, 0, 0, 0, 0, 0, -3, 5};
        r[3] = {0, 0, 0, 0, 0, 0, 0, 5};
        r[4] = {0, 0, 0, 0, 0, 0, 4, 1};
        r[5] = {0, 0, 0, 0, 0, 0, 5, 2};
        r[6] = {0, 0, 0, 0, 0, 0, 1, 6};
        r[7] = {0, 0, 0, 0, 0, 0, 0, 7};
        r[8] = {0, 0, 0, 0, 12, 0, 0, 40}; // a line beyond the file's
        records = ServoRecordBytes(r);
        box.Write(std::string(kDb) + "DBservo.data", records);
    }
    std::string records;
};

TEST_F(ServoErrorTest, TextsAndCodes) {
    ASSERT_EQ(InitServoErrorDb(), 0);
    ASSERT_EQ(ServoErrorCount(), 9);
    struct Case {
        int n;
        size_t size;
        const char* text;
    };
    const std::string longX = "X " + std::string(77, 'x');
    const Case cases[] = {
        {0, 80, "TF07 B3"},     {1, 80, "Y text 5"}, {2, 80, "text 5 3"},
        {3, 80, "text 5"},      {4, 80, "W text 1"}, {5, 80, "text 2"},
        {6, 80, longX.c_str()}, {6, 5, "X xx"},      {8, 80, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        char text[100];
        std::memset(text, '#', sizeof text);
        int proc = -1, disp = -1;
        ASSERT_EQ(GetServoError(c.n, 1, &proc, &disp, text, c.size), 0);
        EXPECT_STREQ(text, c.text);
        EXPECT_EQ(text[c.size], '#') << "nothing beyond the caller's size";
        EXPECT_EQ(LastServoError(), c.n);
    }
    char text[80];
    int proc = 0, disp = 0;
    ASSERT_EQ(GetServoError(1, 1, &proc, &disp, text, sizeof text), 0);
    EXPECT_EQ(disp, 11);
    EXPECT_EQ(proc, 13);
    ASSERT_EQ(GetServoError(1, 0, &proc, &disp, text, sizeof text), 0);
    EXPECT_EQ(disp, 12);
    EXPECT_EQ(proc, 14);

    ASSERT_EQ(GetServoError(7, 1, &proc, &disp, text, sizeof text), 0);
    EXPECT_EQ(std::string(LastServoText()), std::string(255, 'y'));
    EXPECT_EQ(GetErrorText(-128), std::string(255, 'y'));

    strcpy(text, "kept");
    EXPECT_EQ(GetServoError(9, 1, &proc, &disp, text, sizeof text), -1);
    EXPECT_EQ(GetServoError(-1, 1, &proc, &disp, text, sizeof text), -1);
    EXPECT_STREQ(text, "kept");
    EXPECT_EQ(LastServoError(), 7);
    FreeServoData();
    EXPECT_EQ(GetServoError(0, 1, &proc, &disp, text, sizeof text), -1) << "nothing loaded";
}

TEST_F(ServoErrorTest, UsersShareOneLoad) {
    ASSERT_EQ(InitServoErrorDb(), 0);
    box.Remove(std::string(kDb) + "DBservo.data");
    ASSERT_EQ(InitServoErrorDb(), 0) << "the loaded database serves a second user";
    char text[80];
    int proc, disp;
    FreeServoData();
    EXPECT_EQ(GetServoError(0, 1, &proc, &disp, text, sizeof text), 0) << "one user left";
    FreeServoData();
    EXPECT_EQ(GetServoError(0, 1, &proc, &disp, text, sizeof text), -1);
    FreeServoData(); // nothing loaded: nothing happens
    EXPECT_EQ(InitServoErrorDb(), -90) << "the next load reads the files again";
}

TEST_F(ServoErrorTest, MissingOrShortFiles) {
    struct Case {
        const char* what;
        const char* removed; // file removed, or null
        std::string dbservo; // DBservo.data bytes when not removed
        int result;
        const char* history;
        int count; // records after a good load
    };
    const Case cases[] = {
        {"no texts", "eservo.data", records, -90, ": /u/qel/database/eservo.data", 0},
        {"no records", "DBservo.data", "", -90, ": /u/qel/database/DBservo.data", 0},
        {"empty records", nullptr, "", -90, ": /u/qel/database/DBservo.data", 0},
        {"under one record", nullptr, records.substr(0, 15), -90, ": /u/qel/database/DBservo.data",
         0},
        {"a partial last record", nullptr, records.substr(0, 40), 0, "", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ErrHistResetForTest();
        SetUp();
        if (c.removed)
            box.Remove(std::string(kDb) + c.removed);
        else
            box.Write(std::string(kDb) + "DBservo.data", c.dbservo);
        EXPECT_EQ(InitServoErrorDb(), c.result);
        EXPECT_EQ(ServoErrorCount(), c.count);
        EXPECT_EQ(ErrHistGet(nullptr), c.history);
        char text[80];
        int proc, disp;
        EXPECT_EQ(GetServoError(0, 1, &proc, &disp, text, sizeof text), c.result == 0 ? 0 : -1);
        ServoErrorDbResetForTest();
    }
}

TEST_F(ServoErrorTest, EachLoadTakesTheLanguageInForce) {
    box.Write(std::string(kDb) + "fswitch.data", "a language needs its switch texts");
    box.WriteSysgen({{0, IntItem(1)}}, 100);
    ASSERT_EQ(InitConfigure(), 0);
    ASSERT_EQ(InitServoErrorDb(), 0);
    char text[80];
    int proc, disp;
    ASSERT_EQ(GetServoError(1, 1, &proc, &disp, text, sizeof text), 0);
    EXPECT_STREQ(text, "Y texte 5");
    FreeServoData();
    box.WriteSysgen({{0, IntItem(0)}}, 100);
    ASSERT_EQ(InitConfigure(), 0);
    ASSERT_EQ(InitServoErrorDb(), 0);
    ASSERT_EQ(GetServoError(1, 1, &proc, &disp, text, sizeof text), 0);
    EXPECT_STREQ(text, "Y text 5");
    FreeServoData();
}

TEST_F(LineDbTest, HistoryAndErrorTexts) {
    int code = 7;
    EXPECT_EQ(ErrHistGet(&code), "");
    EXPECT_EQ(code, 0) << "an empty history";
    // The newest entry is always the last one added, round the ring.
    for (int i = 1; i <= 9; ++i) {
        const std::string detail = "/path/" + std::to_string(i);
        ErrHistAdd(-i, detail.c_str());
        EXPECT_EQ(ErrHistGet(&code), ": " + detail);
        EXPECT_EQ(code, -i);
    }
    ErrHistAdd(0, "zero");
    ErrHistAdd(-200, "newest");
    EXPECT_EQ(ErrHistGet(&code), ": /path/9") << "codes 0 and -200 are not recorded";
    ErrHistAdd(-5, nullptr);
    EXPECT_EQ(ErrHistGet(&code), "") << "the message alone, which no database gives";
    ErrHistAdd(-90, std::string(200, 'p').c_str());
    EXPECT_EQ(ErrHistGet(&code), ": " + std::string(77, 'p')) << "79 characters kept";

    EXPECT_EQ(GetErrorText(-200), ": " + std::string(77, 'p'));
    EXPECT_EQ(GetErrorText(-1200), ": " + std::string(77, 'p'));
    EXPECT_EQ(GetErrorText(-1090), "");
    EXPECT_EQ(GetErrorText(-90), "");
    EXPECT_EQ(GetErrorText(65536 - 200), ": " + std::string(77, 'p')) << "taken as 16 bits";
    EXPECT_EQ(GetErrorText(-128), "");
    EXPECT_EQ(GetErrorText(-139), "");
}

} // namespace
