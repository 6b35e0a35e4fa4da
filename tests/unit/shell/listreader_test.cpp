// Scratch listings read as whole lines, the names the file screens hide,
// and the small string rules of the list loaders.
#include <gtest/gtest.h>

#include "listreader.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

Names LinesOf(const std::string& bytes) {
    std::string copy = bytes;
    FILE* f = fmemopen(copy.data(), copy.size(), "r");
    if (!f) return {"fmemopen failed"};
    Names lines = ReadListLines(f);
    std::fclose(f);
    return lines;
}

TEST(ListReader, WholeLinesWithoutTheirLineEnds) {
    const std::string n60(60, 'a'), n72(72, 'b'), n5000(5000, 'c');
    const struct {
        const char* name;
        std::string bytes;
        Names lines;
    } cases[] = {
        {"lines", "P1\nP2\n", {"P1", "P2"}},
        {"CR LF", "P1\r\nP2\r\n", {"P1", "P2"}},
        // The last character of a line without its line end is a character.
        {"last line without LF", "P1\nP2", {"P1", "P2"}},
        {"one character, no LF", "x", {"x"}},
        {"empty lines are no names", "\n\nP1\n\r\n\nP2\n\n", {"P1", "P2"}},
        {"only line ends", "\n\r\n\n", {}},
        {"nothing", "", {}},
        {"long names whole", n60 + "\n" + n72 + "\r\n" + n5000 + "\n", {n60, n72, n5000}},
        {"blanks are part of a name", "my file\n \n", {"my file", " "}},
        {"a CR inside a line stays", "a\rb\n", {"a\rb"}},
        {"a line with a NUL names no file", std::string("a\0b\nP1\n", 7), {"P1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LinesOf(c.bytes), c.lines);
    }
    EXPECT_TRUE(ReadListLines(nullptr).empty());
}

TEST(ListReader, HiddenNames) {
    const struct {
        const char* name;
        bool dirHidden, editHidden;
    } cases[] = {
        {"a.txt", false, false},     {"x.E1", true, true},
        {"x.E", true, false},        {"x.E12", true, false},
        {"b.R2", true, true},        {"c.L9", true, true},
        {"d.T0", true, true},        {"e.B1", false, true},
        {"x.e1", false, false}, // case-sensitive
        {"my.Report", true, false},  {"status.dat", false, true},
        {"old_buffer", false, true}, {"feature", false, true},
        {"formraw.x", false, true},  {"sub", false, false},
        {".T", true, false},         {"ab", false, false},
        {"a", false, false},         {"", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(HiddenInDirList(c.name), c.dirHidden);
        EXPECT_EQ(HiddenInEditList(c.name), c.editHidden);
    }
}

TEST(ListReader, StringRules) {
    const struct {
        const char* text;
        bool hasText;
        const char* noBlanks;
    } texts[] = {
        {" a b ", true, "ab"},     {"   ", false, ""},      {"", false, ""},
        {"a\tb", true, "a\tb"},    {"\tP1", false, "\tP1"}, {"  \x7f", true, "\x7f"},
        {"\x80x", false, "\x80x"}, {"  P1", true, "P1"},
    };
    for (const auto& t : texts) {
        SCOPED_TRACE(t.text);
        EXPECT_EQ(HasText(t.text), t.hasText);
        std::string s = t.text;
        RemoveBlanks(s);
        EXPECT_EQ(s, t.noBlanks);
    }

    const std::string longA = std::string(300, 'x') + "a", longB = std::string(300, 'X') + "B";
    const struct {
        std::string a, b;
        int result;
    } compares[] = {
        {"abc", "ABC", 0}, {"a", "b", -1},     {"b", "a", 1},    {"ab", "abc", -1},
        {"", "", 0},       {longA, longB, -1}, {"\xe9", "z", 1}, // bytes above 0x7f are large
    };
    for (const auto& c : compares) {
        SCOPED_TRACE(c.a + " / " + c.b);
        EXPECT_EQ(StrCaseCmp(c.a, c.b), c.result);
    }
    std::string upper = "abc-x.E1";
    StrUpper(upper);
    EXPECT_EQ(upper, "ABC-X.E1");
}

} // namespace
