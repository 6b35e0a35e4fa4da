// Label texts and fonts.
//
// Every text the operator reads is a numbered label: line n of the label
// file /u/qel/database/<letter>vok.data of the configured language. The
// shell's settings cache (settings.h) sets the language, and loads the fonts
// and the label texts again when it changes.
#pragma once

#include <Xm/Xm.h>

#include <string>

// The configured language (configuration item 0, kept by the settings
// cache); the label file and the fonts follow it.
extern int Language;

extern XmFontList FontListBig;
extern XmFontList FontListNormal;

// Rows of the label table (pieces of the file of at most 158 characters).
extern int LabTextLines;

// The label file of a language: letters f .. m for 1 .. 8, e for any other.
std::string LabelFileName(int language);
// Loads the label file of Language: 0; the stat's negative result when the
// file is missing; 1 when it cannot be opened or no memory can be had.
int InitVok();
// The text of label n, or null. The text stays readable until FreeLabText,
// also across a reload.
const char* GetLabText(int n);
// The same for composing and showing: "" for a missing label.
std::string LabText(int n);
void FreeLabText();

// The named font, or font set, opened on the display once for the whole
// run: a later call with the same name answers the same one, which is never
// freed. Null when it cannot be had.
XFontStruct* OpenFont(Display* display, const char* name);
XFontSet OpenFontSet(Display* display, const char* name);

// Sets the top shell's title to title line 0 and makes the two font lists
// anew, freeing the lists they replace (widgets hold copies); a font that
// cannot be had falls back to "fixed". Without a display only the font list
// is marked for reading again.
void InitFonts();
void FlushDisplay();
