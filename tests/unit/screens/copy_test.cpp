// The copy screen's model on a sandbox tree, without X: the listing script
// and cp run for real, the operator's dialogs answer from a script, and
// every command is recorded. Single files, refusals and questions, whole
// folders, patterns through sub folders and their case rule, several
// selected files, the hotkeys, paths at the length limit, a failing cp and
// one cut off half-way, the part root elsewhere, and names that the shell
// must not take apart.
#include <gtest/gtest.h>

#include "copymodel.h"
#include "filelists.h"
#include "launch.h"
#include "sandbox.h"
#include "walk.h"

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

// The command that copies one file: to ".<name>.copy" beside the
// destination, renamed over it only when the copy is whole. s and d are
// plain words.
std::string FileCp(const std::string& s, const std::string& d) {
    const size_t slash = d.rfind('/');
    const std::string t = d.substr(0, slash + 1) + "." + d.substr(slash + 1) + ".copy";
    return "cp " + s + " " + t + " && mv -f " + t + " " + d + " || { s=$?; rm -f " + t +
           "; exit $s; }";
}

class CopyTest : public testing::Test {
  protected:
    void SetUp() override {
        box_.Write("/u/qel/part/P1/program/llf", "P1 program\n");
        box_.Write("/u/qel/part/P2/program/.keep", "");
        box_.Write("/u/qel/part/P1/contour/a.NOM", "a");
        box_.Write("/u/qel/part/P1/contour/sub/b.NOM", "b");
        box_.Write("/u/qel/part/P1/contour/c.nom", "c");
        box_.Write("/u/qel/part/notes.txt", "n");
    }

