// What the file screens share about names and paths: file-name patterns
// with "*", folder patterns of typed paths, the case rule for file names,
// and how an install-tree path is shown to the operator. No X.
#pragma once

#include <string>
#include <string_view>

// The longest path (folder, typed path, source or destination) that the
// file screens take; a longer one is refused with label 70.
inline constexpr size_t kFilePathMax = 255;
// The install tree, which the screens leave out in front of the paths they
// show.
inline constexpr const char* kInstallRoot = "/u/qel/";
inline constexpr int kInstallRootLength = 7;

// A file-name pattern: an exact name, or the pieces around its "*"s.
struct WildPieces {
    std::string exact;
    std::string prefix, middle, suffix;
};

// The pieces of a name pattern: prefix before the first "*", middle between
// the first and the second, suffix after the second (or after the only one);
// a third "*" stays in the suffix. A name without "*" gives no pieces.
WildPieces SplitWildcard(const std::string& pattern);

// Whether a file name matches: with an exact name, equal to it; otherwise
// it begins with the prefix, ends with the suffix and holds the middle
// between the two, the three never overlapping ("A*A" does not match "A").
// Empty pieces match anything.
bool WildMatch(const WildPieces& pieces, std::string_view name);

// Whether a folder (ending in "/") matches a folder pattern (ending in "/").
// A "*" that fills a whole folder name ("/*/") stands for any number of
// folder levels, none included; any other "*" for any run of characters
// within one folder name.
bool FolderMatches(const std::string& pattern, const std::string& folder);

// A typed path with "*": where the walk starts, which folders count, and
// which names.
struct PathPattern {
    std::string root;       // the walk root, ending in "/"
    std::string folderGlob; // the folder part when it holds "*", else ""
    WildPieces name;
};
// The pattern of a source path (folder part through its last "/", then the
// name). A folder part without "*" is the walk root, and every folder below
// it counts; one with "*" is cut at the last "/" before its first "*" for
// the root, and only folders that match it count. The name is matched
// exactly when exactName is given or when only the folder part holds "*".
// False when the path holds no "*" at all (no exact name given either).
bool MakePathPattern(const std::string& path, const std::string& exactName, PathPattern* out);
// Whether a walked file (folder + "/" + name) belongs to the pattern.
bool PathMatches(const PathPattern& pattern, const std::string& path);

// The folder part of a path through its last "/" ("" when it holds none),
// and the name after it.
std::string FolderPart(const std::string& path);
std::string NamePart(const std::string& path);

// The case rule: the last component of the path (the text after its last
// "/", the whole text when no "/" stands after its first character),
// upper-cased when the path lies in the user, default or run data trees
// ("usr_data/", "def_data/", "run_data/") or below a part's own folder
// ("part/" and at least 6 "/"), and in neither case in a program or info
// folder or under a "/*/" pattern. Answers the component.
std::string FixFileName(const std::string& path);

// A name typed for the folder: the name by the case rule when a file of
// that name is there, else the name as typed (the file system tells case
// apart, so the rule must not name another file or none).
std::string TypedFileName(const std::string& folder, const std::string& name);

// How often c occurs in s.
int CountChar(const std::string& s, char c);

// A path as the screens show it: less its first cut characters when it
// begins with "/u/qel/" and is that long, else whole.
std::string ShownPath(const std::string& path, int cut = kInstallRootLength);
