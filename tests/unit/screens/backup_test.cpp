// The backup screen's model on a sandbox tree, without X: the listing
// script and tar run for real, the medium is a file under the sandbox's
// dev/, the operator's dialogs answer from a script, and every command is
// recorded. The set's adding rules, the estimate, the archive, the media
// refused and the failures, with the set kept or emptied as each case
// wants, and names that the shell must not take apart.
#include <gtest/gtest.h>

#include "archive.h"
#include "backupmodel.h"
#include "dialogs.h"
#include "filelists.h"
#include "launch.h"
#include "sandbox.h"
#include "sandbox_tree.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <sys/stat.h>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

class BackupTest : public testing::Test {
  public:
    void SetUp() override {
        box_.Write("/u/qel/part/A/A1.E", "a1");
        box_.Write("/u/qel/part/A/notes", "n");
        box_.Write("/u/qel/part/A/sub/A2.E", "a2");
        box_.Write("/u/qel/part/A/sub/A1.E", "deeper a1");
        box_.Write("/u/qel/part/A/sub/B1.E", "b1");
        box_.Write("/u/qel/part/A/sub/x1", "x1");
        box_.Write("/u/qel/part/A/sub/x2", "x2");
        box_.Write("/u/qel/part/A/A3.E/x", "a folder named like a match");
        box_.Write("/u/qel/part/B/prog", "B's program\n");
        box_.Write("/u/qel/part/C/stat/A1.E", "c");
        box_.Write("/u/qel/def_data/misc/fu.bu", "usr_data\n");
        box_.Write("/u/qel/usr_data/sub/x", "x");
        box_.Write("/dev/fd0", "");
    }

    NavIo Io() {
        return {[this](const std::string& folder) {
                    if (folder.empty()) {
                        names_ = TopListNames("fu.bu", part_);
                        return 1;
                    }
                    bool sub = false;
                    ListFolder(folder, ListRule::kDir, &names_, &sub);
                    return sub ? 1 : 0;
                },
                [](const std::string& path) { return FileType(path) == 2; }};
    }
    BackupUi Ui() {
        return {[](int n) { return "L" + std::to_string(n); },
                [this](const std::string& text) {
                    messages_.push_back(text);
                    if (answers_.empty()) return 1;
                    const int a = answers_.front();
                    answers_.pop_front();
                    return a;
                },
                [this](const std::string& command) {
                    commands_.push_back(command);
                    return SystemCmd(command);
                },
                [this](bool busy) { busy_.push_back(busy); },
                [this](const std::string& path) { heads_.push_back(path); },
                [this](std::string* device) {
                    ++choices_;
                    *device = device_;
                    return reply_;
                },
                [](const std::string& device) {
                    return MediaNotReady(0, device.c_str()) == 0 ? 0 : -1;
                }};
    }

    void Open(const std::string& part = "") {
        part_ = part;
        BackupOpen(m_, part, Io());
    }
    ListSelection Sel(const Texts& entries) const {
        ListSelection sel;
        for (const std::string& e : entries) {
            auto it = std::find(names_.begin(), names_.end(), e);
            EXPECT_NE(it, names_.end()) << e;
            if (it == names_.end()) continue;
            if (sel.names.empty()) sel.firstPosition = static_cast<int>(it - names_.begin()) + 1;
            sel.names.push_back(e);
        }
        return sel;
    }
    void Choose(const Texts& entries) { BackupOk(m_, Sel(entries), "", Io(), Ui()); }
    void Path(const Texts& entries) {
        for (const std::string& e : entries) Choose({e});
    }
    void Ok(const std::string& text) { BackupOk(m_, {}, text, Io(), Ui()); }
    void BackupWholeFolderOf(const std::string& entry) { BackupWholeFolder(m_, Sel({entry})); }
    void Top() {
        while (m_.nav.state != kNavTop) BackupUpOne(m_, Io());
    }
    // The whole backup button: estimate, then the archive, then the end.
    BackupOutcome Run() {
        if (!BackupEstimate(m_, Ui())) return BackupOutcome::kKept;
        const BackupOutcome out = BackupTar(m_, Ui());
        BackupFinish(m_, out, Io());
        return out;
    }
    Texts Take(Texts& v) {
        Texts out;
        out.swap(v);
        return out;
    }
    // The members of the archive on the sandbox's medium.
    Texts Members(const std::string& device = "/dev/fd0") const {
        const std::string cmd =
            "tar --quoting-style=literal -tf '" + box_.Path(device) + "' 2>/dev/null";
        FILE* p = popen(cmd.c_str(), "r");
        std::string out;
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
        Texts members = SplitLines(out);
        std::sort(members.begin(), members.end());
        return members;
    }

