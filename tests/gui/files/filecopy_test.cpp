// The copy screen and the file-screen frame in widgets: the top list with
// and without a current part, the list, buttons, hotkeys, header and keyin
// field as the navigation moves, the destination phase with its labels,
// several selected files offered in turn, the hotkeys, the whole-folder
// button, the path-length refusal, Cancel, and the frame's helpers (busy
// notice, list selection). The listing script and cp are the sandbox's.
#include <gtest/gtest.h>

#include "choice_fixture.h"

#include "filecopy.h"
#include "filematch.h"
#include "filescreen.h"
#include "labels.h"

#include <Xm/List.h>
#include <Xm/TextF.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

class FileCopyTest : public ChoiceFixture {
  protected:
    void SetUp() override {
        ChoiceFixture::SetUp();
        Box().Write("/u/qel/part/P1/program/llf", "P1 program\n");
        Box().Write("/u/qel/part/P1/stat/ABC", "upper");
        Box().Write("/u/qel/part/P1/stat/abc", "lower");
        Box().Write("/u/qel/part/P1/stat/my file", "blank");
        Box().Write("/u/qel/part/P2/program/.keep", "");
        Box().Write("/u/qel/part/P2/stat/.keep", "");
        Box().Write("/u/qel/def_data/misc/fu.cp", "usr_data/sub\nflat/\n");
        Box().Write("/u/qel/usr_data/sub/x/X1", "x");
        Box().Write("/u/qel/flat/F1", "f");
        CurrentPart = "P1";
    }
    const Sandbox& Box() const { return gui_.box(); }
    CopyView V() const { return CopyState(); }
    const FileScreen& F() const { return *V().frame; }
    bool Managed(Widget w) const { return w && XtIsManaged(w); }
    bool ListShown() const { return F().list && XtIsManaged(XtParent(F().list)); }
    int Position(const std::string& name) const {
        const Names& n = *V().names;
        auto it = std::find(n.begin(), n.end(), name);
        return it == n.end() ? 0 : static_cast<int>(it - n.begin()) + 1;
    }
    // Selects the entries (in a single-selection list the last one wins).
    void Select(const Names& names) const {
        for (const std::string& name : names) {
            const int pos = Position(name);
            ASSERT_GT(pos, 0) << name;
            XmListSelectPos(F().list, pos, True);
        }
    }
    void Ok() const { Press(F().ok); }
    void Enter(const Names& path) const {
        for (const std::string& name : path) {
            XmListDeselectAllItems(F().list);
            Select({name});
            Ok();
        }
    }
    void Keyin(const std::string& text) const {
        XmTextFieldSetString(F().keyin, const_cast<char*>(text.c_str()));
    }
    std::string Header() const { return HeaderLabel ? LabelText(HeaderLabel) : "(none)"; }
    unsigned char Policy() const { return GetUChar(F().list, XmNselectionPolicy); }
};

TEST_F(FileCopyTest, OpensOnTheTopListOnce) {
    CurrentPart.clear();
    FileCopy();
    ASSERT_NE(FileScreenWindow, nullptr);
    EXPECT_TRUE(XtIsManaged(FileScreenWindow));
    EXPECT_EQ(ShownScreen, FileScreenWindow);
    EXPECT_EQ(ActiveMenuButton, 9);
    EXPECT_EQ(Geometry(FileScreenWindow), (WidgetBox{0, 0, 780, 510}));
    EXPECT_EQ(LabelText(F().title), "L138");
    EXPECT_EQ(LabelText(F().status), "L271");
    EXPECT_EQ(ListItems(F().list), (Names{"part/", "usr_data/sub/", "flat/"}));
    EXPECT_EQ(SelectedPositions(F().list), std::vector<int>{1});
    EXPECT_EQ(F().hotkeys[0], nullptr); // no current part, no hotkeys
    EXPECT_EQ(F().hotkeys[1], nullptr);
    EXPECT_FALSE(Managed(F().upOne));
    EXPECT_FALSE(Managed(F().wholeFolder));
    EXPECT_EQ(HeaderLabel, nullptr);
    EXPECT_EQ(GetInt(F().keyin, XmNmaxLength), 255);
    EXPECT_EQ(PathCut, 7);

    // A second entry while it is shown changes nothing.
    const Widget window = FileScreenWindow;
    const size_t children = Children(MainForm).size();
    FileCopy();
    EXPECT_EQ(FileScreenWindow, window);
    EXPECT_EQ(Children(MainForm).size(), children);

    CopyCancelCB(nullptr, nullptr, nullptr);
    EXPECT_EQ(FileScreenWindow, nullptr);
    EXPECT_EQ(ShownScreen, nullptr);
    Serve(50);
    EXPECT_EQ(Children(MainForm).size(), children - 1);

    // With a current part: its folder first, and the two hotkeys.
    CurrentPart = "P1";
    FileCopy();
    EXPECT_EQ(ListItems(F().list), (Names{"P1/", "part/", "usr_data/sub/", "flat/"}));
    ASSERT_NE(F().hotkeys[0], nullptr);
    EXPECT_TRUE(Managed(F().hotkeys[0]) && Managed(F().hotkeys[1]));
    EXPECT_EQ(LabelText(F().hotkeys[0]), "L248");
    EXPECT_EQ(LabelText(F().hotkeys[1]), "L237");
    EXPECT_EQ(Geometry(F().hotkeys[0]), (WidgetBox{10, 330, 350, 30}));
    EXPECT_EQ(Geometry(F().hotkeys[1]), (WidgetBox{10, 360, 350, 30}));
}

