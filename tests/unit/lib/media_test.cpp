// The media table: which records the dialog offers, the fields read within
// their widths, the editor's table and its rewrite (only the enable words
// of the records shown change, every other byte stays), and the file
// replaced whole or not at all.
#include <gtest/gtest.h>

#include "media.h"
#include "records_media.h"
#include "sandbox.h"
#include "sim_bytes.h"

#include <csignal>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Entries = std::vector<MediaEntry>;

std::vector<std::string> Labels(const std::vector<MediaRecord>& records) {
    std::vector<std::string> out;
    for (const MediaRecord& r : records) out.push_back(MediaLabel(r));
    return out;
}

Entries Numbered(int n, int32_t enable = 1) {
    Entries e;
    for (int i = 1; i <= n; ++i)
        e.push_back({enable, "medium " + std::to_string(i), "/dev/m" + std::to_string(i)});
    return e;
}

TEST(MediaTable, TheDialogOffersTheFirstNineEnabledRecords) {
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> labels;
    };
    const Entries three = {
        {1, "one", "/dev/fd0"}, {0, "two", "/dev/fd1"}, {1, "three", "/dev/st0"}};
    Entries many = Numbered(12);
    std::vector<std::string> firstNine;
    for (int i = 1; i <= 9; ++i) firstNine.push_back("medium " + std::to_string(i));
    Entries odd = {{5, "five", "/dev/a"}, {-1, "minus", "/dev/b"}, {0, "off", "/dev/c"}};
    const Case cases[] = {
        {"records 1 and 3 enabled", MediaTableBytes(three), {"one", "three"}},
        {"twelve enabled", MediaTableBytes(many), firstNine},
        {"a short record at the end",
         MediaTableBytes(three) + std::string(79, 'x'),
         {"one", "three"}},
        {"a short enabled record alone",
         MediaRecordBytes({1, "cut", "/dev/fd0"}).substr(0, 60),
         {}},
        {"none enabled", MediaTableBytes(Numbered(3, 0)), {}},
        {"any non-zero word", MediaTableBytes(odd), {"five", "minus"}},
        {"an empty file", "", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Labels(SelectableMedia(c.bytes)), c.labels) << c.what;

    // The dialog's records are the file's records byte for byte.
    const std::vector<MediaRecord> offered = SelectableMedia(MediaTableBytes(three));
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(offered[1].bytes), 80),
              MediaRecordBytes(three[2]));
}

TEST(MediaTable, FieldsAreReadWithinTheirWidths) {
    struct Case {
        std::string label, device;
        std::string shownLabel, usedDevice;
    };
    const std::string d25(25, 'd'), l49(49, 'l');
    const Case cases[] = {
        {"Diskette", "/dev/fd0", "Diskette", "/dev/fd0"},
        {l49, "/dev/" + d25.substr(5), l49, "/dev/" + d25.substr(5)},
        // No NUL in the field: the label shows its 50 bytes; the device,
        // which a cut would turn into another one, is none.
        {std::string(60, 'L'), std::string(26, 'D'), std::string(50, 'L'), ""},
        {"x", "/dev/" + std::string(30, 'z'), "x", ""},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        const std::string bytes = MediaRecordBytes({1, c.label, c.device});
        MediaRecord r;
        std::copy(bytes.begin(), bytes.end(), r.bytes);
        EXPECT_EQ(MediaLabel(r), c.shownLabel) << c.label;
        EXPECT_EQ(MediaDevice(r), c.usedDevice) << c.device;
    }
    MediaRecord r;
    SimPutLe(r.bytes, 0x80000001u, 4);
    EXPECT_EQ(MediaEnable(r), static_cast<int32_t>(0x80000001u));
    SetMediaEnable(r, 1);
    EXPECT_EQ(SimGetLe(r.bytes, 4), 1u);
}

TEST(MediaTable, UsableDevices) {
    {
        ScopedEnv none("QEL_SANDBOX", nullptr);
        EXPECT_TRUE(MediaDeviceUsable("/dev/fd0"));
        EXPECT_TRUE(MediaDeviceUsable("/tmp/medium"));
        EXPECT_FALSE(MediaDeviceUsable(""));
    }
    ScopedEnv box("QEL_SANDBOX", "/sb");
    EXPECT_TRUE(MediaDeviceUsable("/dev/fd0"));
    EXPECT_TRUE(MediaDeviceUsable("/dev/st0"));
    EXPECT_TRUE(MediaDeviceUsable("/u/tmp/medium"));
    EXPECT_FALSE(MediaDeviceUsable("/dev/sda"));
    EXPECT_FALSE(MediaDeviceUsable("/tmp/medium"));
    EXPECT_FALSE(MediaDeviceUsable(""));
}

