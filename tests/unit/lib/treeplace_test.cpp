// Places judged against the install tree on a sandbox: as written, and on
// disk with every folder of the way resolved, links planted in the tree
// that lead out of it or nowhere, the part tree moved (QELPART) or linked
// elsewhere; and the seam's resolution itself. An install-tree path as the
// program names it is judged the same way after its translation.
#include <gtest/gtest.h>

#include "ospath.h"
#include "sandbox.h"
#include "treeplace.h"

#include <climits>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string Real(const std::string& path) {
    char buf[PATH_MAX];
    return realpath(path.c_str(), buf) ? std::string(buf) : std::string();
}

void Link(const std::string& target, const std::string& at) {
    ASSERT_EQ(symlink(target.c_str(), at.c_str()), 0) << at;
}

TEST(OsRealpath, EveryFolderOfTheWayResolved) {
    Sandbox box;
    box.Write("/u/tmp/out/f", "x");
    box.Write("/u/qel/part/P1/f", "x");
    Link(box.Path("/u/tmp/out"), box.Path("/u/qel/part/lnk"));
    Link("../../tmp/out", box.Path("/u/qel/part/up"));
    Link("/nowhere/at/all", box.Path("/u/qel/part/dang"));
    const std::string root = Real(box.root());
    struct Case {
        const char* path;
        bool followLast;
        std::string real; // "" when it cannot be resolved
    };
    const Case cases[] = {
        {"/u/qel/part/P1/f", false, root + "/u/qel/part/P1/f"},
        {"C:/u/qel/part//P1/./f", false, root + "/u/qel/part/P1/f"},
        {"/u/qel/part/P2/new/f", false, root + "/u/qel/part/P2/new/f"},
        {"/u/qel/part/lnk/f", false, root + "/u/tmp/out/f"},
        {"/u/qel/part/lnk/new/f", false, root + "/u/tmp/out/new/f"},
        {"/u/qel/part/up/f", false, root + "/u/tmp/out/f"},
        {"/u/qel/part/lnk", false, root + "/u/qel/part/lnk"},
        {"/u/qel/part/lnk", true, root + "/u/tmp/out"},
        // ".." from where a link leads, and from what does not exist yet.
        {"/u/qel/part/lnk/../x", false, root + "/u/tmp/x"},
        {"/u/qel/part/P2/new/../../P1/f", false, root + "/u/qel/part/P1/f"},
        {"/u/qel/part/P1/f/below", false, root + "/u/qel/part/P1/f/below"},
        {"/u/qel/part/dang/f", false, ""},
        {"/u/qel/part/dang", false, root + "/u/qel/part/dang"},
        {"relative/path", false, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(os_realpath(c.path, c.followLast), c.real) << c.path;
}

TEST(TreePlace, AsWrittenAndOnItsRealPath) {
    Sandbox box;
    box.Write("/u/tmp/out/f", "x");
    box.Write("/u/qel/usr_data/misc/f", "x");
    box.Write("/u/qel/part/P1/f", "x");
    Link(box.Path("/u/tmp/out"), box.Path("/u/qel/part/lnk"));
    Link("../../../tmp/out", box.Path("/u/qel/part/P1/up"));
    Link(box.Path("/u/qel/usr_data"), box.Path("/u/qel/part/in"));
    Link("/nowhere/at/all", box.Path("/u/qel/part/dang"));
    struct Case {
        const char* place;
        TreePlace judged;
    };
    const Case cases[] = {
        {"/u/qel/part/P1/f", TreePlace::kInside},
        {"/u/qel/part/P2/new/f", TreePlace::kInside},
        {"/u/qel", TreePlace::kInside},
        {"C:/u/qel/xeq/x", TreePlace::kInside},
        {"/u/qel/part/in/misc/f", TreePlace::kInside},
        // The link itself is replaced where it stands, not followed.
        {"/u/qel/part/lnk", TreePlace::kInside},
        {"/u/qel/part/lnk/f", TreePlace::kThroughLink},
        {"/u/qel/part/lnk/new/f", TreePlace::kThroughLink},
        {"/u/qel/part/P1/up/f", TreePlace::kThroughLink},
        {"/u/qel/part/dang/f", TreePlace::kThroughLink},
        {"/u/qelx/f", TreePlace::kOutside},
        {"/u/tmp/out/f", TreePlace::kOutside},
        {"/u/qel/part/../../tmp/f", TreePlace::kOutside},
        {"/etc/passwd", TreePlace::kOutside},
        {"/", TreePlace::kOutside},
    };
    for (const Case& c : cases)
        EXPECT_EQ(static_cast<int>(JudgeTreePlace(c.place)), static_cast<int>(c.judged)) << c.place;
}

TEST(TreePlace, APartTreeElsewhere) {
    Sandbox box;
    box.Write("/u/tmp/store/P1/f", "x");
    box.Write("/u/tmp/parts/P1/f", "x");
    box.Write("/u/tmp/other/f", "x");
    // The part tree moved by QELPART (itself reached through a link), and
    // the install's own part folder a link to where it is kept.
    Link(box.Path("/u/tmp/parts"), box.Path("/u/tmp/partlink"));
    const std::string parts = box.Path("/u/tmp/partlink");
    ScopedEnv p("QELPART", parts.c_str());
    box.Remove("/u/qel/part");
    Link(box.Path("/u/tmp/store"), box.Path("/u/qel/part"));
    Link(box.Path("/u/tmp/other"), box.Path("/u/tmp/parts/P1/out"));
    EXPECT_EQ(JudgeTreePlace(parts + "/P1/f"), TreePlace::kInside);
    EXPECT_EQ(JudgeTreePlace(parts + "/P2/new"), TreePlace::kInside);
    EXPECT_EQ(JudgeTreePlace("/u/qel/part/P1/f"), TreePlace::kInside);
    EXPECT_EQ(JudgeTreePlace(parts + "/P1/out/f"), TreePlace::kThroughLink);
    EXPECT_EQ(JudgeTreePlace(box.Path("/u/tmp/parts/P1/f")), TreePlace::kOutside);
}

TEST(InInstallTree, TheWayAsItLeadsOnDisk) {
    Sandbox box;
    box.Write("/u/qel/part/P1/stat/x", "x");
    box.Write("/u/qel/part/P2/stat/y", "y");
    box.Write("/outside/sub/x.BAK", "o");
    box.Write("/parts/P3/stat/z", "z");
    box.Write("/users/sub/u", "u");
    Link(box.Path("/outside"), box.Path("/u/qel/part/P1/lnk"));
    Link(box.Path("/u/qel/part/P2"), box.Path("/u/qel/part/P1/in"));
    Link(box.Path("/outside/sub/x.BAK"), box.Path("/u/qel/part/P1/stat/file-link"));
    Link(box.Path("/nowhere"), box.Path("/u/qel/part/P1/dangling"));
    Link("../../../../outside", box.Path("/u/qel/part/P1/relative"));
    Link(box.Path("/parts"), box.Path("/partlink"));
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
    Link(box.Path("/outside"), box.Path("/parts/P3/lnk"));
    ScopedEnv part("QELPART", parts.c_str());
    EXPECT_FALSE(InInstallTree("/u/qel/part/P3/lnk/sub/x.BAK"));
}

} // namespace
