// Tree walks on install-tree paths: the entries come back as the program
// names them (the root without its trailing "/", then root + "/" + the rest)
// whether the tree lies in the sandbox or where QELPART translates it, and a
// symbolic link is neither walked into nor taken for a file.
#include <gtest/gtest.h>

#include "sandbox.h"
#include "walk.h"

#include <algorithm>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Paths = std::vector<std::string>;

Paths Sorted(Paths p) {
    std::sort(p.begin(), p.end());
    return p;
}

TEST(Walk, EntriesUntranslatedAndLinksNotFollowed) {
    Sandbox box;
    box.Write("/u/qel/part/P1/program/llf", "x");
    box.Write("/u/qel/part/P1/contour/a b.NOM", "x");
    box.Write("/outside/secret.NOM", "x");
    ASSERT_EQ(symlink(box.Path("/outside").c_str(), box.Path("/u/qel/part/P1/out").c_str()), 0);
    ASSERT_EQ(symlink(box.Path("/outside/secret.NOM").c_str(),
                      box.Path("/u/qel/part/P1/contour/link.NOM").c_str()),
              0);
    const Paths files = {"/u/qel/part/P1/contour/a b.NOM", "/u/qel/part/P1/program/llf"};
    for (const char* root : {"/u/qel/part/P1/", "/u/qel/part/P1"}) {
        SCOPED_TRACE(root);
        EXPECT_EQ(Sorted(f_WalkFiles(root)), files);
        Paths all;
        Paths others;
        EXPECT_TRUE(f_Walk(root, [&](const std::string& path, WalkKind kind) {
            all.push_back(path);
            if (kind == WalkKind::kOther) others.push_back(path);
        }));
        EXPECT_EQ(all.front(), "/u/qel/part/P1");
        EXPECT_EQ(Sorted(others), (Paths{"/u/qel/part/P1/contour/link.NOM", "/u/qel/part/P1/out"}));
        EXPECT_EQ(std::count(all.begin(), all.end(), "/u/qel/part/P1/out/secret.NOM"), 0);
    }
    EXPECT_TRUE(f_WalkFiles("/u/qel/part/P9/").empty());
    EXPECT_FALSE(f_Walk("/u/qel/part/P9/", [](const std::string&, WalkKind) {}));
}

TEST(Walk, TheTranslatedPartRoot) {
    Sandbox box;
    box.Write("/parts/P1/stat/x", "x");
    box.Write("/u/qel/part/P1/stat/y", "y"); // not the part root now
    for (const std::string& root :
         {box.Path("/parts"), box.Path("/parts/"), std::string("/u/p2")}) {
        SCOPED_TRACE(root);
        if (root == "/u/p2") box.Write("/u/p2/P1/stat/x", "x");
        ScopedEnv part("QELPART", root.c_str());
        EXPECT_EQ(f_WalkFiles("/u/qel/part/"), Paths{"/u/qel/part/P1/stat/x"});
        EXPECT_EQ(f_WalkFiles("/u/qel/part/P1/"), Paths{"/u/qel/part/P1/stat/x"});
    }
}

} // namespace
