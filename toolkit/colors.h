// Colours and icons: every widget takes its look from a widget style, a name
// that the creating code passes with two default colour indexes (0 .. 10,
// into BasePixels). The colour scheme (colorfile.h) may override a style's
// colours, icon and shadows. Widgets styled with a registering mode are
// re-coloured, and their icons loaded again, when the scheme changes.
//
// Modes of SetWidgetColors: 2 registers the widget, 3 re-styles a registered
// widget (registers it when it is not), any other mode only colours.
// Modes of SetWidgetIcon: 2 and 3 register (one row per widget and style,
// the style taken without its '-'), 4 registers an insensitive look, 5 sets
// an insensitive look without registering, any other mode only sets the
// icon. Outside modes 4 and 5 a label's insensitive look, unless one was
// set apart, follows its icon (drawn under the toolkit's stipple). A
// registered widget leaves the registries when it is destroyed.
#pragma once

#include <X11/Intrinsic.h>

#include <string>

inline constexpr int kColorRegistryRows = 1600;
// The icon registry and the icon cache have no fixed size: with every
// screen's icons in several looks a fixed table fills up, and a full cache
// would show another icon in place of the one asked for.
inline constexpr int kPlotPixelRows = 150;

// The pixels behind the colour indexes 0 .. 10.
extern Pixel BasePixels[11];

// Plot colours: row k (1 .. count) is the k-th counted line of the
// language's plotcolors file (PlotPixelTable) and of the English one
// (PlotPixelTableEnglish, for a language other than English); row 0 is a
// copy of row 1.
extern XColor PlotPixelTable[kPlotPixelRows];
extern int PlotPixelCount;
extern XColor PlotPixelTableEnglish[kPlotPixelRows];
extern int PlotPixelCountEnglish;

// Start-up, with TopShell made: takes its display and screen, reads the
// plot colours, the switch database and the colour file. Registries, icon
// cache and base colours start empty.
void ResourcePaletteCreate(const std::string& colorFile);
// Switches to another colour file: reads it, re-colours the registered
// widgets and loads their icons again. The plot colours stay.
void UpdateQELColors(const std::string& colorFile);
// Reads the current colour file and fills BasePixels.
void InitColorIndexes();
void ReadColorFile();

// Always 0. Nothing happens for a null widget.
int SetWidgetColors(Widget w, const char* style, int mode, int fg, int bg);
// The icon's pixmap (XmUNSPECIFIED_PIXMAP when none loads). A null widget
// only loads the pixmap.
Pixmap SetWidgetIcon(Widget w, const char* style, const char* file, int mode, int fg, int bg);
// The cached or newly loaded pixmap of an icon file in these colours: from
// /u/qel/usr_data/icon/, else /u/qel/def_data/icon/. A file that does not
// load gives the pixmap of the first cache row, 0 while there is none.
Pixmap LoadIcon(const std::string& file, int fgIndex, int bgIndex, Pixel fg, Pixel bg);

void ReapplyWidgetColors();
void ReapplyWidgetIcons();

// 1 for arrow buttons, cascade buttons, frames, lists, push buttons, scroll
// bars, scrolled windows, texts and text fields (and their subclasses).
int IsShadowedWidget(Widget w);

void InitPlotColors();
Pixel PlotColorPixel(const std::string& name);

// Halves a text widget's columns under the Japanese language. Always 0.
int SetKanjiColumns(int unused, Widget w, int columns);

// Rows in use, for tests and traces.
int ColorRegistryCount();
int IconRegistryCount();
int IconCacheCount();
