// Tree walks on install-tree paths: the entries come back as the program
// names them (the root without its trailing "/", then root + "/" + the rest)
// whether the tree lies in the sandbox or where QELPART translates it, and a
// symbolic link is neither walked into nor taken for a file.
#include <gtest/gtest.h>

#include "sandbox.h"
#include "walk.h"

#include <algorithm>
#include <ftw.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
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

using Walked = std::vector<std::pair<std::string, WalkKind>>;

// The same tree read by the C library's physical walk, kinds as a walk
// reports them: the order and the kinds the callers have always had.
Walked NftwWalk(const std::string& osRoot, const std::string& shownRoot) {
    static Walked* out;
    static size_t cut;
    Walked walked;
    out = &walked;
    cut = osRoot.size();
    nftw(
        osRoot.c_str(),
        [](const char* path, const struct stat* st, int flag, struct FTW*) {
            WalkKind kind = WalkKind::kOther;
            if (flag == FTW_D && S_ISDIR(st->st_mode)) kind = WalkKind::kFolder;
            if (flag == FTW_F && S_ISREG(st->st_mode)) kind = WalkKind::kFile;
            out->emplace_back(std::string(path + cut), kind);
            return 0;
        },
        16, FTW_PHYS);
    for (auto& entry : walked) entry.first = shownRoot + entry.first;
    return walked;
}

TEST(Walk, KindsFromTheFolderOrAskedGiveWhatThePhysicalWalkGives) {
    Sandbox box;
    for (int d = 0; d < 4; ++d)
        for (int f = 0; f < 6; ++f)
            box.Write("/u/qel/part/P1/d" + std::to_string(d) + "/sub/f" + std::to_string(f), "x");
    box.Write("/u/qel/part/P1/top.NOM", "x");
    box.Write("/outside/secret", "x");
    ASSERT_EQ(mkdir(box.Path("/u/qel/part/P1/empty").c_str(), 0777), 0);
    ASSERT_EQ(mkfifo(box.Path("/u/qel/part/P1/d1/pipe").c_str(), 0600), 0);
    ASSERT_EQ(symlink(box.Path("/outside").c_str(), box.Path("/u/qel/part/P1/d2/out").c_str()), 0);
    ASSERT_EQ(symlink("../top.NOM", box.Path("/u/qel/part/P1/d3/top").c_str()), 0);

    const Walked expected = NftwWalk(box.Path("/u/qel/part/P1"), "/u/qel/part/P1");
    ASSERT_EQ(expected.size(), 38u);
    for (WalkKinds kinds : {WalkKinds::kFromFolder, WalkKinds::kAsked}) {
        Walked walked;
        EXPECT_TRUE(os_walk(
            "/u/qel/part/P1/", "/u/qel/part/P1",
            [&](const std::string& path, WalkKind kind) { walked.emplace_back(path, kind); },
            kinds));
        EXPECT_EQ(walked, expected);
    }
    // The root itself, a file or a link, is reported alone.
    for (WalkKinds kinds : {WalkKinds::kFromFolder, WalkKinds::kAsked})
        for (const auto& [root, kind] : Walked{{"/u/qel/part/P1/top.NOM", WalkKind::kFile},
                                               {"/u/qel/part/P1/d2/out", WalkKind::kOther}}) {
            Walked walked;
            EXPECT_TRUE(os_walk(
                root, root,
                [&](const std::string& path, WalkKind k) { walked.emplace_back(path, k); }, kinds));
            EXPECT_EQ(walked, (Walked{{root, kind}}));
        }
}

} // namespace
