// The block-edit and contour-edit screens' model on a sandbox tree, without
// X: the listing script and the two editors are the sandbox's stand-ins,
// whose log shows each editor's argument vector. The current part from the
// top list, the part list, typed names (with and without their final "/",
// ".", "..", names the shell would take apart), missing folders, and the
// part root elsewhere.
#include <gtest/gtest.h>

#include "filelists.h"
#include "partedit.h"
#include "sandbox.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

class PartEditTest : public testing::Test {
  protected:
    PartEditTest() : box_(Sandbox::WithSuiteTools()) {}

    void SetUp() override {
        box_.Write("/u/qel/part/P1/contour/c1", "c");
        box_.Write("/u/qel/part/P2/program/llf", "p");
        box_.Write("/u/qel/part/notes.txt", "n");
    }

    NavIo Io() {
        return {[this](const std::string& folder) {
                    if (folder.empty()) {
                        names_ = TopListNames("", part_);
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
                    return 1;
                },
                [](const std::string&) { return -1; }, [](bool) {}};
    }
    void Open(PartEditor editor, const std::string& part = "") {
        part_ = part;
        PartEditOpen(m_, editor, part, Io());
    }
    void Choose(const std::string& entry) {
        auto it = std::find(names_.begin(), names_.end(), entry);
        ASSERT_NE(it, names_.end()) << entry;
        PartEditOk(m_, {static_cast<int>(it - names_.begin()) + 1, {entry}}, "", Io(), Ui());
    }
    void Ok(const std::string& text) { PartEditOk(m_, {}, text, Io(), Ui()); }
    // The editors started, as their stand-ins logged them, and the log
    // emptied.
    Texts Started() {
        Texts out;
        for (const std::string& l : box_.ScriptsLog())
            if (l.rfind("dols", 0) != 0) out.push_back(l);
        box_.Remove("/sim/scripts.log");
        return out;
    }
    Texts Take(Texts& v) {
        Texts out;
        out.swap(v);
        return out;
    }

    Sandbox box_;
    PartEditModel m_;
    std::string part_;
    Texts names_;
    Texts messages_;
};

TEST_F(PartEditTest, TypedNamesOnBothScreens) {
    const struct {
        const char* typed;
        const char* block;   // the start, or the message
        const char* contour; // the same
    } cases[] = {
        {"P2", "be.exe [P2]", "part/P2/contour L181\nL100"},
        {"P1", "be.exe [P1]", "xceditor.exe [/u/qel/part/P1/contour]"},
        {"P1/", "be.exe [P1]", "xceditor.exe [/u/qel/part/P1/contour]"},
        {"/u/qel/part/P1", "be.exe [P1]", "xceditor.exe [/u/qel/part/P1/contour]"},
        {"part/P1//", "part/ L181\nL100", "part//contour L181\nL100"},
        {".", "part/. L181\nL100", "part/./contour L181\nL100"},
        {"..", "part/.. L181\nL100", "part/../contour L181\nL100"},
        {"/u/qel/part/..", "part/.. L181\nL100", "part/../contour L181\nL100"},
        {"/", "part/ L181\nL100", "part//contour L181\nL100"},
        {"P9", "part/P9 L181\nL100", "part/P9/contour L181\nL100"},
        {"notes.txt", "part/notes.txt L181\nL100", "part/notes.txt/contour L181\nL100"},
    };
    for (const auto& c : cases) {
        for (const PartEditor editor : {PartEditor::kBlock, PartEditor::kContour}) {
            const char* expected = editor == PartEditor::kBlock ? c.block : c.contour;
            SCOPED_TRACE(std::string(c.typed) + " -> " + expected);
            Open(editor);
            Ok(c.typed);
            const Texts said = Take(messages_);
            const Texts started = Started();
            if (std::string(expected).find(" L181") != std::string::npos) {
                EXPECT_EQ(said, Texts{expected});
                EXPECT_TRUE(started.empty());
            } else {
                EXPECT_TRUE(said.empty());
                EXPECT_EQ(started, Texts{expected});
            }
        }
    }
    Open(PartEditor::kBlock);
    Ok("");
    EXPECT_TRUE(messages_.empty());
    EXPECT_TRUE(Started().empty());
}

TEST_F(PartEditTest, TheTopListAndThePartList) {
    for (const PartEditor editor : {PartEditor::kBlock, PartEditor::kContour}) {
        SCOPED_TRACE(editor == PartEditor::kBlock ? "block" : "contour");
        const std::string p1 =
            editor == PartEditor::kBlock ? "be.exe [P1]" : "xceditor.exe [/u/qel/part/P1/contour]";
        Open(editor, "P1");
        EXPECT_EQ(names_, (Texts{"P1/", "part/"}));
        Choose("P1/");
        EXPECT_EQ(Started(), Texts{p1});
        EXPECT_EQ(m_.nav.state, kNavTop); // the screen stays at its list
        Choose("part/");
        EXPECT_EQ(m_.nav.state, kNavPartList);
        EXPECT_TRUE(m_.nav.upOne);
        EXPECT_EQ(m_.nav.folder, "/u/qel/part/");
        Choose("notes.txt"); // a plain file: nothing
        EXPECT_TRUE(Started().empty());
        EXPECT_TRUE(messages_.empty());
        Choose("P1/");
        EXPECT_EQ(Started(), Texts{p1});
        EXPECT_EQ(m_.nav.state, kNavPartList);
        PartEditUpOne(m_, Io());
        EXPECT_EQ(m_.nav.state, kNavTop);
        EXPECT_FALSE(m_.nav.upOne);
        // Without a current part the first line is the part list's.
        Open(editor);
        EXPECT_EQ(names_, Texts{"part/"});
        Choose("part/");
        EXPECT_EQ(m_.nav.state, kNavPartList);
    }
}

TEST_F(PartEditTest, ThePartRootElsewhere) {
    box_.Write("/parts/P3/contour/c", "c");
    box_.Write("/parts/P4/program/llf", "p");
    const std::string root = box_.Path("/parts");
    ScopedEnv parts("QELPART", root.c_str());
    Open(PartEditor::kContour);
    Ok("P3");
    EXPECT_EQ(Started(), Texts{"xceditor.exe [" + root + "/P3/contour]"});
    // The message names the folder below the part root, whatever the root.
    Ok("P4");
    EXPECT_EQ(Take(messages_), Texts{"part/P4/contour L181\nL100"});
    // The block editor's test goes through the translation too.
    Open(PartEditor::kBlock);
    Ok("P4");
    EXPECT_EQ(Started(), Texts{"be.exe [P4]"});
}

TEST_F(PartEditTest, ANameTheShellWouldTakeApartIsOneArgument) {
    const std::string odd = "a b;$(touch PWNED)'x\"";
    box_.Write("/u/qel/part/" + odd + "/contour/c", "c");
    Open(PartEditor::kBlock);
    Ok(odd);
    Open(PartEditor::kContour);
    Ok(odd + "/");
    EXPECT_EQ(Started(),
              (Texts{"be.exe [" + odd + "]", "xceditor.exe [/u/qel/part/" + odd + "/contour]"}));
    EXPECT_FALSE(box_.Exists("/PWNED"));
}

// A part whose name begins with "-" reaches the block editor as a name,
// not an option, typed or chosen from the part list; the contour editor's
// path needs no such form, and other names go as they are.
TEST_F(PartEditTest, ANameThatBeginsWithADashIsNoOption) {
    for (const char* part : {"-x", "--help"})
        box_.Write(std::string("/u/qel/part/") + part + "/contour/c", "c");
    Open(PartEditor::kBlock);
    Ok("-x");
    Ok("/u/qel/part/--help");
    Choose("part/");
    Choose("-x/");
    Ok("P1");
    EXPECT_EQ(Started(),
              (Texts{"be.exe [./-x]", "be.exe [./--help]", "be.exe [./-x]", "be.exe [P1]"}));
    Open(PartEditor::kContour);
    Ok("-x");
    EXPECT_EQ(Started(), Texts{"xceditor.exe [/u/qel/part/-x/contour]"});
    EXPECT_TRUE(messages_.empty());
}

} // namespace
