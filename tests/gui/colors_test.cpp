// Colours and icons under a private X server: the scheme's pixels read back
// from widgets, scroll-bar styles, shadows of the shadowed classes, the
// registries and their limits, icons with overrides, '-', insensitive modes,
// the fallback icon and the cache, a change of scheme with destroyed and
// unregistered widgets, the plot colours and the kanji columns.
#include <gtest/gtest.h>

#include "colors.h"
#include "gui.h"
#include "labels.h"
#include "records_text.h"
#include "sysgen.h"
#include "test_hooks.h"
#include "vok.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <Xm/ArrowB.h>
#include <Xm/Form.h>
#include <Xm/Frame.h>
#include <Xm/Label.h>
#include <Xm/LabelG.h>
#include <Xm/List.h>
#include <Xm/PushB.h>
#include <Xm/ScrollBar.h>
#include <Xm/Text.h>
#include <Xm/TextF.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

const char* const kPlotColors = "! plot colours of the tests\n"
                                "1 BLACK black *\n"
                                "2 WHITE white *\n"
                                "3 GRAY gray *\n"
                                "4 GREEN green *\n"
                                "5 RED red *\n"
                                "6 YELLOW yellow *\n"
                                "7 CYAN cyan *\n"
                                "8 BLUE blue *\n"
                                "9 ODD nosuchcolour red\n"
                                "10 BAD nosuchcolour *\n";

const char* const kMisc = "/u/qel/def_data/misc/";
const char* const kIcons = "/u/qel/def_data/icon/";

// An XBM of that size whose top half is set (foreground) and bottom half
// clear (background). The data starts on the line after the brace.
std::string Xbm(int width, int height) {
    std::string s = "#define i_width " + std::to_string(width) + "\n#define i_height " +
                    std::to_string(height) + "\nstatic unsigned char i_bits[] = {\n";
    const int perRow = (width + 7) / 8;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < perRow; ++x)
            s += std::string(y < height / 2 ? "0xff" : "0x00") +
                 (y == height - 1 && x == perRow - 1 ? "};\n" : ", ");
    return s;
}

int gXErrors = 0;
int CountXError(Display*, XErrorEvent*) {
    ++gXErrors;
    return 0;
}

bool Loaded(Pixmap p) {
    return p != 0 && p != XmUNSPECIFIED_PIXMAP;
}

std::pair<unsigned, unsigned> PixmapSize(Pixmap p) {
    if (!Loaded(p)) return {0, 0};
    Window root;
    int x, y;
    unsigned w = 0, h = 0, border, depth;
    XGetGeometry(TheDisplay, p, &root, &x, &y, &w, &h, &border, &depth);
    return {w, h};
}

// The pixels of a fixture icon's set and clear halves.
std::pair<Pixel, Pixel> PixmapColors(Pixmap p) {
    const auto size = PixmapSize(p);
    auto at = [&](int y) {
        XImage* img = XGetImage(TheDisplay, p, 0, y, 1, 1, AllPlanes, ZPixmap);
        const Pixel v = XGetPixel(img, 0, 0);
        XDestroyImage(img);
        return v;
    };
    return {at(0), at(static_cast<int>(size.second) - 1)};
}

Pixel Res(Widget w, const char* resource) {
    Pixel v = 0;
    XtVaGetValues(w, resource, &v, nullptr);
    return v;
}

Pixmap PixmapRes(Widget w, const char* resource) {
    Pixmap v = 0;
    XtVaGetValues(w, resource, &v, nullptr);
    return v;
}

Widget Button(const char* name = "b") {
    return XmCreatePushButton(MainForm, const_cast<char*>(name), nullptr, 0);
}

class ColorsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(gui.ok());
        Write(std::string(kMisc) + "eplotcolors", kPlotColors);
        Icon("OK.VOK", 16, 16);
        Icon("OK2.VOK", 20, 20);
        Icon("CANCEL.VOK", 18, 18);
        Icon("HELP.ICN", 24, 24);
    }
    void Write(const std::string& logical, const std::string& text) {
        gui.box().Write(logical, text);
    }
    void Icon(const std::string& name, int w, int h) { Write(kIcons + name, Xbm(w, h)); }
    void Scheme(const std::string& name, const std::string& text) { Write(kMisc + name, text); }
    // Start-up of the colour module on the files written so far.
    void Start(const std::string& colorFile = "colors.TEST") {
        SysgenResetForTest();
        SwitchDbResetForTest();
        ResourcePaletteCreate(colorFile);
    }
    Pixel Named(const char* name) {
        XColor near, exact;
        Colormap cmap = DefaultColormapOfScreen(XtScreen(TopShell));
        EXPECT_TRUE(XAllocNamedColor(TheDisplay, cmap, name, &near, &exact)) << name;
        return near.pixel;
    }
    GuiSession gui;
};

