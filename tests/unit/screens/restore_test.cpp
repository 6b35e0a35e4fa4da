// The restore screen's model on a sandbox, without X: archives made by the
// real tar (relative names as the backup writes them, absolute names as
// another tar may), listed and extracted by the real tar. The split into
// missing and existing members, the existing ones removed and left
// untouched, a folder member that brings what lies below it, names that the
// shell must not take apart, names that must never be written, and the
// failures.
#include <gtest/gtest.h>

#include "archive.h"
#include "filelists.h"
#include "launch.h"
#include "process.h"
#include "restoremodel.h"
#include "sandbox.h"
#include "ustar.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

class RestoreTest : public testing::Test {
  protected:
    RestoreUi Ui() {
        return {[](int n) { return "L" + std::to_string(n); },
                [this](const std::string& text) {
                    messages_.push_back(text);
                    return 1;
                },
                [this](const std::string& command) {
                    commands_.push_back(command);
                    return SystemCmd(command);
                }};
    }
    // An archive on the medium of the files (paths below the sandbox, as
    // the backup names them), with extra tar options.
    void MakeArchive(const Texts& files, const std::string& options = "") {
        std::string cmd =
            "tar -C '" + box_.root() + "' -cf '" + box_.Path(device_) + "' " + options + " --";
        for (const std::string& f : files) cmd += " " + ShellQuote(f);
        cmd += " 2>/dev/null";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    }
    void List() {
        std::vector<ArchiveMember> members;
        ASSERT_TRUE(ListArchive(device_, &members));
        RestoreListed(m_, members);
    }
    // Chosen in the list, or all of them (VokDoRestore).
    void Split(const Texts& chosen) { RestoreSplit(m_, chosen, Ui()); }
    void SplitAll() { RestoreSplit(m_, RestoreNames(m_), Ui()); }
    long Mtime(const std::string& logical) const {
        struct stat st {};
        stat(box_.Path(logical).c_str(), &st);
        return static_cast<long>(st.st_mtime);
    }
    void Age(const std::string& logical) const {
        utimbuf old{1000000000, 1000000000};
        utime(box_.Path(logical).c_str(), &old);
    }

    Sandbox box_;
    RestoreModel m_;
    std::string device_ = "/dev/fd0";
    Texts messages_;
    Texts commands_;
};

