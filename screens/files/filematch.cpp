// Names, patterns, the case rule and shown paths of the file screens.
#include "filematch.h"

#include "filelists.h"

#include <cctype>
#include <vector>

namespace {

bool Contains(const std::string& s, const char* piece) {
    return s.find(piece) != std::string::npos;
}

// The folder names of a folder path, without the empty ones around "/".
std::vector<std::string> Components(const std::string& folder) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= folder.size()) {
        const size_t end = folder.find('/', start);
        const std::string part =
            folder.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!part.empty()) parts.push_back(part);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return parts;
}

// A name against a pattern in which every "*" stands for any run of
// characters.
bool GlobName(const std::string& pattern, const std::string& name) {
    size_t p = 0, n = 0, star = std::string::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (p < pattern.size() && pattern[p] == name[n]) {
            ++p;
            ++n;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

// Folder names against pattern names, a "*" name standing for any number of
// levels: match[i][j] tells whether the pattern from i matches the folder
// from j (a table, so that many "*"s cost no more than a product).
bool GlobFolders(const std::vector<std::string>& pattern, const std::vector<std::string>& folder) {
    const size_t np = pattern.size(), nf = folder.size();
    std::vector<std::vector<char>> match(np + 1, std::vector<char>(nf + 1, 0));
    match[np][nf] = 1;
    for (size_t i = np; i-- > 0;) {
        for (size_t j = nf + 1; j-- > 0;) {
            if (pattern[i] == "*")
                match[i][j] = match[i + 1][j] || (j < nf && match[i][j + 1]);
            else
                match[i][j] = j < nf && GlobName(pattern[i], folder[j]) && match[i + 1][j + 1];
        }
    }
    return match[0][0] != 0;
}

} // namespace

WildPieces SplitWildcard(const std::string& pattern) {
    WildPieces w;
    const size_t first = pattern.find('*');
    if (first == std::string::npos) return w;
    w.prefix = pattern.substr(0, first);
    const size_t second = pattern.find('*', first + 1);
    if (second == std::string::npos) {
        w.suffix = pattern.substr(first + 1);
    } else {
        w.middle = pattern.substr(first + 1, second - first - 1);
        w.suffix = pattern.substr(second + 1);
    }
    return w;
}

bool WildMatch(const WildPieces& w, std::string_view name) {
    if (!w.exact.empty()) return name == w.exact;
    if (name.size() < w.prefix.size() + w.middle.size() + w.suffix.size()) return false;
    if (name.compare(0, w.prefix.size(), w.prefix) != 0) return false;
    if (name.compare(name.size() - w.suffix.size(), w.suffix.size(), w.suffix) != 0) return false;
    if (w.middle.empty()) return true;
    const size_t between = name.size() - w.prefix.size() - w.suffix.size();
    return name.substr(w.prefix.size(), between).find(w.middle) != std::string_view::npos;
}

bool FolderMatches(const std::string& pattern, const std::string& folder) {
    // Both are absolute or both relative.
    const bool patternAbsolute = !pattern.empty() && pattern[0] == '/';
    const bool folderAbsolute = !folder.empty() && folder[0] == '/';
    if (patternAbsolute != folderAbsolute) return false;
    return GlobFolders(Components(pattern), Components(folder));
}

std::string FolderPart(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string NamePart(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool MakePathPattern(const std::string& path, const std::string& exactName, PathPattern* out) {
    PathPattern p;
    const std::string folder = FolderPart(path);
    const std::string name = NamePart(path);
    const size_t star = folder.find('*');
    const bool nameStar = name.find('*') != std::string::npos;
    if (star == std::string::npos && !nameStar && exactName.empty()) return false;
    if (star == std::string::npos) {
        p.root = folder;
    } else {
        p.root = folder.substr(0, folder.rfind('/', star) + 1);
        p.folderGlob = folder;
    }
    if (!exactName.empty())
        p.name.exact = exactName;
    else if (nameStar)
        p.name = SplitWildcard(name);
    else
        p.name.exact = name;
    *out = p;
    return true;
}

bool PathMatches(const PathPattern& pattern, const std::string& path) {
    // Every file of a walk is tested: no copies on the way.
    const size_t slash = path.rfind('/');
    const std::string_view whole(path);
    const std::string_view name = slash == std::string::npos ? whole : whole.substr(slash + 1);
    const std::string_view folder =
        slash == std::string::npos ? std::string_view() : whole.substr(0, slash + 1);
    if (!WildMatch(pattern.name, name)) return false;
    if (folder.compare(0, pattern.root.size(), pattern.root) != 0) return false;
    return pattern.folderGlob.empty() || FolderMatches(pattern.folderGlob, std::string(folder));
}

std::string FixFileName(const std::string& path) {
    const size_t slash = path.rfind('/');
    const bool split = slash != std::string::npos && slash > 0;
    std::string last = split ? path.substr(slash + 1) : path;
    const bool dataTree =
        Contains(path, "usr_data/") || Contains(path, "def_data/") || Contains(path, "run_data/");
    const bool partFolder = Contains(path, "part/") && CountChar(path, '/') >= 6;
    const bool kept =
        Contains(path, "/program/") || Contains(path, "/info/") || Contains(path, "/*/");
    if ((dataTree || partFolder) && !kept)
        for (char& c : last) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return last;
}

std::string TypedFileName(const std::string& folder, const std::string& name) {
    const std::string fixed = FixFileName(folder + name);
    if (fixed != name && FileType(folder + fixed) != 0) return fixed;
    return name;
}

int CountChar(const std::string& s, char c) {
    int n = 0;
    for (char x : s)
        if (x == c) ++n;
    return n;
}

std::string ShownPath(const std::string& path, int cut) {
    if (path.compare(0, kInstallRootLength, kInstallRoot) != 0) return path;
    if (cut < 0 || static_cast<size_t>(cut) > path.size()) return path;
    return path.substr(cut);
}
