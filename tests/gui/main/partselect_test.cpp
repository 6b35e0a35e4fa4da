// The part selection: the part folders (or the listed parts) sorted and
// paged, the current part selected on opening, the scroll buttons, OK on a
// list entry or a typed name (partname, subfolders through the part-root
// translation, the main menu), the names refused, the part-list mode, and
// CreatePart. The messages are recorded, the listing script is the sandbox's.
#include <gtest/gtest.h>

#include "choice_fixture.h"

#include "filescreen.h"
#include "labels.h"
#include "msgsys.h"
#include "partnames.h"
#include "partselect.h"

#include <Xm/List.h>
#include <Xm/TextF.h>

#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;
const char* const kPartname = "/u/qel/sys_data/files/partname";

class PartSelectTest : public ChoiceFixture {
  protected:
    void SetUp() override {
        ChoiceFixture::SetUp();
        PartNamesResetForTest();
        // On and homed: closing reads partname back, as on a station.
        ServoOn = MachineHomed = 1;
        CurrentPart.clear();
        PartValid = 0;
        Box().Write("/u/qel/database/evalidchars",
                    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_-\n");
        Box().Write("/u/qel/database/dirfile", "program\nstat\n");
        SetMenuFlags(kIdle);
    }
    const Sandbox& Box() const { return gui_.box(); }
    void Parts(const Names& names, const std::string& root = "/u/qel/part/") const {
        for (const std::string& n : names) Box().Write(root + n + "/.keep", "");
    }
    // The part that partname names, as start-up takes it.
    void Current(const std::string& name) const {
        Box().Write(kPartname, name);
        CurrentPart = name;
        PartValid = 1;
    }
    PartSelectView V() const { return PartSelectState(); }
    bool Open() const { return V().frame->window && XtIsManaged(V().frame->window); }
    int Top() const { return GetInt(V().list, XmNtopItemPosition); }
    void Choose(int position) const { XmListSelectPos(V().list, position, True); }
    void Type(const std::string& text) const {
        XmTextFieldSetString(V().nameField, const_cast<char*>(text.c_str()));
        CallAction(V().nameField, "activate");
    }
    bool PartLit() { return Background(MainMenuIndicators[2]) != DarkLight(); }

    static constexpr const char* kIdle = "0111111111";
};

TEST_F(PartSelectTest, SortedPagedAndOpenOnTheCurrentPart) {
    Names names = {"abc", "ABD", "zz_last"};
    for (int i = 0; i < 28; ++i) names.push_back("P" + std::to_string(10 + i));
    Parts(names);
    Current("zz_last");

    ShowPartSelect();
    ASSERT_TRUE(Open());
    EXPECT_EQ(ShownScreen, V().frame->window);
    EXPECT_EQ(MenuSensitivity(), "0000000000");
    EXPECT_EQ(MenuFlags(), kIdle);
    EXPECT_EQ(LabelText(V().frame->row1), "L7");
    EXPECT_EQ(LabelText(V().frame->row2), "L8");
    const Names items = ListItems(V().list);
    ASSERT_EQ(items.size(), 31u);
    EXPECT_EQ(items[0], "abc");
    EXPECT_EQ(items[1], "ABD");
    EXPECT_EQ(items[2], "P10");
    EXPECT_EQ(items[30], "zz_last");
    // The current part at index 30: page 3, whose first entry is 23.
    EXPECT_EQ(SelectedPositions(V().list), std::vector<int>{31});
    EXPECT_EQ(Top(), 23);
    EXPECT_EQ(V().paging->page, 3);
    EXPECT_EQ(TextOf(V().nameField), "");
    EXPECT_EQ(XmGetFocusWidget(V().frame->window), V().nameField);

    EXPECT_EQ(Geometry(V().list).x, 75);
    EXPECT_EQ(Geometry(V().list).y, 85);
    EXPECT_EQ(Geometry(V().nameField).x, 192);
    EXPECT_EQ(Geometry(V().nameField).y, 335);
    EXPECT_EQ(GetInt(V().nameField, XmNmaxLength), 14);
    const int xs[4] = {216, 292, 140, 368}; // up, down, page up, page down
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(XtParent(V().scroll[i]), V().frame->toolbar);
        EXPECT_EQ(Geometry(V().scroll[i]), (WidgetBox{xs[i], 5, 66, 66}));
    }

