// Fuzz target: a path typed into a file screen and the matcher of its
// pattern. Input: the typed path, a walked file's path and an exact name,
// one a line. The typed path splits into folder and name that join back to
// it; the pattern's walk root is a folder of it; whatever matches lies
// below the root and has a name the pieces allow; the plain spelling of a
// name pattern matches it; the case rule changes only the case of the last
// component; a path shown is the path's own tail; the copy's destination
// never holds "//".
#include "copyplan.h"
#include "filematch.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string Line(const std::string& bytes, size_t* at) {
    const size_t end = bytes.find('\n', *at);
    std::string line = bytes.substr(*at, end == std::string::npos ? std::string::npos : end - *at);
    *at = end == std::string::npos ? bytes.size() : end + 1;
    return line;
}

void Check(bool ok) {
    if (!ok) std::abort();
}

bool SameButCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    size_t at = 0;
    const std::string typed = Line(bytes, &at);
    const std::string walked = Line(bytes, &at);
    const std::string exact = Line(bytes, &at);
    if (typed.size() > kFilePathMax || walked.size() > kFilePathMax) return 0;

    const std::string folder = FolderPart(typed);
    const std::string name = NamePart(typed);
    Check(folder + name == typed);
    Check(name.find('/') == std::string::npos);

    PathPattern pattern;
    if (MakePathPattern(typed, exact, &pattern)) {
        Check(folder.compare(0, pattern.root.size(), pattern.root) == 0);
        Check(pattern.root.empty() || pattern.root.back() == '/');
        Check(pattern.root.find('*') == std::string::npos);
        if (PathMatches(pattern, walked)) {
            Check(walked.compare(0, pattern.root.size(), pattern.root) == 0);
            const std::string walkedName = NamePart(walked);
            if (!pattern.name.exact.empty()) Check(walkedName == pattern.name.exact);
            const WildPieces& w = pattern.name;
            if (w.exact.empty()) {
                Check(walkedName.size() >= w.prefix.size() + w.middle.size() + w.suffix.size());
                Check(walkedName.compare(0, w.prefix.size(), w.prefix) == 0);
            }
        }
        // A name pattern in a plain folder: its plain spelling matches.
        if (exact.empty() && pattern.folderGlob.empty() && name.find('*') != std::string::npos) {
            const WildPieces& w = pattern.name;
            Check(PathMatches(pattern, folder + w.prefix + w.middle + w.suffix));
        }
    }

    const std::string fixed = FixFileName(typed);
    const size_t slash = typed.rfind('/');
    const std::string last =
        slash != std::string::npos && slash > 0 ? typed.substr(slash + 1) : typed;
    Check(SameButCase(fixed, last));
    const std::string shown = ShownPath(typed);
    Check(shown.size() <= typed.size());
    Check(typed.compare(typed.size() - shown.size(), shown.size(), shown) == 0);

    const CopyPaths p = BuildCopyPaths(walked, typed, folder);
    Check(p.d.find("//") == std::string::npos);
    Check(!p.d.empty() && p.d[0] == '/');
    return 0;
}
