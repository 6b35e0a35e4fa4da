// Colour files without X: what each kind of line makes of a style's look,
// colour references with pairs, '-' and '?', the base colours behind the
// colour indexes, the console lines, the table limits, and where the file is
// found.
#include <gtest/gtest.h>

#include "colorfile.h"
#include "sandbox.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>

namespace {

using Opt = std::optional<ColorPixel>;
constexpr ColorPixel kUnknown = 99; // pixel of a name that is no plot colour

ColorPixel FakePixel(const std::string& name) {
    static const std::map<std::string, ColorPixel> pixels = {
        {"WHITE", 1}, {"BLACK", 3}, {"GREEN", 4}, {"RED", 6}, {"YELLOW", 7}, {"BLUE", 10}};
    auto it = pixels.find(name);
    return it == pixels.end() ? kUnknown : it->second;
}

struct Result {
    ColorScheme scheme;
    BaseColorTable base = InitialBaseColors();
    std::string console;
};

// Reads text as the colour file "test.colors" into r.
void ReadInto(const std::string& text, Result* r) {
    std::FILE* in = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    ASSERT_NE(in, nullptr);
    char* buffer = nullptr;
    size_t size = 0;
    std::FILE* console = open_memstream(&buffer, &size);
    ReadColorLines(in, "test.colors", FakePixel, &r->base, &r->scheme, console);
    std::fclose(console);
    std::fclose(in);
    r->console.assign(buffer, size);
    std::free(buffer);
}

Result Read(const std::string& text) {
    Result r;
    ReadInto(text, &r);
    return r;
}

TEST(ColorFile, StyleOverrides) {
    const std::string longWord(40, 'x');
    const std::string longStyle = "Style" + std::string(35, 's');
    struct Case {
        const char* what;
        std::string file;
        std::string style;
        Opt fg, bg;
        std::string icon;
        int thickness;
        Opt top, bottom;
    };
    const Case cases[] = {
        {"a pair gives its two pixels",
         "b panel WHITE BLUE 2\nc VokStatus panel\n",
         "VokStatus",
         1,
         10,
         "",
         -1,
         {},
         {}},
        {"'-' swaps only its own reference",
         "b panel WHITE BLUE\nb second -panel panel\nc S second\n",
         "S",
         10,
         10,
         "",
         -1,
         {},
         {}},
        {"'-' on a style's colours",
         "b panel WHITE BLUE\nc S -panel\n",
         "S",
         10,
         1,
         "",
         -1,
         {},
         {}},
        {"'?' keeps every field", "b panel WHITE BLUE 2\nc S ? ? ?\n", "S", {}, {}, "", -1, {}, {}},
        {"a plot colour for both", "c S RED\n", "S", 6, 6, "", -1, {}, {}},
        {"icon and shadow of a pair",
         "b sh RED BLACK 3\nc S ? ICON.VOK sh\n",
         "S",
         {},
         {},
         "ICON.VOK",
         3,
         6,
         3},
        {"a plot-colour shadow has no thickness", "c S ? ? -RED\n", "S", {}, {}, "", -1, 6, 6},
        {"pairs further down are not seen",
         "c S panel\nb panel WHITE BLUE\n",
         "S",
         kUnknown,
         kUnknown,
         "",
         -1,
         {},
         {}},
        {"a pair needs two colours", "b p RED\nc S p\n", "S", kUnknown, kUnknown, "", -1, {}, {}},
        {"'f' makes a pair too", "fgbg p RED BLUE\nc S p\n", "S", 6, 10, "", -1, {}, {}},
        {"a long first word stays one word",
         "c" + longWord + " S RED\n",
         "S",
         6,
         6,
         "",
         -1,
         {},
         {}},
        {"a long style is kept whole",
         "c " + longStyle + " BLUE\n",
         longStyle,
         10,
         10,
         "",
         -1,
         {},
         {}},
        {"tabs and CR separate words", "c\tS\tRED\r\n", "S", 6, 6, "", -1, {}, {}},
        {"leading blanks", "   c S RED\n", "S", 6, 6, "", -1, {}, {}},
        {"words past the fifth are ignored", "b p WHITE BLUE 4 9\nc S p ICON p extra\n", "S", 1, 10,
         "ICON", 4, 1, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Result r = Read(c.file);
        const WidgetColorOverride* o = r.scheme.FindOverride(c.style);
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(o->fg, c.fg);
        EXPECT_EQ(o->bg, c.bg);
        EXPECT_EQ(o->icon, c.icon);
        EXPECT_EQ(o->thickness, c.thickness);
        EXPECT_EQ(o->topShadow, c.top);
        EXPECT_EQ(o->bottomShadow, c.bottom);
    }
}

TEST(ColorFile, LinesThatMakeNoOverride) {
    const std::string longStyle = "Style" + std::string(35, 's');
    struct Case {
        const char* what;
        std::string file;
        std::string style;
    };
    const Case cases[] = {
        {"after exit", "c A RED\nexit\nc S RED\n", "S"},
        {"a comment", "!c S RED\n", "S"},
        {"too few words", "c S\n", "S"},
        {"another kind of line", "x S RED\nC S RED\n", "S"},
        {"a prefix of a long style", "c " + longStyle + " BLUE\n", longStyle.substr(0, 31)},
        {"styles compare case-sensitively", "c VokStatus RED\n", "vokstatus"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Read(c.file).scheme.FindOverride(c.style), nullptr);
    }
    EXPECT_NE(Read("c A RED\nexit\nc S RED\n").scheme.FindOverride("A"), nullptr);
}

// The base value behind each colour index after one "o" line.
TEST(ColorFile, BaseColorsBehindTheIndexes) {
    struct Case {
        const char* line;
        std::vector<int> changed; // indexes whose base colour reads RED
    };
    const Case cases[] = {
        {"o BLACK RED", {2, 3, 9}}, {"o FORESTGREEN RED", {4, 5}}, {"o BLUE RED", {10}},
        {"o DIMGRAY RED", {}},      {"o GREEN RED", {}},           {"o BROWN RED", {}},
        {"o PINK RED", {}},         {"o black RED", {}},           {"o BLACK RED extra", {}},
    };
    const BaseColorTable start = InitialBaseColors();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Result r = Read(std::string(c.line) + "\n");
        for (int i = 0; i < 11; ++i) {
            const bool changed =
                std::find(c.changed.begin(), c.changed.end(), i) != c.changed.end();
            const int row = BaseRowOfColorIndex(i);
            EXPECT_EQ(r.base[row].value, changed ? "RED" : start[row].value) << "index " << i;
        }
    }
}

TEST(ColorFile, BaseColorsStayForLaterFiles) {
    Result r;
    ReadInto("o BLACK RED\nc A BLUE\n", &r);
    ReadInto("c B BLUE\n", &r);
    EXPECT_EQ(r.base[BaseRowOfColorIndex(3)].value, "RED");
    EXPECT_EQ(r.scheme.FindOverride("A"), nullptr); // the scheme is the second file's
    EXPECT_NE(r.scheme.FindOverride("B"), nullptr);
}

TEST(ColorFile, UnknownLowerCaseReferencesAreReportedWithTheirLine) {
    const Result r = Read("! comment\n"
                          "\n"
                          "c S lower\n"
                          "b p -missing BLUE\n"
                          "b q RED BLUE\n"
                          "c T CAPITAL -q\n"
                          "exit\n"
                          "c V lower\n");
    EXPECT_EQ(r.console, "Color File 'test.colors', line 3: Could not find 'lower'\n"
                         "Color File 'test.colors', line 3: Could not find 'lower'\n"
                         "Color File 'test.colors', line 4: Could not find 'missing'\n");
}

TEST(ColorFile, PairsAndOverridesStopAtTheirLimits) {
    std::string file;
    for (int i = 0; i <= 200; ++i) file += "b p" + std::to_string(i) + " RED BLUE\n";
    for (int i = 0; i <= 500; ++i) file += "c S" + std::to_string(i) + " RED\n";
    const Result r = Read(file);
    EXPECT_EQ(r.scheme.pairs.size(), 200u);
    EXPECT_EQ(r.scheme.overrides.size(), 500u);
    EXPECT_NE(r.scheme.FindPair("p199"), nullptr);
    EXPECT_EQ(r.scheme.FindPair("p200"), nullptr);
    EXPECT_NE(r.scheme.FindOverride("S499"), nullptr);
    EXPECT_EQ(r.scheme.FindOverride("S500"), nullptr);
}

class ColorFileLocation : public ::testing::Test {
  protected:
    // Loads the scheme of name; *name may change.
    bool Load(std::string* name) {
        char* buffer = nullptr;
        size_t size = 0;
        std::FILE* console = open_memstream(&buffer, &size);
        const bool ok = LoadColorScheme(name, FakePixel, &base, &scheme, console);
        std::fclose(console);
        console_.assign(buffer, size);
        std::free(buffer);
        return ok;
    }
    ColorPixel StyleFg(const std::string& style) {
        const WidgetColorOverride* o = scheme.FindOverride(style);
        return o && o->fg ? *o->fg : 0;
    }
    Sandbox box;
    BaseColorTable base = InitialBaseColors();
    ColorScheme scheme;
    std::string console_;
};

TEST_F(ColorFileLocation, UserDataBeforeDefaultData) {
    box.Write("/u/qel/usr_data/misc/colors.A", "c S RED\n");
    box.Write("/u/qel/def_data/misc/colors.A", "c S BLUE\n");
    std::string name = "colors.A";
    ASSERT_TRUE(Load(&name));
    EXPECT_EQ(StyleFg("S"), 6u);
    box.Remove("/u/qel/usr_data/misc/colors.A");
    box.Write("/u/qel/usr_data/misc/colors.A/x", ""); // a folder does not count
    ASSERT_TRUE(Load(&name));
    EXPECT_EQ(StyleFg("S"), 10u);
    EXPECT_EQ(name, "colors.A");
}

TEST_F(ColorFileLocation, UserDataFollowsTheUserRoot) {
    ScopedEnv user("QELUSER", "/u/site");
    box.Write("/u/qel/usr_data/misc/colors.A", "c S RED\n");
    box.Write("/u/site/misc/colors.A", "c S BLUE\n");
    std::string name = "colors.A";
    ASSERT_TRUE(Load(&name));
    EXPECT_EQ(StyleFg("S"), 10u);
}

TEST_F(ColorFileLocation, MissingFileFallsBackToTheDefaultScheme) {
    box.Write("/u/qel/def_data/misc/colors.QEL", "b panel WHITE BLUE\nc VokStatus panel\n");
    for (std::string name : {"colors.NONE", ""}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(Load(&name));
        EXPECT_EQ(name, "colors.QEL");
        EXPECT_EQ(StyleFg("VokStatus"), 1u);
        EXPECT_EQ(console_, "ColorFile = colors.QEL; FgBgColorsCt = 1; OverRideCt = 1\n"
                            "Longest fgbg = 5; over = 9\n");
    }
}

TEST_F(ColorFileLocation, NoFileLeavesAnEmptySchemeAndTheBaseColours) {
    box.Write("/u/qel/def_data/misc/colors.A", "o BLACK RED\nc S RED\n");
    std::string name = "colors.A";
    ASSERT_TRUE(Load(&name));
    box.Remove("/u/qel/def_data/misc/colors.A");
    EXPECT_FALSE(Load(&name));
    EXPECT_TRUE(scheme.overrides.empty());
    EXPECT_EQ(base[BaseRowOfColorIndex(3)].value, "RED");
    EXPECT_EQ(console_, "ReadColorFile: no colour file colors.A or colors.QEL in "
                        "/u/qel/usr_data/misc/ or /u/qel/def_data/misc/, no colour scheme\n");
}

TEST_F(ColorFileLocation, ExitOnTheFirstLineGivesEmptyCounts) {
    box.Write("/u/qel/def_data/misc/colors.A", "exit\nb p RED BLUE\nc S p\n");
    std::string name = "colors.A";
    ASSERT_TRUE(Load(&name));
    EXPECT_EQ(console_, "ColorFile = colors.A; FgBgColorsCt = 0; OverRideCt = 0\n"
                        "Longest fgbg = 0; over = 0\n");
}

} // namespace
