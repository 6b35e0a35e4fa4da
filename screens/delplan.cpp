// What the delete screen may remove, and its commands.
#include "delplan.h"

#include "paths.h"
#include "process.h"

namespace {

// The path's components less the empty ones and "."; false when the path
// is not absolute or holds ".." or a NUL.
bool Components(const std::string& path, std::vector<std::string>* parts) {
    if (path.empty() || path[0] != '/' || path.find('\0') != std::string::npos) return false;
    size_t start = 1;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") return false;
        if (!part.empty() && part != ".") parts->push_back(part);
        start = end + 1;
    }
    return true;
}

std::string CollapseSlashes(std::string path) {
    for (size_t at = path.find("//"); at != std::string::npos; at = path.find("//", at))
        path.erase(at, 1);
    return path;
}

std::string Translated(const std::string& path) {
    return ShellQuote(ModifyPath(path));
}

} // namespace

bool DeletionAllowed(const std::string& path, DelScope scope) {
    std::vector<std::string> parts;
    if (!Components(path, &parts)) return false;
    if (parts.size() < 2 || parts[0] != "u" || parts[1] != "qel") return false;
    const size_t below = parts.size() - 2; // levels below /u/qel/
    switch (scope) {
    case DelScope::kFile:
        return below >= 1 && path.back() != '/' && path.compare(path.size() - 2, 2, "/.") != 0;
    case DelScope::kWalk:
        return below >= 1;
    case DelScope::kFolder:
        return below >= 2;
    case DelScope::kPart:
        return below == 2 && parts[2] == "part";
    }
    return false;
}

std::string RmCommand(const std::string& path) {
    return "rm " + Translated(path);
}

std::string CompanionCommand(const std::string& path) {
    if (path.find("usr_data/sub/") == std::string::npos &&
        path.find("def_data/sub/") == std::string::npos)
        return "";
    return "rm -f " + Translated(path) + ".[ELRT]";
}

std::string RemoveDirCommand(const std::string& folder) {
    std::string path = folder;
    if (path.size() > 1 && path.back() == '/') path.pop_back();
    return "rm -r " + Translated(path);
}

std::string Files4PartCommand(const std::string& part) {
    return "files4part " + ShellQuote(part) + " > " + kNeededList;
}

NeededList ReadNeededFiles(FILE* f, std::set<std::string>* needed) {
    needed->clear();
    std::string bytes;
    char buf[4096];
    size_t n;
    while (bytes.size() <= kNeededListMax && (n = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes.append(buf, n);
    if (bytes.size() > kNeededListMax) return NeededList::kTooLong;
    std::set<std::string> paths;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        start = end + 1;
        // A tool that writes CR LF line ends may double the CR.
        while (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(' ') == std::string::npos) continue;
        if (line[0] != '/' || line.find('\0') != std::string::npos) return NeededList::kNotAList;
        paths.insert(CollapseSlashes(line));
    }
    if (paths.empty()) return NeededList::kEmpty;
    needed->swap(paths);
    return NeededList::kListed;
}
