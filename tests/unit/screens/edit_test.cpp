// The text-edit screen's model on a sandbox tree, without X: the listing
// script, start.exe, the editor scripts and the post-edit scripts are the
// sandbox's stand-ins, whose log shows each editor's argument vector. Which
// files a search takes, which editor a folder calls for, selected files,
// typed names and patterns, the hotkey, the files to be made, and the
// post-edit commands of DOSHELLS.
#include <gtest/gtest.h>

#include "editmodel.h"
#include "filelists.h"
#include "launch.h"
#include "sandbox.h"
#include "settings.h"
#include "labels.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

TEST(EditSearch, WhichFilesASearchTakes) {
    const struct {
        const char* typed; // folder + pattern
        const char* exact;
        const char* path;
        bool edited;
    } cases[] = {
        {"/u/qel/part/P1/A*", "", "/u/qel/part/P1/A1", true},
        {"/u/qel/part/P1/A*", "", "/u/qel/part/P1/sub/deep/Abc", true},
        {"/u/qel/part/P1/A*", "", "/u/qel/part/P1/buffer/A1", false},
        {"/u/qel/part/P1/A*", "", "/u/qel/part/P1/x/feature/A1", false},
        {"/u/qel/part/P1/A*", "", "/u/qel/part/P1/formraw/A1", false},
        {"/u/qel/part/P1/A*", "", "/u/qel/part/P1/sub/A1.E", false},
        {"/u/qel/part/P1/A*", "", "/u/qel/part/P1/sub/A1.T", false},
        {"/u/qel/part/P1/A*", "", "/u/qel/part/P1/sub/A1.EX", true},
        {"/u/qel/part/P1/A*", "", "/u/qel/part/P1/sub/A1.e", true},
        {"/u/qel/part/P1/A*", "", "/u/qel/part/P1/bufferx/A1", true},
        {"/u/qel/part/P1/A*", "", "/u/qel/part/P2/A1", false},
        // The frame's pieces, which never overlap.
        {"/u/qel/part/P1/ab*ba", "", "/u/qel/part/P1/aba", false},
        {"/u/qel/part/P1/ab*ba", "", "/u/qel/part/P1/abba", true},
        {"/u/qel/part/P1/*long", "", "/u/qel/part/P1/ong", false},
        {"/u/qel/part/P1/a*b*c", "", "/u/qel/part/P1/aXbYc", true},
        {"/u/qel/part/P1/a*b*c", "", "/u/qel/part/P1/acb", false},
        // An exact name: its "*" is part of it.
        {"/u/qel/part/P1/a*b", "a*b", "/u/qel/part/P1/sub/a*b", true},
        {"/u/qel/part/P1/a*b", "a*b", "/u/qel/part/P1/sub/axb", false},
        // A folder pattern with a plain name: that name in those folders.
        {"/u/qel/part/*/program/llf", "", "/u/qel/part/P1/program/llf", true},
        {"/u/qel/part/*/program/llf", "", "/u/qel/part/P1/contour/llf", false},
    };
    for (const auto& c : cases) {
        PathPattern p;
        ASSERT_TRUE(MakePathPattern(c.typed, c.exact, &p)) << c.typed;
        EXPECT_EQ(EditSearchMatches(p, c.path), c.edited) << c.typed << " " << c.path;
    }
}

bool Matches(const std::string& doshells, const std::string& folder, PostEdit* pe) {
    FILE* f = fmemopen(const_cast<char*>(doshells.data()), doshells.size(), "r");
    const bool found = FindPostEdit(f, folder, pe);
    std::fclose(f);
    return found;
}

