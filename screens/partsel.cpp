// Part selection and part folders.
#include "partsel.h"

#include "paths.h"

#include <cstdlib>
#include <sys/stat.h>

int FileExists(const std::string& path) {
    const char* driveVar = std::getenv("QEL_Win_Install_Drive");
    const char drive = (driveVar && *driveVar) ? driveVar[0] : 'C';
    std::string tested = path;
    if (path.size() > 3) {
        const bool hasDrive = path[1] == ':' || (path[0] == '/' && path[2] == '=');
        if (!hasDrive) {
            tested = std::string(1, drive) + ":";
            if (path[0] != '/') tested += '/';
            tested += path;
        }
    }
    struct stat st {};
    return f_Stat(tested, &st) == 0 ? 1 : 0;
}
