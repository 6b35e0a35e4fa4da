// Part folders and the partname file.
#include "partsel.h"

#include "filelists.h"
#include "linereader.h"
#include "mainmenu.h"
#include "paths.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

std::vector<std::string> PartFolderTable;

const std::vector<std::string> PartSubdirTable = {
    "buffer", "cad", "contour", "feature", "formraw", "info", "plot", "program", "stat",
};

namespace {
constexpr const char* kDirfile = "/u/qel/database/dirfile";
constexpr const char* kPartname = "/u/qel/sys_data/files/partname";
// A line is read in pieces of this many characters, each a row of its own.
constexpr size_t kDirfilePiece = 48;
} // namespace

int FileExists(const std::string& path) {
    const char* driveVar = std::getenv("QEL_Win_Install_Drive");
    if (path.empty()) return 0;
    std::string tested = path;
    // The translation moves a path on the install's drive to the part and
    // user trees only when the drive is named; without it the path goes in
    // as it stands, as FileType and FileSize take it.
    if (driveVar && *driveVar && path.size() > 3) {
        const char drive = driveVar[0];
        const bool hasDrive = path[1] == ':' || (path[0] == '/' && path[2] == '=');
        if (!hasDrive) {
            tested = std::string(1, drive) + ":";
            if (path[0] != '/') tested += '/';
            tested += path;
        }
    }
    if (tested.size() > kFileExistsMax) return 0;
    struct stat st {};
    return f_Stat(tested, &st) == 0 ? 1 : 0;
}

int ReadDirfile() {
    UniqueFile f(f_Fopen(kDirfile, "r"));
    if (!f) return 0;
    PartFolderTable.clear();
    std::string piece;
    // The line end of a line that filled its piece comes as a piece of its
    // own; it is no empty line.
    bool inLine = false;
    while (PartFolderTable.size() < kPartFolderMax && ReadPiece(f.get(), kDirfilePiece, &piece)) {
        const std::string name = CutAtLineEnd(piece);
        const bool continued = inLine;
        inLine = name.size() == piece.size();
        if (name.empty() && continued) continue;
        // An empty line ends the table where it stands.
        if (name.empty()) break;
        PartFolderTable.push_back(name);
    }
    return 1;
}

void MakeMissingFolders(const std::string& part, const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        const std::string path = kPartRoot + part + "/" + folder;
        if (!FileExists(path)) f_MkDir(path, 0777);
    }
}

int MakePartDirs() {
    if (!ReadDirfile()) return 0;
    MakeMissingFolders(CurrentPart, PartFolderTable);
    return 1;
}

int MakeNewPartFolders(const std::string& name, std::string* failed) {
    failed->clear();
    if (!ReadDirfile()) return kNoDirfileLabel;
    const std::string folder = kPartRoot + name;
    errno = 0;
    if (f_MkDir(folder, 0777) != 0) {
        return errno == EEXIST ? kPartExistsLabel : kFolderFailedLabel;
    }
    for (const std::string& sub : PartFolderTable) {
        const std::string path = folder + "/" + sub;
        errno = 0;
        if (f_MkDir(path, 0777) != 0 && errno != EEXIST) {
            *failed = path;
            return kFolderFailedLabel;
        }
    }
    return 0;
}

bool WritePartname(const char* caller, const std::string& name) {
    FILE* f = f_Fopen(kPartname, "w");
    bool ok = f != nullptr;
    if (f) {
        ok = std::fputs(name.c_str(), f) >= 0;
        // A full disk shows only when the file is closed.
        ok = std::fclose(f) == 0 && ok;
    }
    if (!ok) {
        std::printf("%s: unable to write %s\n", caller, kPartname);
        std::fflush(stdout);
    }
    return ok;
}