    Sandbox box_;
    BackupModel m_;
    std::string part_;
    Texts names_;
    Texts messages_;
    Texts commands_;
    Texts heads_;
    std::vector<bool> busy_;
    std::deque<int> answers_;
    std::string device_ = "/dev/fd0";
    int reply_ = 1;
    int choices_ = 0;
};

TEST_F(BackupTest, AFolderAndAFileOntoTheDiskette) {
    Open();
    EXPECT_TRUE(m_.nav.wholeFolder); // at the top, unlike the other file screens
    EXPECT_TRUE(m_.nav.hotkeys);     // "AllParts", with no part current
    Choose({"part/"});
    EXPECT_EQ(m_.nav.state, kNavPartList);
    EXPECT_TRUE(m_.plus);
    EXPECT_FALSE(m_.nav.hotkeys);
    BackupWholeFolder(m_, Sel({"A/"}));
    Path({"B/"});
    EXPECT_FALSE(m_.plus);
    Choose({"prog"});
    EXPECT_EQ(m_.set, (Texts{"/u/qel/part/A/", "/u/qel/part/B/prog"}));

    EXPECT_EQ(Run(), BackupOutcome::kWritten);
    EXPECT_EQ(box_.Read("/u/tmp/bck.out"), "/u/qel/part/A\n/u/qel/part/B/prog\n");
    EXPECT_EQ(messages_, (Texts{"1 L157 or\n1 L158   \n\nL172"}));
    EXPECT_EQ(commands_, (Texts{"tar -C " + box_.root() +
                                " -cvf /dev/fd0 --no-unquote -- u/qel/part/A u/qel/part/B/prog"}));
    EXPECT_EQ(Members(),
              (Texts{"u/qel/part/A/", "u/qel/part/A/A1.E", "u/qel/part/A/A3.E/",
                     "u/qel/part/A/A3.E/x", "u/qel/part/A/notes", "u/qel/part/A/sub/",
                     "u/qel/part/A/sub/A1.E", "u/qel/part/A/sub/A2.E", "u/qel/part/A/sub/B1.E",
                     "u/qel/part/A/sub/x1", "u/qel/part/A/sub/x2", "u/qel/part/B/prog"}));
    // Afterwards: the set empty, back at the top.
    EXPECT_TRUE(m_.set.empty());
    EXPECT_EQ(m_.nav.state, kNavTop);
    EXPECT_TRUE(m_.nav.wholeFolder);
    EXPECT_TRUE(m_.nav.hotkeys);
    EXPECT_FALSE(m_.nav.upOne);
}

// Back at the top after a backup, the current part is still first, and
// "part/" after it is the part list with its plus button.
TEST_F(BackupTest, TheTopListAfterABackupKeepsTheCurrentPart) {
    Open("A");
    Choose({"A/"});
    Choose({"notes"});
    EXPECT_EQ(Run(), BackupOutcome::kWritten);
    ASSERT_EQ(m_.nav.state, kNavTop);
    EXPECT_EQ(m_.nav.currentPart, "A");
    Choose({"part/"});
    EXPECT_EQ(m_.nav.state, kNavPartList);
    EXPECT_TRUE(m_.plus);
    Top();
    Choose({"A/"});
    EXPECT_EQ(m_.nav.state, kNavCurPart);
    EXPECT_EQ(m_.nav.folder, "/u/qel/part/A/");
}

