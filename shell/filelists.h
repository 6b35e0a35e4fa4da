// File-list loaders: what kind of file a path names, and (later) the lists
// of folders and files that the screens show.
#pragma once

#include <string>

// The kind of file the path names, after the install-tree translation:
// 1 folder, 2 regular file, 3 character device, 4 block device, 5 FIFO,
// 0 anything else or a path that cannot be examined.
int FileType(const std::string& path);
// The size in bytes of the file the path names (after the install-tree
// translation); 0 when it cannot be examined.
long FileSize(const std::string& path);