TEST(MediaTable, TheRewriteChangesOnlyTheEnableWordsShown) {
    const std::string tail = "tail of 30 bytes, not a record";
    const std::string file = MediaTableBytes(Numbered(12, 5)) + tail;
    MediaTable t = ParseMediaTable(file);
    ASSERT_EQ(t.records.size(), 9u);
    EXPECT_EQ(t.rest.size(), 3 * 80 + tail.size());
    EXPECT_EQ(MediaTableBytes(t), file);

    for (size_t i = 0; i < t.records.size(); ++i) SetMediaEnable(t.records[i], i % 2);
    const std::string rewritten = MediaTableBytes(t);
    ASSERT_EQ(rewritten.size(), file.size());
    for (size_t at = 0; at < file.size(); ++at) {
        const size_t record = at / 80;
        if (record < 9 && at % 80 < 4) {
            const auto* p = reinterpret_cast<const unsigned char*>(rewritten.data()) + record * 80;
            EXPECT_EQ(SimGetLe(p, 4), record % 2) << record;
        } else {
            ASSERT_EQ(rewritten[at], file[at]) << "byte " << at;
        }
    }
    // Fewer than nine records and a short tail.
    const std::string small = MediaTableBytes(Numbered(2)) + "abc";
    t = ParseMediaTable(small);
    EXPECT_EQ(t.records.size(), 2u);
    EXPECT_EQ(t.rest, "abc");
    EXPECT_EQ(MediaTableBytes(t), small);
}

TEST(MediaFile, ReplacedWholeWithItsPermissionBits) {
    Sandbox box;
    const std::string old = MediaTableBytes(Numbered(3));
    box.Write(kMediaFile, old);
    ASSERT_EQ(chmod(box.Path(kMediaFile).c_str(), 0640), 0);
    std::string read;
    ASSERT_EQ(ReadMediaFile("test", kMediaFile, &read), InstallFile::kRead);
    EXPECT_EQ(read, old);
    const std::string fresh = MediaTableBytes(Numbered(4, 0));
    ASSERT_TRUE(WriteMediaFile(kMediaFile, fresh));
    EXPECT_EQ(box.Read(kMediaFile), fresh);
    struct stat st {};
    ASSERT_EQ(stat(box.Path(kMediaFile).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_FALSE(box.Exists(std::string(kMediaFile) + ".new"));
    EXPECT_EQ(ReadMediaFile("test", "/u/qel/sys_data/files/none.bin", &read),
              InstallFile::kMissing);
}

TEST(MediaFile, AFailedWriteLeavesTheOldFileWhole) {
    Sandbox box;
    const std::string old = MediaTableBytes(Numbered(12)) + "tail";
    box.Write(kMediaFile, old);
    const std::string fresh = MediaTableBytes(Numbered(12, 0)) + "tail";

    // The new file cannot be made: something else stands in its place.
    box.Write(std::string(kMediaFile) + ".new/x", "");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(WriteMediaFile(kMediaFile, fresh));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("WriteMediaFile: cannot create /u/qel/sys_data/files/media.bin.new"),
              std::string::npos)
        << out;
    EXPECT_EQ(box.Read(kMediaFile), old);
    box.Remove(std::string(kMediaFile) + ".new");

    // The write runs out of room half way (a file-size limit in a child).
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{400, 400};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(WriteMediaFile(kMediaFile, fresh) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(box.Read(kMediaFile), old);
    EXPECT_FALSE(box.Exists(std::string(kMediaFile) + ".new"));

    // The rename fails: the table's place is a folder.
    box.Write("/u/qel/sys_data/files/dir.bin/x", "");
    EXPECT_FALSE(WriteMediaFile("/u/qel/sys_data/files/dir.bin", fresh));
    EXPECT_FALSE(box.Exists("/u/qel/sys_data/files/dir.bin.new"));
}

} // namespace