    // Pressing the button again while it is shown changes nothing.
    Press(V().scroll[kScrollDown]);
    ShowPartSelect();
    EXPECT_EQ(SelectedPositions(V().list), std::vector<int>{1});
    EXPECT_EQ(Top(), 1);
}

TEST_F(PartSelectTest, ScrollButtonsWrapAndTurnThePages) {
    Names names;
    for (int i = 0; i < 12; ++i) names.push_back("P" + std::to_string(10 + i));
    Parts(names);
    Current("P20"); // the 11th

    ShowPartSelect();
    ASSERT_TRUE(Open());
    EXPECT_EQ(SelectedPositions(V().list), std::vector<int>{11});
    EXPECT_EQ(Top(), 1);
    const struct {
        int which, position, top;
    } steps[] = {
        {kScrollDown, 12, 12},   {kScrollDown, 1, 1},     {kScrollPageDown, 12, 12},
        {kScrollPageDown, 1, 1}, {kScrollPageUp, 12, 12}, {kScrollUp, 11, 1},
    };
    for (const auto& s : steps) {
        Press(V().scroll[s.which]);
        EXPECT_EQ(SelectedPositions(V().list), std::vector<int>{s.position});
        EXPECT_EQ(Top(), s.top);
    }
    // A click on an entry chooses it.
    Choose(3);
    EXPECT_EQ(V().paging->position, 3);
    Press(V().frame->ok);
    EXPECT_EQ(Box().Read(kPartname), "P12");
}

TEST_F(PartSelectTest, OkMakesTheEntryCurrentUnderTheTranslatedPartRoot) {
    const std::string parts = Box().root() + "/parts";
    ScopedEnv p("QELPART", parts.c_str());
    Parts({"P1", "P2", "P3"}, "/parts/");
    Box().Write("/parts/P2/program/llf", "MOVE\n");
    // No current part yet: the execute button is off, the part light dark.
    IndicatorOff(MainMenuIndicators[2]);
    SetMenuFlags("0110111111");

    ShowPartSelect();
    ASSERT_TRUE(Open());
    EXPECT_EQ(ListItems(V().list), (Names{"P1", "P2", "P3"}));
    Choose(2);
    Press(V().frame->ok);

    EXPECT_FALSE(Open());
    EXPECT_EQ(ShownScreen, nullptr);
    EXPECT_TRUE(Messages.empty());
    EXPECT_EQ(Box().Read(kPartname), "P2"); // exactly: no line end
    EXPECT_EQ(CurrentPart, "P2");
    EXPECT_EQ(PartValid, 1);
    for (const char* sub :
         {"buffer", "cad", "contour", "feature", "formraw", "info", "plot", "program", "stat"})
        EXPECT_TRUE(Box().Exists(std::string("/parts/P2/") + sub)) << sub;
    EXPECT_EQ(Box().Read("/parts/P2/program/llf"), "MOVE\n");
    EXPECT_FALSE(Box().Exists("/u/qel/part/P2"));
    // The execute button and the part light follow.
    EXPECT_EQ(MenuFlags(), "0111111111");
    EXPECT_EQ(MenuSensitivity(), "0111111111");
    EXPECT_TRUE(PartLit());
    EXPECT_TRUE(V().names->empty());
}

