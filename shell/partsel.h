// Part folders: the existence test of the whole program, the subfolders a
// part gets, the creation of a new part's folders and the partname file.
// No X: the part selection (partselect.h) shows the messages.
#pragma once

#include <string>
#include <vector>

// 1 when the path exists, through the install-tree translation, so that it
// answers for the file that FileType and FileSize see. With
// QEL_Win_Install_Drive set, a path without a drive is tested on that drive;
// without it the path is tested as it stands. An empty path, or a tested
// path longer than kFileExistsMax characters, answers 0.
inline constexpr size_t kFileExistsMax = 512;
int FileExists(const std::string& path);

// The subfolders that a new part gets and that a run keeps present, as the
// last ReadDirfile read them from /u/qel/database/dirfile: at most
// kPartFolderMax names, up to the first empty line.
inline constexpr size_t kPartFolderMax = 19;
extern std::vector<std::string> PartFolderTable;

// The subfolders that a part gets when it is selected.
extern const std::vector<std::string> PartSubdirTable;

// Loads the folder table: 0 when dirfile cannot be opened, else 1.
int ReadDirfile();
// Creates the current part's missing dirfile subfolders: 0 when dirfile
// cannot be opened, else 1.
int MakePartDirs();
// Creates the part's missing folders of the table (through the install-tree
// translation, mode 0777; failures are not reported).
void MakeMissingFolders(const std::string& part, const std::vector<std::string>& folders);

// Labels of a failed creation of a part.
inline constexpr int kNoDirfileLabel = 130;
inline constexpr int kPartExistsLabel = 71;
inline constexpr int kFolderFailedLabel = 69;

// Creates the folder of a new part and its dirfile subfolders: 0, or the
// label of the failure: dirfile missing (130, nothing made), the part's
// folder there already (71) or not made (69), a subfolder not made (69, its
// path in *failed; what was made stays). *failed is empty unless a subfolder
// failed.
int MakeNewPartFolders(const std::string& name, std::string* failed);

// Writes the name into /u/qel/sys_data/files/partname, without a line end.
// False, with a console line under the caller's name, when the file cannot
// be opened or written whole.
bool WritePartname(const char* caller, const std::string& name);