TEST_F(ColorsTest, SchemeColoursReachTheWidgets) {
    Scheme("colors.TEST", "! scheme of the tests\n"
                          "b panel WHITE BLUE 2\n"
                          "b second -panel panel\n"
                          "c VokStatus panel\n"
                          "c VokButtonON ? ? ?\n"
                          "c VokLoading second\n"
                          "c SBLLF second\n"
                          "o BLACK RED\n"
                          "o DIMGRAY YELLOW\n"
                          "exit\n"
                          "c VokAfterExit RED RED\n");
    Start();
    const Pixel white = Named("white"), gray = Named("gray"), red = Named("red"),
                green = Named("green"), yellow = Named("yellow"), cyan = Named("cyan"),
                blue = Named("blue");
    const std::vector<Pixel> base = {white, gray,   red,  red, green, green,
                                     red,   yellow, cyan, red, blue};
    for (int i = 0; i < 11; ++i) EXPECT_EQ(BasePixels[i], base[i]) << "index " << i;

    struct Case {
        const char* style;
        int fg, bg;
        Pixel wantFg, wantBg;
    };
    const Case cases[] = {
        {"VokStatus", 3, 7, white, blue},     // the override beats the caller
        {"VokButtonON", 0, 4, white, green},  // '?' keeps the caller's indexes
        {"VokLoading", 7, 3, blue, blue},     // "-panel panel"
        {"NotInTheFile", 6, 7, red, yellow},  // the caller's indexes
        {"VokAfterExit", 0, 10, white, blue}, // after "exit"
        {"Plain", 2, 9, red, red},            // "o BLACK RED"
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        Widget w = Button();
        EXPECT_EQ(SetWidgetColors(w, c.style, 0, c.fg, c.bg), 0);
        EXPECT_EQ(Res(w, XmNforeground), c.wantFg);
        EXPECT_EQ(Res(w, XmNbackground), c.wantBg);
        EXPECT_FALSE(GetUChar(w, XmNfillOnArm));
    }

    // Scroll-bar styles colour the background and the trough.
    Widget bar = XmCreateScrollBar(MainForm, const_cast<char*>("sb"), nullptr, 0);
    SetWidgetColors(bar, "SBVokRecallList", 0, 0, 10);
    EXPECT_EQ(Res(bar, XmNbackground), white);
    EXPECT_EQ(Res(bar, XmNtroughColor), blue);
    SetWidgetColors(bar, "SBLLF", 0, 0, 4);
    EXPECT_EQ(Res(bar, XmNbackground), blue);
    EXPECT_EQ(Res(bar, XmNtroughColor), blue);

    EXPECT_EQ(SetWidgetColors(nullptr, "VokStatus", 2, 0, 1), 0);
    EXPECT_EQ(ColorRegistryCount(), 0);
}

