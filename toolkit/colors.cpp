// Colours: the scheme and the base pixels, SetWidgetColors with its registry,
// the switch to another scheme, and the kanji columns of text widgets.
#include "colors.h"

#include "colors_impl.h"
#include "labels.h"
#include "switchdb.h"
#include "vok.h"

#include <Xm/ArrowB.h>
#include <Xm/CascadeB.h>
#include <Xm/Frame.h>
#include <Xm/List.h>
#include <Xm/PushB.h>
#include <Xm/ScrollBar.h>
#include <Xm/ScrolledW.h>
#include <Xm/Text.h>
#include <Xm/TextF.h>

#include <algorithm>
#include <cstdio>
#include <unordered_set>
#include <vector>

Pixel BasePixels[11] = {};

namespace {

constexpr int kJapanese = 6;

Display* gDisplay = nullptr;
Screen* gScreen = nullptr;
// The colour file in force; the fallback name replaces it when the
// configured file is missing (the configured name stays in ColorFileName).
std::string gColorFile;
BaseColorTable gBase = InitialBaseColors();
ColorScheme gScheme;

struct ColorRow {
    Widget widget;
    std::string style;
    int state; // 2: registered
    int fg, bg;
};
std::vector<ColorRow> gColorRows;
// Widgets that carry the destroy callback below.
std::unordered_set<Widget> gWatched;

void ForgetWidget(Widget w) {
    gColorRows.erase(std::remove_if(gColorRows.begin(), gColorRows.end(),
                                    [w](const ColorRow& r) { return r.widget == w; }),
                     gColorRows.end());
    ForgetIconWidget(w);
    gWatched.erase(w);
}

void WidgetDestroyedCB(Widget w, XtPointer, XtPointer) {
    ForgetWidget(w);
}

// One row per widget: a second registration re-styles the first.
void RegisterColors(Widget w, const std::string& style, int fg, int bg) {
    for (ColorRow& r : gColorRows) {
        if (r.widget == w) {
            r.style = style;
            r.fg = fg;
            r.bg = bg;
            return;
        }
    }
    if (gColorRows.size() >= static_cast<size_t>(kColorRegistryRows)) return;
    gColorRows.push_back({w, style, 2, fg, bg});
    WatchDestroy(w);
}

} // namespace

Screen* SchemeScreen() {
    return gScreen;
}

Display* SchemeDisplay() {
    return gDisplay;
}

const WidgetColorOverride* FindStyleOverride(const std::string& style) {
    return gScheme.FindOverride(style);
}

Pixel IndexPixel(int index) {
    return BasePixels[index >= 0 && index < kColorIndexCount ? index : 0];
}

Pixel StylePixel(const std::optional<ColorPixel>& set, int index) {
    return set ? static_cast<Pixel>(*set) : IndexPixel(index);
}

void AddShadowArgs(ArgBuilder& a, Widget w, const WidgetColorOverride* o) {
    if (!o || !IsShadowedWidget(w)) return;
    // A negative thickness sets nothing (it would wrap to a huge shadow).
    if (o->thickness >= 0)
        a.Add(XmNshadowThickness, static_cast<Dimension>(std::min(o->thickness, 0xFFFF)));
    if (o->topShadow) a.Add(XmNtopShadowColor, static_cast<XtArgVal>(*o->topShadow));
    if (o->bottomShadow) a.Add(XmNbottomShadowColor, static_cast<XtArgVal>(*o->bottomShadow));
}

void WatchDestroy(Widget w) {
    if (!w || !gWatched.insert(w).second) return;
    XtAddCallback(w, XmNdestroyCallback, WidgetDestroyedCB, nullptr);
}

void ResourcePaletteCreate(const std::string& colorFile) {
    gDisplay = TopShell ? XtDisplay(TopShell) : TheDisplay;
    gScreen = TopShell ? XtScreen(TopShell) : nullptr;
    gColorFile = colorFile;
    gBase = InitialBaseColors();
    gScheme.Clear();
    gColorRows.clear();
    gWatched.clear();
    ResetIcons();
    InitPlotColors();
    InitSwitchDb();
    InitColorIndexes();
}

void UpdateQELColors(const std::string& colorFile) {
    gColorFile = colorFile;
    InitColorIndexes();
    ReapplyWidgetColors();
    ReapplyWidgetIcons();
}

void ReadColorFile() {
    LoadColorScheme(
        &gColorFile, [](const std::string& name) { return PlotColorPixel(name); }, &gBase, &gScheme,
        stdout);
}

void InitColorIndexes() {
    ReadColorFile();
    for (int i = 0; i < kColorIndexCount; ++i)
        BasePixels[i] = PlotColorPixel(gBase[BaseRowOfColorIndex(i)].value);
}

int SetWidgetColors(Widget w, const char* style, int mode, int fg, int bg) {
    if (!w) return 0;
    const std::string name = style ? style : "";
    if (mode == 2 || mode == 3) RegisterColors(w, name, fg, bg);
    const WidgetColorOverride* o = FindStyleOverride(name);
    const Pixel fgPixel = o ? StylePixel(o->fg, fg) : IndexPixel(fg);
    const Pixel bgPixel = o ? StylePixel(o->bg, bg) : IndexPixel(bg);
    ArgBuilder a;
    if (name.compare(0, 2, "SB") == 0) {
        a.Add(XmNbackground, fgPixel).Add(XmNtroughColor, bgPixel);
    } else {
        a.Add(XmNforeground, fgPixel).Add(XmNbackground, bgPixel);
        if (XmIsPushButton(w)) a.Add(XmNfillOnArm, False);
    }
    AddShadowArgs(a, w, o);
    XtSetValues(w, a.list(), a.count());
    return 0;
}

void ReapplyWidgetColors() {
    std::vector<ColorRow> rows;
    rows.swap(gColorRows);
    for (const ColorRow& r : rows)
        if (r.state == 2 && r.widget) SetWidgetColors(r.widget, r.style.c_str(), 2, r.fg, r.bg);
}

int IsShadowedWidget(Widget w) {
    if (!w) return 0;
    return XmIsArrowButton(w) || XmIsCascadeButton(w) || XmIsFrame(w) || XmIsList(w) ||
                   XmIsPushButton(w) || XmIsScrollBar(w) || XmIsScrolledWindow(w) || XmIsText(w) ||
                   XmIsTextField(w)
               ? 1
               : 0;
}

int SetKanjiColumns(int, Widget w, int columns) {
    if (Language == kJapanese && w) XtVaSetValues(w, XmNcolumns, columns / 2, nullptr);
    return 0;
}

int ColorRegistryCount() {
    return static_cast<int>(gColorRows.size());
}
