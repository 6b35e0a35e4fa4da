// Places judged against the install tree, as written and on disk.
#include "treeplace.h"

#include "ospath.h"
#include "paths.h"

namespace {

// The path as written, less its drive, with "//" and "." parts gone and
// ".." taken against what comes before it; "" when it is not absolute.
std::string Lexical(const std::string& path) {
    const std::string p = WithoutDrive(path);
    if (p.empty() || p[0] != '/') return "";
    std::vector<std::string> parts;
    for (size_t start = 1; start <= p.size();) {
        size_t end = p.find('/', start);
        if (end == std::string::npos) end = p.size();
        const std::string part = p.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out;
    for (const std::string& part : parts) out += "/" + part;
    return out.empty() ? "/" : out;
}

bool AtOrBelow(const std::string& path, const std::string& root) {
    if (path.empty() || root.empty()) return false;
    if (root == "/") return true;
    return path.compare(0, root.size(), root) == 0 &&
           (path.size() == root.size() || path[root.size()] == '/');
}

} // namespace

InstallTree CurrentInstallTree() {
    InstallTree tree;
    for (const std::string& root : {std::string("/u/qel"), GetPartRoot(), GetUserRoot()}) {
        const std::string r = Lexical(root);
        if (!r.empty()) tree.written.push_back(r);
    }
    // The install's own part and user-data folders may be links to where
    // the install keeps them.
    std::vector<std::string> onDisk = tree.written;
    onDisk.push_back("/u/qel/part");
    onDisk.push_back("/u/qel/usr_data");
    for (const std::string& root : onDisk) {
        const std::string r = os_realpath(root, true);
        if (!r.empty()) tree.real.push_back(r);
    }
    return tree;
}

TreePlace JudgeTreePlace(const std::string& place) {
    return JudgeTreePlace(place, CurrentInstallTree());
}

TreePlace JudgeTreePlace(const std::string& place, const InstallTree& tree, bool followLast) {
    const std::string written = Lexical(place);
    bool inside = false;
    for (const std::string& root : tree.written) inside = inside || AtOrBelow(written, root);
    if (!inside) return TreePlace::kOutside;
    const std::string real = os_realpath(place, followLast);
    for (const std::string& root : tree.real)
        if (AtOrBelow(real, root)) return TreePlace::kInside;
    return TreePlace::kThroughLink;
}

bool InInstallTree(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
    const bool folder = last.empty() || last == "." || last == "..";
    return JudgeTreePlace(ModifyPath(path), CurrentInstallTree(), folder) == TreePlace::kInside;
}
