// Whether a path stays in the install tree on disk: judged on where every
// folder of its way really leads (a linked folder, "..", a part or user
// root elsewhere, a root that is itself a link), never on its text.
#include <gtest/gtest.h>

#include "intree.h"
#include "realplace.h"
#include "sandbox.h"

#include <string>
#include <unistd.h>

namespace {

void Link(const Sandbox& box, const std::string& target, const std::string& at) {
    ASSERT_EQ(symlink(target.c_str(), box.Path(at).c_str()), 0) << at;
}

TEST(InInstallTree, TheWayAsItLeadsOnDisk) {
    Sandbox box;
    box.Write("/u/qel/part/P1/stat/x", "x");
    box.Write("/u/qel/part/P2/stat/y", "y");
    box.Write("/outside/sub/x.BAK", "o");
    box.Write("/parts/P3/stat/z", "z");
    box.Write("/users/sub/u", "u");
    Link(box, box.Path("/outside"), "/u/qel/part/P1/lnk");
    Link(box, box.Path("/u/qel/part/P2"), "/u/qel/part/P1/in");
    Link(box, box.Path("/outside/sub/x.BAK"), "/u/qel/part/P1/stat/file-link");
    Link(box, box.Path("/nowhere"), "/u/qel/part/P1/dangling");
    Link(box, "../../../../outside", "/u/qel/part/P1/relative");
    Link(box, box.Path("/parts"), "/partlink");
    const std::string parts = box.Path("/parts");
    const std::string partLink = box.Path("/partlink");
    const std::string users = box.Path("/users");
    const struct {
        const char* path;
        const char* qelpart; // "" unset
        bool inside;
    } cases[] = {
        {"/u/qel/part/P1/stat/x", "", true},
        {"/u/qel/part/P1/stat/", "", true},
        {"/u/qel/part/P1/stat/new/deeper/", "", true}, // not there yet
        {"/u/qel/part/", "", true},
        {"/u/qel/", "", true},
        // A folder of the way that is a link to a folder outside.
        {"/u/qel/part/P1/lnk/sub/x.BAK", "", false},
        {"/u/qel/part/P1/lnk/sub/", "", false},
        {"/u/qel/part/P1/lnk/", "", false},
        {"/u/qel/part/P1/lnk/sub/new/file", "", false},
        {"/u/qel/part/P1/relative/sub/x.BAK", "", false},
        // The link itself is in the tree: removing it touches only it.
        {"/u/qel/part/P1/lnk", "", true},
        {"/u/qel/part/P1/stat/file-link", "", true},
        // A link within the tree.
        {"/u/qel/part/P1/in/stat/y", "", true},
        // Out through ".." on disk, and through a link that leads nowhere.
        {"/u/qel/part/P1/../../../../outside/sub/x.BAK", "", false},
        {"/u/qel/part/P1/stat/missing/../../../../../x", "", false},
        {"/u/qel/part/P1/dangling/x", "", false},
        // The part root elsewhere, and the part root through a link.
        {"/u/qel/part/P3/stat/z", "parts", true},
        {"/u/qel/part/P3/stat/z", "partlink", true},
        {"/u/qel/usr_data/sub/u", "", true},
        // Not the install tree at all.
        {"/u/tmp/x", "", false},
        {"/etc/passwd", "", false},
        {"u/qel/part/P1/stat/x", "", false},
        {"", "", false},
    };
    ScopedEnv user("QELUSER", users.c_str());
    for (const auto& c : cases) {
        const std::string root = std::string(c.qelpart) == "parts"      ? parts
                                 : std::string(c.qelpart) == "partlink" ? partLink
                                                                        : "";
        ScopedEnv part("QELPART", root.empty() ? nullptr : root.c_str());
        EXPECT_EQ(InInstallTree(c.path), c.inside) << c.path << " QELPART " << root;
    }
    // With the part root elsewhere, the sandbox's own part folder is still
    // under /u/qel; a link from the moved tree to outside is not.
    Link(box, box.Path("/outside"), "/parts/P3/lnk");
    ScopedEnv part("QELPART", parts.c_str());
    EXPECT_FALSE(InInstallTree("/u/qel/part/P3/lnk/sub/x.BAK"));
}

TEST(RealPlace, ResolvedAsFarAsTheWayExists) {
    Sandbox box;
    box.Write("/u/a/b/c", "c");
    Link(box, box.Path("/u/a/b"), "/u/a/l");
    char* real = realpath(box.root().c_str(), nullptr);
    ASSERT_NE(real, nullptr);
    const std::string root = real;
    free(real);
    EXPECT_EQ(os_realplace("/u/a/l/c"), root + "/u/a/b/c");
    EXPECT_EQ(os_realplace("/u/a/l/./new/x/"), root + "/u/a/b/new/x");
    EXPECT_EQ(os_realplace("/u/a/l/../b/c"), root + "/u/a/b/c");
    EXPECT_EQ(os_realplace("/u/a/new/../c"), "");
    EXPECT_EQ(os_realplace("a/b"), "");
    EXPECT_TRUE(RealPlaceWithin(root + "/u/a/b", root + "/u/a"));
    EXPECT_TRUE(RealPlaceWithin(root + "/u/a", root + "/u/a"));
    EXPECT_FALSE(RealPlaceWithin(root + "/u/ab", root + "/u/a"));
    EXPECT_FALSE(RealPlaceWithin("", root));
    EXPECT_TRUE(RealPlaceWithin("/x", "/"));
}

} // namespace