    NavIo Io() {
        return {[this](const std::string& folder) {
                    if (folder.empty()) {
                        names_ = TopListNames("fu.cp", part_);
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
        CopyOpen(m_, part, Io());
    }
    // OK with the named entries selected (the first one's position is
    // where the listing shows it).
    void Choose(const Texts& entries) {
        ListSelection sel;
        for (const std::string& e : entries) {
            auto it = std::find(names_.begin(), names_.end(), e);
            ASSERT_NE(it, names_.end()) << e;
            if (sel.names.empty()) sel.firstPosition = static_cast<int>(it - names_.begin()) + 1;
            sel.names.push_back(e);
        }
        CopyOk(m_, sel, "", Io(), Ui());
    }
    void Path(const Texts& entries) {
        for (const std::string& e : entries) Choose({e});
    }
    // OK with nothing selected and the keyin field holding text.
    void Ok(const std::string& text) { CopyOk(m_, {}, text, Io(), Ui()); }
    Texts Take(Texts& v) {
        Texts out;
        out.swap(v);
        return out;
    }
    std::string P(const std::string& logical) const { return box_.Path(logical); }

    Sandbox box_;
    CopyModel m_;
    std::string part_;
    Texts names_;
    Texts messages_;
    Texts commands_;
    std::deque<int> answers_;
};

TEST_F(CopyTest, OneFileToAnotherPart) {
    Open("P1");
    Path({"part/", "P1/", "program/", "llf"});
    EXPECT_EQ(m_.nav.state, kNavTargetPart);
    EXPECT_EQ(m_.source, "/u/qel/part/P1/program/llf");
    EXPECT_EQ(m_.keyin, "part/P1/program/");
    EXPECT_EQ(CopySourceText(m_, Ui()), "L249\n    part/P1/program/llf");
    EXPECT_EQ(CopyDestText(m_, Ui()), "L250");
    Ok("part/P2/program/llf");
    EXPECT_EQ(Take(commands_),
              Texts{"cp /u/qel/part/P1/program/llf /u/qel/part/P2/program/.llf.copy && mv -f "
                    "/u/qel/part/P2/program/.llf.copy /u/qel/part/P2/program/llf || { s=$?; rm -f "
                    "/u/qel/part/P2/program/.llf.copy; exit $s; }"});
    EXPECT_EQ(Take(messages_), Texts{"L161 \nL100"});
    EXPECT_EQ(box_.Read("/u/qel/part/P2/program/llf"), "P1 program\n");
    // The screen stays with both labels for a further destination; "*"
    // stands for the source's name.
    EXPECT_EQ(m_.nav.state, kNavTargetPart);
    EXPECT_EQ(m_.fromLabel, 249);
    box_.Remove("/u/qel/part/P2/program/llf");
    Ok("part/P2/program/*");
    EXPECT_EQ(Take(commands_),
              Texts{FileCp("/u/qel/part/P1/program/llf", "/u/qel/part/P2/program/llf")});
    EXPECT_TRUE(box_.Exists("/u/qel/part/P2/program/llf"));
}

TEST_F(CopyTest, ThePartRootElsewhere) {
    box_.Write("/parts/P1/program/llf", "moved\n");
    box_.Write("/parts/P1/contour/a.NOM", "a");
    box_.Write("/parts/P2/program/.keep", "");
    ScopedEnv root("QELPART", P("/parts").c_str());
    Open();
    Path({"part/", "P1/", "program/", "llf"});
    Ok("part/P2/program/llf");
    EXPECT_EQ(Take(commands_),
              Texts{FileCp(P("/parts/P1/program/llf"), P("/parts/P2/program/llf"))});
    EXPECT_EQ(box_.Read("/parts/P2/program/llf"), "moved\n");
    // The walk of a pattern goes through the translated tree too.
    CopyUpOne(m_, Io());
    CopyUpOne(m_, Io());
    CopyUpOne(m_, Io());
    CopyUpOne(m_, Io());
    ASSERT_EQ(m_.nav.state, kNavTop);
    Ok("/u/qel/part/P1/contour/*.NOM");
    Ok("*.OLD");
    EXPECT_EQ(Take(commands_),
              Texts{FileCp(P("/parts/P1/contour/a.NOM"), P("/parts/P1/contour/A.NOM.OLD"))});
    EXPECT_TRUE(box_.Exists("/parts/P1/contour/A.NOM.OLD"));
}

TEST_F(CopyTest, RefusalsAndQuestions) {
    box_.Write("/u/qel/part/P2/program/sub/.keep", "");
    box_.Write("/u/qel/part/P2/program/llf", "P2 program\n");
    const struct {
        const char* name;
        std::string dest;
        std::deque<int> answers;
        Texts messages;
    } cases[] = {
        {"one level fewer", "part/P2/llf", {}, {"part/P2/llf\nL70\nL100"}},
        {"the source itself", "part/P1/program/llf", {}, {"part/P1/program/llf\nL304\nL100"}},
        {"a doubled / does not count",
         "part/P1//program/llf",
         {},
         {"part/P1/program/llf\nL304\nL100"}},
        {"a file onto a folder", "part/P2/program/sub", {}, {"part/P2/program/sub\nL181\nL100"}},
        {"overwrite cancelled", "part/P2/program/llf", {0}, {"part/P2/program/llf\nL255\nL172"}},
        {"a destination too long",
         "part/P2/program/" + std::string(250, 'x'),
         {},
         {"part/P2/program/" + std::string(250, 'x') + "\nL70\nL100"}},
    };
    Open();
    Path({"part/", "P1/", "program/", "llf"});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        answers_ = c.answers;
        Ok(c.dest);
        EXPECT_EQ(Take(messages_), c.messages);
        EXPECT_TRUE(Take(commands_).empty());
        EXPECT_EQ(m_.nav.state, kNavTargetPart);
    }
    EXPECT_EQ(box_.Read("/u/qel/part/P2/program/llf"), "P2 program\n");
    // Overwrite confirmed.
    Ok("part/P2/program/llf");
    EXPECT_EQ(Take(messages_), (Texts{"part/P2/program/llf\nL255\nL172", "L161 \nL100"}));
    EXPECT_EQ(box_.Read("/u/qel/part/P2/program/llf"), "P1 program\n");
    // The source gone since it was chosen.
    box_.Remove("/u/qel/part/P1/program/llf");
    Ok("part/P2/program/new");
    EXPECT_EQ(Take(messages_), Texts{"L144 part/P1/program/llf \n\nL100"});
    // An empty destination says nothing and goes back to the folder.
    Ok("");
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(m_.nav.state, kNavPartBelow);
    EXPECT_TRUE(m_.nav.list);
    EXPECT_EQ(m_.nav.folder, "/u/qel/part/P1/program/");
}

TEST_F(CopyTest, WholeFolders) {
    box_.Write("/u/qel/part/P1/stat/r1", "r");
    Open();
    Choose({"part/"});
    CopyWholeFolder(m_, {2, {"P1/"}}, Ui());
    EXPECT_EQ(m_.nav.state, kNavTargetPart);
    EXPECT_EQ(CopySourceText(m_, Ui()), "L253\n    part/P1/");
    answers_ = {0};
    Ok("part/P3");
    EXPECT_EQ(Take(messages_), Texts{"L155 part/P3 \nL156"});
    EXPECT_TRUE(commands_.empty());
    Ok("part/P3");
    EXPECT_EQ(Take(messages_), (Texts{"L155 part/P3 \nL156", "L161 \nL100"}));
    EXPECT_EQ(Take(commands_), Texts{"cp -r /u/qel/part/P1 /u/qel/part/P3"});
    EXPECT_EQ(box_.Read("/u/qel/part/P3/program/llf"), "P1 program\n");
    // Onto the existing P3: merged, not put inside it.
    box_.Write("/u/qel/part/P1/stat/r2", "r");
    Ok("part/P3");
    EXPECT_EQ(Take(messages_), (Texts{"part/P3 L255\nL172", "L161 \nL100"}));
    EXPECT_EQ(Take(commands_), Texts{"cp -r /u/qel/part/P1/. /u/qel/part/P3"});
    EXPECT_TRUE(box_.Exists("/u/qel/part/P3/stat/r2"));
    EXPECT_FALSE(box_.Exists("/u/qel/part/P3/P1"));
    // A folder onto a file.
    Ok("part/notes.txt");
    EXPECT_EQ(Take(messages_), Texts{"part/notes.txt\nL145\nL100"});
    // "*" stands for the folder's own name: the same path.
    Ok("part/*");
    EXPECT_EQ(Take(messages_), Texts{"part/P1\nL304\nL100"});
}

TEST_F(CopyTest, PatternsThroughSubFolders) {
    // A path longer than 79 characters among the matches.
    const std::string deep = "/u/qel/part/P1/contour/sub/" + std::string(60, 'd') + "/long.NOM";
    box_.Write(deep, "long");
    // Links to outside the tree are neither walked into nor copied.
    box_.Write("/outside/secret.NOM", "s");
    ASSERT_EQ(symlink(P("/outside").c_str(), P("/u/qel/part/P1/contour/out").c_str()), 0);
    ASSERT_EQ(symlink(P("/outside/secret.NOM").c_str(), P("/u/qel/part/P1/contour/l.NOM").c_str()),
              0);
    Open();
    Ok("/u/qel/part/P1/contour/*.NOM");
    EXPECT_EQ(m_.nav.state, kNavTargetTop);
    EXPECT_EQ(CopySourceText(m_, Ui()), "L251\n    part/P1/contour/*.NOM");
    EXPECT_EQ(m_.keyin, "part/P1/contour/");
    Ok("*.OLD");
    Texts done = Take(commands_);
    std::sort(done.begin(), done.end());
    const std::string c = "/u/qel/part/P1/contour/";
    const std::string deepCopy = deep.substr(0, deep.rfind('/') + 1) + "LONG.NOM.OLD";
    EXPECT_EQ(done, (Texts{FileCp(c + "a.NOM", c + "A.NOM.OLD"),
                           FileCp(c + "sub/b.NOM", c + "sub/B.NOM.OLD"), FileCp(deep, deepCopy)}));
    EXPECT_EQ(box_.Read(deepCopy), "long");
    EXPECT_EQ(box_.Read("/u/qel/part/P1/contour/sub/B.NOM.OLD"), "b");
    EXPECT_FALSE(box_.Exists("/u/qel/part/P1/contour/C.NOM.OLD"));
    EXPECT_FALSE(box_.Exists("/u/qel/part/P1/contour/L.NOM.OLD"));
    EXPECT_FALSE(box_.Exists("/outside/secret.NOM.OLD"));
    EXPECT_EQ(messages_.size(), 3u);
    // The labels still name the pattern, and so does the source: a second
    // destination copies the pattern again.
    Take(messages_);
    Ok("*.BAK");
    EXPECT_EQ(Take(commands_).size(), 3u);
    // A destination without "*" would copy each onto itself.
    Ok("part/P1/contour/x");
    EXPECT_EQ(messages_.size(), 6u); // three for *.BAK, three refusals
    EXPECT_EQ(messages_.back().substr(messages_.back().find('\n')), "\nL304\nL100");
    EXPECT_TRUE(commands_.empty());
    // No destination at all: back to the list without a word.
    Take(messages_);
    Ok("");
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(m_.nav.state, kNavTop);
}

// A pattern's copies take the case rule on the place where each lands, as
// a single file's destination does: upper case in a part's sub folders and
// in the data trees, as typed in program folders.
TEST_F(CopyTest, PatternDestinationsTakeTheCaseRule) {
    box_.Write("/u/qel/part/P1/program/lst", "l");
    box_.Write("/u/qel/usr_data/misc/note.txt", "n");
    const struct {
        const char* pattern;
        const char* dest;
        Texts landed;
    } cases[] = {
        {"/u/qel/part/P1/contour/*.NOM",
         "*.old",
         {"/u/qel/part/P1/contour/A.NOM.OLD", "/u/qel/part/P1/contour/sub/B.NOM.OLD"}},
        {"/u/qel/part/P1/contour/*.NOM",
         "x*",
         {"/u/qel/part/P1/contour/XA.NOM", "/u/qel/part/P1/contour/sub/XB.NOM"}},
        {"/u/qel/part/P1/program/l*",
         "*.old",
         {"/u/qel/part/P1/program/llf.old", "/u/qel/part/P1/program/lst.old"}},
        {"/u/qel/usr_data/misc/*.txt", "*.bak", {"/u/qel/usr_data/misc/NOTE.TXT.BAK"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " to " + c.dest);
        Open();
        Ok(c.pattern);
        ASSERT_EQ(m_.nav.state, kNavTargetTop);
        Ok(c.dest);
        for (const std::string& f : c.landed) EXPECT_TRUE(box_.Exists(f)) << f;
        EXPECT_EQ(Take(commands_).size(), c.landed.size());
        Take(messages_);
    }
    // One file typed "xyz" in the same folder.
    Open();
    Ok("/u/qel/part/P1/contour/a.NOM");
    Ok("part/P1/contour/xyz");
    EXPECT_TRUE(box_.Exists("/u/qel/part/P1/contour/XYZ"));
}

TEST_F(CopyTest, ANameSearchedBelowThePartList) {
    box_.Write("/u/qel/part/P2/program/llf", "P2\n");
    box_.Write("/u/qel/part/P2/old/program/llf", "old\n");
    Open();
    Choose({"part/"});
    Ok("llf");
    EXPECT_EQ(m_.nav.state, kNavTargetFolder);
    EXPECT_EQ(m_.source, "/u/qel/part/*/llf");
    EXPECT_EQ(m_.wild.exact, "llf");
    Ok("*.SAV");
    EXPECT_EQ(commands_.size(), 3u);
    for (const char* f : {"/u/qel/part/P1/program/llf.SAV", "/u/qel/part/P2/program/llf.SAV",
                          "/u/qel/part/P2/old/program/llf.SAV"})
        EXPECT_TRUE(box_.Exists(f)) << f;
    // A folder pattern with a plain name: only that name, in matching folders.
    Take(commands_);
    CopyUpOne(m_, Io());
    CopyUpOne(m_, Io());
    Ok("/u/qel/part/*/program/llf");
    Ok("*.K");
    EXPECT_EQ(commands_.size(), 3u);
    EXPECT_FALSE(box_.Exists("/u/qel/part/P1/contour/a.NOM.K"));
    // Nothing matches: said on the console, the screen stays.
    CopyUpOne(m_, Io());
    testing::internal::CaptureStdout();
    Ok("/u/qel/part/Q*/x/*.NOM");
    Ok("*.OLD");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("CopyIt: no file matches /u/qel/part/Q*/x/*.NOM\n"), std::string::npos);
    EXPECT_EQ(m_.nav.state, kNavTargetTop);
}

TEST_F(CopyTest, SeveralSelectedFilesOneAfterAnother) {
    box_.Write("/u/qel/part/P1/stat/abc", "1");
    box_.Write("/u/qel/part/P1/stat/ABC", "2");
    box_.Write("/u/qel/part/P1/stat/my file", "3");
    box_.Write("/u/qel/part/P2/stat/.keep", "");
    Open("P1");
    Path({"P1/", "stat/"});
    ASSERT_EQ(m_.nav.state, kNavCurPartBelow);
    ASSERT_TRUE(m_.nav.multiple);
    Choose({"ABC", "abc", "my file"});
    for (const char* name : {"ABC", "abc", "my file"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(m_.nav.state, kNavTargetCurPart);
        EXPECT_EQ(m_.source, std::string("/u/qel/part/P1/stat/") + name);
        EXPECT_EQ(m_.keyin, "part/P1/stat/");
        Ok(std::string("/u/qel/part/P2/stat/") + name);
    }
    // Each under its own name: the destinations by the case rule.
    // The listed names are taken as listed ("abc" is not "ABC"); the
    // destinations get the case rule, so abc asks before it replaces ABC.
    EXPECT_EQ(Take(commands_),
              (Texts{FileCp("/u/qel/part/P1/stat/ABC", "/u/qel/part/P2/stat/ABC"),
                     FileCp("/u/qel/part/P1/stat/abc", "/u/qel/part/P2/stat/ABC"),
                     "cp '/u/qel/part/P1/stat/my file' '/u/qel/part/P2/stat/.MY FILE.copy' && "
                     "mv -f '/u/qel/part/P2/stat/.MY FILE.copy' '/u/qel/part/P2/stat/MY FILE' || "
                     "{ s=$?; rm -f '/u/qel/part/P2/stat/.MY FILE.copy'; exit $s; }"}));
    EXPECT_EQ(std::count(messages_.begin(), messages_.end(), "part/P2/stat/ABC\nL255\nL172"), 1);
    EXPECT_EQ(box_.Read("/u/qel/part/P2/stat/ABC"), "1");
    EXPECT_EQ(box_.Read("/u/qel/part/P2/stat/MY FILE"), "3");
    // The hotkey afterwards offers its own source, not an older selection.
    CopyUpOne(m_, Io());
    CopyUpOne(m_, Io());
    CopyUpOne(m_, Io());
    ASSERT_EQ(m_.nav.state, kNavTop);
    NavHotkey(m_.nav, kCurLlfHotkey);
    Ok("");
    EXPECT_EQ(m_.nav.state, kNavTargetTop);
    EXPECT_EQ(m_.source, "/u/qel/part/P1/program/llf");
    EXPECT_EQ(CopySourceText(m_, Ui()), "L249\n    part/P1/program/llf");
    EXPECT_EQ(CopyDestText(m_, Ui()), "L250");
    EXPECT_TRUE(m_.selected.empty());
    Ok("part/P2/program/llf");
    EXPECT_EQ(m_.nav.state, kNavTargetTop);
    EXPECT_TRUE(box_.Exists("/u/qel/part/P2/program/llf"));
    // Back at the top the hotkey stays on; CurPart offers the whole part.
    CopyUpOne(m_, Io());
    EXPECT_EQ(m_.nav.hotkeyMode, kCurLlfHotkey);
    NavHotkey(m_.nav, kCurPartHotkey);
    Ok("");
    EXPECT_EQ(m_.source, "/u/qel/part/P1");
    EXPECT_EQ(m_.fromLabel, 253);
}

TEST_F(CopyTest, TypedSources) {
    box_.Write("/u/qel/part/P1/stat/abc", "lower");
    box_.Write("/u/qel/part/P1/stat/XYZ", "upper");
    Open();
    // At the top a typed path must be absolute.
    Ok("part/P1/stat/abc");
    EXPECT_EQ(Take(messages_), Texts{"L70"});
    EXPECT_EQ(m_.nav.state, kNavTop);
    // The case rule's name when that file is there, else the name as typed.
    Ok("/u/qel/part/P1/stat/abc");
    EXPECT_EQ(m_.source, "/u/qel/part/P1/stat/abc");
    EXPECT_EQ(m_.keyin, "part/P1/stat/"); // preset with the source's folder
    CopyUpOne(m_, Io());
    Ok("/u/qel/part/P1/stat/xyz");
    EXPECT_EQ(m_.source, "/u/qel/part/P1/stat/XYZ");
    CopyUpOne(m_, Io());
    // In a folder: relative to it, or absolute elsewhere.
    Choose({"part/"});
    Ok("P1/program/llf");
    EXPECT_EQ(m_.source, "/u/qel/part/P1/program/llf");
    EXPECT_EQ(m_.nav.state, kNavTargetFolder);
    EXPECT_EQ(m_.keyin, "part/");
    CopyUpOne(m_, Io());
    EXPECT_EQ(m_.nav.state, kNavPartList);
    Ok("/temp/x");
    EXPECT_EQ(CopySourceText(m_, Ui()), "L249\n    /temp/x");
    CopyUpOne(m_, Io());
    Ok(std::string(256, 'a'));
    EXPECT_EQ(Take(messages_).size(), 1u);
    EXPECT_EQ(m_.nav.state, kNavPartList);
}

// The longest path the screen takes has 255 characters: a source or a
// destination of 255 is copied, one of 256 refused, typed or chosen.
TEST_F(CopyTest, PathsOf255CharactersAndNoMore) {
    const std::string folder = "/u/qel/part/P1/" + std::string(100, 'f') + "/";
    const std::string source255 = folder + std::string(139, 'n');
    const std::string source256 = folder + std::string(140, 'n');
    ASSERT_EQ(source255.size(), 255u);
    ASSERT_EQ(source256.size(), 256u);
    box_.Write(source255, "255");
    box_.Write(source256, "256");
    // Typed destinations are relative to /u/qel/ (7 characters).
    const std::string destFolder = "part/P2/" + std::string(100, 'f') + "/";
    const std::string dest255 = destFolder + std::string(139, 'D');
    const std::string dest256 = destFolder + std::string(140, 'D');
    ASSERT_EQ(dest255.size(), 248u);
    box_.Write("/u/qel/" + destFolder + ".keep", "");

    // Typed at the top.
    Open();
    Ok(source255);
    ASSERT_EQ(m_.nav.state, kNavTargetTop);
    EXPECT_EQ(m_.source, source255);
    Ok(dest256);
    EXPECT_EQ(Take(messages_), Texts{dest256 + "\nL70\nL100"});
    Ok(dest255);
    EXPECT_EQ(Take(messages_), Texts{"L161 \nL100"});
    EXPECT_EQ(box_.Read("/u/qel/" + destFolder + std::string(139, 'D')), "255");
    CopyUpOne(m_, Io());
    ASSERT_EQ(m_.nav.state, kNavTop);
    Ok(source256);
    EXPECT_EQ(Take(messages_).size(), 1u);
    EXPECT_EQ(m_.nav.state, kNavTop);

    // Chosen in the list.
    Path({"part/", "P1/", std::string(100, 'f') + "/"});
    ASSERT_EQ(m_.nav.folder, folder);
    Choose({std::string(139, 'n')});
    EXPECT_EQ(m_.nav.state, kNavTargetPart);
    EXPECT_EQ(m_.source, source255);
    EXPECT_TRUE(messages_.empty());
    CopyUpOne(m_, Io());
    Choose({std::string(140, 'n')});
    EXPECT_EQ(Take(messages_), Texts{ShownPath(source256) + "\nL70\nL100"});
    EXPECT_FALSE(InTargetPhase(m_.nav.state));
}

TEST_F(CopyTest, AFailingCopyIsReported) {
    Open();
    Path({"part/", "P1/", "program/", "llf"});
    testing::internal::CaptureStdout();
    Ok("part/P9/program/llf");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("CopyIt: cp failed, status 1\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Doit ModifyPath [/u/qel/part/P1/program/llf] [/u/qel/part/P9/program/llf]"),
              std::string::npos);
    EXPECT_EQ(Take(messages_), Texts{"part/P9/program/llf\nL162\nL100"});
    // Back to the list.
    EXPECT_EQ(m_.nav.state, kNavPartBelow);
    EXPECT_EQ(m_.keyin, "");
}

// A cp cut off half-way, as on a full disk: the real cp with a file-size
// limit of a few KiB, first on PATH. The file that was there is still there
// whole, a new name gets nothing, and nothing is left beside them; a file
// left by an earlier cut-off copy is not touched.
TEST_F(CopyTest, ACopyCutOffLeavesTheOldFileWhole) {
    const char* path = std::getenv("PATH");
    const std::string realPath = path ? path : "/usr/bin:/bin";
    box_.Write("/standin/cp", "#!/bin/sh\nulimit -f 8\nPATH='" + realPath + "'\nexec cp \"$@\"\n");
    ASSERT_EQ(chmod(P("/standin/cp").c_str(), 0755), 0);
    std::string big;
    for (int i = 0; big.size() < 65536; ++i) big += "new line " + std::to_string(i) + "\n";
    std::string old;
    for (int i = 0; old.size() < 20000; ++i) old += "old line " + std::to_string(i) + "\n";
    box_.Write("/u/qel/part/P1/program/llf", big);
    box_.Write("/u/qel/part/P2/program/llf", old);
    box_.Write("/u/qel/part/P2/program/.llf.copy", "left over");
    ScopedEnv cut("PATH", (P("/standin") + ":" + realPath).c_str());
    const struct {
        const char* dest;
        std::deque<int> answers; // the overwrite question
    } cases[] = {
        {"part/P2/program/llf", {1}},
        {"part/P2/program/new", {}},
    };
    Open();
    Path({"part/", "P1/", "program/", "llf"});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dest);
        answers_ = c.answers;
        testing::internal::CaptureStdout();
        Ok(c.dest);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_NE(out.find("CopyIt: cp failed, status "), std::string::npos) << out;
        EXPECT_EQ(messages_.back(), std::string(c.dest) + "\nL162\nL100");
        Take(messages_);
        ASSERT_EQ(m_.nav.state, kNavPartBelow);
        Choose({"llf"});
    }
    EXPECT_EQ(box_.Read("/u/qel/part/P2/program/llf"), old);
    EXPECT_FALSE(box_.Exists("/u/qel/part/P2/program/new"));
    Texts there = f_WalkFiles("/u/qel/part/P2/program/");
    std::sort(there.begin(), there.end());
    EXPECT_EQ(there, (Texts{"/u/qel/part/P2/program/.keep", "/u/qel/part/P2/program/.llf.copy",
                            "/u/qel/part/P2/program/llf"}));
    EXPECT_EQ(box_.Read("/u/qel/part/P2/program/.llf.copy"), "left over");
    // Within the limit the same road copies.
    box_.Write("/u/qel/part/P1/program/llf", "short\n");
    answers_ = {1};
    Ok("part/P2/program/llf");
    EXPECT_EQ(Take(messages_), (Texts{"part/P2/program/llf\nL255\nL172", "L161 \nL100"}));
    EXPECT_EQ(box_.Read("/u/qel/part/P2/program/llf"), "short\n");
    EXPECT_EQ(box_.Read("/u/qel/part/P2/program/.llf.copy"), "left over");
    EXPECT_FALSE(box_.Exists("/u/qel/part/P2/program/.llf.copy1"));
}

