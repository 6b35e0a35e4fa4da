// Names and paths of the file screens, without X: the case rule, the split
// of a name pattern and its match, folder patterns and typed path patterns,
// and how paths are shown.
#include <gtest/gtest.h>

#include "filematch.h"

#include <string>
#include <vector>

namespace {

TEST(FileMatch, CaseRule) {
    const struct {
        const char* path;
        const char* name;
    } cases[] = {
        {"/u/qel/usr_data/misc/abc", "ABC"},
        {"/u/qel/def_data/sub/x.e", "X.E"},
        {"/u/qel/run_data/tc", "TC"},
        {"/u/qel/part/P1/program/llf", "llf"}, // program folders keep their case
        {"/u/qel/part/P1/info/note", "note"},
        {"/u/qel/part/P1/x", "x"},      // five "/": directly in a part's folder
        {"/u/qel/part/P1/stat/x", "X"}, // six
        {"/u/qel/part/*/stat/x", "x"},  // under a "/*/" pattern
        {"/u/qel/part/P1/stat/*.nom", "*.NOM"},
        {"abc", "abc"},
        {"/abc", "/abc"}, // no "/" after the first character: the whole text
        // Absolute paths outside the install tree and destinations as the
        // copy builds them.
        {"/temp/abc/x", "x"},
        {"/temp/part/a/b/c/x", "X"},
        {"/u/qel/part/P2/program/llf", "llf"},
        {"/u/qel/part/P2/stat/new", "NEW"},
        {"/u/qel/*.OLD", "*.OLD"},
        {"/u/qel/part/P1/contour/*.old", "*.OLD"},
    };
    for (const auto& c : cases) EXPECT_EQ(FixFileName(c.path), c.name) << c.path;
}

TEST(FileMatch, PatternPiecesAndMatches) {
    const struct {
        const char* pattern;
        const char* prefix;
        const char* middle;
        const char* suffix;
        std::vector<const char*> match, noMatch;
    } cases[] = {
        {"P*Q*R*S", "P", "Q", "R*S", {"PxQxR*S", "PQR*S"}, {"PxQxRS", "PQxR*", "QR*S"}},
        {"*.BAK", "", "", ".BAK", {"a.BAK", ".BAK"}, {"a.bak", "a.BAK1"}},
        {"A*A", "A", "", "A", {"AA", "AxA"}, {"A"}},
        {"A*B*A", "A", "B", "A", {"ABA", "AxBxA"}, {"A", "AB", "BA", "ABBA1"}},
        {"*x*", "", "x", "", {"x", "axb"}, {"ab", ""}},
        {"*", "", "", "", {"anything", ""}, {}},
        {"ab*", "ab", "", "", {"ab", "abc"}, {"a", "xab"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        const WildPieces w = SplitWildcard(c.pattern);
        EXPECT_EQ(w.prefix, c.prefix);
        EXPECT_EQ(w.middle, c.middle);
        EXPECT_EQ(w.suffix, c.suffix);
        EXPECT_TRUE(w.exact.empty());
        for (const char* name : c.match) EXPECT_TRUE(WildMatch(w, name)) << name;
        for (const char* name : c.noMatch) EXPECT_FALSE(WildMatch(w, name)) << name;
    }
    // A name without "*" gives no pieces; an exact name matches only itself.
    const WildPieces none = SplitWildcard("llf");
    EXPECT_TRUE(none.prefix.empty() && none.middle.empty() && none.suffix.empty());
    WildPieces exact;
    exact.exact = "a*b";
    EXPECT_TRUE(WildMatch(exact, "a*b"));
    EXPECT_FALSE(WildMatch(exact, "axb"));
}

TEST(FileMatch, FolderPatterns) {
    const struct {
        const char* pattern;
        const char* folder;
        bool match;
    } cases[] = {
        {"/u/qel/part/*/program/", "/u/qel/part/P1/program/", true},
        {"/u/qel/part/*/program/", "/u/qel/part/P1/old/program/", true},
        {"/u/qel/part/*/program/", "/u/qel/part/program/", true}, // no level
        {"/u/qel/part/*/program/", "/u/qel/part/P1/program/sub/", false},
        {"/u/qel/part/*/program/", "/u/qel/part/P1/", false},
        {"/u/qel/part/P*/stat/", "/u/qel/part/P1/stat/", true},
        {"/u/qel/part/P*/stat/", "/u/qel/part/P/stat/", true},
        {"/u/qel/part/P*/stat/", "/u/qel/part/Q1/stat/", false},
        {"/u/qel/part/P*/stat/", "/u/qel/part/P1/x/stat/", false}, // one name only
        {"/u/qel/part/*/", "/u/qel/part/", true},
        {"/u/qel/part/*/", "/u/qel/part/a/b/c/", true},
        {"/u/qel/*/*/x/", "/u/qel/x/", true},
        {"/u/qel/*/*/x/", "/u/qel/a/b/c/d/y/", false},
        {"part/*/", "/u/qel/part/", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FolderMatches(c.pattern, c.folder), c.match) << c.pattern << " " << c.folder;
    // Many "*" levels against a deep folder are a table, not a search.
    std::string pattern = "/", folder = "/";
    for (int i = 0; i < 60; ++i) {
        pattern += "*/a/";
        folder += "a/";
    }
    EXPECT_FALSE(FolderMatches(pattern + "b/", folder));
}

TEST(FileMatch, TypedPathPatterns) {
    const struct {
        const char* path;
        const char* exact;
        const char* root;
        std::vector<const char*> match, noMatch;
    } cases[] = {
        // Only the folder part holds "*": the name is exact.
        {"/u/qel/part/*/program/llf",
         "",
         "/u/qel/part/",
         {"/u/qel/part/P1/program/llf", "/u/qel/part/P2/program/llf"},
         {"/u/qel/part/P1/program/llf.SAV", "/u/qel/part/P1/contour/a.NOM",
          "/u/qel/part/P1/program/x/llf"}},
        // The root is cut at the "/" before the first "*".
        {"/u/qel/part/P*/stat/x",
         "",
         "/u/qel/part/",
         {"/u/qel/part/P1/stat/x", "/u/qel/part/P22/stat/x"},
         {"/u/qel/part/Q1/stat/x", "/u/qel/part/P1/stat/X", "/u/qel/part/P1/stat/y"}},
        // A name typed in a folder with sub folders: that exact name in the
        // folder itself and below it, a "*" in it an ordinary character.
        {"/u/qel/part/P1/*/llf",
         "llf",
         "/u/qel/part/P1/",
         {"/u/qel/part/P1/llf", "/u/qel/part/P1/program/llf", "/u/qel/part/P1/a/b/llf"},
         {"/u/qel/part/P2/llf", "/u/qel/part/P1/llf2"}},
        {"/u/qel/part/*/a*b", "a*b", "/u/qel/part/", {"/u/qel/part/P1/a*b"}, {"/u/qel/part/axb"}},
        // A name pattern in a plain folder: every folder below counts.
        {"/u/qel/part/P1/contour/*.NOM",
         "",
         "/u/qel/part/P1/contour/",
         {"/u/qel/part/P1/contour/A.NOM", "/u/qel/part/P1/contour/sub/b.NOM"},
         {"/u/qel/part/P1/contour/b.nom", "/u/qel/part/P1/A.NOM"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        PathPattern p;
        ASSERT_TRUE(MakePathPattern(c.path, c.exact, &p));
        EXPECT_EQ(p.root, c.root);
        for (const char* path : c.match) EXPECT_TRUE(PathMatches(p, path)) << path;
        for (const char* path : c.noMatch) EXPECT_FALSE(PathMatches(p, path)) << path;
    }
    PathPattern p;
    EXPECT_FALSE(MakePathPattern("/u/qel/part/P1/program/llf", "", &p));
}

TEST(FileMatch, ShownPaths) {
    const struct {
        const char* path;
        int cut;
        const char* shown;
    } cases[] = {
        {"/u/qel/part/P1/", 7, "part/P1/"},
        {"/u/qel/", 7, ""},
        {"/u/qel", 7, "/u/qel"},
        {"/a", 7, "/a"},
        {"/temp/abc/x", 7, "/temp/abc/x"},
        {"/u/qelx/a", 7, "/u/qelx/a"},
        {"/u/qel/part/P1/", 0, "/u/qel/part/P1/"},
    };
    for (const auto& c : cases) EXPECT_EQ(ShownPath(c.path, c.cut), c.shown) << c.path;
    EXPECT_EQ(CountChar("/u/qel/part/P2//llf", '/'), 6);
    EXPECT_EQ(FolderPart("part/P2/llf"), "part/P2/");
    EXPECT_EQ(NamePart("part/P2/llf"), "llf");
    EXPECT_EQ(FolderPart("llf"), "");
    EXPECT_EQ(NamePart("llf"), "llf");
}

} // namespace
