// The delete, print, text-edit, block-edit and contour-edit screens in
// widgets: their headers, toolbar buttons and hotkeys as the navigation
// moves, the delete hotkeys' labels and the current part forgotten with its
// folder (main menu and light), the print screen's target phase with its
// label and mode buttons and the request it sends, the edit hotkey, and
// the twin part editors' lists. The tools are the sandbox's stand-ins.
#include <gtest/gtest.h>

#include "choice_fixture.h"

#include "colors.h"
#include "filebe.h"
#include "filedel.h"
#include "fileedit.h"
#include "fileprint.h"
#include "filescreen.h"
#include "labels.h"
#include "sandbox_tree.h"
#include "settings.h"

#include <Xm/List.h>
#include <Xm/TextF.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

class FileUtilTest : public ChoiceFixture {
  protected:
    void SetUp() override {
        ChoiceFixture::SetUp();
        std::string error;
        ASSERT_TRUE(LayOutSuiteTools(Box().root(), &error)) << error;
        for (const char* f : {"/u/qel/part/P1/program/llf", "/u/qel/part/P1/contour/A.NOM",
                              "/u/qel/part/P1/contour/c.dat", "/u/qel/part/P1/stat/S1",
                              "/u/qel/part/P2/program/llf"})
            Box().Write(f, f);
        CurrentPart = "P1";
        PartValid = 1;
        SetMenuFlags("0001000011");
        IndicatorOn(MainMenuIndicators[2]);
    }
    const Sandbox& Box() const { return gui_.box(); }
    bool Managed(Widget w) const { return w && XtIsManaged(w); }
    static int Position(const Names& names, const std::string& name) {
        auto it = std::find(names.begin(), names.end(), name);
        return it == names.end() ? 0 : static_cast<int>(it - names.begin()) + 1;
    }
    // Selects the entry in the open screen's list and presses OK.
    void Enter(const FileScreen& s, const Names& names, const std::string& name) {
        const int pos = Position(names, name);
        ASSERT_GT(pos, 0) << name;
        XmListDeselectAllItems(s.list);
        XmListSelectPos(s.list, pos, True);
        Press(s.ok);
    }
    unsigned char Policy(const FileScreen& s) const { return GetUChar(s.list, XmNselectionPolicy); }
    void Keyin(const FileScreen& s, const std::string& text) const {
        XmTextFieldSetString(s.keyin, const_cast<char*>(text.c_str()));
    }
};