TEST_F(RestoreTest, MissingMembersRestoredAndTheExistingOnesConfirmed) {
    box_.Write("/u/qel/part/a/x", "archived x");
    box_.Write("/u/qel/part/a/y", "archived y");
    box_.Write("/u/qel/part/b/z", "archived z");
    MakeArchive({"u/qel/part/a/x", "u/qel/part/a/y", "u/qel/part/b/z"});
    box_.Remove("/u/qel/part/b");
    box_.Remove("/u/qel/part/a/y");
    box_.Write("/u/qel/part/a/x", "changed x");
    List();
    EXPECT_EQ(RestoreNames(m_), (Texts{"u/qel/part/a/x", "u/qel/part/a/y", "u/qel/part/b/z"}));

    SplitAll();
    EXPECT_EQ(m_.phase, kRestoreExisting);
    EXPECT_EQ(m_.existing, (Texts{"u/qel/part/a/x"}));
    EXPECT_EQ(m_.missing, (Texts{"u/qel/part/a/y", "u/qel/part/b/z"}));
    EXPECT_EQ(box_.Read("/u/tmp/res.out"), "u/qel/part/a/y\nu/qel/part/b/z\n");

    // OK: the existing one is overwritten too.
    EXPECT_EQ(RestoreExtract(m_, device_, Ui()), RestoreOutcome::kExtracted);
    EXPECT_EQ(commands_, (Texts{"tar -C " + box_.root() +
                                " -xvf /dev/fd0 --no-recursion --no-unquote --verbatim-files-from"
                                " -T /u/tmp/res.out"}));
    EXPECT_EQ(box_.Read("/u/tmp/res.out"), "u/qel/part/a/y\nu/qel/part/b/z\nu/qel/part/a/x\n");
    EXPECT_EQ(box_.Read("/u/qel/part/a/x"), "archived x");
    EXPECT_EQ(box_.Read("/u/qel/part/a/y"), "archived y");
    EXPECT_EQ(box_.Read("/u/qel/part/b/z"), "archived z");
    EXPECT_EQ(m_.phase, kRestoreDone);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(RestoreTest, AnExistingMemberRemovedIsNotTouched) {
    box_.Write("/u/qel/part/a/x", "archived x");
    box_.Write("/u/qel/part/a/y", "archived y");
    MakeArchive({"u/qel/part/a/x", "u/qel/part/a/y"});
    box_.Remove("/u/qel/part/a/y");
    box_.Write("/u/qel/part/a/x", "kept x");
    Age("/u/qel/part/a/x");
    List();
    SplitAll();
    RestoreRemove(m_, {1});
    EXPECT_TRUE(m_.existing.empty());
    EXPECT_EQ(RestoreExtract(m_, device_, Ui()), RestoreOutcome::kExtracted);
    EXPECT_EQ(box_.Read("/u/qel/part/a/x"), "kept x");
    EXPECT_EQ(Mtime("/u/qel/part/a/x"), 1000000000);
    EXPECT_EQ(box_.Read("/u/qel/part/a/y"), "archived y");

    // Every chosen member exists and all are removed: no tar at all.
    commands_.clear();
    List();
    Split({"u/qel/part/a/x", "u/qel/part/a/y"});
    EXPECT_EQ(m_.existing.size(), 2u);
    RestoreRemove(m_, {2, 1});
    EXPECT_EQ(RestoreExtract(m_, device_, Ui()), RestoreOutcome::kNothing);
    EXPECT_TRUE(commands_.empty());
    EXPECT_EQ(box_.Read("/u/tmp/res.out"), "");
}

TEST_F(RestoreTest, AFolderMemberBringsEachMemberBelowItToBeConfirmed) {
    box_.Write("/u/qel/part/dir/f", "archived f");
    box_.Write("/u/qel/part/dir/g", "archived g");
    box_.Write("/u/qel/part/dirt", "not below dir/");
    MakeArchive({"u/qel/part/dir", "u/qel/part/dirt"});
    box_.Write("/u/qel/part/dir/f", "kept f");
    Age("/u/qel/part/dir/f");
    box_.Remove("/u/qel/part/dir/g");
    box_.Remove("/u/qel/part/dirt");
    List();
    Split({"u/qel/part/dir/"});
    EXPECT_EQ(m_.existing, (Texts{"u/qel/part/dir/", "u/qel/part/dir/f"}));
    EXPECT_EQ(m_.missing, (Texts{"u/qel/part/dir/g"}));
    RestoreRemove(m_, {2});
    EXPECT_EQ(RestoreExtract(m_, device_, Ui()), RestoreOutcome::kExtracted);
    EXPECT_EQ(box_.Read("/u/qel/part/dir/f"), "kept f");
    EXPECT_EQ(Mtime("/u/qel/part/dir/f"), 1000000000);
    EXPECT_EQ(box_.Read("/u/qel/part/dir/g"), "archived g");
    EXPECT_FALSE(box_.Exists("/u/qel/part/dirt"));
}

TEST_F(RestoreTest, AFolderListedWithoutItsSlashBringsWhatIsBelowIt) {
    // Another tar stores folders without their "/".
    box_.Write(device_, UstarArchive({{"u/qel/part/dir", '5'},
                                      {"u/qel/part/dir/f", '0', "archived f"},
                                      {"u/qel/part/dir/sub", '5'},
                                      {"u/qel/part/dir/sub/g", '0', "archived g"},
                                      {"u/qel/part/dirt", '0', "not below dir"}}));
    List();
    EXPECT_EQ(RestoreNames(m_), (Texts{"u/qel/part/dir", "u/qel/part/dir/f", "u/qel/part/dir/sub",
                                       "u/qel/part/dir/sub/g", "u/qel/part/dirt"}));
    Split({"u/qel/part/dir"});
    EXPECT_EQ(m_.missing, (Texts{"u/qel/part/dir", "u/qel/part/dir/f", "u/qel/part/dir/sub",
                                 "u/qel/part/dir/sub/g"}));
    EXPECT_EQ(RestoreExtract(m_, device_, Ui()), RestoreOutcome::kExtracted);
    EXPECT_EQ(box_.Read("/u/qel/part/dir/f"), "archived f");
    EXPECT_EQ(box_.Read("/u/qel/part/dir/sub/g"), "archived g");
    EXPECT_FALSE(box_.Exists("/u/qel/part/dirt"));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(RestoreTest, AFolderOverAFileIsAskedFirst) {
    box_.Write("/u/qel/part/x/f", "archived f");
    MakeArchive({"u/qel/part/x"});
    box_.Remove("/u/qel/part/x");
    box_.Write("/u/qel/part/x", "a file where the archive has a folder");
    List();
    ASSERT_EQ(RestoreNames(m_), (Texts{"u/qel/part/x/", "u/qel/part/x/f"}));
    Split({"u/qel/part/x/"});
    EXPECT_EQ(m_.existing, (Texts{"u/qel/part/x/"}));
    EXPECT_EQ(m_.missing, (Texts{"u/qel/part/x/f"}));
    // Kept: the file stays (what lies below it cannot be written).
    RestoreRemove(m_, {1});
    EXPECT_EQ(RestoreExtract(m_, device_, Ui()), RestoreOutcome::kFailed);
    EXPECT_EQ(messages_, (Texts{"tar: exit status 2 \nL100"}));
    EXPECT_EQ(box_.Read("/u/qel/part/x"), "a file where the archive has a folder");

    // Confirmed: the folder replaces the file.
    List();
    Split({"u/qel/part/x/"});
    EXPECT_EQ(m_.existing, (Texts{"u/qel/part/x/"}));
    EXPECT_EQ(RestoreExtract(m_, device_, Ui()), RestoreOutcome::kExtracted);
    EXPECT_EQ(box_.Read("/u/qel/part/x/f"), "archived f");
}

TEST_F(RestoreTest, OnlyPlainFilesAndFoldersLandAndOnlyInTheTree) {
    // The archive, made from files laid out for it: a hard link to a file
    // outside the tree, a symbolic link out, a FIFO, a file that lies where
    // a link is planted on disk later, and a hard link between two files of
    // the tree.
    box_.Write("/u/tmp/out/secret", "secret");
    box_.Write("/u/qel/part/a/ok", "archived ok");
    box_.Write("/u/qel/part/plant/f", "archived f");
    ASSERT_EQ(link(box_.Path("/u/qel/part/a/ok").c_str(), box_.Path("/u/qel/part/a/ok2").c_str()),
              0);
    ASSERT_EQ(link(box_.Path("/u/tmp/out/secret").c_str(), box_.Path("/u/qel/part/a/h").c_str()),
              0);
    ASSERT_EQ(symlink(box_.Path("/u/tmp/out").c_str(), box_.Path("/u/qel/part/a/s").c_str()), 0);
    ASSERT_EQ(mkfifo(box_.Path("/u/qel/part/a/p").c_str(), 0600), 0);
    MakeArchive({"u/tmp/out/secret", "u/qel/part/a/", "u/qel/part/a/ok", "u/qel/part/a/ok2",
                 "u/qel/part/a/h", "u/qel/part/a/s", "u/qel/part/a/p", "u/qel/part/plant/f"},
                "--no-recursion");
    box_.Remove("/u/qel/part/a");
    box_.Remove("/u/qel/part/plant");
    ASSERT_EQ(symlink(box_.Path("/u/tmp/out").c_str(), box_.Path("/u/qel/part/plant").c_str()), 0);
    List();

    testing::internal::CaptureStdout();
    SplitAll();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(m_.missing, (Texts{"u/qel/part/a/", "u/qel/part/a/ok", "u/qel/part/a/ok2"}));
    EXPECT_TRUE(m_.existing.empty());
    const Texts left = {"u/tmp/out/secret", "u/qel/part/a/h", "u/qel/part/a/s", "u/qel/part/a/p",
                        "u/qel/part/plant/f"};
    EXPECT_EQ(m_.leftOut.size(), left.size());
    for (size_t i = 0; i < left.size() && i < m_.leftOut.size(); ++i) {
        EXPECT_EQ(m_.leftOut[i].name, left[i]);
        EXPECT_NE(out.find("RestCheckExisting: " + left[i] + " left out: "), std::string::npos)
            << out;
    }
    // One message names them all, each with why.
    EXPECT_EQ(
        messages_,
        Texts{"\"u/tmp/out/secret\": outside the install tree\n"
              "\"u/qel/part/a/h\": a hard link to u/tmp/out/secret, which this restore does not "
              "write\n"
              "\"u/qel/part/a/s\": a symbolic link to " +
              box_.Path("/u/tmp/out") +
              "\n"
              "\"u/qel/part/a/p\": a FIFO\n"
              "\"u/qel/part/plant/f\": below a link that leads out of the install tree\n"
              "L70 \nL100"});

    EXPECT_EQ(RestoreExtract(m_, device_, Ui()), RestoreOutcome::kExtracted);
    EXPECT_EQ(box_.Read("/u/qel/part/a/ok"), "archived ok");
    struct stat ok {};
    struct stat ok2 {};
    struct stat st {};
    ASSERT_EQ(lstat(box_.Path("/u/qel/part/a/ok").c_str(), &ok), 0);
    ASSERT_EQ(lstat(box_.Path("/u/qel/part/a/ok2").c_str(), &ok2), 0);
    EXPECT_EQ(ok.st_ino, ok2.st_ino);
    for (const char* gone :
         {"/u/qel/part/a/h", "/u/qel/part/a/s", "/u/qel/part/a/p", "/u/tmp/out/f"})
        EXPECT_NE(lstat(box_.Path(gone).c_str(), &st), 0) << gone;
    EXPECT_EQ(box_.Read("/u/tmp/out/secret"), "secret");
    ASSERT_EQ(lstat(box_.Path("/u/tmp/out/secret").c_str(), &st), 0);
    EXPECT_EQ(st.st_nlink, 1u);

    // Again, with the hard link's target kept as it is: the link goes too.
    messages_.clear();
    box_.Write("/u/qel/part/a/ok", "kept ok");
    box_.Remove("/u/qel/part/a/ok2");
    box_.Write("/u/qel/part/a/ok2", "kept ok2");
    List();
    Split({"u/qel/part/a/ok", "u/qel/part/a/ok2"});
    EXPECT_EQ(m_.existing, (Texts{"u/qel/part/a/ok", "u/qel/part/a/ok2"}));
    RestoreRemove(m_, {1});
    messages_.clear();
    testing::internal::CaptureStdout();
    EXPECT_EQ(RestoreExtract(m_, device_, Ui()), RestoreOutcome::kNothing);
    const std::string tarOut = testing::internal::GetCapturedStdout();
    EXPECT_NE(tarOut.find("RestTar: u/qel/part/a/ok2 left out: a hard link to u/qel/part/a/ok"),
              std::string::npos)
        << tarOut;
    EXPECT_EQ(messages_, (Texts{"\"u/qel/part/a/ok2\": a hard link to u/qel/part/a/ok, which this "
                                "restore does not write\nL70 \nL100"}));
    EXPECT_EQ(box_.Read("/u/qel/part/a/ok"), "kept ok");
    EXPECT_EQ(box_.Read("/u/qel/part/a/ok2"), "kept ok2");
}

TEST_F(RestoreTest, AnArchiveOfAbsoluteNamesRestoresInPlace) {
    box_.Write("/u/qel/part/a/x", "archived x");
    MakeArchive({"u/qel/part/a/x"}, "-P --transform 's,^,/,'");
    box_.Remove("/u/qel/part/a");
    List();
    EXPECT_EQ(RestoreNames(m_), (Texts{"/u/qel/part/a/x"}));
    SplitAll();
    EXPECT_EQ(m_.missing, (Texts{"/u/qel/part/a/x"}));
    EXPECT_EQ(RestoreExtract(m_, device_, Ui()), RestoreOutcome::kExtracted);
    EXPECT_EQ(box_.Read("/u/qel/part/a/x"), "archived x");
}

TEST_F(RestoreTest, NamesRestoredAsThemselves) {
    const Texts names = {"x;touch PWNED", "$(touch PWNED)",    "a b", "a\\b", "-rf",
                         "q'uote",        std::string(90, 'l')};
    Texts files;
    for (const std::string& n : names) {
        box_.Write("/u/qel/part/n/" + n, "archived " + n);
        files.push_back("u/qel/part/n/" + n);
    }
    MakeArchive(files, "--no-unquote");
    box_.Remove("/u/qel/part/n");
    List();
    Texts listed = RestoreNames(m_);
    std::sort(listed.begin(), listed.end());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(listed, files);
    SplitAll();
    EXPECT_EQ(m_.missing.size(), names.size());
    EXPECT_EQ(RestoreExtract(m_, device_, Ui()), RestoreOutcome::kExtracted);
    for (const std::string& n : names)
        EXPECT_EQ(box_.Read("/u/qel/part/n/" + n), "archived " + n) << n;
    EXPECT_FALSE(box_.Exists("/PWNED"));
    EXPECT_FALSE(box_.Exists("/u/qel/part/n/PWNED"));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(RestoreTest, NamesOutsideTheTreeAreNeverWritten) {
    box_.Write("/u/qel/x", "archived x");
    box_.Write("/u/qel/y", "archived y");
    box_.Write("/u/qel/ok", "archived ok");
    MakeArchive({"u/qel/ok", "u/qel/x", "u/qel/y"},
                "-P --transform 's,^u/qel/x$,../x,' --transform 's,^u/qel/y$,etc/x,'");
    box_.Remove("/u/qel/ok");
    List();
    ASSERT_EQ(RestoreNames(m_), (Texts{"u/qel/ok", "../x", "etc/x"}));
    testing::internal::CaptureStdout();
    SplitAll();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(m_.missing, (Texts{"u/qel/ok"}));
    EXPECT_TRUE(m_.existing.empty());
    EXPECT_NE(out.find("RestCheckExisting: ../x left out"), std::string::npos) << out;
    EXPECT_NE(out.find("RestCheckExisting: etc/x left out"), std::string::npos) << out;
    // What lies above the sandbox (its parent's x) stays as it was.
    const std::string above = box_.root().substr(0, box_.root().rfind('/')) + "/x";
    std::string before, after;
    const bool was = ReadFileBytes(above, &before);
    EXPECT_EQ(RestoreExtract(m_, device_, Ui()), RestoreOutcome::kExtracted);
    EXPECT_EQ(box_.Read("/u/qel/ok"), "archived ok");
    EXPECT_FALSE(box_.Exists("/etc/x"));
    EXPECT_EQ(ReadFileBytes(above, &after), was) << above;
    EXPECT_EQ(after, before) << above;
}

TEST_F(RestoreTest, FailuresAreReported) {
    // A medium that holds no archive.
    box_.Write(device_, std::string(4096, 'j'));
    RestoreListed(m_, {{"u/qel/part/a/x"}});
    SplitAll();
    EXPECT_EQ(RestoreExtract(m_, device_, Ui()), RestoreOutcome::kFailed);
    EXPECT_EQ(messages_, (Texts{"tar: exit status 2 \nL100"}));
    EXPECT_FALSE(box_.Exists("/u/qel/part/a/x"));

    // The restore list cannot be written: no tar runs.
    messages_.clear();
    commands_.clear();
    box_.Remove("/u/tmp/res.out");
    box_.Write("/u/tmp/res.out/blocked", "");
    RestoreListed(m_, {{"u/qel/part/a/x"}});
    SplitAll();
    EXPECT_EQ(RestoreExtract(m_, device_, Ui()), RestoreOutcome::kFailed);
    EXPECT_TRUE(commands_.empty());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], "/u/tmp/res.out: Is a directory \nL100");
}

TEST_F(RestoreTest, ThePrintListHoldsEveryMember) {
    RestoreListed(m_, {{"u/qel/a"}, {"u/qel/b c"}, {"/u/qel/d"}});
    ASSERT_TRUE(RestoreWritePrintList(m_));
    EXPECT_EQ(box_.Read("/u/tmp/prt.out"), "u/qel/a\nu/qel/b c\n/u/qel/d\n");
}

} // namespace
