// Tree walks on paths as the program names them: the one place where a tree
// of folders is read. Symbolic links are never followed: a link is reported
// as what it is, neither a file nor a folder to descend into.
#pragma once

#include <functional>
#include <string>

// What a walked entry is.
enum class WalkKind {
    kFile,   // a regular file
    kFolder, // a folder (entered after it is reported)
    kOther,  // a symbolic link, a device, a pipe, or an entry that cannot be read
};

// Where the walk learns each entry's kind: from the folder that lists it
// where the file system puts it there (asking only for an entry without
// one), or by asking the file system for every entry, as on a file system
// whose folders give no kinds.
enum class WalkKinds { kFromFolder, kAsked };

// Walks the root (mapped as OsPath maps it) and every folder below it, and
// calls visit for each entry with its path in the form of shownRoot: that
// root less its trailing "/" (the root "/" stays "/"), then shownRoot + "/" +
// the rest. A folder is reported before its entries, and entered before the
// folder's next entry; the entries of a folder come in the order the folder
// lists them. A folder that cannot be read is reported as kOther and not
// entered. False when the root cannot be walked (then nothing is visited).
bool os_walk(const std::string& root, const std::string& shownRoot,
             const std::function<void(const std::string& path, WalkKind kind)>& visit,
             WalkKinds kinds = WalkKinds::kFromFolder);
// The same with the entries in the root's own form.
inline bool os_walk(const std::string& root,
                    const std::function<void(const std::string& path, WalkKind kind)>& visit) {
    return os_walk(root, root, visit);
}
