// Widget makers under a private X server: the place and size of what each
// maker builds, the toolbars' buttons, callbacks, hints and remembered
// buttons, the list filler, the label setters and the loading notice.
#include <gtest/gtest.h>

#include "gui.h"
#include "labels.h"
#include "makers.h"
#include "vok.h"

#include <X11/Xlib.h>
#include <Xm/BulletinB.h>
#include <Xm/Form.h>
#include <Xm/Label.h>
#include <Xm/List.h>
#include <Xm/PushB.h>
#include <Xm/ScrolledW.h>
#include <Xm/Separator.h>
#include <Xm/TextF.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr int kAny = -1; // a height that the maker does not fix

struct MakerCase {
    const char* what;
    std::function<Widget()> make;
    WidgetBox box;
    bool managed;
};

void ExpectBox(Widget w, const WidgetBox& want) {
    WidgetBox got = Geometry(w);
    if (want.height == kAny) got.height = kAny;
    EXPECT_EQ(got, want);
}

TEST(Makers, EachMakerPlacesItsWidget) {
    GuiSession gui;
    ASSERT_TRUE(gui.ok());
    // Parents stay unmanaged: a managed board would move a child at x 0 to
    // its margin.
    Widget work = MakeWorkWindow(2);
    Widget big = MakeBigWorkWindow();
    const MakerCase cases[] = {
        {"work window", [] { return MakeWorkWindow(0); }, {107, 50, 571, 456}, false},
        {"big work window", [] { return MakeBigWorkWindow(); }, {0, 0, 780, 510}, false},
        {"label gadget", [&] { return MakeLabelGadget(work, 0, 37); }, {0, 37, 565, 30}, true},
        {"wide label",
         [&] { return MakeWideLabel(big, 40, 80, XmALIGNMENT_END); },
         {40, 80, 700, 35},
         true},
        {"label",
         [&] { return MakeLabel(work, 12, 90, 200, "abc", "VokStatus"); },
         {12, 90, 200, 20},
         true},
        {"value label",
         [&] { return MakeValueLabel(work, 300, 90, nullptr); },
         {300, 90, 250, 30},
         true},
        {"separator", [&] { return MakeSeparator(work, 32); }, {0, 32, 565, kAny}, true},
        {"big separator", [&] { return MakeBigSeparator(big, 38); }, {0, 38, 780, kAny}, true},
        {"work toolbar",
         [&] { return MakeWorkToolbar(work, nullptr, nullptr, -1, 2); },
         {3, 365, 559, 80},
         true},
        {"big toolbar",
         [&] { return MakeBigToolbar(big, nullptr, nullptr, -1, 2); },
         {0, 432, 780, 75},
         true},
        {"icon button",
         [&] { return MakeIconButton(work, 115, 5, "VokUpOne", 2); },
         {115, 5, 66, 66},
         true},
        {"loading label",
         [] { return MakeLoadingLabel("wait", MainForm); },
         {120, 248, 545, 60},
         false},
    };
    for (const MakerCase& c : cases) {
        SCOPED_TRACE(c.what);
        Widget w = c.make();
        ASSERT_NE(w, nullptr);
        ExpectBox(w, c.box);
        EXPECT_EQ(XtIsManaged(w) != 0, c.managed);
    }

    // The logo of the big work window, at its top right.
    std::vector<Widget> kids = Children(MakeBigWorkWindow());
    ASSERT_EQ(kids.size(), 1u);
    ExpectBox(kids[0], {555, 0, 215, 44});

    Widget valueLabel = MakeValueLabel(work, 0, 0, nullptr);
    EXPECT_EQ(LabelText(valueLabel), "");
    Widget wide = MakeWideLabel(big, 0, 0, XmALIGNMENT_END);
    EXPECT_EQ(GetUChar(wide, XmNalignment), XmALIGNMENT_END);
}

TEST(Makers, HeadersStackTheirRowsAndLines) {
    GuiSession gui;
    ASSERT_TRUE(gui.ok());
    Widget work = MakeWorkWindow(0);
    Widget row1 = nullptr, row2 = nullptr;
    MakeFrameHeader(work, &row1, &row2);
    ExpectBox(row1, {0, 0, 565, 30});
    ExpectBox(row2, {0, 37, 565, 30});

    Widget big = MakeBigWorkWindow();
    Widget title = nullptr, status = nullptr;
    MakeBigFrameHeader(big, &title, &status);
    ExpectBox(title, {10, 4, 390, 30});
    ExpectBox(status, {0, 44, 780, 30});

    // Rows and lines in the order made, lines at the stated heights.
    std::vector<int> lines;
    for (Widget w : {work, big})
        for (Widget c : Children(w))
            if (XmIsSeparator(c)) lines.push_back(Geometry(c).y);
    EXPECT_EQ(lines, (std::vector<int>{32, 68, 38, 76}));
}

