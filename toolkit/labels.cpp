// Label texts and fonts.
#include "labels.h"

#include "language.h"
#include "linereader.h"
#include "nap.h"
#include "paths.h"
#include "vok.h"
#include "xmwrap.h"
#include "zalloc.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <vector>

int Language = -1;

XmFontList FontListBig = nullptr;
XmFontList FontListNormal = nullptr;

int LabTextLines = 0;

namespace {

constexpr size_t kLabelPiece = 158; // characters of a label
constexpr size_t kLabelRow = 160;   // bytes of a row of the table
constexpr int kJapanese = 6;

// LabTextTable: LabTextLines rows of kLabelRow bytes. Tables replaced by a
// reload are kept until FreeLabText, since screens built before a language
// change still hold their texts (hints of the choice screens).
std::unique_ptr<char[]> LabTextTable;
std::vector<std::unique_ptr<char[]>> RetiredTables;

// Fonts and font sets opened by name, kept for the whole run: lists that
// widgets copied from a replaced font list still draw with them, and a
// second InitFonts, or the password dialog, with the same names opens
// nothing again. Emptied (not freed) when the display is another one. Never
// destroyed, so the fonts stay reachable to the very end of the process.
struct OpenedFonts {
    Display* display = nullptr;
    std::map<std::string, XFontStruct*> fonts;
    std::map<std::string, XFontSet> sets;
};
OpenedFonts& Opened = *new OpenedFonts;

void ForDisplay(Display* display) {
    if (Opened.display == display) return;
    Opened = OpenedFonts{};
    Opened.display = display;
}

// A font list of the named font, else of "fixed"; null when neither loads.
XmFontList FontListOf(const char* name) {
    XFontStruct* font = OpenFont(TheDisplay, name);
    if (!font) {
        std::printf("InitFonts: unable to load font %s, using fixed\n", name);
        font = OpenFont(TheDisplay, "fixed");
    }
    if (!font) {
        std::printf("InitFonts: unable to load font fixed\n");
        return nullptr;
    }
    return MakeFontList(font);
}

// A font list of a font set of the named fonts, else of the font "fixed".
XmFontList FontSetListOf(const char* name) {
    XFontSet set = OpenFontSet(TheDisplay, name);
    if (!set) {
        std::printf("InitFonts: unable to make a font set of %s, using fixed\n", name);
        return FontListOf("fixed");
    }
    return MakeFontSetList(set);
}

// Puts a new font list in place of the old one, which is freed: the widgets
// that use it hold copies. Without a new list the old one stays.
void ReplaceFontList(XmFontList* list, XmFontList next) {
    if (!next) return;
    if (*list) XmFontListFree(*list);
    *list = next;
}

} // namespace

XFontStruct* OpenFont(Display* display, const char* name) {
    ForDisplay(display);
    auto it = Opened.fonts.find(name);
    if (it != Opened.fonts.end()) return it->second;
    XFontStruct* font = XLoadQueryFont(display, name);
    if (font) Opened.fonts[name] = font;
    return font;
}

XFontSet OpenFontSet(Display* display, const char* name) {
    ForDisplay(display);
    auto it = Opened.sets.find(name);
    if (it != Opened.sets.end()) return it->second;
    char** missing = nullptr;
    int missingCount = 0;
    char* defaultText = nullptr;
    XFontSet set = XCreateFontSet(display, name, &missing, &missingCount, &defaultText);
    if (missing) XFreeStringList(missing);
    if (set) Opened.sets[name] = set;
    return set;
}

std::string LabelFileName(int language) {
    const char letter = language >= 1 && language <= 8 ? static_cast<char>('e' + language) : 'e';
    return std::string("/u/qel/database/") + letter + "vok.data";
}

int InitVok() {
    const std::string name = LabelFileName(Language);
    struct stat st {};
    const int r = f_Stat(name, &st);
    if (r < 0) {
        std::printf("InitVok: unable to stat %s - %d\n", name.c_str(), r);
        return r;
    }
    UniqueFile f(zfopen("InitVok", name, "r"));
    if (!f) {
        std::printf("InitVok: unable to open %s\n", name.c_str());
        return 1;
    }
    std::string piece;
    int count = 0;
    while (ReadPiece(f.get(), kLabelPiece, &piece)) ++count;
    std::rewind(f.get());
    if (count == 0) std::printf("InitVok: label file %s is empty\n", name.c_str());

    if (LabTextTable) RetiredTables.push_back(std::move(LabTextTable));
    LabTextLines = 0;
    if (count > 0) {
        LabTextTable.reset(new (std::nothrow) char[static_cast<size_t>(count) * kLabelRow]());
        if (!LabTextTable) {
            std::printf("InitVok: unable to malloc labtext\n");
            return 1;
        }
    }
    // The load stops at the counted rows, whatever the file holds by now;
    // rows it does not reach stay empty.
    for (int row = 0; row < count && ReadPiece(f.get(), kLabelPiece, &piece); ++row) {
        const std::string text = CutAtLineEnd(piece);
        std::memcpy(&LabTextTable[static_cast<size_t>(row) * kLabelRow], text.data(),
                    std::min(text.size(), kLabelPiece));
    }
    LabTextLines = count;
    return 0;
}

const char* GetLabText(int n) {
    if (n < 1) return nullptr;
    if (n > LabTextLines) {
        std::printf("GetLabText - n = %d  lablines = %d\n", n, LabTextLines);
        return nullptr;
    }
    return &LabTextTable[static_cast<size_t>(n - 1) * kLabelRow];
}

std::string LabText(int n) {
    const char* t = GetLabText(n);
    return t ? t : "";
}

void FreeLabText() {
    LabTextTable.reset();
    RetiredTables.clear();
    LabTextLines = 0;
}

void InitFonts() {
    FontDescReset();
    if (!TopShell || !TheDisplay) return;
    XtVaSetValues(TopShell, XmNtitle, GetTitleLine(0), nullptr);
    if (Language == kJapanese) {
        ReplaceFontList(&FontListBig, FontSetListOf(GetFontDesc("vok(kanji)", 6)));
        ReplaceFontList(&FontListNormal, FontSetListOf(GetFontDesc("vok(kanji)", 4)));
    } else {
        ReplaceFontList(&FontListBig, FontListOf(GetFontDesc("vok", 7)));
        ReplaceFontList(&FontListNormal, FontListOf(GetFontDesc("vok", 4)));
    }
}

void FlushDisplay() {
    if (TheDisplay) XFlush(TheDisplay);
    nap(50);
}
