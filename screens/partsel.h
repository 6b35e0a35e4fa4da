// Part selection and part folders.
#pragma once

#include <string>

// 1 when the path exists. A path without a drive is tested on the install's
// drive (QEL_Win_Install_Drive, else C:).
int FileExists(const std::string& path);
