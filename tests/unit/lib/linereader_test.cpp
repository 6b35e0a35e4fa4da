// The bounded line reader and the rule by which a plot-colour line counts.
#include <gtest/gtest.h>

#include "linereader.h"

#include <cstdio>

namespace {

// A FILE over the given bytes.
UniqueFile FileOf(const std::string& bytes) {
    FILE* f = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::rewind(f);
    return UniqueFile(f);
}

std::vector<std::string> Pieces(const std::string& bytes, size_t limit) {
    UniqueFile f = FileOf(bytes);
    std::vector<std::string> out;
    std::string piece;
    while (ReadPiece(f.get(), limit, &piece)) out.push_back(piece);
    return out;
}

std::vector<std::string> CutLines(const std::string& bytes, size_t keep) {
    UniqueFile f = FileOf(bytes);
    std::vector<std::string> out;
    std::string line;
    while (ReadCutLine(f.get(), keep, &line)) out.push_back(line);
    return out;
}

using Lines = std::vector<std::string>;

TEST(LineReader, PiecesSplitLongLinesAndKeepTheLineEnd) {
    EXPECT_EQ(Pieces("abc\nde\n", 4), (Lines{"abc\n", "de\n"}));
    EXPECT_EQ(Pieces("abcd\nx", 4), (Lines{"abcd", "\n", "x"}));
    EXPECT_EQ(Pieces("abcdefghij\n", 4), (Lines{"abcd", "efgh", "ij\n"}));
    EXPECT_EQ(Pieces("a\r\n\n", 4), (Lines{"a\r\n", "\n"}));
    EXPECT_EQ(Pieces("", 4), Lines{});
}

TEST(LineReader, CutLinesDropTheRestOfALongLine) {
    EXPECT_EQ(CutLines("abcdef\nxy\n", 3), (Lines{"abc", "xy"}));
    EXPECT_EQ(CutLines("ab\r\n\nlast", 4), (Lines{"ab", "", "last"}));
    EXPECT_EQ(CutLines("a\rjunk\nb\n", 9), (Lines{"a", "b"}));
    EXPECT_EQ(CutLines("", 3), Lines{});
    EXPECT_EQ(CutAtLineEnd("ab\r\ncd"), "ab");
    EXPECT_EQ(CutAtLineEnd("ab"), "ab");
}

TEST(LineReader, WholeLinesLoseOnlyTheirLineEnds) {
    const auto whole = [](const std::string& bytes) {
        UniqueFile f = FileOf(bytes);
        Lines out;
        std::string line;
        while (ReadWholeLine(f.get(), &line)) out.push_back(line);
        return out;
    };
    const std::string longLine(5000, 'x');
    EXPECT_EQ(whole("a\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(whole("a\r\n\r\r\nb\rc\n"), (Lines{"a", "", "b\rc"}));
    EXPECT_EQ(whole("\n\n"), (Lines{"", ""}));
    EXPECT_EQ(whole(longLine + "\n"), Lines{longLine});
    EXPECT_EQ(whole(""), Lines{});
}

TEST(LineReader, PlotColorLineRule) {
    struct Case {
        const char* piece;
        bool counts;
        int number;
        const char* name;
        const char* xcolor;
        const char* fallback;
    };
    const Case cases[] = {
        {"1 BLACK black *\n", true, 1, "BLACK", "black", "*"},
        {"5 GREEN ForestGreen green\n", true, 5, "GREEN", "ForestGreen", "green"},
        {"3 RED red\n", true, 3, "RED", "red", "*"}, // no fallback: none
        {"  -2\tTAB\tblue  x  extra\r\n", true, -2, "TAB", "blue", "x"},
        {"4 ONLY\n", false, 0, "", "", ""},
        {"x BAD b c\n", false, 0, "", "", ""},
        {"! 1 COMMENT c *\n", false, 0, "", "", ""},
        {"\n", false, 0, "", "", ""},
        {"\r1 A b\n", false, 0, "", "", ""},
        {"", false, 0, "", "", ""},
    };
    for (const Case& c : cases) {
        PlotColorLine line;
        ASSERT_EQ(ParsePlotColorLine(c.piece, &line), c.counts) << "[" << c.piece << "]";
        if (!c.counts) continue;
        EXPECT_EQ(line.number, c.number);
        EXPECT_EQ(line.name, c.name);
        EXPECT_EQ(line.xcolor, c.xcolor);
        EXPECT_EQ(line.fallback, c.fallback);
    }
}

// Lines are read in pieces of 198 characters, and 149 counted lines are
// taken (the names' table holds them after its first entry, 150 in all).
TEST(LineReader, PlotColorFileIsCountedInPiecesUpToTheCap) {
    // A line longer than a piece: its second piece is read as a line of its
    // own, by every reader alike. The first piece ends with the 9.
    std::string text = "1 LONG long *" + std::string(198 - 14, ' ') + "92 TAIL tail\n";
    for (int i = 0; i < 200; ++i) text += std::to_string(i + 3) + " C" + std::to_string(i) + " c\n";
    UniqueFile f = FileOf(text);
    std::vector<PlotColorLine> lines = ReadPlotColorLines(f.get());
    ASSERT_EQ(lines.size(), 149u);
    EXPECT_EQ(lines[0].name, "LONG");
    EXPECT_EQ(lines[1].name, "TAIL");
    EXPECT_EQ(lines[1].number, 2); // the 9 ended the first piece
    EXPECT_EQ(lines[2].name, "C0");
    EXPECT_EQ(lines.back().name, "C146");
}

} // namespace