TEST_F(BackupTest, NothingIsWrittenWhereNoArchiveMayGo) {
    struct Case {
        const char* what;
        int reply;
        const char* device;
        int estimateAnswer;
        BackupOutcome outcome;
        Texts messages; // after the estimate's question
        bool setKept;
    };
    const std::string refused = "/u/qel/sys_data/files/media.bin L155\nL100";
    const Case cases[] = {
        {"estimate cancelled", 1, "/dev/fd0", 0, BackupOutcome::kKept, {}, true},
        {"medium choice cancelled", -1, "", 1, BackupOutcome::kCancelled, {}, false},
        {"no medium in the table", 1, "", 1, BackupOutcome::kKept, {refused}, true},
        {"a device outside the sandbox",
         1,
         "/tmp/qel-medium",
         1,
         BackupOutcome::kKept,
         {refused},
         true},
        {"a medium that is not there", 1, "/dev/st0", 1, BackupOutcome::kKept, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Open();
        BackupAddMatching(m_, "/u/qel/part/B/prog", Ui());
        BackupAddMatching(m_, "/u/qel/part/A/notes", Ui());
        reply_ = c.reply;
        device_ = c.device;
        answers_ = {c.estimateAnswer};
        messages_.clear();
        commands_.clear();
        BackupOutcome out = BackupOutcome::kKept;
        if (BackupEstimate(m_, Ui())) {
            out = BackupTar(m_, Ui());
            BackupFinish(m_, out, Io());
        }
        EXPECT_EQ(out, c.outcome);
        EXPECT_TRUE(commands_.empty());
        ASSERT_FALSE(messages_.empty());
        EXPECT_EQ(Texts(messages_.begin() + 1, messages_.end()), c.messages);
        EXPECT_EQ(m_.set.empty(), !c.setKept);
        // The first set path (an archive with no device would be written
        // over it) and the absent medium are as they were.
        EXPECT_EQ(box_.Read("/u/qel/part/B/prog"), "B's program\n");
        EXPECT_FALSE(box_.Exists("/dev/st0"));
        EXPECT_FALSE(box_.Exists("/tmp/qel-medium"));
        m_.set.clear();
    }
    EXPECT_EQ(choices_, 4);
}

TEST_F(BackupTest, AFailedTarIsReportedAndTheSetStays) {
    Open();
    BackupAddMatching(m_, "/u/qel/part/B/prog", Ui());
    BackupAddItem(m_, "/u/qel/part/gone");
    testing::internal::CaptureStdout();
    EXPECT_EQ(Run(), BackupOutcome::kKept);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(commands_.size(), 1u);
    EXPECT_EQ(Take(messages_).back(), "tar: exit status 2 \nL100");
    EXPECT_NE(out.find("BuTar: tar: exit status 2"), std::string::npos) << out;
    EXPECT_NE(out.find("cmdstring = tar -C "), std::string::npos) << out;
    EXPECT_EQ(m_.set, (Texts{"/u/qel/part/B/prog", "/u/qel/part/gone"}));
}

TEST_F(BackupTest, ACommandBeyondWhatTheShellTakesIsRefused) {
    Open();
    for (int i = 0; i < 1700; ++i)
        BackupAddItem(m_, "/u/qel/part/" + std::string(70, 'p') + std::to_string(i));
    EXPECT_EQ(BackupTar(m_, Ui()), BackupOutcome::kKept);
    EXPECT_TRUE(commands_.empty());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].rfind("tar: a command of ", 0), 0u) << messages_[0];
    EXPECT_NE(messages_[0].find("(at most 131071) \nL100"), std::string::npos);
}

