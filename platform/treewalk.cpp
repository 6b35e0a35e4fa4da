// Tree walks through nftw, physical (no symbolic link followed).
#include "treewalk.h"

#include "ospath.h"

#include <cstring>
#include <ftw.h>
#include <sys/stat.h>

namespace {

// The walk now running: nftw's callback takes no data of its own.
struct Walk {
    const std::function<void(const std::string&, WalkKind)>* visit;
    std::string osRoot; // as nftw is given it
    std::string root;   // as the caller shows it
    std::string osBase; // the two less a lone "/", to put the rest behind
    std::string base;
    std::string path; // the entry being reported
};
Walk* Current = nullptr;

constexpr int kOpenFolders = 16;

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

int Visit(const char* path, const struct stat* st, int flag, struct FTW*) {
    WalkKind kind = WalkKind::kOther;
    if (flag == FTW_D && st && S_ISDIR(st->st_mode)) kind = WalkKind::kFolder;
    if (flag == FTW_F && st && S_ISREG(st->st_mode)) kind = WalkKind::kFile;
    Walk& w = *Current;
    // nftw hands back the root as it was passed, and root + "/" + the rest.
    if (w.osRoot == path) {
        (*w.visit)(w.root, kind);
    } else if (std::strncmp(path, w.osBase.data(), w.osBase.size()) == 0) {
        w.path.assign(w.base);
        w.path.append(path + w.osBase.size());
        (*w.visit)(w.path, kind);
    }
    return 0;
}

} // namespace

bool os_walk(const std::string& root, const std::string& shownRoot,
             const std::function<void(const std::string& path, WalkKind kind)>& visit) {
    if (root.empty()) return false;
    Walk walk{&visit, WithoutTrailingSlash(OsPath(root)), WithoutTrailingSlash(shownRoot), "", "",
              ""};
    walk.osBase = walk.osRoot == "/" ? "" : walk.osRoot;
    walk.base = walk.root == "/" ? "" : walk.root;
    struct stat st {};
    if (::lstat(walk.osRoot.c_str(), &st) != 0) return false;
    Walk* outer = Current;
    Current = &walk;
    const int r = nftw(walk.osRoot.c_str(), Visit, kOpenFolders, FTW_PHYS);
    Current = outer;
    return r == 0;
}