TEST_F(FileUtilTest, TheDeleteScreen) {
    FileDelete();
    const DelView v = DelState();
    const FileScreen& f = *v.frame;
    ASSERT_NE(FileScreenWindow, nullptr);
    EXPECT_EQ(LabelText(f.title), "L147");
    EXPECT_EQ(LabelText(f.status), "L273");
    EXPECT_EQ(PathCut, 7);
    EXPECT_FALSE(Managed(f.upOne));
    EXPECT_FALSE(Managed(f.wholeFolder));
    EXPECT_FALSE(Managed(v.allButDepend));
    EXPECT_EQ(Geometry(v.hotkey1), (WidgetBox{10, 330, 350, 30}));
    EXPECT_EQ(Geometry(v.hotkey2), (WidgetBox{10, 360, 350, 30}));
    EXPECT_TRUE(Managed(v.hotkey1));
    EXPECT_EQ(LabelText(v.hotkey1), "L237");
    EXPECT_FALSE(Managed(v.hotkey2));

    Enter(f, *v.names, "part/");
    EXPECT_TRUE(Managed(f.upOne));
    EXPECT_TRUE(Managed(f.wholeFolder));
    EXPECT_TRUE(Managed(v.allButDepend));
    EXPECT_FALSE(Managed(v.hotkey1));
    Enter(f, *v.names, "P1/");
    EXPECT_FALSE(Managed(v.allButDepend));
    Enter(f, *v.names, "contour/");
    EXPECT_EQ(Policy(f), XmMULTIPLE_SELECT);
    EXPECT_TRUE(Managed(v.hotkey1));
    EXPECT_TRUE(Managed(v.hotkey2));
    EXPECT_EQ(LabelText(v.hotkey1), "L259");
    // The contour purge, asked and done, keeps the nominal files.
    Press(v.hotkey1);
    EXPECT_EQ(v.model->nav.hotkeyMode, kDelHotkey1);
    Messages.clear();
    Press(f.ok);
    EXPECT_EQ(Messages, Names{"L281\npart/P1/contour/*\nL206"});
    EXPECT_TRUE(Box().Exists("/u/qel/part/P1/contour/A.NOM"));
    EXPECT_FALSE(Box().Exists("/u/qel/part/P1/contour/c.dat"));
    EXPECT_TRUE(XtIsSensitive(f.ok));
    EXPECT_TRUE(XtIsSensitive(f.cancel));
    EXPECT_TRUE(Managed(f.upOne));

    // Up to the top; Hotkey1 deletes the current part, and with it gone the
    // part is no longer current: execute greyed, the part light off.
    for (int i = 0; i < 3; ++i) Press(f.upOne);
    ASSERT_EQ(v.model->nav.state, kNavTop);
    EXPECT_EQ(LabelText(v.hotkey1), "L237");
    Press(v.hotkey1);
    Messages.clear();
    Press(f.ok);
    EXPECT_EQ(Messages, Names{"L205\npart/P1/*\nL206"});
    EXPECT_FALSE(Box().Exists("/u/qel/part/P1"));
    EXPECT_EQ(CurrentPart, "");
    EXPECT_EQ(PartValid, 0);
    EXPECT_EQ(MenuFlags()[3], '0');
    EXPECT_FALSE(XtIsSensitive(MainMenuButtons[3]));
    EXPECT_EQ(Background(MainMenuIndicators[2]), DarkLight());
    EXPECT_EQ(ListItems(f.list).front(), "part/");
    EXPECT_FALSE(Managed(v.hotkey1));
    DelCancelCB(nullptr, nullptr, nullptr);
    EXPECT_EQ(FileScreenWindow, nullptr);
}

TEST_F(FileUtilTest, ThePrintScreen) {
    FilePrint();
    PrtView view = PrtState();
    const FileScreen& f = *view.frame;
    EXPECT_EQ(LabelText(f.title), "L177");
    EXPECT_EQ(LabelText(f.status), "L272");
    ASSERT_NE(f.hotkeys[0], nullptr);
    EXPECT_EQ(LabelText(f.hotkeys[0]), "L248");
    EXPECT_EQ(f.hotkeys[1], nullptr);
    Enter(f, *view.names, "part/");
    Enter(f, *view.names, "P1/");
    EXPECT_TRUE(Managed(f.wholeFolder));
    Enter(f, *view.names, "stat/");
    // The print screen leaves its whole-folder button below a part.
    EXPECT_TRUE(Managed(f.wholeFolder));
    Enter(f, *view.names, "S1");
    view = PrtState();
    ASSERT_NE(view.targetLabel, nullptr);
    EXPECT_EQ(LabelText(view.targetLabel), "L176 part/P1/stat/S1");
    EXPECT_EQ(FileList, nullptr);
    EXPECT_FALSE(Managed(f.keyin));
    EXPECT_FALSE(Managed(f.wholeFolder));
    EXPECT_EQ(Geometry(view.viewButton), (WidgetBox{194, 320, 132, 33}));
    EXPECT_EQ(Geometry(view.printButton), (WidgetBox{454, 320, 132, 33}));
    EXPECT_EQ(LabelText(view.viewButton), "L256");
    EXPECT_EQ(LabelText(view.printButton), "L257");
    const Pixel chosen = Background(view.viewButton);
    EXPECT_NE(Background(view.printButton), chosen);
    Press(view.printButton);
    EXPECT_EQ(view.model->mode, kPrtPrint);
    EXPECT_EQ(Background(view.printButton), chosen);
    Requests();
    Press(f.ok);
    const std::vector<wire::Msg> sent = Requests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(wire::Int(sent[0], 20), 9);
    EXPECT_EQ(wire::Text(sent[0], 32, 80), "/u/tmp/prt.out");
    // Back to the folder's list, the keyin field shown again.
    view = PrtState();
    EXPECT_EQ(view.targetLabel, nullptr);
    EXPECT_EQ(FileList, f.list);
    EXPECT_TRUE(Managed(f.keyin));
    EXPECT_EQ(LabelText(HeaderLabel), "part/P1/stat/");
    PrtCancelCB(nullptr, nullptr, nullptr);
    EXPECT_EQ(FileScreenWindow, nullptr);
}

