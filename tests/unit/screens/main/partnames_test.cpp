// Part-name rules: the characters of evalidchars (read once, the fallback
// set while it is missing or empty), the length a part name may have, the
// two-byte language, and the case-blind order of the part list.
#include <gtest/gtest.h>

#include "language.h"
#include "partnames.h"
#include "sandbox.h"

#include <string>
#include <vector>

namespace {

const char* const kValidChars = "/u/qel/database/evalidchars";

class PartNamesTest : public testing::Test {
  protected:
    void SetUp() override { PartNamesResetForTest(); }
    void TearDown() override { PartNamesResetForTest(); }
    Sandbox box;
};

TEST_F(PartNamesTest, Rules) {
    box.Write(kValidChars, "  ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-.\nabc\n");
    const struct {
        std::string name;
        int label;
    } cases[] = {
        {"P1", 0},
        {"ABCDEFGHIJKLMN", 0},    // 14 characters
        {"ABCDEFGHIJKLMNO", 204}, // 15
        {std::string(25, 'A'), 204},
        {"P/1", 70},
        {std::string(30, 'A') + "/", 70}, // the slash is told first
        {"-P1", 200},
        {".P1", 200},
        {"P1.", 0},
        {"", 200},
        {"P 1", 200},
        {"p1", 200}, // the second word of the file is no part of the set
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PartNameFault(c.name, 0), c.label);
    }
    EXPECT_EQ(QuotedNameMessage("P/1", "L70"), "\"P/1\"\n\nL70");
}

TEST_F(PartNamesTest, TheAllowedCharacters) {
    // Missing: only the twelve of the fallback set.
    EXPECT_EQ(ValidNameChars("ABCXYZabcxyz", 0), 1);
    EXPECT_EQ(ValidNameChars("ABD", 0), 0);
    // A file without a word counts as missing, and is read again at the
    // next check.
    box.Write(kValidChars, " \n\t\n");
    EXPECT_EQ(ValidNameChars("blank", 0), 0);
    EXPECT_EQ(ValidNameChars("ABC", 0), 1);
    box.Write(kValidChars, "DEF\n");
    EXPECT_EQ(ValidNameChars("DEF", 0), 1);
    EXPECT_EQ(ValidNameChars("ABC", 0), 0);
    // Once read, the set is kept.
    box.Write(kValidChars, "ABC\n");
    EXPECT_EQ(ValidNameChars("DEF", 0), 1);

    // At most 255 characters of a longer word.
    PartNamesResetForTest();
    box.Write(kValidChars, std::string(255, 'A') + "BC");
    EXPECT_EQ(ValidNameChars("AAA", 0), 1);
    EXPECT_EQ(ValidNameChars("AB", 0), 0);
}

TEST_F(PartNamesTest, TwoByteCharacters) {
    box.Write(kValidChars, "ABC");
    const struct {
        const char* name;
        int language, valid;
    } cases[] = {
        {"A\xa4\xa2", 6, 1},
        {"\xa4\xa2"
         "B\xb0\xa1",
         6, 1},
        {"\xa4"
         "D",
         6, 1},          // the byte after a lead byte passes unchecked
        {"A\xa4", 6, 0}, // a lead byte alone at the end
        {"\xa4", 6, 0},
        {"A\xa4\xa2", 0, 0},
        {"AD", 6, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.name)) + " language " +
                     std::to_string(c.language));
        EXPECT_EQ(ValidNameChars(c.name, c.language), c.valid);
    }
}

TEST_F(PartNamesTest, CaseBlindStableOrder) {
    EXPECT_EQ(CompareNoCase("abc", "ABD"), -1);
    EXPECT_EQ(CompareNoCase("ABC", "abc"), 0);
    EXPECT_EQ(CompareNoCase("b", "A"), 1);
    EXPECT_EQ(CompareNoCase("ab", "ABC"), -1);
    std::vector<std::string> names = {"abd", "shaft", "ABC", "abc", "Abc", "b", "P10", "P2"};
    SortNoCase(names);
    EXPECT_EQ(names,
              (std::vector<std::string>{"ABC", "abc", "Abc", "abd", "b", "P10", "P2", "shaft"}));
}

} // namespace