TEST(EditPostEdit, TheFirstLineWhosePatternTheFolderHolds) {
    const std::string longCommand = "dolong " + std::string(120, 'x');
    const struct {
        const char* name;
        std::string doshells;
        const char* folder;
        bool found;
        const char* command;
        bool ask;
    } cases[] = {
        {"the first match decides", "/lib/ +dolibgen\n/lib/ doother\n", "/u/qel/part/P1/lib/", true,
         "dolibgen", true},
        {"a later line matches", "/icon/ doicon\n/lib/   dolib -v\n", "/u/qel/part/P1/lib/", true,
         "dolib -v", false},
        {"no line matches", "/icon/ doicon\n", "/u/qel/part/P1/lib/", false, "", false},
        {"a line without a blank", "/lib/\n/lib/x\n", "/u/qel/part/P1/lib/", false, "", false},
        {"an empty pattern", " doall\n  +doall\n", "/u/qel/part/P1/lib/", false, "", false},
        {"an empty line, then a match", "\n\r\n/P1/ dopart\n", "/u/qel/part/P1/lib/", true,
         "dopart", false},
        {"no command", "/lib/   \n/lib/ +\n/lib/ dolib\n", "/u/qel/part/P1/lib/", true, "dolib",
         false},
        {"CR LF and no last line end", "/a/ doa\r\n/lib/ dolib", "/u/qel/part/P1/lib/", true,
         "dolib", false},
        {"a line longer than 79 characters", "/lib/ " + longCommand + "\n", "/u/qel/lib/", true,
         longCommand.c_str(), false},
        {"a folder with a blank", "/lib/ dolib\n", "/u/qel/part/P 1/lib/", true, "dolib", false},
        {"the pattern is a substring", "P1 dop\n", "/u/qel/part/P1x/", true, "dop", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PostEdit pe;
        ASSERT_EQ(Matches(c.doshells, c.folder, &pe), c.found);
        if (!c.found) continue;
        EXPECT_EQ(pe.command, c.command);
        EXPECT_EQ(pe.ask, c.ask);
    }
}

class EditTest : public testing::Test {
  protected:
    EditTest() : box_(Sandbox::WithSuiteTools()) {}

    void SetUp() override {
        for (const char* f :
             {"/u/qel/part/P1/program/llf", "/u/qel/part/P1/sub/program/llf",
              "/u/qel/part/P1/contour/llf.E", "/u/qel/part/P1/stat/A1", "/u/qel/part/P1/sub/A2",
              "/u/qel/part/P1/buffer/A3", "/u/qel/part/P1/A4.E", "/u/qel/part/P1/321nom/N1",
              "/u/qel/part/P1/321nom/N2", "/u/qel/part/P1/icon/I1", "/u/qel/part/P1/lib/L1",
              "/u/qel/part/P1/lib/L2", "/u/qel/part/P1/lib/L3", "/u/qel/part/P2/program/llf",
              "/u/qel/part/P3/x", "/u/qel/part/P3/y"})
            box_.Write(f, f);
        box_.Write("/u/qel/xeq/ed321.exe", "");
        box_.Write("/u/qel/shell/DOSHELLS", "/lib/ +dolibgen\n/program/ dolibgen -q\n");
        saved_ = EditorType;
        EditorType = 1; // the vi script through start.exe
    }
    void TearDown() override { EditorType = saved_; }

    NavIo Io() {
        return {[this](const std::string& folder) {
                    if (folder.empty()) {
                        names_ = TopListNames("fu.ed", part_);
                        return 1;
                    }
                    bool sub = false;
                    ListFolder(folder, ListRule::kEdit, &names_, &sub);
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
        EditOpen(m_, part, Io());
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
    void Choose(const Texts& entries) { EditOk(m_, Sel(entries), "", Io(), Ui()); }
    void Path(const Texts& entries) {
        for (const std::string& e : entries) Choose({e});
    }
    void Ok(const std::string& text = "") { EditOk(m_, {}, text, Io(), Ui()); }
    // The stand-ins' log less the listings, and the log emptied.
    Texts Log() {
        Texts log = box_.ScriptsLog();
        log.erase(std::remove_if(log.begin(), log.end(),
                                 [](const std::string& l) { return l.rfind("dols", 0) == 0; }),
                  log.end());
        box_.Remove("/sim/scripts.log");
        return log;
    }
    // The editor scripts started (through start.exe), with the arguments
    // each got, as their stand-ins logged them.
    Texts Started() {
        Texts out;
        for (const std::string& l : Log())
            for (const char* editor : {"dovi ", "doed321 ", "dobitmap "})
                if (l.rfind(editor, 0) == 0) out.push_back(l);
        return out;
    }
    Texts Take(Texts& v) {
        Texts out;
        out.swap(v);
        return out;
    }

    Sandbox box_;
    int saved_ = 0;
    EditModel m_;
    std::string part_;
    Texts names_;
    Texts messages_;
    Texts commands_;
    std::deque<int> answers_;
};

TEST_F(EditTest, TheEditorAFolderCallsFor) {
    const std::string p = "/u/qel/part/P1/";
    const std::string vi = "dovi ";
    struct Case {
        const char* name;
        std::string path;
        bool ed321;
        Texts started;
    } cases[] = {
        {"321nom with its editor installed: the bare name",
         p + "321nom/N1",
         true,
         {"doed321 [N1]"}},
        {"321nom without it: the configured editor",
         p + "321nom/N1",
         false,
         {vi + "[" + p + "321nom/N1]"}},
        {"icon: the bitmap editor with the path",
         p + "icon/I1",
         true,
         {"dobitmap [" + p + "icon/I1]"}},
        {"anything else: the configured editor", p + "stat/A1", true, {vi + "[" + p + "stat/A1]"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.ed321)
            box_.Write("/u/qel/xeq/ed321.exe", "");
        else
            box_.Remove("/u/qel/xeq/ed321.exe");
        EditIt(c.path, Ui());
        EXPECT_EQ(Started(), c.started);
    }
    // A name that begins with "-" reaches the script as a name.
    box_.Write("/u/qel/xeq/ed321.exe", "");
    box_.Write(p + "321nom/-N3", "n");
    EditIt(p + "321nom/-N3", Ui());
    EXPECT_EQ(Started(), Texts{"doed321 [./-N3]"});
    // Each through the starter: "sh", the script, the files.
    EditIt(p + "icon/I1", Ui());
    const Texts log = Log();
    EXPECT_NE(
        std::find(log.begin(), log.end(), "start.exe sh /u/qel/shell/dobitmap " + p + "icon/I1"),
        log.end());
    // Several files: the script editors in one call with the paths, the
    // configured editor once per file.
    box_.Write("/u/qel/xeq/ed321.exe", "");
    Open("P1");
    Path({"P1/", "321nom/"});
    ASSERT_EQ(m_.nav.state, kNavCurPartBelow);
    Choose({"N1", "N2"});
    EXPECT_EQ(Started(), Texts{"doed321 [" + p + "321nom/N1] [" + p + "321nom/N2]"});
}

TEST_F(EditTest, SelectedFilesAndTheirPostEditCommands) {
    Open("P1");
    Path({"P1/", "lib/"});
    ASSERT_EQ(m_.nav.state, kNavCurPartBelow);
    ASSERT_TRUE(m_.nav.multiple);
    answers_ = {1, 1, 0, 1}; // L1 and the head of its library, not L2, L3
    Choose({"L1", "L2", "L3"});
    const std::string lib = "/u/qel/part/P1/lib/";
    // The seam gives the scripts the paths under the sandbox.
    const std::string made = "library made from " + box_.Path(lib);
    // Three editor runs, then the post-edit question for each, in order.
    EXPECT_EQ(Started(),
              (Texts{"dovi [" + lib + "L1]", "dovi [" + lib + "L2]", "dovi [" + lib + "L3]"}));
    EXPECT_EQ(Take(commands_), (Texts{"/u/qel/shell/dolibgen " + lib + "L1",
                                      "/u/qel/shell/dolibgen " + lib + "L3"}));
    EXPECT_EQ(Take(messages_),
              (Texts{"L263\n" + lib + "L1", made + "L1\nentries: 1\nL100", "L263\n" + lib + "L2",
                     "L263\n" + lib + "L3", made + "L3\nentries: 1\nL100"}));
    // The folder is listed again, the state kept.
    EXPECT_EQ(m_.nav.state, kNavCurPartBelow);
    EXPECT_EQ(m_.nav.folder, lib);
    // A part's folder from the part list: only the first selected file.
    Open();
    Path({"part/", "P3/"});
    ASSERT_EQ(m_.nav.state, kNavPart);
    ASSERT_TRUE(m_.nav.multiple);
    Choose({"x", "y"});
    EXPECT_EQ(Started(), Texts{"dovi [/u/qel/part/P3/x]"});
}

TEST_F(EditTest, TypedNamesAndPatterns) {
    Open("P1");
    // A relative name at the top.
    Ok("part/P1/stat/A1");
    EXPECT_EQ(Take(messages_), Texts{"L70"});
    // A pattern at the top: through the sub folders, less the hidden ones.
    Ok("/u/qel/part/P1/A*");
    Texts started = Started();
    std::sort(started.begin(), started.end());
    const std::string vi = "dovi [/u/qel/part/P1/";
    EXPECT_EQ(started, (Texts{vi + "stat/A1]", vi + "sub/A2]"}));
    // A name in a folder with sub folders: that exact name below it.
    Choose({"P1/"});
    Ok("llf");
    started = Started();
    std::sort(started.begin(), started.end());
    EXPECT_EQ(started, (Texts{vi + "program/llf]", vi + "sub/program/llf]"}));
    EXPECT_EQ(Take(commands_), (Texts{"/u/qel/shell/dolibgen -q /u/qel/part/P1/program/llf",
                                      "/u/qel/shell/dolibgen -q /u/qel/part/P1/sub/program/llf"}));
    Take(messages_); // the heads of dolibgen's output
    // No match: asked whether to make it, and nothing is made either way.
    Ok("a*b");
    EXPECT_EQ(Take(messages_), Texts{"/u/qel/part/P1/a*b L155\nL172"});
    EXPECT_TRUE(Started().empty());
    EXPECT_FALSE(box_.Exists("/u/qel/part/P1/a*b"));
    EXPECT_EQ(m_.nav.state, kNavCurPart);
    // The hotkey: the current part's program.
    EditUpOne(m_, Io());
    NavHotkey(m_.nav, kEditLlfHotkey);
    Ok();
    EXPECT_EQ(Started(), Texts{vi + "program/llf]"});
    Open();
    NavHotkey(m_.nav, kEditLlfHotkey);
    Ok();
    EXPECT_TRUE(Started().empty());
}

TEST_F(EditTest, AFileToBeMade) {
    const std::string fresh = "/u/qel/part/P1/stat/NEW";
    answers_ = {0};
    EditIt(fresh, Ui());
    EXPECT_EQ(Take(messages_), Texts{fresh + " L155\nL172"});
    EXPECT_TRUE(Log().empty()); // neither editor nor post-edit command
    // Confirmed: the editor gets it, looked for by its folder.
    EditIt(fresh, Ui());
    EXPECT_EQ(Take(messages_), Texts{fresh + " L155\nL172"});
    EXPECT_EQ(Started(), Texts{"dovi [" + fresh + "]"});
    // Not a file at all: said on the console, nothing asked or edited.
    testing::internal::CaptureStdout();
    EditIt("/u/qel/part/P1/stat", Ui());
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "EditIt: /u/qel/part/P1/stat is not a file\n");
    EXPECT_TRUE(messages_.empty());
    // A path too long for the editor's row: refused, not cut.
    const std::string longPath = "/u/qel/part/P1/stat/" + std::string(60, 'l');
    box_.Write(longPath, "l");
    messages_.clear();
    EditIt(longPath, Ui());
    EXPECT_EQ(Take(messages_), Texts{longPath + "\nL70\nL100"});
    EXPECT_TRUE(Started().empty());
}

// A file that no editor opened gets no post-edit command: a path that does
// not fit the editors' argument row, the operator's editor that UserEdit
// does not name or that cannot be started, a word processor not found; a
// file an editor opened gets it.
TEST_F(EditTest, NoPostEditCommandWithoutAnEditor) {
    box_.Write("/u/qel/shell/DOSHELLS", "/ dolibgen -q\n");
    const std::string p = "/u/qel/part/P1/";
    const std::string a1 = p + "stat/A1";
    const struct {
        const char* name;
        int editorType;
        const char* userEdit; // null: no UserEdit
        const char* wordpadDir;
        std::string path;
        const char* opened; // the stand-in's log line, or null
    } cases[] = {
        {"configured, path too long", 1, nullptr, nullptr, p + "stat/" + std::string(70, 'l'),
         nullptr},
        {"bitmap, path too long", 1, nullptr, nullptr, p + "icon/" + std::string(70, 'i'), nullptr},
        {"321nom, name too long", 1, nullptr, nullptr, p + "321nom/" + std::string(80, 'n'),
         nullptr},
        {"no UserEdit", 2, nullptr, nullptr, a1, nullptr},
        {"UserEdit too short", 2, "ab\n", nullptr, a1, nullptr},
        {"UserEdit names no program", 2, "/u/qel/xeq/absent\n", nullptr, a1, nullptr},
        {"UserEdit names an editor", 2, "/u/qel/xeq/wordpad.exe\n", nullptr, a1,
         "wordpad.exe [/u/qel/part/P1/stat/A1]"},
        {"no word processor", 0, nullptr, nullptr, a1, nullptr},
        {"the word processor", 0, nullptr, "/C=/u/qel/xeq/wordpad.exe", a1,
         "wordpad.exe [/u/qel/part/P1/stat/A1]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EditorType = c.editorType;
        if (c.userEdit)
            box_.Write("/u/qel/shell/UserEdit", c.userEdit);
        else
            box_.Remove("/u/qel/shell/UserEdit");
        ScopedEnv w("QEL_WORDPAD_DIR", c.wordpadDir);
        box_.Write(c.path, "x");
        testing::internal::CaptureStdout();
        EditIt(c.path, Ui());
        testing::internal::GetCapturedStdout();
        Texts log = Log();
        log.erase(std::remove_if(log.begin(), log.end(),
                                 [](const std::string& l) { return l.rfind("dolibgen", 0) == 0; }),
                  log.end());
        messages_.clear();
        if (!c.opened) {
            EXPECT_TRUE(log.empty()) << log.front();
            EXPECT_TRUE(Take(commands_).empty());
            continue;
        }
        EXPECT_EQ(log, Texts{c.opened});
        EXPECT_EQ(Take(commands_), Texts{"/u/qel/shell/dolibgen -q " + c.path});
    }
    // Selected files that no editor opened: none gets the command.
    EditorType = 2;
    box_.Remove("/u/qel/shell/UserEdit");
    Open("P1");
    Path({"P1/", "lib/"});
    ASSERT_EQ(m_.nav.state, kNavCurPartBelow);
    Choose({"L1", "L2"});
    EXPECT_TRUE(commands_.empty());
    box_.Write("/u/qel/shell/UserEdit", "/u/qel/xeq/wordpad.exe\n");
    testing::internal::CaptureStdout();
    Choose({"L1", "L2"});
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(Take(commands_), (Texts{"/u/qel/shell/dolibgen -q " + p + "lib/L1",
                                      "/u/qel/shell/dolibgen -q " + p + "lib/L2"}));
}

TEST_F(EditTest, PostEditCommands) {
    const std::string folder = "/u/qel/part/P 1/lib/";
    box_.Write("/u/tmp/lib.out", "an earlier library\n");
    answers_ = {0};
    RunPostEditShell(folder, "a'b", Ui());
    EXPECT_EQ(Take(messages_), Texts{"L263\n" + folder + "a'b"});
    EXPECT_TRUE(commands_.empty());
    RunPostEditShell(folder, "a'b", Ui());
    EXPECT_EQ(Take(commands_), Texts{"/u/qel/shell/dolibgen '/u/qel/part/P 1/lib/a'\\''b'"});
    EXPECT_EQ(Log(), Texts{"dolibgen [" + box_.Path(folder) + "a'b]"});
    EXPECT_EQ(Take(messages_),
              (Texts{"L263\n" + folder + "a'b",
                     "library made from " + box_.Path(folder) + "a'b\nentries: 1\nL100"}));
    // A failing dolibgen shows no earlier head.
    box_.Write("/u/qel/shell/dolibgen", "#!/bin/sh\nexit 1\n");
    box_.Write("/u/tmp/lib.out", "an earlier library\n");
    RunPostEditShell(folder, "x", Ui());
    EXPECT_EQ(Take(messages_), Texts{"L263\n" + folder + "x"});
    // No DOSHELLS, or no line for the folder: nothing.
    RunPostEditShell("/u/qel/part/P1/stat/", "A1", Ui());
    box_.Remove("/u/qel/shell/DOSHELLS");
    RunPostEditShell(folder, "x", Ui());
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(commands_.size(), 1u);
}

} // namespace
