// The delete screen's model on a sandbox tree, without X: the listing
// script, rm and the files4part stand-in run for real, the operator's
// questions answer from a script, and what is left on disk is the
// observation. What may be deleted at all, selected files, the patterns and
// names typed, whole folders and parts (with names the shell must not take
// apart), the current part, the purges and their hotkeys, companions in the
// user tree elsewhere, and all a part does not need.
#include <gtest/gtest.h>

#include "delmodel.h"
#include "delplan.h"
#include "filelists.h"
#include "launch.h"
#include "sandbox.h"

#include <algorithm>
#include <deque>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

TEST(DeleteConfinement, OnlyBelowTheInstallTree) {
    const struct {
        const char* path;
        DelScope scope;
        bool allowed;
    } cases[] = {
        // Ordinary targets.
        {"/u/qel/part/P1/program/llf", DelScope::kFile, true},
        {"/u/qel/x", DelScope::kFile, true},
        {"/u/qel/part/P1/*/x", DelScope::kFile, true},
        {"/u/qel/part/", DelScope::kWalk, true},
        {"/u/qel/usr_data/sub/", DelScope::kFolder, true},
        {"/u/qel/part/P1/contour/", DelScope::kFolder, true},
        {"/u/qel/part/P1/", DelScope::kPart, true},
        {"/u/qel/part/P1", DelScope::kPart, true},
        {"/u/qel//part/./P1/", DelScope::kPart, true},
        {"/u/qel/part/-rf/", DelScope::kPart, true},
        // "/*" at the top, and the install tree itself.
        {"/", DelScope::kWalk, false},
        {"/u/qel/", DelScope::kWalk, false},
        {"/u/qel/", DelScope::kFile, false},
        {"/u/qel/.", DelScope::kWalk, false},
        {"/u/", DelScope::kWalk, false},
        {"/u/qelx/a", DelScope::kFile, false},
        // Out through "..".
        {"/u/qel/../etc/x", DelScope::kFile, false},
        {"/u/qel/part/P1/../../x", DelScope::kFile, false},
        {"/u/qel/part/P1/../../x/", DelScope::kFolder, false},
        // A folder is no file.
        {"/u/qel/part/", DelScope::kFile, false},
        {"/u/qel/part/P1/.", DelScope::kFile, false},
        // Whole folders two levels down at least.
        {"/u/qel/part/", DelScope::kFolder, false},
        {"/u/qel/usr_data/", DelScope::kFolder, false},
        {"/u/qel/part//", DelScope::kFolder, false},
        // A part is a direct child of the part folder: Hotkey1 with a
        // current part "../.." or "P1/program", a "../" entry.
        {"/u/qel/part/../../", DelScope::kPart, false},
        {"/u/qel/part/P1/program/", DelScope::kPart, false},
        {"/u/qel/part/../", DelScope::kPart, false},
        {"/u/qel/usr_data/P1/", DelScope::kPart, false},
        {"/u/qel/part/", DelScope::kPart, false},
        // Relative paths and NULs.
        {"u/qel/part/P1/x", DelScope::kFile, false},
        {"", DelScope::kFile, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DeletionAllowed(c.path, c.scope), c.allowed)
            << c.path << " scope " << static_cast<int>(c.scope);
    EXPECT_FALSE(DeletionAllowed(std::string("/u/qel/x\0/../../etc", 19), DelScope::kFile));
}

TEST(DeleteCommands, EveryOperandQuotedOnTheTranslatedPath) {
    ScopedEnv user("QELUSER", "/data/users");
    EXPECT_EQ(RmCommand("/u/qel/part/P1/a b"), "rm '/u/qel/part/P1/a b'");
    EXPECT_EQ(RmCommand("/u/qel/usr_data/sub/X"), "rm /data/users/sub/X");
    EXPECT_EQ(CompanionCommand("/u/qel/usr_data/sub/it's"),
              "rm -f '/data/users/sub/it'\\''s'.[ELRT]");
    EXPECT_EQ(CompanionCommand("/u/qel/def_data/sub/X"), "rm -f /u/qel/def_data/sub/X.[ELRT]");
    EXPECT_EQ(CompanionCommand("/u/qel/part/P1/sub/X"), "");
    EXPECT_EQ(RemoveDirCommand("/u/qel/part/*/"), "rm -r '/u/qel/part/*'");
    EXPECT_EQ(Files4PartCommand("GEAR COVER"), "files4part 'GEAR COVER' > /u/tmp/lst1.out");
}

class DeleteTest : public testing::Test {
  protected:
    DeleteTest() : box_(Sandbox::WithSuiteTools()), path_("PATH", box_.ToolsOnPath().c_str()) {}

    void SetUp() override {
        for (const char* f :
             {"/u/qel/part/P1/program/llf", "/u/qel/part/P1/program/old1",
              "/u/qel/part/P1/program/old2", "/u/qel/part/P1/contour/A.NOM",
              "/u/qel/part/P1/contour/b.nom", "/u/qel/part/P1/contour/c.dat",
              "/u/qel/part/P1/contour/llf", "/u/qel/part/P1/stat/x.BAK",
              "/u/qel/part/P1/stat/y.BAK", "/u/qel/part/P1/stat/z.dat", "/u/qel/part/P1/stat/Q.DAT",
              "/u/qel/part/P1/sub/z.BAK", "/u/qel/part/P1/sub/*.BAK", "/u/qel/part/P2/program/llf",
              "/u/qel/part/P2/stat/s.BAK"})
            box_.Write(f, f);
        box_.Write("/u/qel/def_data/misc/fu.del", "usr_data/sub\nusr_data/misc\n");
    }

    NavIo Io() {
        return {[this](const std::string& folder) {
                    ++listings_;
                    if (folder.empty()) {
                        names_ = TopListNames("fu.del", part_);
                        return 1;
                    }
                    bool sub = false;
                    ListFolder(folder, ListRule::kDir, &names_, &sub);
                    return sub ? 1 : 0;
                },
                [](const std::string& path) { return FileType(path) == 2; }};
    }
    FileUi Ui() {
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
                [](bool) {}};
    }

    void Open(const std::string& part = "") {
        part_ = part;
        DelOpen(m_, part, Io(), [this] {
            ++forgotten_;
            part_.clear();
        });
    }
    ListSelection Sel(const Texts& entries) {
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
    void Choose(const Texts& entries) { DelOk(m_, Sel(entries), "", Io(), Ui()); }
    void Path(const Texts& entries) {
        for (const std::string& e : entries) Choose({e});
    }
    void Ok(const std::string& text) { DelOk(m_, {}, text, Io(), Ui()); }
    Texts Take(Texts& v) {
        Texts out;
        out.swap(v);
        return out;
    }
    // The regular files left below a folder of the sandbox, relative to it.
    Texts Left(const std::string& logical = "/u/qel/part") const {
        Texts out;
        namespace fs = std::filesystem;
        const std::string root = box_.Path(logical);
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(root, ec);
             it != fs::recursive_directory_iterator(); it.increment(ec))
            if (it->is_regular_file() && !it->is_symlink())
                out.push_back(it->path().string().substr(root.size() + 1));
        std::sort(out.begin(), out.end());
        return out;
    }
    static Texts Without(Texts all, const Texts& gone) {
        for (const std::string& g : gone)
            all.erase(std::remove(all.begin(), all.end(), g), all.end());
        return all;
    }

    Sandbox box_;
    ScopedEnv path_;
    DelModel m_;
    std::string part_;
    Texts names_;
    Texts messages_;
    Texts commands_;
    std::deque<int> answers_;
    int listings_ = 0;
    int forgotten_ = 0;
};

