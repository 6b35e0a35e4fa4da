// Blind copies: the form-feed markers cut by the flags, the results of each
// failure and what the output holds after it, a full disk, and one file as
// both input and output.
#include <gtest/gtest.h>

#include "blindcopy.h"
#include "sandbox.h"

#include <string>
#include <unistd.h>

namespace {

const std::string FF = "\\!2FF";
const char* const kIn = "/u/tmp/in";
const char* const kOut = "/u/tmp/out";
const char* const kLead = "Skipping the initial FF\n";
const char* const kTrail = "Skipping the trailing FF\n";

int Copy(const std::string& in, const std::string& out, unsigned flags, std::string* console) {
    testing::internal::CaptureStdout();
    const int r = f_CopyBlindFF(in, out, flags);
    *console = testing::internal::GetCapturedStdout();
    return r;
}

TEST(BlindCopy, MarkersByFlags) {
    struct Case {
        const char* name;
        std::string content;
        unsigned flags;
        std::string output;
        std::string console;
    };
    const std::string both = FF + "text" + FF;
    const std::string lead = std::string(kLead), trail = std::string(kTrail);
    const Case cases[] = {
        {"no flags keep both", both, 0, both, ""},
        {"flag 1 drops the leading", both, 1, "text" + FF, lead},
        {"flag 2 drops the trailing", both, 2, FF + "text", trail},
        {"flags 3 drop both", both, 3, "text", lead + trail},
        {"leading only", FF + "abc", 3, "abc", lead},
        {"trailing only", "abc" + FF, 3, "abc", trail},
        {"trailing with flag 1 stays", "abc" + FF, 1, "abc" + FF, ""},
        {"middle is copied", "ab" + FF + "cd", 3, "ab" + FF + "cd", ""},
        {"exactly one marker", FF, 3, "", lead},
        {"exactly one marker, flag 2", FF, 2, "", trail},
        {"two markers", FF + FF, 3, "", lead + trail},
        {"under five bytes", "\\!2F", 3, "\\!2F", ""},
        {"marker cut short at the end", "ab\\!2F", 3, "ab\\!2F", ""},
        {"six bytes, marker overlaps", FF + "F", 3, "F", lead},
        {"binary bytes", std::string("\0\xff\r\n", 4), 3, std::string("\0\xff\r\n", 4), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sandbox box;
        box.Write(kIn, c.content);
        std::string console;
        EXPECT_EQ(Copy(kIn, kOut, c.flags, &console), 0);
        EXPECT_TRUE(box.Exists(kOut));
        EXPECT_EQ(box.Read(kOut), c.output);
        EXPECT_EQ(console, c.console);
        EXPECT_EQ(box.Read(kIn), c.content);
    }
}

TEST(BlindCopy, FailuresAndWhatTheyLeave) {
    Sandbox box;
    std::string console;
    // Missing or empty input: nothing is made.
    EXPECT_EQ(Copy("/u/tmp/none", kOut, 3, &console), -90);
    EXPECT_FALSE(box.Exists(kOut));
    box.Write(kIn, "");
    EXPECT_EQ(Copy(kIn, kOut, 3, &console), -90);
    EXPECT_FALSE(box.Exists(kOut));
    // An output in a folder that does not exist.
    box.Write(kIn, "abc");
    EXPECT_EQ(Copy(kIn, "/u/tmp/nofolder/out", 3, &console), -163);
    EXPECT_FALSE(box.Exists("/u/tmp/nofolder"));
    // A folder as input opens but cannot be read: the output stays, empty,
    // even when it held something before.
    box.Write("/u/tmp/dir/x", "x");
    box.Write(kOut, "old content");
    EXPECT_EQ(Copy("/u/tmp/dir", kOut, 3, &console), -131);
    EXPECT_TRUE(box.Exists(kOut));
    EXPECT_EQ(box.Read(kOut), "");
    EXPECT_EQ(console, "");
}

TEST(BlindCopy, FullDiskIsAFailure) {
    Sandbox box;
    box.Write(kIn, FF + "a small print file" + FF);
    std::string console;
    EXPECT_EQ(Copy(kIn, "/dev/full", 3, &console), -98);
}

TEST(BlindCopy, OneFileAsInputAndOutput) {
    Sandbox box;
    const std::string content = FF + "kept" + FF;
    box.Write(kIn, content);
    std::string console;
    // Flags 0: the file is written back as it was.
    EXPECT_EQ(Copy(kIn, kIn, 0, &console), 0);
    EXPECT_EQ(box.Read(kIn), content);
    // Another name of the same file (a symbolic link) is the same file.
    ASSERT_EQ(symlink(box.Path(kIn).c_str(), box.Path("/u/tmp/link").c_str()), 0);
    EXPECT_EQ(Copy(kIn, "/u/tmp/link", 3, &console), 0);
    EXPECT_EQ(box.Read(kIn), "kept");
}

} // namespace
