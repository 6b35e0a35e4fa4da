// The install tree's roots where they really lie, and paths judged on them.
#include "intree.h"

#include "paths.h"
#include "realplace.h"

bool InInstallTree(const std::string& path) {
    if (path.empty() || path[0] != '/') return false;
    std::string way = path;
    const size_t slash = way.rfind('/');
    const std::string last = way.substr(slash + 1);
    // A file is judged by the folder it stands in; "." and ".." name folders.
    if (!last.empty() && last != "." && last != "..") way.erase(slash + 1);
    const std::string place = os_realplace(ModifyPath(way));
    for (const char* root : {"/u/qel/", "/u/qel/part/", "/u/qel/usr_data/"})
        if (RealPlaceWithin(place, os_realplace(ModifyPath(root)))) return true;
    return false;
}