TEST_F(DeleteTest, SelectedFilesBelowTheFirstLevel) {
    const Texts all = Left();
    Open("P1");
    Path({"P1/", "stat/"});
    ASSERT_EQ(m_.nav.state, kNavCurPartBelow);
    ASSERT_TRUE(m_.nav.multiple);
    // Cancel deletes nothing and shows the folder above all the same.
    answers_ = {0};
    Choose({"x.BAK", "y.BAK", "z.dat"});
    EXPECT_EQ(Take(messages_), Texts{"L284\nL206"});
    EXPECT_EQ(Left(), all);
    EXPECT_EQ(m_.nav.state, kNavCurPart);
    EXPECT_EQ(m_.nav.folder, "/u/qel/part/P1/");
    Choose({"stat/"});
    Choose({"x.BAK", "y.BAK", "z.dat"});
    EXPECT_EQ(Take(messages_), Texts{"L284\nL206"});
    EXPECT_EQ(Take(commands_),
              (Texts{"rm /u/qel/part/P1/stat/z.dat", "rm /u/qel/part/P1/stat/y.BAK",
                     "rm /u/qel/part/P1/stat/x.BAK"}));
    EXPECT_EQ(Left(), Without(all, {"P1/stat/x.BAK", "P1/stat/y.BAK", "P1/stat/z.dat"}));
    EXPECT_EQ(m_.nav.state, kNavCurPart);
    // A sub folder selected below the first level is entered, unasked.
    Choose({"contour/"});
    box_.Write("/u/qel/part/P1/contour/deeper/d", "d");
    Choose({"A.NOM"});
    Take(messages_);
    Take(commands_);
    Choose({"contour/"});
    Choose({"deeper/"});
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(m_.nav.folder, "/u/qel/part/P1/contour/deeper/");
    EXPECT_EQ(m_.nav.depth, 1);
}

