// Install-tree path translation.
#include "paths.h"

#include "ospath.h"

#include <cctype>
#include <cstdlib>

namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

bool EnvSet(const char* name) {
    return std::getenv(name) != nullptr;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string RootOf(const char* var, const char* fallback) {
    std::string root = Env(var);
    if (root.empty()) root = fallback;
    if (root.back() != '/') root += '/';
    return root;
}

} // namespace

std::string ModifyPath(const std::string& path) {
    const std::string lower = Lower(path);
    size_t skip = 0;
    if (path.size() > 2 && path[1] == ':') {
        skip = 2;
        if (!EnvSet("QEL_Win_Install_Drive")) return path;
        std::string drive = Env("QEL_Win_Install_Drive");
        if (drive.empty() || drive[0] != path[0]) return path;
    }
    const std::string part = Env("QELPART");
    const std::string user = Env("QELUSER");
    if (lower.compare(skip, 11, "/u/qel/part") == 0 && !part.empty())
        return part + path.substr(skip + 11);
    if (lower.compare(skip, 15, "/u/qel/usr_data") == 0 && !user.empty())
        return user + path.substr(skip + 15);
    return path;
}

int f_MkDir(const std::string& path, int mode) {
    return os_mkdir(ModifyPath(path), static_cast<mode_t>(mode));
}

int f_Stat(const std::string& path, struct stat* st) {
    return os_stat(ModifyPath(path), st);
}

FILE* f_Fopen(const std::string& path, const char* mode) {
    return os_fopen(ModifyPath(path), mode);
}

std::string GetPartRoot() {
    return RootOf("QELPART", "/u/qel/part/");
}
std::string GetUserRoot() {
    return RootOf("QELUSER", "/u/qel/usr_data/");
}
