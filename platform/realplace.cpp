// Real places through realpath, for the part of the way that exists.
#include "realplace.h"

#include "ospath.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <vector>

namespace {

// The resolved form of an existing path; "" with errno set when it cannot be
// resolved.
std::string Resolved(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return "";
    std::string out = real;
    std::free(real);
    return out;
}

} // namespace

std::string os_realplace(const std::string& path) {
    std::string head = OsPath(path);
    if (head.empty() || head[0] != '/') return "";
    // The components that do not exist (yet), last first.
    std::vector<std::string> rest;
    for (;;) {
        errno = 0;
        const std::string real = Resolved(head);
        if (!real.empty()) {
            std::string place = real == "/" ? "" : real;
            for (auto it = rest.rbegin(); it != rest.rend(); ++it) {
                if (*it == "..") return "";
                if (*it != "." && !it->empty()) place += "/" + *it;
            }
            return place.empty() ? "/" : place;
        }
        if (errno != ENOENT && errno != ENOTDIR) return "";
        while (head.size() > 1 && head.back() == '/') head.pop_back();
        // A link that leads nowhere would lead wherever its target is made.
        struct stat st {};
        if (::lstat(head.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) return "";
        const size_t slash = head.rfind('/');
        if (head == "/" || slash == std::string::npos) return "";
        rest.push_back(head.substr(slash + 1));
        head.erase(slash == 0 ? 1 : slash);
    }
}

bool RealPlaceWithin(const std::string& place, const std::string& folder) {
    if (place.empty() || folder.empty()) return false;
    if (folder == "/") return place[0] == '/';
    return place.compare(0, folder.size(), folder) == 0 &&
           (place.size() == folder.size() || place[folder.size()] == '/');
}