TEST_F(DeleteTest, PatternsAndNames) {
    ASSERT_EQ(symlink(box_.Path("/outside").c_str(), box_.Path("/u/qel/part/P1/out").c_str()), 0);
    // A path longer than 79 characters, and one that is its beginning.
    const std::string longBak = "P1/stat/" + std::string(70, 'l') + ".BAK";
    const std::string prefix = "P1/stat/" + std::string(70, 'l');
    box_.Write("/u/qel/part/" + longBak, "long");
    box_.Write("/u/qel/part/" + prefix, "prefix");
    const Texts all = Left();
    const struct {
        const char* name;
        Texts path; // from the top
        std::string typed;
        std::string question;
        Texts gone;
    } cases[] = {
        {"a pattern in a folder without sub folders",
         {"part/", "P1/", "stat/"},
         "*.BAK",
         "L205\npart/P1/stat/*.BAK\nL206",
         {"P1/stat/x.BAK", "P1/stat/y.BAK", longBak}},
        {"a pattern typed at the top goes through the sub folders",
         {},
         "/u/qel/part/P1/*.BAK",
         "L205\npart/P1/*.BAK\nL206",
         {"P1/stat/x.BAK", "P1/stat/y.BAK", "P1/sub/z.BAK", "P1/sub/*.BAK", longBak}},
        {"a name in a folder with sub folders is an exact name",
         {"part/", "P1/"},
         "*.BAK",
         "L205\npart/P1/*/*.BAK\nL206",
         {"P1/sub/*.BAK"}},
        {"llf in the part list: the part programs",
         {"part/"},
         "llf",
         "L205\npart/*/program/llf\nL206",
         {"P1/program/llf", "P2/program/llf"}},
        {"only the llf files of program folders",
         {},
         "/u/qel/part/*/program/llf",
         "L205\npart/*/program/llf\nL206",
         {"P1/program/llf", "P2/program/llf"}},
        {"one file, by the case rule when that file is there",
         {"part/", "P1/", "stat/"},
         "q.dat",
         "L205\npart/P1/stat/Q.DAT\nL206",
         {"P1/stat/Q.DAT"}},
        {"one file, else as typed",
         {"part/", "P1/", "stat/"},
         "z.dat",
         "L205\npart/P1/stat/z.dat\nL206",
         {"P1/stat/z.dat"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const std::string& f : all) box_.Write("/u/qel/part/" + f, f);
        box_.Write("/outside/x.BAK", "outside");
        Open();
        Path(c.path);
        listings_ = 0;
        Ok(c.typed);
        EXPECT_EQ(Take(messages_), Texts{c.question});
        EXPECT_EQ(Left(), Without(all, c.gone));
        EXPECT_EQ(listings_, 1);
        EXPECT_TRUE(box_.Exists("/outside/x.BAK"));
        commands_.clear();
    }
    // A relative path at the top.
    Open();
    Ok("part/P1/stat/z.dat");
    EXPECT_EQ(Take(messages_), Texts{"L70"});
    EXPECT_TRUE(commands_.empty());
}

TEST_F(DeleteTest, NothingOutsideTheInstallTree) {
    box_.Write("/etc/x", "x");
    const Texts all = Left("/u/qel");
    Open("../..");
    const struct {
        const char* typed;
        const char* message;
    } typed[] = {
        {"/*", "/*\nL70\nL100"},
        {"/u/qel/*", "/u/qel/*\nL70\nL100"},
        {"/u/qel/part/P1/../../../etc/x", "/u/qel/part/P1/../../../etc/x\nL70\nL100"},
        {"/u/qel/../etc/x", "/u/qel/../etc/x\nL70\nL100"},
        {"/u/qel/", "/u/qel/\nL70\nL100"},
    };
    for (const auto& t : typed) {
        Ok(t.typed);
        EXPECT_EQ(Take(messages_), Texts{t.message}) << t.typed;
    }
    // Hotkey1 on a current part that names no part folder.
    ASSERT_TRUE(m_.hotkey1Shown);
    DelHotkey(m_, kDelHotkey1);
    Ok("");
    EXPECT_EQ(Take(messages_), Texts{"/u/qel/part/../../\nL70\nL100"});
    Open("P1/program");
    DelHotkey(m_, kDelHotkey1);
    Ok("");
    EXPECT_EQ(Take(messages_), Texts{"/u/qel/part/P1/program/\nL70\nL100"});
    // A "../" entry of the part list, as a whole folder and for all but
    // what a part needs.
    Open();
    Choose({"part/"});
    DelWholeFolder(m_, {1, {"../"}}, Io(), Ui());
    DelAllButNeeded(m_, {1, {"../"}}, Io(), Ui());
    EXPECT_EQ(Take(messages_), (Texts{"/u/qel/part/../\nL70\nL100", "/u/qel/part/../\nL70\nL100"}));
    EXPECT_TRUE(commands_.empty());
    EXPECT_EQ(Left("/u/qel"), all);
    EXPECT_TRUE(box_.Exists("/etc/x"));
}

TEST_F(DeleteTest, AWholePartWithNamesTheShellMustNotTakeApart) {
    for (const char* f : {"/u/qel/part/P3/*/a", "/u/qel/part/P3/-rf/b", "/u/qel/part/P3/a b/c",
                          "/u/qel/part/P3/x y", "/u/qel/part/P3/it's", "/u/qel/part/*/keep",
                          "/u/qel/part/a/keep", "/u/qel/part/b/keep", "/u/qel/part/-rf/keep"})
        box_.Write(f, f);
    box_.Write("/outside/kept", "o");
    ASSERT_EQ(symlink(box_.Path("/outside").c_str(), box_.Path("/u/qel/part/P3/link").c_str()), 0);
    const Texts others = Without(Left(), {"P3/*/a", "P3/-rf/b", "P3/a b/c", "P3/x y", "P3/it's"});
    Open("P3");
    Choose({"part/"});
    EXPECT_TRUE(m_.nav.wholeFolder);
    EXPECT_TRUE(DelAllButNeededShown(m_));
    // Cancel leaves it.
    answers_ = {0};
    DelWholeFolder(m_, Sel({"P3/"}), Io(), Ui());
    EXPECT_EQ(Take(messages_), Texts{"L205\npart/P3/*\nL206"});
    EXPECT_TRUE(commands_.empty());
    DelWholeFolder(m_, Sel({"P3/"}), Io(), Ui());
    EXPECT_FALSE(box_.Exists("/u/qel/part/P3"));
    EXPECT_EQ(Left(), others);
    EXPECT_TRUE(box_.Exists("/outside/kept"));
    // The part was the current one: it is no longer.
    EXPECT_EQ(forgotten_, 1);
    EXPECT_EQ(m_.nav.currentPart, "");
    EXPECT_EQ(std::count(names_.begin(), names_.end(), "P3/"), 0);
    // Its files one by one, then its folders, each only while it is there.
    const Texts commands = Take(commands_);
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.back(), "rm -r /u/qel/part/P3");
    for (const std::string& c : commands) EXPECT_EQ(c.rfind("rm ", 0), 0u) << c;
    EXPECT_NE(std::find(commands.begin(), commands.end(), "rm '/u/qel/part/P3/it'\\''s'"),
              commands.end());

    // A folder deleted that is not the current part's leaves the part.
    Open("P1");
    Path({"part/", "P2/"});
    DelWholeFolder(m_, Sel({"stat/"}), Io(), Ui());
    EXPECT_FALSE(box_.Exists("/u/qel/part/P2/stat"));
    EXPECT_EQ(forgotten_, 1);
    EXPECT_EQ(m_.nav.currentPart, "P1");
}

