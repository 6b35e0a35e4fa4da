// Fonts and title under a private X server: InitFonts sets the top shell's
// title from the title file and falls back to "fixed" for a font (or a font
// set) that cannot be had, leaving font lists that widgets can use; every
// text the program makes finds its font by its tag, under a font set as
// under a font, and widgets keep drawing after their lists were replaced.
#include <gtest/gtest.h>

#include "gui.h"
#include "labels.h"
#include "mainmenu.h"
#include "makers.h"
#include "proc.h"
#include "records_text.h"
#include "sandbox.h"
#include "startup.h"
#include "vok.h"
#include "xmwrap.h"
#include "xvfb.h"

#include <Xm/Label.h>

#include <cstring>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

const char* const kGoodFont = "-adobe-courier-bold-r-normal--18-*-iso8859-1";
const char* const kNoFont = "-nosuch-font-medium-r-normal--14-*-*";

// A font list with entry 4 (normal) and 6/7 (big) as given.
std::string FontList(const std::string& normal, const std::string& big) {
    std::string text = "! test fonts\n";
    for (int i = 0; i < 15; ++i) text += (i == 4 ? normal : i == 6 || i == 7 ? big : "f") + "\n";
    return text;
}

// Builds the toolkit in a child, runs InitFonts with its console captured,
// and hands the output to check; the child's gtest result is its exit status.
void InChild(int language, const std::function<void(const std::string&)>& check) {
    int status = RunInChild(
        [&] {
            static char name[] = "vok";
            static char* argv[] = {name, nullptr};
            InitToolkit(1, argv);
            Language = language;
            testing::internal::CaptureStdout();
            InitFonts();
            check(testing::internal::GetCapturedStdout());
            std::fflush(stdout);
            _exit(testing::Test::HasFailure() ? 1 : 0);
        },
        60000);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

std::string Title() {
    char* title = nullptr;
    XtVaGetValues(TopShell, XmNtitle, &title, nullptr);
    return title ? title : "";
}

// A label drawn with each list: the lists are usable.
void DrawWithBothLists() {
    Widget form = XmCreateLabel(TopShell, XtRes("big"), nullptr, 0);
    XmStringHolder text("Text");
    XtVaSetValues(form, XmNfontList, FontListBig, XmNlabelString, static_cast<XmString>(text),
                  nullptr);
    XtManageChild(form);
    XtRealizeWidget(TopShell);
    XtVaSetValues(form, XmNfontList, FontListNormal, nullptr);
    XSync(TheDisplay, False);
}

TEST(InitFonts, TitleLineAndFallbackToFixed) {
    XvfbServer x;
    ASSERT_TRUE(x.ok());
    Sandbox box;
    box.WriteSysgen({{0, IntItem(0)}}, 100);
    box.Write("/u/qel/database/etitle.data", TitleFileBytes({"! title", "Station #"}));
    box.Write("/u/qel/def_data/misc/efontlist", FontList(kNoFont, kGoodFont));
    InChild(0, [](const std::string& out) {
        EXPECT_EQ(Title(), "Station 5.0310");
        EXPECT_NE(FontListBig, nullptr);
        EXPECT_NE(FontListNormal, nullptr);
        EXPECT_EQ(out,
                  std::string("InitFonts: unable to load font ") + kNoFont + ", using fixed\n");
        DrawWithBothLists();
    });
}

TEST(InitFonts, FontSetThatCannotBeMadeFallsBack) {
    XvfbServer x;
    ASSERT_TRUE(x.ok());
    Sandbox box;
    box.WriteSysgen({{0, IntItem(6)}}, 100);
    box.Write("/u/qel/database/kswitch.data", "x");
    box.Write("/u/qel/database/ktitle.data", TitleFileBytes({"Kanji #"}));
    box.Write("/u/qel/def_data/misc/kfontlist", FontList(kNoFont, kNoFont));
    InChild(6, [](const std::string& out) {
        EXPECT_EQ(Title(), "Kanji 5.0310");
        EXPECT_NE(FontListBig, nullptr);
        EXPECT_NE(FontListNormal, nullptr);
        const std::string line =
            std::string("InitFonts: unable to make a font set of ") + kNoFont + ", using fixed\n";
        EXPECT_NE(out.find(line), std::string::npos) << out;
        EXPECT_NE(out.find(line, out.find(line) + 1), std::string::npos) << out; // both lists
        DrawWithBothLists();
    });
}

TEST(InitFonts, MissingTitleFileShowsThePath) {
    XvfbServer x;
    ASSERT_TRUE(x.ok());
    Sandbox box;
    box.WriteSysgen({{0, IntItem(0)}}, 100);
    InChild(0, [](const std::string& out) {
        EXPECT_EQ(Title(), "/u/qel/database/etitle.data: FILE NOT FOUND");
        EXPECT_NE(out.find("Could not read file /u/qel/def_data/misc/efontlist"),
                  std::string::npos);
        EXPECT_NE(FontListBig, nullptr); // the built-in names load
        EXPECT_EQ(out.find("InitFonts:"), std::string::npos) << out;
    });
}

struct FontEntry {
    std::string tag;
    XmFontType type;
};

std::vector<FontEntry> EntriesOf(XmFontList list) {
    std::vector<FontEntry> out;
    XmFontContext context;
    if (!list || !XmFontListInitFontContext(&context, list)) return out;
    while (XmFontListEntry e = XmFontListNextEntry(context)) {
        XmFontType type = XmFONT_IS_FONT;
        XmFontListEntryGetFont(e, &type);
        char* tag = XmFontListEntryGetTag(e);
        out.push_back({tag ? tag : "", type});
        XtFree(tag);
    }
    XmFontListFreeFontContext(context);
    return out;
}

// The tags of a compound string's segments.
std::vector<std::string> TagsOf(XmString s) {
    std::vector<std::string> out;
    XmStringContext context;
    if (!s || !XmStringInitContext(&context, s)) return out;
    char* text = nullptr;
    XmStringCharSet tag = nullptr;
    XmStringDirection direction;
    Boolean separator;
    while (XmStringGetNextSegment(context, &text, &tag, &direction, &separator)) {
        out.push_back(tag ? tag : "");
        XtFree(text);
        XtFree(tag);
    }
    XmStringFreeContext(context);
    return out;
}

// Each segment of the widget's string resource has an entry of the widget's
// own font list under its tag (not only the fallback to the first entry).
void ExpectTextFindsItsFont(Widget w, const char* stringResource, const char* what) {
    SCOPED_TRACE(what);
    XmFontList list = nullptr;
    XtVaGetValues(w, XmNfontList, &list, nullptr);
    const std::vector<FontEntry> entries = EntriesOf(list);
    ASSERT_FALSE(entries.empty());
    std::vector<XmString> strings;
    if (std::strcmp(stringResource, XmNitems) == 0) {
        XmStringTable items = nullptr;
        int count = 0;
        XtVaGetValues(w, XmNitems, &items, XmNitemCount, &count, nullptr);
        strings.assign(items, items + count);
    } else {
        XmString s = nullptr;
        XtVaGetValues(w, stringResource, &s, nullptr);
        strings.push_back(s);
    }
    ASSERT_FALSE(strings.empty());
    for (XmString s : strings) {
        const std::vector<std::string> tags = TagsOf(s);
        ASSERT_FALSE(tags.empty());
        for (const std::string& tag : tags) {
            bool found = false;
            for (const FontEntry& e : entries) found = found || e.tag == tag;
            EXPECT_TRUE(found) << "segment tag " << tag << ", list tag " << entries[0].tag;
        }
        if (std::strcmp(stringResource, XmNlabelString) == 0) XmStringFree(s);
    }
}

TEST(Fonts, EveryTextFindsItsFontByTagUnderAFontAndAFontSet) {
    GuiSession gui;
    ASSERT_TRUE(gui.ok());
    // Made with the lists of the first InitFonts, which the next ones replace.
    Widget label = MakeLabel(MainForm, 0, 0, 200, "label", "VokWorkWindow");
    Widget list = MakeList(MainForm, 0, 30, 200, 3);
    Widget big = MakeWideLabel(MainForm, 0, 120, XmALIGNMENT_BEGINNING);
    Widget rows = MakeList(MainForm, 300, 30, 200, 3);
    for (const auto& [language, type] :
         {std::pair{6, XmFONT_IS_FONTSET}, std::pair{0, XmFONT_IS_FONT}}) {
        SCOPED_TRACE(language);
        Language = language;
        InitFonts();
        for (XmFontList fonts : {FontListBig, FontListNormal}) {
            const std::vector<FontEntry> entries = EntriesOf(fonts);
            ASSERT_EQ(entries.size(), 1u);
            EXPECT_EQ(entries[0].tag, XmFONTLIST_DEFAULT_TAG);
            EXPECT_EQ(entries[0].type, type);
        }
        SetLabelText("text", label);
        SetLabelTextLeft("left\ntext", big);
        SetStatusLine("hint");
        NameRecord names[2] = {{"NAME1"}, {"NAME2"}};
        ListSetItems(list, 2, names);
        ListSetNames(rows, {"P1", "P2"});
        ExpectTextFindsItsFont(label, XmNlabelString, "label");
        ExpectTextFindsItsFont(big, XmNlabelString, "wide label");
        ExpectTextFindsItsFont(StatusLine, XmNlabelString, "status line");
        ExpectTextFindsItsFont(list, XmNitems, "list");
        ExpectTextFindsItsFont(rows, XmNitems, "list of names");
        Serve(100);
    }
}

} // namespace
