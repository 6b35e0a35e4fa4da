// Icons: SetWidgetIcon with its registry, the cache of loaded pixmaps, and
// the icons loaded again after a change of the colour scheme.
#include "colors.h"

#include "colors_impl.h"
#include "ospath.h"
#include "paths.h"

#include <Xm/Label.h>
#include <Xm/LabelG.h>
#include <Xm/PushB.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

struct IconRow {
    Widget widget;
    std::string style; // as passed, with any leading '-'
    std::string file;
    int mode, fg, bg;
};
std::vector<IconRow> gIconRows;

// A loaded pixmap and its key: file, colour indexes and pixels.
struct CacheRow {
    Pixmap pixmap;
    std::string file;
    int fgIndex, bgIndex;
    Pixel fg, bg;
};
std::vector<CacheRow> gCache;
// The pixmaps of earlier schemes. Widgets that were not registered may still
// show them, so they are kept to the program's end.
std::vector<Pixmap> gRetired;

bool Loaded(Pixmap p) {
    return p != 0 && p != XmUNSPECIFIED_PIXMAP;
}

bool Inverted(const std::string& style) {
    return !style.empty() && style[0] == '-';
}

std::string Plain(const std::string& style) {
    return Inverted(style) ? style.substr(1) : style;
}

void RegisterIcon(const IconRow& row) {
    if (!row.widget) return;
    if (row.mode == 2 || row.mode == 3) {
        // "X" and "-X" are one look of the widget: the last call wins.
        const std::string key = Plain(row.style);
        for (IconRow& r : gIconRows) {
            if (r.widget == row.widget && Plain(r.style) == key) {
                r = row;
                return;
            }
        }
    } else if (row.mode != 4) {
        return;
    }
    gIconRows.push_back(row);
    WatchDestroy(row.widget);
}

Pixmap FirstCached() {
    return gCache.empty() ? 0 : gCache.front().pixmap;
}

// Icon files already reported missing or unreadable: each is reported once.
std::set<std::string> gReported;

void ReportOnce(const std::string& key, const std::string& line) {
    if (!gReported.insert(key).second) return;
    std::fputs(line.c_str(), stdout);
    std::fflush(stdout);
}

// The icon file as the program names it (*path) and as the OS sees it
// (*osPath): from usr_data, else from def_data. A missing file is reported.
bool FindIconFile(const std::string& file, std::string* path, std::string* osPath) {
    if (file.empty()) return false;
    for (const char* dir : {"/u/qel/usr_data/icon/", "/u/qel/def_data/icon/"}) {
        *path = dir + file;
        struct stat st {};
        if (f_Stat(*path, &st) == 0 && !S_ISDIR(st.st_mode)) {
            *osPath = OsPath(ModifyPath(*path));
            return true;
        }
    }
    ReportOnce(file, "LoadIcon: no icon file " + file +
                         " in /u/qel/usr_data/icon/ or /u/qel/def_data/icon/\n");
    return false;
}

// A label's insensitive look follows its icon: Motif then draws the icon under
// its stipple. Left unset, Motif would make a copy of the icon of its own
// each time the label turns insensitive, one that no one frees (and that may
// lose the picture). An insensitive look that was set apart (modes 4 and 5)
// is kept.
void FollowIcon(Widget w, Pixmap icon, ArgBuilder& a) {
    if (!XmIsLabel(w) && !XmIsLabelGadget(w)) return;
    Pixmap shown = XmUNSPECIFIED_PIXMAP, insensitive = XmUNSPECIFIED_PIXMAP;
    XtVaGetValues(w, XmNlabelPixmap, &shown, XmNlabelInsensitivePixmap, &insensitive, nullptr);
    if (insensitive == XmUNSPECIFIED_PIXMAP || insensitive == shown)
        a.Add(XmNlabelInsensitivePixmap, icon);
}

} // namespace

Pixmap LoadIcon(const std::string& file, int fgIndex, int bgIndex, Pixel fg, Pixel bg) {
    for (const CacheRow& r : gCache)
        if (r.file == file && r.fgIndex == fgIndex && r.bgIndex == bgIndex && r.fg == fg &&
            r.bg == bg)
            return r.pixmap;
    std::string path, osPath;
    if (!SchemeScreen() || !FindIconFile(file, &path, &osPath)) return FirstCached();
    const Pixmap p = GetPixmapFile(SchemeScreen(), osPath, fg, bg);
    if (!Loaded(p)) {
        ReportOnce(file, "LoadIcon: unable to read icon file " + path + "\n");
        return FirstCached();
    }
    gCache.push_back({p, file, fgIndex, bgIndex, fg, bg});
    return p;
}

Pixmap SetWidgetIcon(Widget w, const char* style, const char* file, int mode, int fg, int bg) {
    const std::string styleName = style ? style : "";
    const std::string passed = file ? file : "";
    RegisterIcon({w, styleName, passed, mode, fg, bg});
    const bool insensitive = mode == 4 || mode == 5;
    const WidgetColorOverride* o = FindStyleOverride(Plain(styleName));
    Pixel fgPixel = o ? StylePixel(o->fg, fg) : IndexPixel(fg);
    Pixel bgPixel = o ? StylePixel(o->bg, bg) : IndexPixel(bg);
    const std::string icon = o && !o->icon.empty() ? o->icon : passed;
    if (Inverted(styleName)) {
        std::swap(fgPixel, bgPixel);
        std::swap(fg, bg);
    }
    ArgBuilder a;
    if (w && !insensitive) {
        a.Add(XmNforeground, fgPixel).Add(XmNbackground, bgPixel);
        a.Add(XmNlabelType, XmPIXMAP);
        if (XmIsPushButton(w)) a.Add(XmNfillOnArm, False);
        AddShadowArgs(a, w, o);
    }
    Pixmap p = LoadIcon(icon, fg, bg, fgPixel, bgPixel);
    if (!Loaded(p)) p = LoadIcon("HELP.ICN", fg, bg, fgPixel, bgPixel);
    if (!Loaded(p)) p = XmUNSPECIFIED_PIXMAP;
    if (!w) return p;
    // Without an icon the widget shows none rather than one of an earlier
    // scheme.
    a.Add(insensitive ? XmNlabelInsensitivePixmap : XmNlabelPixmap, p);
    if (!insensitive) FollowIcon(w, p, a);
    XtSetValues(w, a.list(), a.count());
    return p;
}

void ReapplyWidgetIcons() {
    for (const IconRow& r : gIconRows)
        if (r.mode == 4)
            XtVaSetValues(r.widget, XmNlabelInsensitivePixmap, XmUNSPECIFIED_PIXMAP, nullptr);
    for (const CacheRow& c : gCache)
        if (std::find(gRetired.begin(), gRetired.end(), c.pixmap) == gRetired.end())
            gRetired.push_back(c.pixmap);
    gCache.clear();
    std::vector<IconRow> rows;
    rows.swap(gIconRows);
    for (const IconRow& r : rows)
        if (r.mode == 2 || r.mode == 4)
            SetWidgetIcon(r.widget, r.style.c_str(), r.file.c_str(), r.mode, r.fg, r.bg);
}

void ForgetIconWidget(Widget w) {
    gIconRows.erase(std::remove_if(gIconRows.begin(), gIconRows.end(),
                                   [w](const IconRow& r) { return r.widget == w; }),
                    gIconRows.end());
}

void ResetIcons() {
    gIconRows.clear();
    gCache.clear();
    gRetired.clear();
    gReported.clear();
}

int IconRegistryCount() {
    return static_cast<int>(gIconRows.size());
}

int IconCacheCount() {
    return static_cast<int>(gCache.size());
}