TEST_F(DeleteTest, TheCurrentPartByHotkey) {
    const Texts all = Left();
    Open("P1");
    EXPECT_TRUE(m_.hotkey1Shown);
    EXPECT_EQ(m_.hotkey1Function, kHotkeyDeletePart);
    EXPECT_EQ(m_.hotkey1Label, 237);
    EXPECT_FALSE(m_.hotkey2Shown);
    DelHotkey(m_, kDelHotkey1);
    answers_ = {0};
    Ok("");
    EXPECT_EQ(Take(messages_), Texts{"L205\npart/P1/*\nL206"});
    EXPECT_EQ(Left(), all);
    EXPECT_EQ(forgotten_, 0);
    Ok("");
    EXPECT_FALSE(box_.Exists("/u/qel/part/P1"));
    EXPECT_TRUE(box_.Exists("/u/qel/part/P2/program/llf"));
    EXPECT_EQ(forgotten_, 1);
    EXPECT_EQ(m_.nav.state, kNavTop);
    EXPECT_EQ(names_.front(), "part/");
    EXPECT_FALSE(m_.hotkey1Shown);
    EXPECT_EQ(m_.nav.hotkeyMode, 0);
}

TEST_F(DeleteTest, PurgesAndTheirHotkeys) {
    Open();
    Path({"part/", "P1/"});
    EXPECT_FALSE(m_.hotkey1Shown);
    EXPECT_FALSE(m_.hotkey2Shown);
    Choose({"contour/"});
    EXPECT_TRUE(m_.hotkey1Shown);
    EXPECT_TRUE(m_.hotkey2Shown);
    EXPECT_EQ(m_.hotkey1Label, 259);
    DelHotkey(m_, kDelHotkey1);
    Ok("");
    EXPECT_EQ(Take(messages_), Texts{"L281\npart/P1/contour/*\nL206"});
    EXPECT_EQ(Left("/u/qel/part/P1/contour"), (Texts{"A.NOM", "b.nom"}));
    EXPECT_EQ(m_.nav.folder, "/u/qel/part/P1/contour/");
    DelUpOne(m_, Io());
    Choose({"program/"});
    EXPECT_EQ(m_.hotkey1Label, 261);
    // The contour hotkey's mode went with its function.
    EXPECT_EQ(m_.nav.hotkeyMode, 0);
    DelHotkey(m_, kDelHotkey1);
    Ok("");
    EXPECT_EQ(Take(messages_), Texts{"L283\npart/P1/program/*\nL206"});
    EXPECT_EQ(Left("/u/qel/part/P1/program"), Texts{"llf"});
    // Hotkey2: every file of the folder, then the folder above.
    DelUpOne(m_, Io());
    Choose({"stat/"});
    EXPECT_FALSE(m_.hotkey1Shown);
    DelHotkey(m_, kDelHotkey2);
    Ok("");
    EXPECT_EQ(Take(messages_), Texts{"L205\npart/P1/stat/*\nL206"});
    EXPECT_EQ(Left("/u/qel/part/P1/stat"), Texts{});
    EXPECT_EQ(m_.nav.folder, "/u/qel/part/P1/");
    // Going up to a folder with sub folders hides Hotkey2 and its mode.
    Choose({"sub/"});
    DelHotkey(m_, kDelHotkey2);
    DelUpOne(m_, Io());
    EXPECT_FALSE(m_.hotkey2Shown);
    EXPECT_EQ(m_.nav.hotkeyMode, 0);
    const Texts left = Left();
    Ok("");
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(Left(), left);
}

