// The demo's texts in the boxes that show them: each line of the questions
// built from the demo's labels fits the message dialog in the demo's normal
// font, in each language of the demo.
#include <gtest/gtest.h>

#include "dialogs.h"
#include "gui.h"
#include "labels.h"
#include "vok.h"

#include <Xm/Label.h>

#include <string>
#include <vector>

namespace {

// What the text of the dialog up needs and what its label offers, in
// pixels: the widest line, and the label's width inside its margins.
int TextWidth = -1;
int RoomWidth = -1;

void MeasureAndAnswer(Widget, XtPointer, XEvent*, Boolean*) {
    if (TextWidth >= 0 || !MessageForm) return;
    Widget label = XtNameToWidget(MessageForm, "msg");
    if (!label) return;
    XmString text = nullptr;
    XmFontList font = nullptr;
    Dimension width = 0, margin = 0, shadow = 0, highlight = 0;
    XtVaGetValues(label, XmNlabelString, &text, XmNfontList, &font, XmNwidth, &width,
                  XmNmarginWidth, &margin, XmNshadowThickness, &shadow, XmNhighlightThickness,
                  &highlight, nullptr);
    TextWidth = XmStringWidth(font, text);
    RoomWidth = width - 2 * (margin + shadow + highlight);
    XmStringFree(text);
    XtCallCallbacks(ResponseOKButton, XmNactivateCallback, nullptr);
}

// The room the message dialog gives a text, and what the text takes.
std::pair<int, int> Measure(const std::string& text) {
    TextWidth = RoomWidth = -1;
    RunInNextEventPass(MeasureAndAnswer);
    MessageDialog(text, 0);
    return {TextWidth, RoomWidth};
}

TEST(DemoTexts, QuestionsFitTheMessageDialog) {
    GuiSession gui;
    ASSERT_TRUE(gui.ok());
    std::string error;
    ASSERT_TRUE(gui.box().LayOutDemo(&error)) << error;
    const struct {
        const char* what;
        std::vector<int> lines; // label numbers, one a line
    } questions[] = {
        {"save the port table", {107}},        {"leave the port table", {108}},
        {"home a homed machine", {67, 1, 66}}, {"after the constants upload", {1}},
        {"read the constants", {345, 172}},    {"edit the old constants", {343, 344, 172}},
        {"print the constants", {341, 172}},
    };
    for (int language : {0, 1}) {
        SCOPED_TRACE("language " + std::to_string(language));
        Language = language;
        InitFonts();
        ASSERT_EQ(InitVok(), 0);
        for (const auto& q : questions) {
            SCOPED_TRACE(q.what);
            for (int n : q.lines) {
                const std::string text = LabText(n);
                ASSERT_FALSE(text.empty()) << n;
                const auto [needs, room] = Measure(text);
                ASSERT_GT(room, 0);
                EXPECT_LE(needs, room) << "label " << n << ": " << text;
            }
        }
    }
}

} // namespace
