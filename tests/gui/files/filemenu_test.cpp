// The file menu: its eight choices, the password item each asks and the
// entry called only when it is given, OK without a choice, the contour
// editor's gate, Cancel, and the main menu kept greyed while a file screen
// closes back onto the menu.
#include <gtest/gtest.h>

#include "choice_fixture.h"

#include "filecopy.h"
#include "filemenu.h"
#include "filescreen.h"

#include <string>
#include <vector>

namespace {

std::vector<int> Entered;
void RecordEntry(int value) {
    Entered.push_back(value);
}

class FileMenuTest : public ChoiceFixture {
  protected:
    void SetUp() override {
        ChoiceFixture::SetUp();
        Entered.clear();
        SetFileMenuEntryHook(RecordEntry);
        CurrentPart = "P1";
        SetMenuFlags(kIdle);
    }
    void TearDown() override {
        SetFileMenuEntryHook(nullptr);
        ChoiceFixture::TearDown();
    }
    const Sandbox& Box() const { return gui_.box(); }
    FileMenuView V() const { return FileMenuState(); }
    bool Open() const { return V().frame->window && XtIsManaged(V().frame->window); }
    void OpenAndChoose(int value) {
        if (!Open()) ShowFileMenu();
        ASSERT_TRUE(Open());
        PasswordItems.clear();
        Entered.clear();
        if (value) Press(V().buttons[value - 1]);
    }

    static constexpr const char* kIdle = "0111111111";
};

TEST_F(FileMenuTest, ShowsItsEightChoices) {
    ShowFileMenu();
    ASSERT_TRUE(Open());
    EXPECT_EQ(ShownScreen, V().frame->window);
    EXPECT_EQ(ActiveMenuButton, 9);
    EXPECT_EQ(MenuSensitivity(), "0000000000");
    EXPECT_EQ(LabelText(V().frame->row1), "L62");
    EXPECT_EQ(LabelText(V().frame->row2), "L68 \"P1\"");
    // In value order: copy, delete, backup, restore, print, block edit,
    // text edit, contour edit.
    const WidgetBox byValue[] = {
        {94, 108, 66, 66},  {402, 108, 66, 66}, {94, 272, 66, 66},  {402, 272, 66, 66},
        {248, 108, 66, 66}, {94, 190, 66, 66},  {248, 190, 66, 66}, {402, 190, 66, 66},
    };
    for (int i = 0; i < 8; ++i) EXPECT_EQ(Geometry(V().buttons[i]), byValue[i]) << i + 1;
    // A second opening while it is up changes nothing.
    Press(V().buttons[0]);
    ShowFileMenu();
    EXPECT_EQ(V().frame->choice, 1);
}

TEST_F(FileMenuTest, EachChoiceAsksItsItemAndOpensOnlyWhenGiven) {
    const struct {
        int value;
        int item;
    } cases[] = {{1, 41}, {2, 43}, {3, 44}, {4, 45}, {5, 42}, {6, 52}, {7, 51}};
    for (const auto& c : cases) {
        for (int answer : {0, 1}) {
            SCOPED_TRACE(std::to_string(c.value) + " answer " + std::to_string(answer));
            OpenAndChoose(c.value);
            PasswordAnswer = answer;
            Press(V().frame->ok);
            EXPECT_EQ(PasswordItems, std::vector<int>{c.item});
            EXPECT_EQ(Entered, answer ? std::vector<int>{c.value} : std::vector<int>{});
            // The menu stays open with its choice marked.
            EXPECT_TRUE(Open());
            EXPECT_EQ(V().frame->choice, c.value);
            EXPECT_TRUE(XtIsSensitive(V().frame->ok));
            EXPECT_TRUE(XtIsSensitive(V().frame->cancel));
        }
    }
    // Copy refused, then OK again: item 41 is asked again.
    OpenAndChoose(1);
    PasswordAnswer = 0;
    Press(V().frame->ok);
    PasswordAnswer = 1;
    Press(V().frame->ok);
    EXPECT_EQ(PasswordItems, (std::vector<int>{41, 41}));
    EXPECT_EQ(Entered, std::vector<int>{1});
}

TEST_F(FileMenuTest, OkWithoutAChoiceChangesNothing) {
    OpenAndChoose(0);
    SetStatusLine("HINT");
    Press(V().frame->ok);
    EXPECT_EQ(LabelText(StatusLine), "HINT");
    EXPECT_TRUE(PasswordItems.empty());
    EXPECT_TRUE(Entered.empty());
    EXPECT_TRUE(Open());
}

TEST_F(FileMenuTest, TheContourEditorOpensWithoutAPasswordWhenInstalled) {
    OpenAndChoose(kFileMenuContourEdit);
    Press(V().frame->ok);
    EXPECT_TRUE(Entered.empty());
    Box().Write("/u/qel/xeq/xceditor.exe", "");
    Press(V().frame->ok);
    EXPECT_EQ(Entered, std::vector<int>{kFileMenuContourEdit});
    EXPECT_TRUE(PasswordItems.empty());
}

TEST_F(FileMenuTest, CancelGivesBackTheMainMenu) {
    OpenAndChoose(1);
    Press(V().frame->cancel);
    EXPECT_FALSE(Open());
    EXPECT_EQ(ShownScreen, nullptr);
    EXPECT_EQ(ActiveMenuButton, 0);
    EXPECT_EQ(MenuSensitivity(), kIdle);
}

// The copy screen closes back onto the menu: the menu counts as shown
// again, so a reply of the server that changes the main menu's flags does
// not make it live under the menu.
TEST_F(FileMenuTest, TheMainMenuStaysGreyedUntilTheMenusCancel) {
    SetFileMenuEntryHook(nullptr);
    OpenAndChoose(kFileMenuCopy);
    Press(V().frame->ok);
    ASSERT_NE(FileScreenWindow, nullptr);
    EXPECT_EQ(ShownScreen, FileScreenWindow);
    EXPECT_TRUE(XtIsManaged(FileScreenWindow));
    EXPECT_EQ(ActiveMenuButton, 9);
    CopyCancelCB(nullptr, nullptr, nullptr);
    EXPECT_EQ(FileScreenWindow, nullptr);
    EXPECT_EQ(ShownScreen, V().frame->window);
    EXPECT_EQ(ActiveMenuButton, 9);
    EXPECT_TRUE(Open());
    // A held task is ready again: the flags change, the buttons stay
    // insensitive until the menu's Cancel applies them.
    RecordTask(101, "P1", SLOT_HELD, 0x1000, 1, 4, 0x10000);
    CurrentTaskId = 101;
    const std::string before = MenuFlags();
    Reply(17, 101, 20); // the task state: ready
    EXPECT_TRUE(PollOnce());
    EXPECT_NE(MenuFlags(), before);
    EXPECT_EQ(MenuSensitivity(), "0000000000");
    Press(V().frame->cancel);
    EXPECT_EQ(MenuSensitivity(), MenuFlags());
}

} // namespace