// Which toolbar callback ran, with what client data.
std::vector<std::string> Calls;
void RecordOkCB(Widget, XtPointer client, XtPointer) {
    Calls.push_back("ok:" + std::to_string(reinterpret_cast<intptr_t>(client)));
}
void RecordCancelCB(Widget, XtPointer client, XtPointer) {
    Calls.push_back("cancel:" + std::to_string(reinterpret_cast<intptr_t>(client)));
}

struct ToolbarCase {
    bool big, ok, cancel;
    int help;
    std::vector<int> xs; // the buttons' x, left to right
};

TEST(Makers, ToolbarsMakeOnlyTheButtonsAskedFor) {
    GuiSession gui;
    ASSERT_TRUE(gui.ok());
    const ToolbarCase cases[] = {
        {false, true, true, 0, {5, 76, 494}}, {false, true, false, -1, {494}},
        {false, false, true, -1, {5}},        {false, false, false, 3, {76}},
        {false, false, false, -1, {}},        {true, true, true, 1, {45, 115, 655}},
        {true, false, true, -1, {45}},        {true, false, false, -1, {}},
    };
    for (const ToolbarCase& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.big ? "big" : "work") << " ok " << c.ok << " cancel "
                                        << c.cancel << " help " << c.help);
        Widget& okSlot = c.big ? BigOKButton : WorkOKButton;
        Widget& cancelSlot = c.big ? BigCancelButton : WorkCancelButton;
        Widget otherOk = c.big ? WorkOKButton : BigOKButton;
        const Widget okBefore = okSlot, cancelBefore = cancelSlot;
        Widget parent = c.big ? MakeBigWorkWindow() : MakeWorkWindow(0);
        XtManageChild(parent);
        Widget bar = (c.big ? MakeBigToolbar : MakeWorkToolbar)(
            parent, c.ok ? RecordOkCB : nullptr, c.cancel ? RecordCancelCB : nullptr, c.help, 2);

        std::vector<int> xs;
        for (Widget b : Children(bar)) {
            const WidgetBox box = Geometry(b);
            EXPECT_EQ(box.y, 5);
            EXPECT_EQ(box.width, 66);
            EXPECT_EQ(box.height, 66);
            EXPECT_TRUE(XtIsManaged(b));
            xs.push_back(box.x);
        }
        std::sort(xs.begin(), xs.end());
        EXPECT_EQ(xs, c.xs);

        // The remembered buttons change only for the buttons made, and only
        // those of this kind of toolbar.
        EXPECT_EQ(okSlot != okBefore, c.ok);
        EXPECT_EQ(cancelSlot != cancelBefore, c.cancel);
        EXPECT_EQ(c.big ? WorkOKButton : BigOKButton, otherOk);
        Calls.clear();
        if (c.ok) Press(okSlot);
        if (c.cancel) Press(cancelSlot);
        std::vector<std::string> want;
        if (c.ok) want.push_back("ok:0");
        if (c.cancel) want.push_back("cancel:0");
        EXPECT_EQ(Calls, want);
    }
}

void SendCrossing(Widget w, int type) {
    XEvent ev{};
    ev.xcrossing.type = type;
    ev.xcrossing.display = TheDisplay;
    ev.xcrossing.window = XtWindow(w);
    ev.xcrossing.mode = NotifyNormal;
    ev.xcrossing.detail = NotifyAncestor;
    ev.xcrossing.same_screen = True;
    XSendEvent(TheDisplay, XtWindow(w), False,
               type == EnterNotify ? EnterWindowMask : LeaveWindowMask, &ev);
    XSync(TheDisplay, False);
    Serve(50);
}