TEST_F(CopyTest, NamesTheShellMustNotTakeApart) {
    const Texts odd = {"a b", "it's", "$(touch PWNED)", "-n", "x;touch PWNED2", "*"};
    for (const std::string& n : odd) box_.Write("/u/qel/part/P1/program/" + n, n);
    Open();
    Path({"part/", "P1/", "program/"});
    for (const std::string& n : odd) {
        SCOPED_TRACE(n);
        Choose({n});
        ASSERT_EQ(m_.nav.state, kNavTargetPart);
        Ok("part/P2/program/" + n);
        EXPECT_EQ(box_.Read("/u/qel/part/P2/program/" + n), n);
        CopyUpOne(m_, Io());
    }
    for (const char* stray : {"/u/qel/part/P1/program/PWNED", "/u/qel/part/P2/program/PWNED"})
        EXPECT_FALSE(box_.Exists(stray));
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_NE(access((std::string(cwd) + "/PWNED").c_str(), F_OK), 0);
    EXPECT_NE(access((std::string(cwd) + "/PWNED2").c_str(), F_OK), 0);
    // Only the named files arrived.
    Texts there = f_WalkFiles("/u/qel/part/P2/program/");
    std::sort(there.begin(), there.end());
    Texts expected = {"/u/qel/part/P2/program/.keep"};
    for (const std::string& n : odd) expected.push_back("/u/qel/part/P2/program/" + n);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(there, expected);
}

} // namespace