TEST_F(PartSelectTest, RefusedEntriesCloseTheScreenAndChangeNothing) {
    const std::string longName = "TURBINE_HOUSING_LEFT_REV_C"; // 26 characters
    Parts({"P1", "GEAR COVER", "P-15-CHARACTERS", longName});
    Box().Write("/u/qel/part/notes", "x");
    const struct {
        const char* entry;
        std::string message;
    } cases[] = {
        {"GEAR COVER", "\"GEAR COVER\"\n\nL200"},
        {"P-15-CHARACTERS", "\"P-15-CHARACTERS\"\n\nL204"},
        {longName.c_str(), "\"" + longName + "\"\n\nL204"},
        {"notes", "\"notes\" L155"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        Current("P1");
        Messages.clear();
        ShowPartSelect();
        ASSERT_TRUE(Open());
        const Names items = ListItems(V().list);
        const auto at = std::find(items.begin(), items.end(), c.entry);
        ASSERT_NE(at, items.end());
        Choose(static_cast<int>(at - items.begin()) + 1);
        Press(V().frame->ok);
        EXPECT_FALSE(Open());
        EXPECT_EQ(Messages, Names{c.message});
        EXPECT_EQ(Box().Read(kPartname), "P1");
        EXPECT_EQ(CurrentPart, "P1");
        EXPECT_FALSE(Box().Exists(std::string("/u/qel/part/") + c.entry + "/stat"));
        EXPECT_EQ(MenuSensitivity(), "0111111111");
    }
}

TEST_F(PartSelectTest, TypedNames) {
    Parts({"P1", "P2"});
    Current("P1");
    ShowPartSelect();
    ASSERT_TRUE(Open());
    // Not a part folder: the screen stays.
    Type("P9");
    EXPECT_TRUE(Open());
    EXPECT_EQ(Messages, Names{"\"P9\" L155"});
    Type("");
    EXPECT_EQ(Messages.size(), 1u);
    // Any part folder may be typed.
    Type("P2");
    EXPECT_FALSE(Open());
    EXPECT_EQ(Box().Read(kPartname), "P2");
    EXPECT_EQ(CurrentPart, "P2");
    EXPECT_TRUE(Box().Exists("/u/qel/part/P2/formraw"));

    // The next opening starts with an empty field.
    ShowPartSelect();
    EXPECT_EQ(TextOf(V().nameField), "");
    Press(V().frame->cancel);
    EXPECT_FALSE(Open());
    EXPECT_EQ(Box().Read(kPartname), "P2");
    EXPECT_EQ(MenuSensitivity(), "0111111111");
}

TEST_F(PartSelectTest, PartListMode) {
    Box().WriteSysgen({{55, StrItem("partlist")}}, 100);
    Parts({"P1", "P2", "P3"});
    Box().Write("/u/qel/usr_data/misc/partlist", "P2\nP9\n  \nP1\r\n");
    Current("P1");
    ShowPartSelect();
    ASSERT_TRUE(Open());
    EXPECT_TRUE(V().useListFile);
    EXPECT_EQ(ListItems(V().list), (Names{"P1", "P2"}));
    Type("P3"); // a folder that is not listed
    EXPECT_TRUE(Open());
    Type("P9"); // listed, but no folder
    EXPECT_TRUE(Open());
    EXPECT_EQ(Messages, (Names{"\"P3\" L306", "\"P9\" L155"}));
    Type("P2");
    EXPECT_FALSE(Open());
    EXPECT_EQ(Box().Read(kPartname), "P2");

    // A list that names no part folder: no screen, no message.
    Messages.clear();
    Box().Write("/u/qel/usr_data/misc/partlist", "P9\n");
    ShowPartSelect();
    EXPECT_FALSE(Open());
    EXPECT_TRUE(Messages.empty());
    EXPECT_EQ(MenuSensitivity(), "0111111111");

    // The configured list file missing: the part folders.
    Box().Remove("/u/qel/usr_data/misc/partlist");
    ShowPartSelect();
    ASSERT_TRUE(Open());
    EXPECT_FALSE(V().useListFile);
    EXPECT_EQ(ListItems(V().list), (Names{"P1", "P2", "P3"}));
}

TEST_F(PartSelectTest, NoPartsSaysWhyAndGivesTheMenuBack) {
    ShowPartSelect();
    EXPECT_FALSE(Open());
    EXPECT_EQ(Messages, Names{"L201\nL100"});
    EXPECT_EQ(MenuSensitivity(), kIdle);
    EXPECT_EQ(ShownScreen, nullptr);

    // A listing script that fails: no earlier listing is shown.
    Parts({"P1"});
    Box().Write("/u/tmp/lst.out", "P1\n");
    Box().Write("/u/qel/shell/dols", "#!/bin/sh\nexit 1\n");
    Messages.clear();
    ShowPartSelect();
    EXPECT_FALSE(Open());
    EXPECT_EQ(Messages, Names{"L126\nL100"});
    EXPECT_EQ(MenuSensitivity(), kIdle);
}

// ---- CreatePart ----

struct CreateCase {
    const char* name;
    std::string part;
    bool dirfile;
    int servoOn, homed, taskState; // SLOT_FREE: no task
    std::string message;           // "" none
    bool made;
    const char* flags; // afterwards, from kIdle
};

TEST_F(PartSelectTest, CreatePart) {
    const CreateCase cases[] = {
        {"made", "NEW1", true, 1, 1, SLOT_FREE, "", true, "0111111111"},
        {"not homed", "NEW2", true, 1, 0, SLOT_FREE, "", true, kIdle},
        {"servo off", "NEW3", true, 0, 1, SLOT_FREE, "", true, kIdle},
        {"a task runs", "NEW4", true, 1, 1, SLOT_RUNNING, "", true, kIdle},
        {"a task is held", "NEW5", true, 1, 1, SLOT_HELD, "", true, kIdle},
        {"exists", "P1", true, 1, 1, SLOT_FREE, "\"P1\"\n\nL71", false, kIdle},
        {"no dirfile", "NEW6", false, 1, 1, SLOT_FREE, "L130", false, kIdle},
        {"slash", "a/b", true, 1, 1, SLOT_FREE, "\"a/b\"\n\nL70", false, kIdle},
        {"too long", "ABCDEFGHIJKLMNO", true, 1, 1, SLOT_FREE, "\"ABCDEFGHIJKLMNO\"\n\nL204", false,
         kIdle},
    };
    Parts({"P1"});
    for (const CreateCase& c : cases) {
        SCOPED_TRACE(c.name);
        Current("P1");
        IndicatorOff(MainMenuIndicators[2]);
        SetMenuFlags(kIdle);
        Messages.clear();
        MsgsysResetForTest();
        MsgQueueId = queue_;
        if (c.taskState != SLOT_FREE) RecordTask(101, "P1", c.taskState, 0x1000, 1, 4, 0x10000);
        ServoOn = c.servoOn;
        MachineHomed = c.homed;
        if (c.dirfile)
            Box().Write("/u/qel/database/dirfile", "program\nstat\n");
        else
            Box().Remove("/u/qel/database/dirfile");

        EXPECT_EQ(CreatePart(c.part), c.made ? 1 : 0);
        EXPECT_EQ(Messages, c.message.empty() ? Names{} : Names{c.message});
        EXPECT_EQ(MenuFlags(), c.flags);
        EXPECT_EQ(CurrentPart, c.made ? c.part : "P1");
        EXPECT_EQ(Box().Read(kPartname), c.made ? c.part : "P1");
        EXPECT_EQ(PartLit(), c.made);
        if (c.made) {
            EXPECT_TRUE(Box().Exists("/u/qel/part/" + c.part + "/program"));
            EXPECT_TRUE(Box().Exists("/u/qel/part/" + c.part + "/stat"));
            EXPECT_FALSE(Box().Exists("/u/qel/part/" + c.part + "/cad"));
        } else if (c.part != "P1") {
            EXPECT_FALSE(Box().Exists("/u/qel/part/" + c.part));
        }
    }
}

TEST_F(PartSelectTest, CreatePartStopsAtASubfolderThatCannotBeMade) {
    Box().Write("/u/qel/database/dirfile", "program\nno/such/deep\nstat\n");
    Current("P1");
    EXPECT_EQ(CreatePart("NEW"), 0);
    EXPECT_EQ(Messages, Names{"\"/u/qel/part/NEW/no/such/deep\"\n\nL69"});
    EXPECT_EQ(CurrentPart, "P1");
    EXPECT_EQ(Box().Read(kPartname), "P1");
    EXPECT_TRUE(Box().Exists("/u/qel/part/NEW/program"));
}

} // namespace