TEST(Makers, ToolbarButtonsShowTheirHints) {
    GuiSession gui;
    ASSERT_TRUE(gui.ok());
    Widget work = MakeWorkWindow(0);
    Widget bar = MakeWorkToolbar(work, RecordOkCB, RecordCancelCB, 0, 2);
    XtManageChild(work);
    Serve(100);
    Widget help = nullptr;
    for (Widget b : Children(bar))
        if (Geometry(b).x == 76) help = b;
    ASSERT_NE(help, nullptr);
    const std::pair<Widget, const char*> hints[] = {
        {WorkCancelButton, "HINT CANCEL"}, {WorkOKButton, "HINT OK"}, {help, "HINT HELP"}};
    for (const auto& [button, text] : hints) {
        SCOPED_TRACE(text);
        SendCrossing(button, EnterNotify);
        EXPECT_EQ(LabelText(StatusLine), text);
        SendCrossing(button, LeaveNotify);
        EXPECT_EQ(LabelText(StatusLine), "");
    }
    Press(help); // the viewer is not there yet: nothing happens
}

struct ListCase {
    const char* what;
    std::function<Widget(Widget)> make;
    const char* name;
    unsigned char policy;
    int visible;
    WidgetBox frame; // the scrolled window, or the list itself
    int listWidth;
};

TEST(Makers, ListMakersNameSizeAndSelect) {
    GuiSession gui;
    ASSERT_TRUE(gui.ok());
    Widget big = MakeBigWorkWindow();
    XtManageChild(big);
    const ListCase cases[] = {
        {"plain",
         [](Widget p) { return MakeList(p, 10, 20, 300, 5); },
         "ListWidget",
         XmSINGLE_SELECT,
         5,
         {10, 20, 300, kAny},
         300},
        {"scrolled",
         [](Widget p) { return MakeScrolledList(p, 10, 110, 700, 14); },
         "ListWidget",
         XmSINGLE_SELECT,
         9,
         {10, 110, 350, kAny},
         350},
        {"sized",
         [](Widget p) { return MakeScrolledListSized(p, 30, 40, 300, 200, 8); },
         "ListWidget",
         XmSINGLE_SELECT,
         kAny,
         {30, 40, 300, 200},
         300},
        {"multiple",
         [](Widget p) { return MakeMultiList(p, 5, 60, 400, 6); },
         "MListWidget",
         XmMULTIPLE_SELECT,
         6,
         {5, 60, 400, kAny},
         400},
    };
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.what);
        Widget list = c.make(big);
        EXPECT_STREQ(XtName(list), c.name);
        EXPECT_EQ(GetUChar(list, XmNselectionPolicy), c.policy);
        // The sized list shows what its height holds.
        if (c.visible != kAny) {
            EXPECT_EQ(GetInt(list, XmNvisibleItemCount), c.visible);
        }
        EXPECT_EQ(GetUChar(list, XmNlistSizePolicy), XmCONSTANT);
        Widget frame = XmIsScrolledWindow(XtParent(list)) ? XtParent(list) : list;
        ExpectBox(frame, c.frame);
        EXPECT_EQ(Geometry(list).width, c.listWidth);
        EXPECT_TRUE(XtIsManaged(list));
    }
}

std::vector<NameRecord> Names(int n) {
    std::vector<NameRecord> names(n);
    for (int i = 0; i < n; ++i) std::snprintf(names[i].name, sizeof names[i].name, "N%d", i);
    return names;
}

int Selections = 0;
void CountSelectionCB(Widget, XtPointer, XtPointer) {
    ++Selections;
}

TEST(Makers, ListSetItemsShowsAtMost5000WithTheFirstSelectedAtTheTop) {
    GuiSession gui;
    ASSERT_TRUE(gui.ok());
    Widget big = MakeBigWorkWindow();
    Widget list = MakeScrolledList(big, 10, 110, 700, 14);
    XtAddCallback(list, XmNsingleSelectionCallback, CountSelectionCB, nullptr);
    XtManageChild(big);

    std::vector<NameRecord> many = Names(5001);
    ListSetItems(list, 5001, many.data());
    std::vector<std::string> items = ListItems(list);
    ASSERT_EQ(items.size(), 5000u);
    EXPECT_EQ(items.front(), "N0");
    EXPECT_EQ(items.back(), "N4999");
    EXPECT_EQ(SelectedPositions(list), std::vector<int>{1});
    EXPECT_EQ(GetInt(list, XmNtopItemPosition), 1);
    EXPECT_EQ(Selections, 0);

    // No names: the list keeps what it shows.
    XmListSetPos(list, 300);
    XmListSelectPos(list, 310, False);
    ListSetItems(list, 0, many.data());
    EXPECT_EQ(ListItems(list).size(), 5000u);
    EXPECT_EQ(SelectedPositions(list), std::vector<int>{310});

    // A refill starts at the top again; a row without its terminator shows
    // its 72 bytes and nothing after them.
    std::vector<NameRecord> two(2);
    std::strcpy(two[0].name, "FIRST");
    std::memset(two[1].name, 'x', sizeof two[1].name);
    ListSetItems(list, 2, two.data());
    EXPECT_EQ(ListItems(list), (std::vector<std::string>{"FIRST", std::string(72, 'x')}));
    EXPECT_EQ(SelectedPositions(list), std::vector<int>{1});
    EXPECT_EQ(GetInt(list, XmNtopItemPosition), 1);
    EXPECT_EQ(Selections, 0);
    ListFreeItems(5001); // what a screen does after its listing: harmless
    EXPECT_EQ(ListItems(list).size(), 2u);
}