TEST_F(DeleteTest, CompanionsInTheUserTreeElsewhere) {
    const std::string users = box_.Path("/users");
    ScopedEnv user("QELUSER", users.c_str());
    for (const char* f : {"/users/sub/X", "/users/sub/X.E", "/users/sub/X.L", "/users/sub/X.R",
                          "/users/sub/X.T", "/users/sub/X.Z", "/users/sub/Y", "/users/sub/Y.E"})
        box_.Write(f, f);
    box_.Write("/u/qel/usr_data/sub/X", "not the user tree");
    Open();
    Choose({"usr_data/sub/"});
    ASSERT_EQ(m_.nav.state, kNavMiscFlat);
    EXPECT_FALSE(m_.hotkey1Shown);
    EXPECT_FALSE(m_.hotkey2Shown);
    Ok("x");
    EXPECT_EQ(Take(messages_), Texts{"L205\nusr_data/sub/X\nL206"});
    EXPECT_EQ(Take(commands_),
              (Texts{"rm " + users + "/sub/X", "rm -f " + users + "/sub/X.[ELRT]"}));
    EXPECT_EQ(Left("/users/sub"), (Texts{"X.Z", "Y", "Y.E"}));
    EXPECT_TRUE(box_.Exists("/u/qel/usr_data/sub/X"));
    // Selected in the flat top-list folder: the same, and back to the top.
    Choose({"Y"});
    EXPECT_EQ(Left("/users/sub"), Texts{"X.Z"});
    EXPECT_EQ(m_.nav.state, kNavTop);
}

