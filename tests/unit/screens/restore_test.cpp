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

#include <algorithm>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
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
        Texts names;
        ASSERT_TRUE(ListArchive(device_, &names));
        RestoreListed(m_, names);
    }
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
    EXPECT_EQ(m_.listed, (Texts{"u/qel/part/a/x", "u/qel/part/a/y", "u/qel/part/b/z"}));

    RestoreSplit(m_, m_.listed);
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
    RestoreSplit(m_, m_.listed);
    RestoreRemove(m_, {1});
    EXPECT_TRUE(m_.existing.empty());
    EXPECT_EQ(RestoreExtract(m_, device_, Ui()), RestoreOutcome::kExtracted);
    EXPECT_EQ(box_.Read("/u/qel/part/a/x"), "kept x");
    EXPECT_EQ(Mtime("/u/qel/part/a/x"), 1000000000);
    EXPECT_EQ(box_.Read("/u/qel/part/a/y"), "archived y");

    // Every chosen member exists and all are removed: no tar at all.
    commands_.clear();
    List();
    RestoreSplit(m_, {"u/qel/part/a/x", "u/qel/part/a/y"});
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
    RestoreSplit(m_, {"u/qel/part/dir/"});
    EXPECT_EQ(m_.existing, (Texts{"u/qel/part/dir/", "u/qel/part/dir/f"}));
    EXPECT_EQ(m_.missing, (Texts{"u/qel/part/dir/g"}));
    RestoreRemove(m_, {2});
    EXPECT_EQ(RestoreExtract(m_, device_, Ui()), RestoreOutcome::kExtracted);
    EXPECT_EQ(box_.Read("/u/qel/part/dir/f"), "kept f");
    EXPECT_EQ(Mtime("/u/qel/part/dir/f"), 1000000000);
    EXPECT_EQ(box_.Read("/u/qel/part/dir/g"), "archived g");
    EXPECT_FALSE(box_.Exists("/u/qel/part/dirt"));
}

TEST_F(RestoreTest, AnArchiveOfAbsoluteNamesRestoresInPlace) {
    box_.Write("/u/qel/part/a/x", "archived x");
    MakeArchive({"u/qel/part/a/x"}, "-P --transform 's,^,/,'");
    box_.Remove("/u/qel/part/a");
    List();
    EXPECT_EQ(m_.listed, (Texts{"/u/qel/part/a/x"}));
    RestoreSplit(m_, m_.listed);
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
    Texts listed = m_.listed;
    std::sort(listed.begin(), listed.end());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(listed, files);
    RestoreSplit(m_, m_.listed);
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
    ASSERT_EQ(m_.listed, (Texts{"u/qel/ok", "../x", "etc/x"}));
    testing::internal::CaptureStdout();
    RestoreSplit(m_, m_.listed);
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
    RestoreListed(m_, {"u/qel/part/a/x"});
    RestoreSplit(m_, m_.listed);
    EXPECT_EQ(RestoreExtract(m_, device_, Ui()), RestoreOutcome::kFailed);
    EXPECT_EQ(messages_, (Texts{"tar: exit status 2 \nL100"}));
    EXPECT_FALSE(box_.Exists("/u/qel/part/a/x"));

    // The restore list cannot be written: no tar runs.
    messages_.clear();
    commands_.clear();
    box_.Remove("/u/tmp/res.out");
    box_.Write("/u/tmp/res.out/blocked", "");
    RestoreListed(m_, {"u/qel/part/a/x"});
    RestoreSplit(m_, m_.listed);
    EXPECT_EQ(RestoreExtract(m_, device_, Ui()), RestoreOutcome::kFailed);
    EXPECT_TRUE(commands_.empty());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], "/u/tmp/res.out: Is a directory \nL100");
}

TEST_F(RestoreTest, ThePrintListHoldsEveryMember) {
    RestoreListed(m_, {"u/qel/a", "u/qel/b c", "/u/qel/d"});
    ASSERT_TRUE(RestoreWritePrintList(m_));
    EXPECT_EQ(box_.Read("/u/tmp/prt.out"), "u/qel/a\nu/qel/b c\n/u/qel/d\n");
}

} // namespace