TEST(Makers, SettersAcceptNullAndSetTheText) {
    GuiSession gui;
    ASSERT_TRUE(gui.ok());
    SetLabelText("x", nullptr);
    SetLabelTextLeft("x", nullptr);
    SetSensitive(nullptr, false);
    IndicatorOn(nullptr);
    IndicatorOff(nullptr);
    EXPECT_EQ(SetChoiceButton(nullptr, 1), 0);

    Widget work = MakeWorkWindow(0);
    Widget label = MakeLabel(work, 0, 0, 100, static_cast<const char*>(nullptr), nullptr);
    EXPECT_EQ(LabelText(label), "");
    Widget row = MakeLabelGadget(work, 0, 0);
    SetLabelText("two\nlines", row);
    EXPECT_EQ(LabelText(row), "two\nlines");
    EXPECT_EQ(GetUChar(row, XmNalignment), XmALIGNMENT_CENTER);
    SetLabelTextLeft("left", row);
    EXPECT_EQ(LabelText(row), "left");
    EXPECT_EQ(GetUChar(row, XmNalignment), XmALIGNMENT_BEGINNING);
    SetLabelText(static_cast<const char*>(nullptr), row);
    EXPECT_EQ(LabelText(row), "");

    Widget button = MakeIconButton(work, 0, 100, "VokExecute", 2);
    SetSensitive(button, false);
    EXPECT_FALSE(XtIsSensitive(button));
    SetSensitive(button, true);
    EXPECT_TRUE(XtIsSensitive(button));
    SetChoiceButton(button, 1);
    EXPECT_EQ(Geometry(button), (WidgetBox{0, 100, 78, 78}));
    SetChoiceButton(button, 0);
    EXPECT_EQ(Geometry(button), (WidgetBox{0, 100, 66, 66}));
}

TEST(Makers, LoadingNoticeShowsOnceAndHidesOnlyWhenShown) {
    GuiSession gui;
    ASSERT_TRUE(gui.ok());
    ShowLoadMessage(); // before start-up made it: nothing
    EXPECT_EQ(LoadMessageShown, 0);
    MakeLoadMessage();
    ASSERT_NE(LoadingLabel, nullptr);
    EXPECT_STREQ(XtName(LoadingLabel), "lbl");
    EXPECT_EQ(XtParent(LoadingLabel), MainForm);
    EXPECT_EQ(LabelText(LoadingLabel), "LOADING");
    EXPECT_FALSE(XtIsManaged(LoadingLabel));

    HideLoadMessage();
    EXPECT_EQ(LoadMessageShown, 0);
    EXPECT_FALSE(XtIsManaged(LoadingLabel));
    ShowLoadMessage();
    ShowLoadMessage();
    EXPECT_EQ(LoadMessageShown, 1);
    EXPECT_TRUE(XtIsManaged(LoadingLabel));
    HideLoadMessage();
    EXPECT_EQ(LoadMessageShown, 0);
    EXPECT_FALSE(XtIsManaged(LoadingLabel));
}

TEST(Harness, ScreenshotSavesThePngWithTheBlinkOff) {
    GuiSession gui;
    ASSERT_TRUE(gui.ok());
    Widget big = MakeBigWorkWindow(); // holds a gadget, the logo
    Widget field = XmCreateTextField(big, const_cast<char*>("field"), nullptr, 0);
    XtManageChild(field);
    XtManageChild(big);
    Serve(100);
    const std::string png = gui.box().Path("/shot.png");
    ASSERT_TRUE(SaveScreenshot(png));
    EXPECT_EQ(GetInt(field, XmNblinkRate), 0);
    EXPECT_EQ(gui.box().Read("/shot.png").substr(1, 3), "PNG");
}

} // namespace
