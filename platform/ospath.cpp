// Sandbox seam and drive-letter strip at the system-call boundary.
#include "ospath.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Fixed names outside the install tree that the sandbox re-roots. A name
// ending in '_' or '/' is a prefix; the others match whole.
const char* const kFixedNames[] = {
    "/usr/bin/KILL_QELIPC", "/usr/bin/KILL_XSERVER",
    "/usr/bin/xserver",     "/usr/bin/xstop",
    "/usr/bin/XSRVR",       "/dev/M_",
    "/dev/imbed",           "/dev/tty1",
};

bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '-';
}

// Length of a leading drive at s[i]: 2 for "X:", 3 for "/X=", else 0.
size_t DriveLength(const std::string& s, size_t i) {
    if (i + 1 < s.size() && std::isalpha(static_cast<unsigned char>(s[i])) && s[i + 1] == ':')
        return 2;
    if (i + 2 < s.size() && s[i] == '/' && std::isalpha(static_cast<unsigned char>(s[i + 1])) &&
        s[i + 2] == '=')
        return 3;
    return 0;
}

// Does the text at s[i] start a path that the sandbox re-roots?
bool StartsRerooted(const std::string& s, size_t i) {
    auto under = [&](const char* dir) {
        size_t n = std::strlen(dir);
        if (s.compare(i, n, dir) != 0) return false;
        return i + n == s.size() || s[i + n] == '/' || !IsNameChar(s[i + n]);
    };
    if (under("/u") || under("/temp")) return true;
    for (const char* name : kFixedNames) {
        size_t n = std::strlen(name);
        if (s.compare(i, n, name) != 0) continue;
        char last = name[n - 1];
        if (last == '_' || last == '/') return true;
        if (i + n == s.size() || !IsNameChar(s[i + n]) || s[i + n] == '.') return true;
    }
    return false;
}

bool IsCommandSeparator(char c) {
    return std::isspace(static_cast<unsigned char>(c)) || std::strchr("'\"`=<>|;&()", c);
}

} // namespace

std::string SandboxRoot() {
    const char* root = std::getenv("QEL_SANDBOX");
    if (!root || !*root) return "";
    std::string r(root);
    while (r.size() > 1 && r.back() == '/') r.pop_back();
    return r;
}

bool IsRerootedPath(const std::string& path) {
    size_t skip = DriveLength(path, 0);
    return StartsRerooted(path, skip);
}

std::string OsPath(const std::string& path) {
    std::string p = path.substr(DriveLength(path, 0));
    std::string root = SandboxRoot();
    if (!root.empty() && StartsRerooted(p, 0)) return root + p;
    return p;
}

std::string OsCommand(const std::string& command) {
    std::string root = SandboxRoot();
    std::string out;
    out.reserve(command.size() + 64);
    size_t i = 0;
    while (i < command.size()) {
        bool wordStart = i == 0 || IsCommandSeparator(command[i - 1]);
        if (wordStart) {
            size_t drive = DriveLength(command, i);
            // A drive counts in a command only in front of an absolute path.
            if (drive == 2 && (i + 2 >= command.size() || command[i + 2] != '/')) drive = 0;
            size_t at = i + drive;
            if (!root.empty() && StartsRerooted(command, at)) {
                out += root;
                i = at;
            } else if (drive) {
                i = at;
            }
        }
        out += command[i++];
    }
    return out;
}

std::string UnrootPath(const std::string& path) {
    std::string root = SandboxRoot();
    if (root.empty() || path.compare(0, root.size(), root) != 0) return path;
    if (path.size() == root.size() || path[root.size()] != '/') return path;
    // Only what the seam maps in comes back out, so that OsPath(UnrootPath(p))
    // is p again for every path.
    std::string inner = path.substr(root.size());
    return StartsRerooted(inner, 0) ? inner : path;
}

int os_open(const std::string& path, int flags, mode_t mode) {
    return ::open(OsPath(path).c_str(), flags, mode);
}
int os_stat(const std::string& path, struct stat* st) {
    return ::stat(OsPath(path).c_str(), st);
}
int os_lstat(const std::string& path, struct stat* st) {
    return ::lstat(OsPath(path).c_str(), st);
}
FILE* os_fopen(const std::string& path, const char* mode) {
    return std::fopen(OsPath(path).c_str(), mode);
}
int os_mkdir(const std::string& path, mode_t mode) {
    return ::mkdir(OsPath(path).c_str(), mode);
}
int os_unlink(const std::string& path) {
    return ::unlink(OsPath(path).c_str());
}
int os_remove(const std::string& path) {
    return std::remove(OsPath(path).c_str());
}
int os_rename(const std::string& from, const std::string& to) {
    return std::rename(OsPath(from).c_str(), OsPath(to).c_str());
}
DIR* os_opendir(const std::string& path) {
    return ::opendir(OsPath(path).c_str());
}
key_t os_ftok(const std::string& path, int proj) {
    return ::ftok(OsPath(path).c_str(), proj);
}
int os_chdir(const std::string& path) {
    return ::chdir(OsPath(path).c_str());
}
int os_access(const std::string& path, int mode) {
    return ::access(OsPath(path).c_str(), mode);
}

std::string os_getcwd() {
    char* cwd = ::getcwd(nullptr, 0);
    if (!cwd) return "";
    std::string s(cwd);
    std::free(cwd);
    return UnrootPath(s);
}
