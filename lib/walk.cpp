// Tree walks through the install-tree translation.
#include "walk.h"

#include "paths.h"

bool f_Walk(const std::string& root,
            const std::function<void(const std::string& path, WalkKind kind)>& visit) {
    // The walk goes through the translated root and answers in the root's
    // own form.
    return os_walk(ModifyPath(root), root, visit);
}

std::vector<std::string> f_WalkFiles(const std::string& root) {
    std::vector<std::string> files;
    f_Walk(root, [&](const std::string& path, WalkKind kind) {
        if (kind == WalkKind::kFile) files.push_back(path);
    });
    return files;
}
