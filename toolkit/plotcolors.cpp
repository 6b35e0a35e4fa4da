// Plot colours: the X pixels behind the plot-colour names. Names (switch
// database) and pixels are read from the same plotcolors files by the same
// reader, so that name k and pixel row k are one colour.
#include "colors.h"

#include "colors_impl.h"
#include "linereader.h"
#include "names.h"
#include "switchdb.h"
#include "sysgen.h"

#include <algorithm>
#include <cstdio>

XColor PlotPixelTable[kPlotPixelRows];
int PlotPixelCount = 0;
XColor PlotPixelTableEnglish[kPlotPixelRows];
int PlotPixelCountEnglish = 0;

namespace {

// Rows 1 to 8 without a plotcolors file.
const char* const kFixedColors[] = {"black",       "white", "yellow", "red",
                                    "ForestGreen", "blue",  "grey",   "cyan"};

XColor Black() {
    XColor c{};
    if (SchemeScreen()) c.pixel = BlackPixelOfScreen(SchemeScreen());
    c.flags = DoRed | DoGreen | DoBlue;
    return c;
}

// The exact colour of the name, with the pixel allocated for it.
bool AllocNamed(const std::string& name, XColor* out) {
    Screen* screen = SchemeScreen();
    XColor near{}, exact{};
    if (!XAllocNamedColor(SchemeDisplay(), DefaultColormapOfScreen(screen), name.c_str(), &near,
                          &exact))
        return false;
    exact.pixel = near.pixel;
    exact.flags = DoRed | DoGreen | DoBlue;
    *out = exact;
    return true;
}

int FillFixed(XColor* table) {
    int count = 0;
    for (const char* name : kFixedColors) {
        XColor c = Black();
        AllocNamed(name, &c);
        table[++count] = c;
    }
    table[0] = table[1];
    return count;
}

int FillFromFile(std::FILE* f, XColor* table) {
    int count = 0;
    for (const PlotColorLine& line : ReadPlotColorLines(f)) {
        XColor c = Black();
        if (!AllocNamed(line.xcolor, &c) &&
            (line.fallback[0] == '*' || !AllocNamed(line.fallback, &c)))
            std::printf("InitPlotColors: cannot allocate '%s' nor '%s'; plot colour %d is black\n",
                        line.xcolor.c_str(), line.fallback.c_str(), count + 1);
        table[++count] = c;
    }
    table[0] = table[1];
    return count;
}

// The table of a plotcolors file, or the fixed eight colours without one.
int FillTable(const std::string& fileName, XColor* table) {
    UniqueFile f = OpenUserOrDefault("misc", fileName);
    return f ? FillFromFile(f.get(), table) : FillFixed(table);
}

void ResetPlotColors() {
    const XColor black = Black();
    std::fill(PlotPixelTable, PlotPixelTable + kPlotPixelRows, black);
    std::fill(PlotPixelTableEnglish, PlotPixelTableEnglish + kPlotPixelRows, black);
    PlotPixelCount = PlotPixelCountEnglish = 0;
}

} // namespace

void InitPlotColors() {
    ResetPlotColors();
    if (!SchemeDisplay() || !SchemeScreen()) return;
    InitConfigure();
    const std::string letter(1, GetLanguageLetter());
    PlotPixelCount = FillTable(letter + "plotcolors", PlotPixelTable);
    if (LibLanguage() != 0) PlotPixelCountEnglish = FillTable("eplotcolors", PlotPixelTableEnglish);
}

Pixel PlotColorPixel(const std::string& name) {
    const int i = std::max(FindPlotColor(name), 0);
    if (PlotColorFromEnglish)
        return PlotPixelTableEnglish[std::min(i, PlotPixelCountEnglish)].pixel;
    return PlotPixelTable[std::min(i, PlotPixelCount)].pixel;
}
