// Where a path really leads on disk: every folder of the way resolved as the
// OS resolves it (symbolic links, "." and ".."), after the sandbox seam has
// mapped it. A check that a place stays inside a folder must be made on these
// real places, never on the text: a folder of the way may be a link that
// leads anywhere.
#pragma once

#include <string>

// The real place of a path (mapped as OsPath maps it): the longest beginning
// of the way that exists, resolved, then the rest as written less its "."
// components. "" when the real place cannot be told: a relative or empty
// path, a rest that holds ".." or begins at a dangling link, or a folder of
// the way that cannot be searched.
std::string os_realplace(const std::string& path);

// Whether a real place lies in or below a real folder (both as os_realplace
// gives them; "" lies nowhere).
bool RealPlaceWithin(const std::string& place, const std::string& folder);