TEST_F(FileCopyTest, TheNavigationInWidgets) {
    FileCopy();
    testing::internal::CaptureStdout();
    Enter({"part/"});
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("DrawHeader [/u/qel/part/] ["), std::string::npos) << out;
    EXPECT_EQ(Header(), "part/");
    EXPECT_EQ(ListItems(F().list), (Names{"P1/", "P2/"}));
    EXPECT_TRUE(Managed(F().upOne));
    EXPECT_TRUE(Managed(F().wholeFolder));
    EXPECT_FALSE(Managed(F().hotkeys[0]));
    EXPECT_EQ(Policy(), XmSINGLE_SELECT);

    Enter({"P1/", "stat/"});
    EXPECT_EQ(Header(), "part/P1/stat/");
    EXPECT_EQ(V().model->nav.state, kNavPartBelow);
    EXPECT_EQ(Policy(), XmMULTIPLE_SELECT);
    EXPECT_TRUE(SelectedPositions(F().list).empty());
    EXPECT_FALSE(Managed(F().wholeFolder));

    Press(F().upOne);
    EXPECT_EQ(Header(), "part/P1/");
    EXPECT_EQ(Policy(), XmSINGLE_SELECT);
    EXPECT_TRUE(Managed(F().wholeFolder));
    Press(F().upOne);
    Press(F().upOne);
    EXPECT_EQ(HeaderLabel, nullptr);
    EXPECT_EQ(ListItems(F().list)[0], "P1/");
    EXPECT_TRUE(Managed(F().hotkeys[0]));
    EXPECT_FALSE(Managed(F().upOne));
    EXPECT_FALSE(Managed(F().wholeFolder));
}

TEST_F(FileCopyTest, ThreeSelectedFilesOfferedInTurn) {
    FileCopy();
    Enter({"P1/", "stat/"});
    ASSERT_EQ(Policy(), XmMULTIPLE_SELECT);
    Select({"ABC", "abc", "my file"});
    Ok();
    // The destination phase: the list gone, the two labels, the keyin field
    // preset with the source's folder.
    EXPECT_FALSE(ListShown());
    EXPECT_EQ(FileList, nullptr);
    EXPECT_EQ(HeaderLabel, nullptr);
    EXPECT_TRUE(Managed(F().upOne));
    ASSERT_NE(V().sourceLabel, nullptr);
    const struct {
        const char* source;
        const char* dest;
        const char* copied;
        const char* content;
    } files[] = {
        {"ABC", "part/P2/stat/ABC", "/u/qel/part/P2/stat/ABC", "upper"},
        {"abc", "part/P2/stat/low", "/u/qel/part/P2/stat/LOW", "lower"},
        {"my file", "part/P2/stat/my file", "/u/qel/part/P2/stat/MY FILE", "blank"},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.source);
        EXPECT_EQ(LabelText(V().sourceLabel), std::string("L249\n    part/P1/stat/") + f.source);
        EXPECT_EQ(LabelText(V().destLabel), "L250");
        EXPECT_EQ(TextOf(F().keyin), "part/P1/stat/");
        Messages.clear();
        Keyin(f.dest);
        Ok();
        EXPECT_EQ(Messages, Names{"L161 \nL100"});
        EXPECT_EQ(Box().Read(f.copied), f.content);
        EXPECT_TRUE(XtIsSensitive(F().ok));
    }
    // After the last one the screen stays with it; up one gives the list
    // back as it was, with multiple selection.
    EXPECT_FALSE(ListShown());
    Press(F().upOne);
    EXPECT_TRUE(ListShown());
    EXPECT_EQ(FileList, F().list);
    EXPECT_EQ(V().sourceLabel, nullptr);
    EXPECT_EQ(Policy(), XmMULTIPLE_SELECT);
    EXPECT_EQ(Header(), "part/P1/stat/");
    EXPECT_EQ(TextOf(F().keyin), "");
}

