// Tree walks on install-tree paths: the walk goes through the translated
// tree (QELPART, QELUSER), and every entry comes back as the program names
// it, so that what a walk finds is printed, matched and stored as the
// untranslated path.
#pragma once

#include "treewalk.h"

#include <functional>
#include <string>
#include <vector>

// Walks ModifyPath(root) and every folder below it; visit gets each entry
// untranslated: the root less its trailing "/", then root + "/" + the rest.
// Symbolic links are not followed. False when the root cannot be walked.
bool f_Walk(const std::string& root,
            const std::function<void(const std::string& path, WalkKind kind)>& visit);

// The regular files below the root (the root's own files included), in walk
// order, untranslated; none when the root cannot be walked.
std::vector<std::string> f_WalkFiles(const std::string& root);
