// The backup screen in widgets: the set list beside the file list, the
// buttons that come and go with the navigation and the set, "AllParts",
// "Minus", and a backup run through the real media dialog (answered from
// toolkit timers) onto the sandbox's diskette with the real tar, the
// window insensitive while the dialog is up and the backup screen shown
// again after it.
#include <gtest/gtest.h>

#include "choice_fixture.h"

#include "filebackup.h"
#include "filescreen.h"
#include "labels.h"
#include "mediaselect.h"
#include "records_media.h"
#include "sandbox_tree.h"

#include <Xm/List.h>
#include <Xm/TextF.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

class FileBackupTest : public ChoiceFixture {
  protected:
    void SetUp() override {
        ChoiceFixture::SetUp();
        Box().Write("/u/qel/part/A/a1", "a1");
        Box().Write("/u/qel/part/A/sub/a2", "a2");
        Box().Write("/u/qel/part/B/prog", "B's program\n");
        Box().Write("/u/qel/def_data/misc/fu.bu", "usr_data\n");
        Box().Write("/u/qel/usr_data/sub/x", "x");
        Box().Write(kMediaFile, MediaTableBytes({{1, "Diskette", "/dev/fd0"}}));
        Box().Write("/dev/fd0", "");
    }
    const Sandbox& Box() const { return gui_.box(); }
    BackupView V() const { return BackupState(); }
    const FileScreen& F() const { return *V().frame; }
    bool Managed(Widget w) const { return w && XtIsManaged(w); }
    int Position(const std::string& name) const {
        const Names& n = *V().names;
        auto it = std::find(n.begin(), n.end(), name);
        return it == n.end() ? 0 : static_cast<int>(it - n.begin()) + 1;
    }
    void Select(const Names& names) const {
        XmListDeselectAllItems(F().list);
        for (const std::string& name : names) {
            const int pos = Position(name);
            ASSERT_GT(pos, 0) << name;
            XmListSelectPos(F().list, pos, True);
        }
    }
    void Enter(const Names& path) const {
        for (const std::string& name : path) {
            Select({name});
            Press(F().ok);
        }
    }
    // Types into the keyin field: its focus takes the list's selection.
    void Keyin(const std::string& text) const {
        XmListDeselectAllItems(F().list);
        XmTextFieldSetString(F().keyin, const_cast<char*>(text.c_str()));
    }
    Names Members() const {
        const std::string cmd = "tar tf '" + Box().Path("/dev/fd0") + "' 2>/dev/null";
        FILE* p = popen(cmd.c_str(), "r");
        std::string out;
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
        Names m = SplitLines(out);
        std::sort(m.begin(), m.end());
        return m;
    }
};

TEST_F(FileBackupTest, TheScreenAndItsButtons) {
    CurrentPart.clear();
    FileBackup();
    ASSERT_NE(FileScreenWindow, nullptr);
    EXPECT_EQ(ShownScreen, FileScreenWindow);
    EXPECT_EQ(ActiveMenuButton, 9);
    EXPECT_EQ(LabelText(F().title), "L148");
    EXPECT_EQ(LabelText(F().status), "L277");
    EXPECT_EQ(ListItems(F().list), (Names{"part/", "usr_data/"}));
    EXPECT_EQ(LabelText(V().setTitle), "L264");
    EXPECT_EQ(Geometry(XtParent(V().setList)).x, 410);
    EXPECT_EQ(GetUChar(V().setList, XmNselectionPolicy), XmMULTIPLE_SELECT);
    // At the top: the whole-folder button and "AllParts" (no part current),
    // neither up-one nor plus; the set's buttons wait for a set.
    EXPECT_TRUE(Managed(F().wholeFolder));
    ASSERT_NE(F().hotkeys[0], nullptr);
    EXPECT_TRUE(Managed(F().hotkeys[0]));
    EXPECT_EQ(LabelText(F().hotkeys[0]), "L265");
    EXPECT_FALSE(Managed(F().upOne));
    EXPECT_FALSE(Managed(V().plusButton));
    EXPECT_FALSE(Managed(V().backupButton));
    EXPECT_FALSE(Managed(V().minusButton));
    EXPECT_EQ(Geometry(V().backupButton), (WidgetBox{410, 355, 350, 30}));
    EXPECT_EQ(Geometry(V().minusButton), (WidgetBox{410, 320, 350, 30}));

    // The part list: plus too; a part's folder: no plus, no "AllParts".
    Enter({"part/"});
    EXPECT_TRUE(Managed(V().plusButton));
    EXPECT_TRUE(Managed(F().upOne));
    EXPECT_FALSE(Managed(F().hotkeys[0]));
    Press(F().wholeFolder); // the first entry, A/, is selected
    EXPECT_EQ(ListItems(V().setList), (Names{"/u/qel/part/A/"}));
    EXPECT_TRUE(Managed(V().backupButton));
    EXPECT_TRUE(Managed(V().minusButton));
    Enter({"B/"});
    EXPECT_FALSE(Managed(V().plusButton));
    Enter({"prog"});
    EXPECT_EQ(ListItems(V().setList), (Names{"/u/qel/part/A/", "/u/qel/part/B/prog"}));
    EXPECT_TRUE(SelectedPositions(V().setList).empty());

    // A typed name: relative to the folder listed.
    Keyin("none");
    Press(F().ok);
    EXPECT_EQ(Messages, (Names{"/u/qel/part/B/none L123\nL100"}));
    EXPECT_EQ(XmGetFocusWidget(F().keyin), F().keyin);

    // "Minus" takes the selected items; the last one hides it and "BuOK".
    XmListSelectPos(V().setList, 2, False);
    Press(V().minusButton);
    EXPECT_EQ(ListItems(V().setList), (Names{"/u/qel/part/A/"}));
    XmListSelectPos(V().setList, 1, False);
    Press(V().minusButton);
    EXPECT_TRUE(ListItems(V().setList).empty());
    EXPECT_FALSE(Managed(V().backupButton));
    EXPECT_FALSE(Managed(V().minusButton));

    // Up to the top: "AllParts" again; on, then OK adds both roots.
    Press(F().upOne);
    Press(F().upOne);
    EXPECT_TRUE(Managed(F().hotkeys[0]));
    Press(F().hotkeys[0]);
    Press(F().ok);
    EXPECT_EQ(ListItems(V().setList), (Names{"/u/qel/part/", "/u/qel/usr_data/sub"}));

    BuCancelCB(nullptr, nullptr, nullptr);
    EXPECT_EQ(FileScreenWindow, nullptr);
}

