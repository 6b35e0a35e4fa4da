// Install-tree path translation and the tagged file and memory layer.
#include <gtest/gtest.h>

#include "paths.h"
#include "sandbox.h"
#include "zalloc.h"

#include <cstring>

namespace {

struct PathCase {
    const char* part;  // QELPART, nullptr = unset
    const char* user;  // QELUSER
    const char* drive; // QEL_Win_Install_Drive
    const char* in;
    const char* out;
};

TEST(ModifyPath, Table) {
    const PathCase cases[] = {
        {"C:/parts", nullptr, nullptr, "/U/QEL/PART/p1/x", "C:/parts/p1/x"},
        {"C:/parts", nullptr, nullptr, "/u/qel/partX", "C:/partsX"}, // plain prefix
        {nullptr, "C:/user", nullptr, "/u/qel/usr_data/misc/f", "C:/user/misc/f"},
        {nullptr, nullptr, nullptr, "/u/qel/usr_data/misc/f", "/u/qel/usr_data/misc/f"},
        {"", "", nullptr, "/u/qel/part/a", "/u/qel/part/a"}, // empty roots
        {"E:/p", nullptr, "D:", "D:/u/qel/part/x", "E:/p/x"},
        {"E:/p", nullptr, "D:", "C:/u/qel/part/x", "C:/u/qel/part/x"},    // other drive
        {"E:/p", nullptr, "D:", "D:/other", "D:/other"},                  // drive kept
        {"E:/p", nullptr, nullptr, "D:/u/qel/part/x", "D:/u/qel/part/x"}, // drive unset
        {"E:/p", nullptr, "d:", "D:/u/qel/part/x", "D:/u/qel/part/x"},    // case-sensitive
        {"E:/p", nullptr, "D:", "/u/qel/part/x", "E:/p/x"},               // no drive
        {nullptr, nullptr, "C:", "C:", "C:"},
        {nullptr, "/home/u", nullptr, "/u/qel/usr_data", "/home/u"},
    };
    for (const PathCase& c : cases) {
        ScopedEnv p("QELPART", c.part), u("QELUSER", c.user), d("QEL_Win_Install_Drive", c.drive);
        EXPECT_EQ(ModifyPath(c.in), c.out) << c.in;
    }
}

TEST(ModifyPath, RootsCarryOneTrailingSlash) {
    {
        ScopedEnv p("QELPART", "C:/parts"), u("QELUSER", "/home/u/");
        EXPECT_EQ(GetPartRoot(), "C:/parts/");
        EXPECT_EQ(GetUserRoot(), "/home/u/");
    }
    ScopedEnv p("QELPART", nullptr), u("QELUSER", "");
    EXPECT_EQ(GetPartRoot(), "/u/qel/part/");
    EXPECT_EQ(GetUserRoot(), "/u/qel/usr_data/");
}

TEST(ModifyPath, LongRootsAreKeptWhole) {
    std::string root = "/" + std::string(300, 'r');
    ScopedEnv p("QELPART", root.c_str());
    EXPECT_EQ(ModifyPath("/u/qel/part/abc"), root + "/abc");
}

TEST(TaggedLayer, FilesAndBlocks) {
    Sandbox box;
    std::string parts = box.root() + "/elsewhere";
    ScopedEnv p("QELPART", parts.c_str());
    box.Write("/elsewhere/x", "hello");
    FILE* f = zfopen("test", "/u/qel/part/x", "r");
    ASSERT_NE(f, nullptr);
    char buf[8] = {};
    EXPECT_EQ(std::fread(buf, 1, 5, f), 5u);
    EXPECT_STREQ(buf, "hello");
    EXPECT_EQ(zfclose("test", f), 0);
    EXPECT_EQ(zfclose("test", nullptr), EOF);

    auto* block = static_cast<unsigned char*>(zmalloc("test", "blk", 64));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(block[i], 0);
    zfree("test", "blk", block);
    zfree("test", "blk", nullptr);
    EXPECT_EQ(zmalloc("test", "neg", -4), nullptr);
}

} // namespace