TEST_F(FileCopyTest, HotkeysAndTheWholeFolderButton) {
    FileCopy();
    Press(F().hotkeys[0]);
    EXPECT_TRUE(SelectedPositions(F().list).empty());
    EXPECT_EQ(V().model->nav.hotkeyMode, kCurLlfHotkey);
    Ok();
    EXPECT_EQ(V().model->nav.state, kNavTargetTop);
    EXPECT_EQ(LabelText(V().sourceLabel), "L249\n    part/P1/program/llf");
    EXPECT_FALSE(Managed(F().hotkeys[0]));
    // Back at the top the hotkey is still on and nothing is selected.
    Press(F().upOne);
    EXPECT_TRUE(Managed(F().hotkeys[0]));
    EXPECT_EQ(V().model->nav.hotkeyMode, kCurLlfHotkey);
    EXPECT_TRUE(SelectedPositions(F().list).empty());
    // The keyin field's focus at the top switches it off.
    XmAnyCallbackStruct focus{XmCR_FOCUS, nullptr};
    XtCallCallbacks(F().keyin, XmNfocusCallback, &focus);
    EXPECT_EQ(V().model->nav.hotkeyMode, 0);

    // A whole part from the part list.
    Select({"part/"});
    Ok();
    Select({"P1/"});
    Press(F().wholeFolder);
    EXPECT_EQ(V().model->nav.state, kNavTargetPart);
    EXPECT_EQ(LabelText(V().sourceLabel), "L253\n    part/P1/");
    EXPECT_EQ(LabelText(V().destLabel), "L254");
    Keyin("part/P3");
    Messages.clear();
    Ok();
    EXPECT_EQ(Messages, (Names{"L155 part/P3 \nL156", "L161 \nL100"}));
    EXPECT_EQ(Box().Read("/u/qel/part/P3/program/llf"), "P1 program\n");
}

// A folder whose path would be too long is not entered: a message, and the
// screen stays where it was.
TEST_F(FileCopyTest, APathTooLongIsRefused) {
    std::string folder = "/u/qel/part/P1/deep/";
    const std::string name(40, 'd');
    while (folder.size() + name.size() + 1 <= 255) folder += name + "/";
    Box().Write(folder + name + "/x", "x");
    FileCopy();
    Enter({"P1/", "deep/"});
    while (V().model->nav.folder != folder) {
        ASSERT_EQ(Position(name + "/"), 1);
        Enter({name + "/"});
    }
    const std::string header = Header();
    Messages.clear();
    Enter({name + "/"});
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0], ShownPath(folder + name + "/") + "\nL70\nL100");
    EXPECT_EQ(V().model->nav.folder, folder);
    EXPECT_EQ(Header(), header);
    EXPECT_TRUE(ListShown());
}

TEST_F(FileCopyTest, TheBusyNoticeAndListSelections) {
    const size_t before = Children(MainForm).size();
    ShowLoading("FIRST");
    ShowLoading("SECOND"); // the first goes
    std::vector<Widget> now = Children(MainForm);
    ASSERT_EQ(now.size(), before + 1);
    EXPECT_EQ(LabelText(now.back()), "SECOND");
    HideLoading();
    Serve(50);
    EXPECT_EQ(Children(MainForm).size(), before);
    HideLoading();

    // Not drawn while the main window is unmapped: the wait ends anyway.
    XUnmapWindow(TheDisplay, TopWindow);
    XSync(TheDisplay, False);
    testing::internal::CaptureStdout();
    ShowLoading("HIDDEN");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("WaitForExpose: no Expose within"), std::string::npos) << out;
    HideLoading();
    XMapWindow(TheDisplay, TopWindow);

    Widget big = MakeBigWorkWindow();
    Widget list = MakeScrolledList(big, 10, 110, 700, 14);
    XtVaSetValues(list, XmNselectionPolicy, XmMULTIPLE_SELECT, nullptr);
    ListSetNames(list, {"a", "b", "a"});
    XmListDeselectAllItems(list);
    XmListSelectPos(list, 1, False);
    XmListSelectPos(list, 3, False);
    std::vector<int> positions;
    EXPECT_EQ(GetListSelection(list, &positions), 2);
    EXPECT_EQ(positions, (std::vector<int>{1, 1}));
    EXPECT_EQ(SelectedListPositions(list), (std::vector<int>{1, 3}));
    ListDeleteSelected(list);
    EXPECT_EQ(ListItems(list), Names{"b"});
    positions = {7};
    EXPECT_EQ(GetListSelection(list, &positions), 0);
    EXPECT_EQ(positions, std::vector<int>{7});
}

} // namespace
