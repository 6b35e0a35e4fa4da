// Part selection and part folders.
#include "partsel.h"

#include "linereader.h"
#include "mainmenu.h"
#include "paths.h"

#include <cstdlib>
#include <sys/stat.h>

std::vector<std::string> PartFolderTable;

namespace {
constexpr const char* kDirfile = "/u/qel/database/dirfile";
// A line is read in pieces of this many characters, each a row of its own.
constexpr size_t kDirfilePiece = 48;
} // namespace

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

int MakePartDirs() {
    if (!ReadDirfile()) return 0;
    for (const std::string& folder : PartFolderTable) {
        const std::string path = "/u/qel/part/" + CurrentPart + "/" + folder;
        if (!FileExists(path)) f_MkDir(path, 0777);
    }
    return 1;
}
