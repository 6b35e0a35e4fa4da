// Install-tree path translation and the file wrappers that apply it.
//
// The part tree /u/qel/part and the user-data tree /u/qel/usr_data stand for
// the roots that QELPART and QELUSER name; a path on the install's drive
// (QEL_Win_Install_Drive) is handled too. The wrappers translate, then reach
// the OS through the platform seam.
#pragma once

#include <cstdio>
#include <string>
#include <sys/stat.h>

// The translated path (never fails, never cut).
std::string ModifyPath(const std::string& path);

int f_MkDir(const std::string& path, int mode);
int f_Stat(const std::string& path, struct stat* st);
FILE* f_Fopen(const std::string& path, const char* mode);

// The part root and the user-data root, each with a trailing '/'.
std::string GetPartRoot();
std::string GetUserRoot();