TEST_F(ColorsTest, ShadowsGoOnlyToShadowedClasses) {
    Scheme("colors.TEST", "b framed BLACK WHITE 4\nc Shadowed ? ? framed\nc NoShadow RED\n");
    Start();
    const Pixel black = Named("black"), white = Named("white");
    auto create = [](WidgetClass cls) { return XtCreateWidget("w", cls, MainForm, nullptr, 0); };
    struct Case {
        const char* what;
        std::function<Widget()> make;
        bool shadowed;
    };
    const Case cases[] = {
        {"push button", [&] { return create(xmPushButtonWidgetClass); }, true},
        {"arrow button", [&] { return create(xmArrowButtonWidgetClass); }, true},
        {"frame", [&] { return create(xmFrameWidgetClass); }, true},
        {"list", [&] { return create(xmListWidgetClass); }, true},
        {"scroll bar", [&] { return create(xmScrollBarWidgetClass); }, true},
        {"text", [&] { return create(xmTextWidgetClass); }, true},
        {"text field", [&] { return create(xmTextFieldWidgetClass); }, true},
        {"label", [&] { return create(xmLabelWidgetClass); }, false},
        {"form", [&] { return create(xmFormWidgetClass); }, false},
        {"label gadget", [&] { return create(xmLabelGadgetClass); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Widget w = c.make();
        EXPECT_EQ(IsShadowedWidget(w), c.shadowed ? 1 : 0);
        Dimension before = 0, thick = 0;
        XtVaGetValues(w, XmNshadowThickness, &before, nullptr);
        const Pixel top = Res(w, XmNtopShadowColor), bottom = Res(w, XmNbottomShadowColor);
        SetWidgetColors(w, "Shadowed", 0, 0, 1);
        XtVaGetValues(w, XmNshadowThickness, &thick, nullptr);
        EXPECT_EQ(thick, c.shadowed ? 4 : before);
        EXPECT_EQ(Res(w, XmNtopShadowColor), c.shadowed ? black : top);
        EXPECT_EQ(Res(w, XmNbottomShadowColor), c.shadowed ? white : bottom);
    }
    // An override without a shadow field changes no shadow.
    Widget b = Button();
    Dimension thick = 0, after = 0;
    XtVaGetValues(b, XmNshadowThickness, &thick, nullptr);
    SetWidgetColors(b, "NoShadow", 0, 0, 1);
    XtVaGetValues(b, XmNshadowThickness, &after, nullptr);
    EXPECT_EQ(after, thick);
    EXPECT_EQ(IsShadowedWidget(nullptr), 0);
}

TEST_F(ColorsTest, RegisteredWidgetsTakeTheNextScheme) {
    Scheme("colors.TEST", "c Reg RED\nc Other RED\n");
    Scheme("colors.NEXT", "c Reg BLUE\nc Other YELLOW\n");
    Start();
    // The first widget is registered many times over: it keeps one row.
    std::vector<Widget> widgets;
    for (int i = 0; i <= 1600; ++i) widgets.push_back(Button());
    for (int i = 0; i < 50; ++i) SetWidgetColors(widgets[0], "Reg", 2, 0, 1);
    for (Widget w : widgets) SetWidgetColors(w, "Reg", 2, 0, 1);
    EXPECT_EQ(ColorRegistryCount(), 1600);
    Widget restyled = widgets[1];
    SetWidgetColors(restyled, "Other", 3, 0, 1);
    Widget unregistered = Button(), lateMode3 = Button();
    SetWidgetColors(unregistered, "Reg", 0, 0, 1);
    SetWidgetColors(lateMode3, "Reg", 3, 0, 1); // full: passed over

    UpdateQELColors("colors.NEXT");
    const Pixel red = Named("red"), blue = Named("blue"), yellow = Named("yellow");
    EXPECT_EQ(Res(widgets[0], XmNforeground), blue);
    EXPECT_EQ(Res(widgets[1600 - 1], XmNforeground), blue);
    EXPECT_EQ(Res(widgets[1600], XmNforeground), red); // the 1601st
    EXPECT_EQ(Res(restyled, XmNforeground), yellow);
    EXPECT_EQ(Res(unregistered, XmNforeground), red);
    EXPECT_EQ(Res(lateMode3, XmNforeground), red);
    EXPECT_EQ(ColorRegistryCount(), 1600);
}

TEST_F(ColorsTest, IconsFollowTheSchemeAndTheInstallTree) {
    Scheme("colors.TEST", "c BigOK ? OK2.VOK\nb rb RED BLUE\nc Colored rb\n");
    Write("/u/qel/usr_data/icon/CANCEL.VOK", Xbm(30, 30));
    Icon("FOLDER.VOK", 22, 22);
    Write("/u/qel/usr_data/icon/FOLDER.VOK/x", ""); // a folder is no icon file
    Start();
    struct Case {
        const char* style;
        const char* file;
        std::pair<unsigned, unsigned> size;
    };
    const Case cases[] = {
        {"BigOK", "OK.VOK", {20, 20}},         // the override's icon
        {"-BigOK", "OK.VOK", {20, 20}},        // looked up without the '-'
        {"BigEscape", "CANCEL.VOK", {30, 30}}, // user data before default data
        {"Anything", "OK.VOK", {16, 16}},
        {"Anything", "FOLDER.VOK", {22, 22}}, // the default data's file
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        Widget b = Button();
        const Pixmap p = SetWidgetIcon(b, c.style, c.file, 0, 0, 4);
        EXPECT_EQ(PixmapSize(p), c.size);
        EXPECT_EQ(PixmapRes(b, XmNlabelPixmap), p);
        EXPECT_EQ(GetUChar(b, XmNlabelType), XmPIXMAP);
    }

    const Pixel white = Named("white"), green = Named("green"), red = Named("red"),
                blue = Named("blue");
    struct Look {
        const char* style;
        Pixel fg, bg;
    };
    const Look looks[] = {{"Plain", white, green},
                          {"-Plain", green, white},
                          {"Colored", red, blue},
                          {"-Colored", blue, red}};
    for (const Look& l : looks) {
        SCOPED_TRACE(l.style);
        Widget b = Button();
        const Pixmap p = SetWidgetIcon(b, l.style, "OK.VOK", 0, 0, 4);
        EXPECT_EQ(Res(b, XmNforeground), l.fg);
        EXPECT_EQ(Res(b, XmNbackground), l.bg);
        EXPECT_EQ(PixmapColors(p), std::make_pair(l.fg, l.bg));
    }
}

TEST_F(ColorsTest, InsensitiveModesSetOnlyTheInsensitivePixmap) {
    Scheme("colors.TEST", "b rb RED BLUE\nc Colored rb\n");
    Start();
    for (int mode : {4, 5}) {
        SCOPED_TRACE(mode);
        Widget b = Button();
        const Pixel fg = Res(b, XmNforeground), bg = Res(b, XmNbackground);
        const Pixmap p = SetWidgetIcon(b, "Colored", "OK.VOK", mode, 0, 4);
        EXPECT_EQ(PixmapSize(p), std::make_pair(16u, 16u));
        EXPECT_EQ(PixmapRes(b, XmNlabelInsensitivePixmap), p);
        EXPECT_EQ(PixmapRes(b, XmNlabelPixmap), XmUNSPECIFIED_PIXMAP);
        EXPECT_EQ(GetUChar(b, XmNlabelType), XmSTRING);
        EXPECT_EQ(Res(b, XmNforeground), fg);
        EXPECT_EQ(Res(b, XmNbackground), bg);
    }
    EXPECT_EQ(IconRegistryCount(), 1); // mode 4 registers, mode 5 does not
}

TEST_F(ColorsTest, IconsThatDoNotLoad) {
    Scheme("colors.TEST", "");
    Write(std::string(kIcons) + "BROKEN.VOK", "this is no bitmap\n");
    const std::pair<unsigned, unsigned> ok{16, 16}, help{24, 24};

    // With nothing cached yet, the fallback icon; a failed load takes no row.
    Start();
    EXPECT_EQ(PixmapSize(SetWidgetIcon(nullptr, "X", "BROKEN.VOK", 0, 0, 4)), help);
    EXPECT_EQ(PixmapSize(SetWidgetIcon(nullptr, "X", "BROKEN.VOK", 0, 0, 4)), help);
    EXPECT_EQ(PixmapSize(SetWidgetIcon(nullptr, "X", "MISSING.VOK", 0, 0, 4)), help);
    EXPECT_EQ(PixmapSize(SetWidgetIcon(nullptr, "X", "", 0, 0, 4)), help);
    EXPECT_EQ(IconCacheCount(), 1);

    // Once an icon is cached, a missing one shows the first cached icon.
    Start();
    const Pixmap first = SetWidgetIcon(nullptr, "X", "OK.VOK", 0, 0, 4);
    EXPECT_EQ(PixmapSize(first), ok);
    EXPECT_EQ(SetWidgetIcon(nullptr, "X", "MISSING.VOK", 0, 7, 3), first);

    // Without the fallback icon the widget shows none.
    gui.box().Remove(std::string(kIcons) + "HELP.ICN");
    Start();
    Widget b = Button();
    EXPECT_EQ(SetWidgetIcon(b, "X", "MISSING.VOK", 0, 0, 4), XmUNSPECIFIED_PIXMAP);
    EXPECT_EQ(PixmapRes(b, XmNlabelPixmap), XmUNSPECIFIED_PIXMAP);
}

TEST_F(ColorsTest, TheCacheIsKeyedByFileIndexesAndPixels) {
    Scheme("colors.TEST", "c RedStyle RED\n");
    Start();
    const Pixel white = Named("white"), green = Named("green"), red = Named("red");
    const Pixmap a = SetWidgetIcon(nullptr, "X", "OK.VOK", 0, 0, 4);
    EXPECT_EQ(SetWidgetIcon(nullptr, "Y", "OK.VOK", 0, 0, 4), a);
    EXPECT_EQ(LoadIcon("OK.VOK", 0, 4, white, green), a);
    EXPECT_EQ(IconCacheCount(), 1);
    const Pixmap otherIndexes = SetWidgetIcon(nullptr, "X", "OK.VOK", 0, 0, 6);
    EXPECT_NE(otherIndexes, a);
    const Pixmap otherPixels = SetWidgetIcon(nullptr, "RedStyle", "OK.VOK", 0, 0, 4);
    EXPECT_NE(otherPixels, a);
    EXPECT_EQ(PixmapColors(otherPixels), std::make_pair(red, red));
    EXPECT_EQ(IconCacheCount(), 3);
}

// More icons than a fixed table would hold: each keeps its own pixmap, and
// every registered widget takes the next scheme.
TEST_F(ColorsTest, ManyIconsEachKeepTheirOwnLook) {
    Scheme("colors.TEST", "");
    Scheme("colors.NEXT", "b by BLUE YELLOW\nc Many by\n");
    const int n = 150;
    for (int i = 0; i < n; ++i) Icon("I" + std::to_string(i) + ".VOK", 8 + i % 40, 8);
    Start();
    std::vector<Widget> buttons;
    std::vector<Pixmap> pixmaps;
    for (int i = 0; i < n; ++i) {
        buttons.push_back(Button());
        pixmaps.push_back(SetWidgetIcon(buttons.back(), "Many",
                                        ("I" + std::to_string(i) + ".VOK").c_str(), 2, 0, 4));
    }
    EXPECT_EQ(IconCacheCount(), n);
    EXPECT_EQ(IconRegistryCount(), n);
    for (int i = 0; i < n; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(PixmapSize(pixmaps[i]), std::make_pair(8u + i % 40, 8u));
        for (int j = 0; j < i; ++j) ASSERT_NE(pixmaps[i], pixmaps[j]);
    }
    UpdateQELColors("colors.NEXT");
    const Pixel blue = Named("blue"), yellow = Named("yellow");
    EXPECT_EQ(Res(buttons.front(), XmNforeground), blue);
    EXPECT_EQ(Res(buttons.back(), XmNforeground), blue);
    EXPECT_EQ(Res(buttons.back(), XmNbackground), yellow);
    EXPECT_EQ(PixmapColors(PixmapRes(buttons.back(), XmNlabelPixmap)),
              std::make_pair(blue, yellow));
}

TEST_F(ColorsTest, TheLastLookOfAToggledIconStays) {
    Scheme("colors.TEST", "");
    Start();
    const Pixel white = Named("white"), green = Named("green");
    Widget b = Button();
    SetWidgetIcon(b, "BigPrinter", "OK.VOK", 2, 0, 4);
    SetWidgetIcon(b, "-BigPrinter", "OK.VOK", 2, 0, 4);
    SetWidgetIcon(b, "BigPrinter", "OK.VOK", 2, 0, 4);
    EXPECT_EQ(IconRegistryCount(), 1);
    UpdateQELColors("colors.TEST");
    EXPECT_EQ(Res(b, XmNforeground), white);
    EXPECT_EQ(Res(b, XmNbackground), green);
}

TEST_F(ColorsTest, ASchemeChangeSparesDestroyedAndUnregisteredWidgets) {
    Scheme("colors.TEST", "c Reg RED\nc VokIcon ? OK.VOK\n");
    Scheme("colors.NEXT", "c Reg BLUE\nb by BLUE YELLOW\nc VokIcon by OK2.VOK\n");
    Start();
    XSynchronize(TheDisplay, True);
    gXErrors = 0;
    XErrorHandler previous = XSetErrorHandler(CountXError);

    auto styled = [](const char* name) {
        Widget b = Button(name);
        SetWidgetColors(b, "Reg", 2, 0, 1);
        SetWidgetIcon(b, "VokIcon", "CANCEL.VOK", 2, 0, 4);
        SetWidgetIcon(b, "VokIconIns", "CANCEL.VOK", 4, 0, 4);
        XtManageChild(b);
        return b;
    };
    Widget kept = styled("kept");
    Widget gone = styled("gone");
    Widget loose = Button("loose");
    const Pixmap old = SetWidgetIcon(loose, "VokIcon", "CANCEL.VOK", 0, 0, 4);
    XtManageChild(loose);
    Serve(200);
    EXPECT_EQ(ColorRegistryCount(), 2);
    EXPECT_EQ(IconRegistryCount(), 4);
    XtDestroyWidget(gone);
    Serve(100);
    EXPECT_EQ(ColorRegistryCount(), 1);
    EXPECT_EQ(IconRegistryCount(), 2);

    UpdateQELColors("colors.NEXT");
    XClearArea(TheDisplay, XtWindow(loose), 0, 0, 0, 0, True);
    XClearArea(TheDisplay, XtWindow(kept), 0, 0, 0, 0, True);
    Serve(300);
    EXPECT_EQ(gXErrors, 0);
    EXPECT_EQ(Res(kept, XmNforeground), Named("blue"));
    EXPECT_EQ(Res(kept, XmNbackground), Named("yellow"));
    EXPECT_EQ(PixmapSize(PixmapRes(kept, XmNlabelPixmap)), std::make_pair(20u, 20u));
    EXPECT_EQ(PixmapSize(PixmapRes(kept, XmNlabelInsensitivePixmap)), std::make_pair(18u, 18u));
    EXPECT_EQ(PixmapRes(loose, XmNlabelPixmap), old);
    EXPECT_EQ(PixmapSize(old), std::make_pair(16u, 16u)); // still a valid pixmap
    EXPECT_EQ(gXErrors, 0);
    XSetErrorHandler(previous);
    XSynchronize(TheDisplay, False);
}

TEST_F(ColorsTest, AWidgetWhoseIconNoLongerLoadsShowsNone) {
    Scheme("colors.TEST", "c VokIcon ? OK.VOK\n");
    Scheme("colors.NEXT", "c VokIcon ? MISSING.VOK\n");
    Start();
    Widget b = Button();
    EXPECT_EQ(PixmapSize(SetWidgetIcon(b, "VokIcon", "CANCEL.VOK", 2, 0, 4)),
              std::make_pair(16u, 16u));
    gui.box().Remove(std::string(kIcons) + "HELP.ICN");
    UpdateQELColors("colors.NEXT");
    EXPECT_EQ(PixmapRes(b, XmNlabelPixmap), XmUNSPECIFIED_PIXMAP);
}

TEST_F(ColorsTest, PlotColoursFromTheFile) {
    Scheme("colors.TEST", "");
    Start();
    EXPECT_EQ(PlotPixelCount, 10);
    EXPECT_EQ(PlotColorPixel("BLUE"), Named("blue"));
    EXPECT_EQ(PlotColorPixel("ODD"), Named("red"));    // the fallback colour name
    EXPECT_EQ(PlotColorPixel("BAD"), Named("black"));  // neither name allocates
    EXPECT_EQ(PlotColorPixel("NOPE"), Named("black")); // row 16 capped at row 10
    EXPECT_EQ(PlotPixelTable[0].pixel, PlotPixelTable[1].pixel);

    // With 16 colours or more a name of neither list is plot colour 16.
    std::string many;
    for (int k = 1; k <= 20; ++k)
        many +=
            std::to_string(k) + " C" + std::to_string(k) + (k == 16 ? " yellow *\n" : " cyan *\n");
    Write(std::string(kMisc) + "eplotcolors", many);
    Start();
    EXPECT_EQ(PlotPixelCount, 20);
    EXPECT_EQ(PlotColorPixel("NOPE"), Named("yellow"));

    // Names and pixels both come from the user's file first.
    Write("/u/qel/usr_data/misc/eplotcolors", "1 BLUE blue *\n");
    Write(std::string(kMisc) + "eplotcolors", "1 BLUE red *\n2 OTHER red *\n");
    Start();
    EXPECT_EQ(PlotPixelCount, 1);
    EXPECT_EQ(PlotColorPixel("BLUE"), Named("blue"));
}

TEST_F(ColorsTest, EightFixedPlotColoursWithoutAFile) {
    gui.box().Remove(std::string(kMisc) + "eplotcolors");
    Scheme("colors.TEST", "");
    Start();
    ASSERT_EQ(PlotPixelCount, 8);
    const char* const names[] = {"black",       "white", "yellow", "red",
                                 "ForestGreen", "blue",  "grey",   "cyan"};
    for (int k = 1; k <= 8; ++k) EXPECT_EQ(PlotPixelTable[k].pixel, Named(names[k - 1])) << k;
    EXPECT_EQ(PlotPixelTable[0].pixel, PlotPixelTable[1].pixel);
}

TEST_F(ColorsTest, EnglishPlotColoursBehindASecondLanguage) {
    gui.box().WriteSysgen({{0, IntItem(1)}}, 100);
    Write("/u/qel/database/fswitch.data", "x"); // lets language 1 count
    Write(std::string(kMisc) + "fplotcolors", "1 NOIR black *\n2 ROUGE red *\n");
    Write(std::string(kMisc) + "eplotcolors", "1 BLACK black *\n2 WHITE white *\n3 BLUE blue *\n");
    Scheme("colors.TEST", "");
    Start();
    EXPECT_EQ(PlotPixelCount, 2);
    EXPECT_EQ(PlotPixelCountEnglish, 3);
    EXPECT_EQ(PlotColorPixel("ROUGE"), Named("red"));
    EXPECT_EQ(PlotColorPixel("BLUE"), Named("blue"));

    // Without the language's file the English colours are still read.
    gui.box().Remove(std::string(kMisc) + "fplotcolors");
    Start();
    EXPECT_EQ(PlotPixelCount, 8);
    EXPECT_EQ(PlotPixelCountEnglish, 3);
    EXPECT_EQ(PlotColorPixel("BLUE"), Named("blue"));
}

TEST_F(ColorsTest, WithoutEnglishPlotColoursTheDefaultNamesKeepTheirColours) {
    // Without eplotcolors the English names are the language's texts of
    // switches 318 to 326; a name found only there takes the fixed colour of
    // its row, as it would without any plotcolors file (an empty table would
    // make every one of them black).
    gui.box().WriteSysgen({{0, IntItem(1)}}, 100);
    SwitchTexts texts;
    const char* const names[] = {"NOIR", "NOIR", "BLANC", "JAUNE", "ROUGE",
                                 "VERT", "BLEU", "GRIS",  "CYAN"};
    for (int i = 0; i < 9; ++i) texts[318 + i] = {{'e', "E" + std::to_string(i)}, {'f', names[i]}};
    std::string index;
    std::map<char, std::string> records;
    BuildSwitchFiles(texts, &index, &records);
    Write("/u/qel/database/DBswitch.data", index);
    Write("/u/qel/database/eswitch.data", records['e']);
    Write("/u/qel/database/fswitch.data", records['f']);
    Write(std::string(kMisc) + "fplotcolors", "1 NOIR black *\n2 ROUGE red *\n");
    gui.box().Remove(std::string(kMisc) + "eplotcolors");
    Scheme("colors.TEST", "");
    Start();
    EXPECT_EQ(PlotPixelCount, 2);
    EXPECT_EQ(PlotPixelCountEnglish, 8);
    EXPECT_EQ(PlotColorPixel("ROUGE"), Named("red")); // the language's own
    const std::pair<const char*, const char*> byDefault[] = {
        {"BLANC", "white"}, {"JAUNE", "yellow"}, {"VERT", "ForestGreen"},
        {"BLEU", "blue"},   {"GRIS", "grey"},    {"CYAN", "cyan"}};
    for (const auto& [name, colour] : byDefault)
        EXPECT_EQ(PlotColorPixel(name), Named(colour)) << name;
}

TEST_F(ColorsTest, KanjiColumnsOnlyUnderJapanese) {
    Scheme("colors.TEST", "");
    Start();
    for (const auto& [language, columns] : {std::pair{6, 40}, std::pair{0, 80}, std::pair{1, 80}}) {
        SCOPED_TRACE(language);
        Language = language;
        Widget text = XmCreateText(MainForm, const_cast<char*>("t"), nullptr, 0);
        XtVaSetValues(text, XmNcolumns, 80, nullptr);
        EXPECT_EQ(SetKanjiColumns(0, text, 80), 0);
        short got = 0;
        XtVaGetValues(text, XmNcolumns, &got, nullptr);
        EXPECT_EQ(got, columns);
    }
    Language = 0;
}

} // namespace