TEST_F(DeleteTest, AllButWhatThePartNeeds) {
    const Texts all = Left();
    const std::string list =
        "/u/qel/part/P1/program/llf\n/u/qel/part//P1/contour/A.NOM\n/u/qel/other/x\n";
    struct Run {
        const char* name;
        const char* mode;   // of the stand-in
        const char* status; // its exit status, "" as it gives it (0)
        std::string list;
        bool tools; // files4part on PATH
        bool deletes;
    } runs[] = {
        {"files4part writes its list and fails", "", "1", list, true, false},
        {"files4part prints nothing", "empty", "", list, true, false},
        {"files4part is missing", "", "", list, false, false},
        {"CR LF line ends", "crlf", "", list, true, true},
        {"three CRs before each line end", "", "",
         "/u/qel/part/P1/program/llf\r\r\r\n/u/qel/part//P1/contour/A.NOM\r\r\r\n", true, true},
        {"no line end after the last line", "nonl", "", list, true, true},
        {"empty lines and lines of blanks between the paths", "raw", "",
         "\n/u/qel/part/P1/program/llf\n   \n\n/u/qel/part/P1/contour/A.NOM", true, true},
        {"plain lines", "", "", list, true, true},
    };
    for (const Run& r : runs) {
        SCOPED_TRACE(r.name);
        for (const std::string& f : all) box_.Write("/u/qel/part/" + f, f);
        box_.Write("/sim/files4part/P1", r.list);
        box_.Write("/sim/files4part.mode", r.mode);
        box_.Remove("/sim/files4part.status");
        if (*r.status) box_.Write("/sim/files4part.status", r.status);
        box_.Write("/u/tmp/lst1.out", "/u/qel/part/P1/program/old1\n"); // an earlier list
        ScopedEnv path("PATH", r.tools ? box_.ToolsOnPath().c_str() : "/usr/bin:/bin");
        Open();
        Choose({"part/"});
        DelAllButNeeded(m_, Sel({"P1/"}), Io(), Ui());
        const Texts messages = Take(messages_);
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages[0], "L282\npart/P1/*\nL206");
        if (!r.deletes) {
            EXPECT_EQ(messages, (Texts{"L282\npart/P1/*\nL206", "L126\nL100"}));
            EXPECT_EQ(Left(), all);
        } else {
            EXPECT_EQ(messages.size(), 1u);
            Texts kept = {"P1/contour/A.NOM", "P1/program/llf"};
            for (const std::string& f : all)
                if (f.rfind("P1/", 0) != 0) kept.push_back(f);
            std::sort(kept.begin(), kept.end());
            EXPECT_EQ(Left(), kept);
        }
        EXPECT_EQ(m_.nav.state, kNavPartList);
        commands_.clear();
    }
}

