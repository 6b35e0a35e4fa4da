// Tree walks that take each entry's kind from the folder that lists it (the
// directory entry's type) and ask the file system only where the entry
// gives none, as find does; physical: no symbolic link is followed, and a
// folder is opened only as a folder, never through a link.
#include "treewalk.h"

#include "ospath.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Visitor = std::function<void(const std::string&, WalkKind)>;

struct Entry {
    std::string name;
    WalkKind kind;
};

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

WalkKind KindOfMode(mode_t mode) {
    if (S_ISREG(mode)) return WalkKind::kFile;
    if (S_ISDIR(mode)) return WalkKind::kFolder;
    return WalkKind::kOther;
}

// The kind of a folder's entry: its type where the folder gives one, else
// what the file system says of it (an entry that cannot be asked is kOther).
WalkKind EntryKind(int folder, const char* name, unsigned char type) {
    switch (type) {
    case DT_REG:
        return WalkKind::kFile;
    case DT_DIR:
        return WalkKind::kFolder;
    case DT_UNKNOWN: {
        struct stat st {};
        if (::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return WalkKind::kOther;
        return KindOfMode(st.st_mode);
    }
    default:
        return WalkKind::kOther;
    }
}

// Every entry of a folder but "." and "..", in the order the folder gives
// them; false when the path cannot be opened as a folder (nothing read).
bool ReadFolder(const std::string& path, WalkKinds kinds, std::vector<Entry>* entries) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    while (const dirent* e = ::readdir(dir)) {
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'))) continue;
        const unsigned char type =
            kinds == WalkKinds::kFromFolder ? e->d_type : static_cast<unsigned char>(DT_UNKNOWN);
        entries->push_back({n, EntryKind(fd, n, type)});
    }
    ::closedir(dir);
    return true;
}

struct Walk {
    const Visitor& visit;
    WalkKinds kinds;
    std::string os;    // the entry at hand as the OS sees it
    std::string shown; // and as the caller shows it
};

// Reports the folder at hand (a folder that cannot be read as what it is
// not: kOther), then each of its entries, entering each folder among them
// before the next entry.
void WalkFolder(Walk& w, const std::string& shownSelf) {
    std::vector<Entry> entries;
    if (!ReadFolder(w.os.empty() ? "/" : w.os, w.kinds, &entries)) {
        w.visit(shownSelf, WalkKind::kOther);
        return;
    }
    w.visit(shownSelf, WalkKind::kFolder);
    const size_t osLength = w.os.size();
    const size_t shownLength = w.shown.size();
    for (const Entry& e : entries) {
        w.os.append(1, '/').append(e.name);
        w.shown.append(1, '/').append(e.name);
        if (e.kind == WalkKind::kFolder)
            WalkFolder(w, w.shown);
        else
            w.visit(w.shown, e.kind);
        w.os.resize(osLength);
        w.shown.resize(shownLength);
    }
}

} // namespace

bool os_walk(const std::string& root, const std::string& shownRoot, const Visitor& visit,
             WalkKinds kinds) {
    if (root.empty()) return false;
    const std::string osRoot = WithoutTrailingSlash(OsPath(root));
    const std::string shown = WithoutTrailingSlash(shownRoot);
    struct stat st {};
    if (::lstat(osRoot.c_str(), &st) != 0) return false;
    // Below the root the entries are the root less a lone "/", then "/"
    // and the rest.
    Walk walk{visit, kinds, osRoot == "/" ? "" : osRoot, shown == "/" ? "" : shown};
    if (S_ISDIR(st.st_mode))
        WalkFolder(walk, shown);
    else
        visit(shown, KindOfMode(st.st_mode));
    return true;
}
