// Part selection and part folders.
#pragma once

#include <string>
#include <vector>

// 1 when the path exists. A path without a drive is tested on the install's
// drive (QEL_Win_Install_Drive, else C:).
int FileExists(const std::string& path);

// The subfolders that a new part gets and that a run keeps present, as the
// last ReadDirfile read them from /u/qel/database/dirfile: at most
// kPartFolderMax names, up to the first empty line.
inline constexpr size_t kPartFolderMax = 19;
extern std::vector<std::string> PartFolderTable;

// Loads the folder table: 0 when dirfile cannot be opened, else 1.
int ReadDirfile();
// Creates the current part's missing dirfile subfolders: 0 when dirfile
// cannot be opened, else 1.
int MakePartDirs();