// An output of files4part that is not a list of the part's files, exiting
// 0: an error text, binary bytes, a path in a form that is no install-tree
// path, a list too long to be one, a list that names none of the part's
// files. Nothing of the part is deleted, the operator and the console are
// told.
TEST_F(DeleteTest, AllButNeededOnAnOutputThatIsNoList) {
    const Texts all = Left();
    const std::string llf = "/u/qel/part/P1/program/llf\n";
    std::string random(4096, '\0');
    std::mt19937 bytes(4096);
    for (char& c : random) c = static_cast<char>(bytes() & 0xFF);
    std::string oddLines = llf;
    for (int i = 0; i < 200000; ++i) oddLines += "/u/qel/part/P1/odd/" + std::to_string(i) + "\n";
    const struct {
        const char* name;
        std::string output;
        const char* said; // on the console
    } cases[] = {
        {"an error text", "part database locked, try again later\n",
         " wrote no list of paths for P1"},
        {"an error text after a path", llf + "warning: contour table incomplete\n",
         " wrote no list of paths for P1"},
        {"4 KiB of random bytes", random, " wrote no list of paths for P1"},
        {"a NUL in a path", llf + "/u/qel/part/P1/contour/A." + '\0' + "NOM\n",
         " wrote no list of paths for P1"},
        {"a drive path", llf + "C:/u/qel/part/P1/contour/A.NOM\n",
         " wrote no list of paths for P1"},
        {"a relative path", llf + "part/P1/contour/A.NOM\n", " wrote no list of paths for P1"},
        {"many odd lines", oddLines, "'s list for P1 is too long"},
        {"one very long line", llf + "/" + std::string(2 << 20, 'x') + "\n",
         "'s list for P1 is too long"},
        {"the paths as the system names them", box_.Path("/u/qel/part/P1/program/llf") + "\n",
         "'s list names no file of P1"},
        {"paths of another part", "/u/qel/part/P2/program/llf\n", "'s list names no file of P1"},
        {"paths with their folders in another form", "/u/qel/part/P1/./program/llf\n",
         "'s list names no file of P1"},
    };
    box_.Write("/sim/files4part.mode", "raw");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const std::string& f : all) box_.Write("/u/qel/part/" + f, f);
        box_.Write("/sim/files4part/P1", c.output);
        Open();
        Choose({"part/"});
        testing::internal::CaptureStdout();
        DelAllButNeeded(m_, Sel({"P1/"}), Io(), Ui());
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(Take(messages_), (Texts{"L282\npart/P1/*\nL206", "L126\nL100"}));
        EXPECT_EQ(Left(), all);
        EXPECT_NE(out.find(std::string("DelAllButDepend: files4part") + c.said), std::string::npos)
            << out;
        for (const std::string& command : Take(commands_))
            EXPECT_EQ(command.rfind("rm ", 0), std::string::npos) << command;
    }
}

