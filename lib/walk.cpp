// Tree walks through the install-tree translation.
#include "walk.h"

#include "paths.h"

namespace {

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

} // namespace

bool f_Walk(const std::string& root,
            const std::function<void(const std::string& path, WalkKind kind)>& visit) {
    const std::string named = WithoutTrailingSlash(root);
    const std::string translated = WithoutTrailingSlash(ModifyPath(root));
    return os_walk(translated, [&](const std::string& path, WalkKind kind) {
        // The walk answers in the translated root's form.
        visit(named + path.substr(translated.size()), kind);
    });
}

std::vector<std::string> f_WalkFiles(const std::string& root) {
    std::vector<std::string> files;
    f_Walk(root, [&](const std::string& path, WalkKind kind) {
        if (kind == WalkKind::kFile) files.push_back(path);
    });
    return files;
}
