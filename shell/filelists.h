// File-list loaders: the names that the part selection and the file screens
// show, from the listing script (/u/qel/shell/dols), from tar and from the
// install's list files, and what kind of file a path names. No X: the
// screens put the names into their lists (listfill.h) and tell the operator
// why a listing failed.
//
// A loader answers its names whole, as std::strings (a list row shows what
// fits of them); a loader that fails answers no names and says why on the
// console.
#pragma once

#include "tarlisting.h"

#include <string>
#include <vector>

// The part-folder root, and the scratch files of the listings.
inline constexpr const char* kPartRoot = "/u/qel/part/";
inline constexpr const char* kListOut = "/u/tmp/lst.out";
inline constexpr const char* kTarOut = "/u/tmp/tar.out";

// Labels of a failed listing (each shown with label 100 below it).
inline constexpr int kListUnreadableLabel = 126;
inline constexpr int kListNoMemoryLabel = 127;
inline constexpr int kListEmptyLabel = 201;

// The kind of file the path names, after the install-tree translation:
// 1 folder, 2 regular file, 3 character device, 4 block device, 5 FIFO,
// 0 anything else or a path that cannot be examined.
int FileType(const std::string& path);
// The size in bytes of the file the path names (after the install-tree
// translation); 0 when it cannot be examined.
long FileSize(const std::string& path);

// The names that the listing script gives for the folder (translated). 0
// with the names, else the label of the failure with none: the listing
// cannot be read (126), it names nothing (201), no memory (127). The scratch
// file is removed before the script runs and after a successful read.
int ReadDirList(const std::string& folder, std::vector<std::string>* names);

// The lines of the list file (opened through the translation) that have
// text and name a folder under /u/qel/part/, in file order: 0 with the names
// (none when no line qualifies), or 126 when the file cannot be opened.
int ReadPartList(const std::string& listFile, std::vector<std::string>* names);

// Which names a folder listing of the file screens hides.
enum class ListRule { kDir, kEdit };

// A folder's entries as the file screens show them: the names that the
// listing script gives for the folder (the path as the screen shows it,
// ending in "/"), less the hidden ones, each folder with "/" appended. False
// (no names) when the listing cannot be read. *hasSubfolder tells whether
// any listed name, hidden or not, is a folder.
bool ListFolder(const std::string& folder, ListRule rule, std::vector<std::string>* names,
                bool* hasSubfolder);

// The top list of a file screen: the current part's folder (when a part is
// current), "part/", then each line of the misc list /u/qel/usr_data/misc/<key>
// (else /u/qel/def_data/misc/<key>), each ending in "/" (appended when the
// line has none). An empty key names no misc list.
std::vector<std::string> TopListNames(const std::string& key, const std::string& currentPart);

// The members of the tar archive on the device, in the archive's order, each
// with its type (tar's verbose listing, tarlisting.h), with tar's wait
// status in *status when given. False when tar fails: the members are then
// those it listed before the failure, and the console says with which
// status it ended. A line that names no member is left out with a console
// line.
bool ListArchive(const std::string& device, std::vector<ArchiveMember>* members,
                 int* status = nullptr);
