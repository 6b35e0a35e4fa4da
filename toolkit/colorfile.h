// Colour schemes without X: the reader of the colour files, the table of base
// colours and the lookups of colour pairs and per-style overrides. The X side
// (colors.cpp) turns plot-colour names into pixels and applies the scheme to
// widgets.
//
// A colour file is read line by line. A line whose first character is '!',
// CR or LF is skipped; the others are split into at most five words at white
// space, and the first word says what the line is:
//   exit                          ends the file
//   b|f... NAME FG BG [THICK]     a colour pair
//   c... STYLE COLORS [ICON] [SHADOW]
//                                 the look of one widget style ('?' = keep)
//   o... BASE VALUE               base colour BASE takes plot colour VALUE
// A colour reference names a pair read earlier in the file (its foreground
// or background; a leading '-' takes the other one) or else a plot colour.
#pragma once

#include <array>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using ColorPixel = unsigned long; // an X pixel value

// The pixel of a plot-colour name.
using PlotPixelLookup = std::function<ColorPixel(const std::string&)>;

inline constexpr int kMaxColorPairs = 200;
inline constexpr int kMaxColorOverrides = 500;
inline constexpr int kBaseColorCount = 11;
inline constexpr int kColorIndexCount = 11;
inline constexpr const char* kDefaultColorFile = "colors.QEL";

struct ColorPair {
    std::string name;
    ColorPixel fg = 0;
    ColorPixel bg = 0;
    int thickness = -1; // -1: none
};

// The look that a colour file gives one widget style; unset fields leave
// the caller's defaults in force.
struct WidgetColorOverride {
    std::string style;
    std::optional<ColorPixel> fg;
    std::optional<ColorPixel> bg;
    std::string icon;   // "": not set
    int thickness = -1; // -1: not set
    std::optional<ColorPixel> topShadow;
    std::optional<ColorPixel> bottomShadow;
};

// A base colour and the plot-colour name whose pixel it takes.
struct BaseColor {
    std::string name;
    std::string value;
};
using BaseColorTable = std::array<BaseColor, kBaseColorCount>;

// WHITE, GRAY, DIMGRAY, BLACK, GREEN, FORESTGREEN, RED, YELLOW, CYAN, BROWN,
// BLUE with their start values.
BaseColorTable InitialBaseColors();
// The row of the base colour behind colour index 0 .. 10 (indexes 2 and 9
// take BLACK, 4 takes FORESTGREEN); index 0's row for any other index.
int BaseRowOfColorIndex(int index);

// The pairs and overrides of one colour file.
class ColorScheme {
  public:
    void Clear();
    // The first pair of that name, or null.
    const ColorPair* FindPair(const std::string& name) const;
    // The first override of that style (compared whole, case-sensitive), or
    // null.
    const WidgetColorOverride* FindOverride(const std::string& style) const;

    std::vector<ColorPair> pairs;               // at most kMaxColorPairs
    std::vector<WidgetColorOverride> overrides; // at most kMaxColorOverrides

  private:
    // One-entry memories of the last hits, used while below the counts.
    mutable size_t lastPair_ = 0;
    mutable size_t lastOverride_ = 0;
};

// Reads an open colour file into scheme (emptied first), up to its end or
// "exit". "o" lines change base, which no file resets. A lower-case
// reference that names no pair is reported on console with fileName and the
// line number (every line counted, comments too).
void ReadColorLines(std::FILE* f, const std::string& fileName, const PlotPixelLookup& pixelOf,
                    BaseColorTable* base, ColorScheme* scheme, std::FILE* console);

// Reads the scheme of /u/qel/usr_data/misc/<*name>, else of
// /u/qel/def_data/misc/<*name>; when neither opens, *name becomes
// "colors.QEL" and both are tried again. Prints the counts and the longest
// names on console. False when no file opened: the scheme is then empty,
// base unchanged, and console says which files are missing.
bool LoadColorScheme(std::string* name, const PlotPixelLookup& pixelOf, BaseColorTable* base,
                     ColorScheme* scheme, std::FILE* console);
