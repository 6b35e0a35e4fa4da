// Fonts and title under a private X server: InitFonts sets the top shell's
// title from the title file and falls back to "fixed" for a font (or a font
// set) that cannot be had, leaving font lists that widgets can use.
#include <gtest/gtest.h>

#include "labels.h"
#include "proc.h"
#include "records_text.h"
#include "sandbox.h"
#include "startup.h"
#include "vok.h"
#include "xmwrap.h"
#include "xvfb.h"

#include <Xm/Label.h>

#include <functional>
#include <sys/wait.h>

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

} // namespace