// The part list's plus button: the files that files4part.exe names (the
// install's stand-in) go into the set; its words after them are shown.
TEST_F(FileBackupTest, APartWithItsFiles) {
    std::string error;
    ASSERT_TRUE(LayOutSuiteTools(Box().root(), &error)) << error;
    Box().Write("/sim/files4part/B", "/u/qel/part/A/a1\nno list: B has no program\n/u/qel/x\n");
    Box().Write("/sim/files4part.status", "1");
    FileBackup();
    Enter({"part/"});
    Select({"B/"});
    Press(V().plusButton);
    EXPECT_EQ(ListItems(V().setList), (Names{"/u/qel/part/A/a1"}));
    EXPECT_EQ(Messages, (Names{"/u/qel/part/A/a1\nno list: B has no program\nL100"}));
    EXPECT_TRUE(XtIsSensitive(F().window));
}

TEST_F(FileBackupTest, ABackupThroughTheMediaDialog) {
    CurrentPart = "A";
    FileBackup();
    Enter({"part/"});
    Press(F().wholeFolder);
    Enter({"B/", "prog"});
    bool insensitive = false;
    Widget shownUnder = nullptr;
    Widget dialog = nullptr;
    // The estimate's question is answered by the recorder; then the media
    // dialog comes up, and a timer presses its OK.
    After(300, [&] {
        insensitive = !XtIsSensitive(F().window);
        shownUnder = ShownScreen;
        dialog = MediaSelectState().window;
        ASSERT_NE(dialog, nullptr);
        Press(MediaSelectState().ok);
    });
    testing::internal::CaptureStdout();
    Press(V().backupButton);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(insensitive);
    EXPECT_EQ(shownUnder, dialog);
    EXPECT_EQ(Messages, (Names{"1 L157 or\n1 L158   \n\nL172"}));
    EXPECT_NE(out.find("cmdstring = tar -C " + Box().root() +
                       " -cvf /dev/fd0 --no-unquote -- u/qel/part/A u/qel/part/B/prog"),
              std::string::npos)
        << out;
    EXPECT_EQ(Members(), (Names{"u/qel/part/A/", "u/qel/part/A/a1", "u/qel/part/A/sub/",
                                "u/qel/part/A/sub/a2", "u/qel/part/B/prog"}));
    // The set emptied, the top list back, the screen shown and usable.
    EXPECT_TRUE(ListItems(V().setList).empty());
    EXPECT_EQ(ListItems(F().list), (Names{"A/", "part/", "usr_data/"}));
    EXPECT_TRUE(XtIsSensitive(F().window));
    EXPECT_EQ(ShownScreen, FileScreenWindow);
    EXPECT_FALSE(Managed(F().upOne));
    EXPECT_TRUE(Managed(F().wholeFolder));
    EXPECT_TRUE(Managed(F().hotkeys[0]));
    EXPECT_FALSE(Managed(V().backupButton));

    // A cancelled choice empties the set too; a refused device keeps it.
    Keyin("/u/qel/part/B/prog");
    Press(F().ok);
    After(300, [] { Press(MediaSelectState().cancel); });
    Press(V().backupButton);
    EXPECT_TRUE(ListItems(V().setList).empty());
    Keyin("/u/qel/part/B/prog");
    Press(F().ok);
    Box().Write(kMediaFile, MediaTableBytes({{1, "Broken", std::string(26, 'd')}}));
    Messages.clear();
    After(300, [] { Press(MediaSelectState().ok); });
    Press(V().backupButton);
    EXPECT_EQ(Messages, (Names{"1 L157 or\n1 L158   \n\nL172",
                               "/u/qel/sys_data/files/media.bin L155\nL100"}));
    EXPECT_EQ(ListItems(V().setList), (Names{"/u/qel/part/B/prog"}));
    EXPECT_EQ(Box().Read("/u/qel/part/B/prog"), "B's program\n");
}

} // namespace