TEST_F(FileUtilTest, TheTextEditScreen) {
    const int saved = EditorType;
    EditorType = 1;
    FileEdit();
    const EditView v = EditState();
    const FileScreen& f = *v.frame;
    EXPECT_EQ(LabelText(f.title), "L262");
    EXPECT_EQ(LabelText(f.status), "L274");
    ASSERT_NE(f.hotkeys[0], nullptr);
    EXPECT_TRUE(Managed(f.hotkeys[0]));
    EXPECT_EQ(LabelText(f.hotkeys[0]), "L248");
    EXPECT_EQ(f.wholeFolder, nullptr);
    Enter(f, *v.names, "P1/");
    EXPECT_FALSE(Managed(f.hotkeys[0]));
    Press(f.upOne);
    EXPECT_TRUE(Managed(f.hotkeys[0]));
    EXPECT_EQ(LabelText(f.hotkeys[0]), "L248");
    Press(f.hotkeys[0]);
    Press(f.ok);
    const Names log = Box().ScriptsLog();
    EXPECT_NE(std::find(log.begin(), log.end(), "dovi [/u/qel/part/P1/program/llf]"), log.end());
    EXPECT_EQ(LabelText(f.hotkeys[0]), "L248");
    EXPECT_TRUE(XtIsSensitive(f.ok));
    EditorType = saved;
    EdCancelCB(nullptr, nullptr, nullptr);
}

TEST_F(FileUtilTest, TheTwinPartEditors) {
    const struct {
        void (*entry)();
        XtCallbackProc cancel;
        const char* title;
        const char* status;
        const char* started;
    } twins[] = {
        {FileBe, BeCancelCB, "L285", "L286", "be.exe [P2]"},
        {FileCe, CeCancelCB, "L287", "L288", "xceditor.exe [/u/qel/part/P2/contour]"},
    };
    Box().Write("/u/qel/part/P2/contour/c", "c");
    for (const auto& t : twins) {
        SCOPED_TRACE(t.title);
        Box().Remove("/sim/scripts.log");
        t.entry();
        const PartEditView v = PartEditState();
        const FileScreen& f = *v.frame;
        EXPECT_EQ(LabelText(f.title), t.title);
        EXPECT_EQ(LabelText(f.status), t.status);
        EXPECT_EQ(ListItems(f.list), (Names{"P1/", "part/"}));
        EXPECT_FALSE(Managed(f.upOne));
        Enter(f, *v.names, "part/");
        EXPECT_TRUE(Managed(f.upOne));
        EXPECT_EQ(LabelText(HeaderLabel), "part/");
        Enter(f, *v.names, "P2/");
        Names log = Box().ScriptsLog();
        log.erase(std::remove_if(log.begin(), log.end(),
                                 [](const std::string& l) { return l.rfind("dols", 0) == 0; }),
                  log.end());
        EXPECT_EQ(log, Names{t.started});
        EXPECT_TRUE(XtIsSensitive(f.ok));
        EXPECT_TRUE(Managed(f.upOne));
        EXPECT_EQ(v.model->nav.state, kNavPartList);
        Press(f.upOne);
        EXPECT_FALSE(Managed(f.upOne));
        // The keyin field's focus takes the list's selection away and gives
        // the field its focus look; OK then takes the typed name.
        XmListSelectPos(f.list, 1, False);
        ASSERT_FALSE(SelectedPositions(f.list).empty());
        XmAnyCallbackStruct focus{XmCR_FOCUS, nullptr};
        XtCallCallbacks(f.keyin, XmNfocusCallback, &focus);
        EXPECT_TRUE(SelectedPositions(f.list).empty());
        EXPECT_EQ(Background(f.keyin), BasePixels[7]);
        Box().Remove("/sim/scripts.log");
        Keyin(f, "P2");
        Press(f.ok);
        log = Box().ScriptsLog();
        EXPECT_EQ(log, Names{t.started});
        t.cancel(nullptr, nullptr, nullptr);
        EXPECT_EQ(FileScreenWindow, nullptr);
    }
}

} // namespace