TEST_F(BackupTest, WhatEachWayOfAddingPutsIntoTheSet) {
    struct Case {
        const char* what;
        std::function<void(BackupTest&)> act;
        Texts set;
        Texts messages;
    };
    const Case cases[] = {
        {"a typed path that is not there",
         [](BackupTest& t) { t.Ok("/u/qel/part/A/none"); },
         {},
         {"/u/qel/part/A/none L123\nL100"}},
        {"a relative name at the top", [](BackupTest& t) { t.Ok("part/A"); }, {}, {"L70"}},
        {"a typed folder, less its \"/\"",
         [](BackupTest& t) { t.Ok("/u/qel/part/A/"); },
         {"/u/qel/part/A"},
         {}},
        {"a pattern in a folder: every match at any depth",
         [](BackupTest& t) {
             t.Path({"part/", "A/"});
             t.Ok("A*.E");
         },
         {"/u/qel/part/A/A1.E", "/u/qel/part/A/sub/A1.E", "/u/qel/part/A/sub/A2.E"},
         {}},
        {"an existing file: that name at any depth",
         [](BackupTest& t) {
             t.Path({"part/", "A/"});
             t.Ok("A1.E");
         },
         {"/u/qel/part/A/A1.E", "/u/qel/part/A/sub/A1.E"},
         {}},
        {"a \"*\" in the folder part",
         [](BackupTest& t) { t.Ok("/u/qel/part/*/stat/A1.E"); },
         {"/u/qel/part/C/stat/A1.E"},
         {}},
        {"a pattern that finds nothing", [](BackupTest& t) { t.Ok("/u/qel/part/A/Z*"); }, {}, {}},
        {"the whole-folder button twice, then a file in it",
         [](BackupTest& t) {
             t.Path({"part/"});
             t.BackupWholeFolderOf("A/");
             t.BackupWholeFolderOf("A/");
             t.Path({"A/"});
             t.Choose({"notes"});
         },
         {"/u/qel/part/A/", "/u/qel/part/A/notes"},
         {}},
        {"a listed folder and the same typed",
         [](BackupTest& t) {
             t.Path({"part/"});
             t.BackupWholeFolderOf("A/");
             t.Ok("/u/qel/part/A");
         },
         {"/u/qel/part/A/"},
         {}},
        {"the whole-folder button at the top",
         [](BackupTest& t) { t.BackupWholeFolderOf("part/"); },
         {"/u/qel/part/"},
         {}},
        {"all parts",
         [](BackupTest& t) {
             BackupAllParts(t.m_);
             t.Ok("");
         },
         {"/u/qel/part/", "/u/qel/usr_data/sub"},
         {}},
        {"several files of a folder without sub folders",
         [](BackupTest& t) {
             t.Path({"part/", "A/", "sub/"});
             EXPECT_EQ(t.m_.nav.state, kNavPartBelow);
             t.Choose({"x2", "x1"});
         },
         {"/u/qel/part/A/sub/x2", "/u/qel/part/A/sub/x1"},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_ = BackupModel{};
        Open();
        messages_.clear();
        c.act(*this);
        EXPECT_EQ(m_.set, c.set);
        EXPECT_EQ(messages_, c.messages);
    }
}

TEST_F(BackupTest, TheCaseRuleOnTypedNamesAndTheMinusButton) {
    box_.Write("/u/qel/usr_data/misc/ABC", "upper");
    Open();
    Ok("/u/qel/usr_data/misc/abc");
    Ok("/u/qel/part/A/sub/a*.e");
    EXPECT_EQ(m_.set, (Texts{"/u/qel/usr_data/misc/ABC", "/u/qel/part/A/sub/A1.E",
                             "/u/qel/part/A/sub/A2.E"}));
    BackupRemove(m_, {1, 3, 9});
    EXPECT_EQ(m_.set, (Texts{"/u/qel/part/A/sub/A1.E"}));
}

TEST_F(BackupTest, APartWithTheFilesItNeedsElsewhere) {
    // files4part.exe: the install's stand-in, with the lines and the exit
    // status the test gives it for the part (as it gives it: 1 after its
    // list).
    std::string error;
    ASSERT_TRUE(LayOutSuiteTools(box_.root(), &error)) << error;
    box_.Write("/u/qel/part/it's a part/.keep", "");
    const std::string longPath = "/" + std::string(300, 'l');
    const Texts noList = {"L126\nL100"};
    struct Case {
        std::string status; // "" as the program gives it
        std::string output;
        Texts set;
        bool head;
        Texts messages;
        std::string said;
    };
    const Case cases[] = {
        // Paths up to the first line that is none; the file's head is shown.
        {"1", "/x\n/y\nERROR text\n/z", {"/x", "/y"}, true, {}, ""},
        // A long line is one path, whole.
        {"3", "/x\n" + longPath, {"/x", longPath}, false, {}, ""},
        {"", "/x\n/y", {"/x", "/y"}, false, {}, ""},
        // Status 0: nothing is read, and that is said.
        {"0", "/x\n/y", {}, false, noList, "names no file for it's a part (status 0)"},
        {"1", "", {}, false, noList, "names no file for it's a part (status 1)"},
        // Only words: they are shown.
        {"1", "no such part\n", {}, true, {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status + " " + c.output);
        Open();
        Path({"part/"});
        box_.Remove("/sim/files4part.status");
        if (!c.status.empty()) box_.Write("/sim/files4part.status", c.status);
        box_.Write("/sim/files4part/it's a part", c.output);
        box_.Remove("/sim/scripts.log");
        heads_.clear();
        busy_.clear();
        testing::internal::CaptureStdout();
        BackupPlus(m_, Sel({"it's a part/"}), Ui());
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(m_.set, c.set);
        EXPECT_EQ(heads_, c.head ? Texts{"/u/tmp/lst.out"} : Texts{});
        EXPECT_EQ(Take(messages_), c.messages);
        if (!c.said.empty()) {
            EXPECT_NE(out.find("BuPlusCB: /u/qel/xeq/files4part.exe " + c.said), std::string::npos)
                << out;
        }
        EXPECT_EQ(box_.ScriptsLog(), Texts{"files4part.exe [it's a part]"});
        // The window is insensitive while it runs.
        EXPECT_EQ(busy_, (std::vector<bool>{true, false}));
        m_.set.clear();
    }
    EXPECT_EQ(commands_.back(), "/u/qel/xeq/files4part.exe 'it'\\''s a part' >/u/tmp/lst.out");

    // What it names is in the set already: nothing new, said on the console.
    box_.Write("/sim/files4part.status", "1");
    box_.Write("/sim/files4part/it's a part", "/x\n");
    BackupAddItem(m_, "/x");
    testing::internal::CaptureStdout();
    BackupPlus(m_, Sel({"it's a part/"}), Ui());
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(m_.set, Texts{"/x"});
    EXPECT_NE(out.find("BuPlusCB: every file /u/qel/xeq/files4part.exe names for it's a part is "
                       "in the set already"),
              std::string::npos)
        << out;
    m_.set.clear();

    // Not installed: said on the console and to the operator; nothing read.
    box_.Remove("/u/qel/xeq/files4part.exe");
    box_.Write("/u/tmp/lst.out", "/stale\n");
    testing::internal::CaptureStdout();
    BackupPlus(m_, Sel({"it's a part/"}), Ui());
    out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("BuPlusCB: /u/qel/xeq/files4part.exe not run (status 127)"),
              std::string::npos)
        << out;
    EXPECT_TRUE(m_.set.empty());
    EXPECT_EQ(Take(messages_), noList);
}

TEST_F(BackupTest, NamesThatTheShellMustNotTakeApart) {
    box_.Write("/u/qel/part/D/a b;touch PWNED", "blank");
    box_.Write("/u/qel/part/D/$(touch PWNED)", "dollar");
    box_.Write("/u/qel/part/D/-rf", "dash");
    box_.Write("/u/qel/part/D/a\\tb", "backslash");
    Open();
    Ok("/u/qel/part/D/a b;touch PWNED");
    Ok("/u/qel/part/D/$(touch PWNED)");
    Ok("/u/qel/part/D/-rf");
    Ok("/u/qel/part/D/a\\tb");
    ASSERT_EQ(m_.set.size(), 4u);
    EXPECT_EQ(Run(), BackupOutcome::kWritten);
    EXPECT_EQ(Members(), (Texts{"u/qel/part/D/$(touch PWNED)", "u/qel/part/D/-rf",
                                "u/qel/part/D/a b;touch PWNED", "u/qel/part/D/a\\tb"}));
    EXPECT_FALSE(box_.Exists("/PWNED"));
    EXPECT_FALSE(box_.Exists("/u/qel/part/D/PWNED"));
}

TEST_F(BackupTest, ThePartRootElsewhere) {
    // The part root that QELPART names: the archive holds the translated
    // paths, which restore where they came from.
    box_.Write("/u/data/parts/P1/program/llf", std::string(1440000, 'x'));
    ScopedEnv root("QELPART", "/u/data/parts");
    Open();
    Path({"part/"});
    BackupWholeFolder(m_, Sel({"P1/"}));
    EXPECT_EQ(m_.set, (Texts{"/u/qel/part/P1/"}));
    EXPECT_EQ(Run(), BackupOutcome::kWritten);
    EXPECT_EQ(messages_, (Texts{"2 L157 or\n2 L158   \n\nL172"}));
    EXPECT_EQ(box_.Read("/u/tmp/bck.out"), "/u/qel/part/P1\n");
    EXPECT_EQ(Members(), (Texts{"u/data/parts/P1/", "u/data/parts/P1/program/",
                                "u/data/parts/P1/program/llf"}));
}

} // namespace
