// Whether a place lies in the install tree: /u/qel with the part tree and
// the user-data tree wherever QELPART and QELUSER put them. A place is
// judged as written and on its real path, every folder of the way resolved
// through the platform seam, so that a link on disk that leads out of the
// tree is seen (the install's own part and user-data folders may be such
// links: where they lead counts as the tree). The place is taken as the OS meets it: no QELPART or
// QELUSER translation is applied to it (translate first where that is meant).
#pragma once

#include <string>
#include <vector>

// The roots of the install tree as written (translated, less the drive and
// the trailing "/"), and where they lie on disk (OS paths).
struct InstallTree {
    std::vector<std::string> written;
    std::vector<std::string> real;
};
InstallTree CurrentInstallTree();

enum class TreePlace {
    kInside,      // in the tree as written and on its real path
    kOutside,     // outside the tree as written
    kThroughLink, // in the tree as written, but its real path leaves it (or
                  // cannot be resolved: a link on the way that leads nowhere)
};
// Judges an absolute place. Its last component is not followed unless
// followLast is set: what stands there is what a writer replaces, not where
// it writes.
TreePlace JudgeTreePlace(const std::string& place);
// The same against a tree taken once for many places.
TreePlace JudgeTreePlace(const std::string& place, const InstallTree& tree,
                         bool followLast = false);

// Whether an install-tree path as the program names it (translated here as
// ModifyPath translates it) stays in the tree on disk. A path that ends in
// "/", "." or ".." names the folder it leads to and is resolved whole; for
// any other the last component is not followed (removing or replacing a
// link touches only the link). False when the real path cannot be told (a
// link on the way that leads nowhere).
bool InInstallTree(const std::string& path);
