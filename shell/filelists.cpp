// File-list loaders.
#include "filelists.h"

#include "paths.h"

#include <sys/stat.h>

int FileType(const std::string& path) {
    struct stat st {};
    if (f_Stat(path, &st) != 0) return 0;
    switch (st.st_mode & S_IFMT) {
    case S_IFDIR:
        return 1;
    case S_IFREG:
    case 0:
        return 2;
    case S_IFCHR:
        return 3;
    case S_IFBLK:
        return 4;
    case S_IFIFO:
        return 5;
    default:
        return 0;
    }
}

long FileSize(const std::string& path) {
    struct stat st {};
    if (f_Stat(path, &st) != 0) return 0;
    return static_cast<long>(st.st_size);
}
