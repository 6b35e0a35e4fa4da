// Whether an install-tree path stays in the install tree on disk. The tree
// is /u/qel with the part root and the user-data root that QELPART and
// QELUSER may put elsewhere; each is taken where it really lies. A path that
// the text puts inside may still leave it through a folder of its way that
// is a symbolic link to a folder outside: what may be written or removed is
// judged here, on the real place.
#pragma once

#include <string>

// True when the folders of the path's way, resolved on disk, lie in one of
// the tree's roots. A path that ends in "/" is a folder and is resolved
// whole; for any other the last component is not followed (removing or
// replacing a link touches only the link). False when the real place cannot
// be told (see os_realplace).
bool InInstallTree(const std::string& path);