// A folder of the tree that is a link to a folder outside: no deletion
// reaches through it, whichever road names a target below it, and the
// operator is told. A link that stays within the tree is followed.
TEST_F(DeleteTest, NothingThroughALinkOutOfTheTree) {
    const Texts outside = {"/outside/sub/x.BAK", "/outside/sub/y.dat", "/outside/P/program/llf",
                           "/outside/P/stat/s.dat"};
    ASSERT_EQ(symlink(box_.Path("/outside").c_str(), box_.Path("/u/qel/part/P1/lnk").c_str()), 0);
    ASSERT_EQ(symlink(box_.Path("/outside/P").c_str(), box_.Path("/u/qel/part/P9").c_str()), 0);
    ASSERT_EQ(symlink("../P2", box_.Path("/u/qel/part/P1/in").c_str()), 0);
    const Texts all = Left();
    const std::string told = "\nL70\nL100";
    struct Road {
        const char* name;
        std::function<void()> walk;
        Texts messages;
    };
    const Road roads[] = {
        {"a pattern typed at the top",
         [&] {
             Open();
             Ok("/u/qel/part/P1/lnk/sub/*.BAK");
         },
         {"/u/qel/part/P1/lnk/sub/*.BAK" + told}},
        {"a file typed at the top",
         [&] {
             Open();
             Ok("/u/qel/part/P1/lnk/sub/x.BAK");
         },
         {"/u/qel/part/P1/lnk/sub/x.BAK" + told}},
        {"a pattern typed in the linked folder",
         [&] {
             Open();
             Path({"part/", "P1/", "lnk/", "sub/"});
             Ok("*.BAK");
         },
         {"/u/qel/part/P1/lnk/sub/*.BAK" + told}},
        {"files selected in the linked folder",
         [&] {
             Open();
             Path({"part/", "P1/", "lnk/", "sub/"});
             Choose({"x.BAK", "y.dat"});
         },
         {"/u/qel/part/P1/lnk/sub/" + told}},
        {"every file of the linked folder by hotkey",
         [&] {
             Open();
             Path({"part/", "P1/", "lnk/", "sub/"});
             DelHotkey(m_, kDelHotkey2);
             Ok("");
         },
         {"/u/qel/part/P1/lnk/sub/" + told}},
        {"a folder below the link, whole",
         [&] {
             Open();
             Path({"part/", "P1/", "lnk/"});
             DelWholeFolder(m_, Sel({"sub/"}), Io(), Ui());
         },
         {"/u/qel/part/P1/lnk/sub/" + told}},
        {"a part that is a link, whole",
         [&] {
             Open();
             Choose({"part/"});
             DelWholeFolder(m_, Sel({"P9/"}), Io(), Ui());
         },
         {"/u/qel/part/P9/" + told}},
        {"a part that is a link, all but what it needs",
         [&] {
             Open();
             Choose({"part/"});
             DelAllButNeeded(m_, Sel({"P9/"}), Io(), Ui());
         },
         {"/u/qel/part/P9/" + told}},
        {"the current part that is a link, by hotkey",
         [&] {
             Open("P9");
             DelHotkey(m_, kDelHotkey1);
             Ok("");
         },
         {"/u/qel/part/P9/" + told}},
    };
    for (const Road& r : roads) {
        SCOPED_TRACE(r.name);
        for (const std::string& f : all) box_.Write("/u/qel/part/" + f, f);
        for (const std::string& f : outside) box_.Write(f, f);
        testing::internal::CaptureStdout();
        r.walk();
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(Take(messages_), r.messages);
        for (const std::string& f : outside) EXPECT_TRUE(box_.Exists(f)) << f;
        EXPECT_EQ(Left(), all);
        EXPECT_NE(out.find("leads out of the install tree through a link"), std::string::npos)
            << out;
        for (const std::string& command : Take(commands_))
            EXPECT_EQ(command.rfind("rm ", 0), std::string::npos) << command;
    }
    // Within the tree a link is followed.
    Open();
    Ok("/u/qel/part/P1/in/stat/*.BAK");
    EXPECT_EQ(Take(messages_), Texts{"L205\npart/P1/in/stat/*.BAK\nL206"});
    EXPECT_EQ(Left(), Without(all, {"P2/stat/s.BAK"}));
}

// A file chosen in a first-level folder and then not deleted: the folder
// is listed again, as after a deletion.
TEST_F(DeleteTest, ACancelledFileListsTheFolderAgain) {
    box_.Write("/u/qel/part/P1/notes", "n");
    Open("P1");
    Choose({"P1/"});
    ASSERT_EQ(m_.nav.state, kNavCurPart);
    listings_ = 0;
    answers_ = {0};
    Choose({"notes"});
    EXPECT_EQ(Take(messages_), Texts{"L205\npart/P1/notes\nL206"});
    EXPECT_TRUE(box_.Exists("/u/qel/part/P1/notes"));
    EXPECT_EQ(listings_, 1);
    EXPECT_EQ(m_.nav.folder, "/u/qel/part/P1/");
    Choose({"notes"});
    EXPECT_FALSE(box_.Exists("/u/qel/part/P1/notes"));
    EXPECT_EQ(listings_, 2);
}

} // namespace
