// Label texts, fonts and the settings cache.
//
// Every text the operator reads is a numbered label: line n of the label
// file /u/qel/database/<letter>vok.data of the configured language. The
// settings cache copies the configuration items that the shell and the
// screens read often; when the cached language changes, the terminal
// settings, the fonts and the label texts are loaded again.
#pragma once

#include <Xm/Xm.h>

#include <string>

// Settings cache, refreshed by ReadSysgen (ColorFileName lives in vok.h).
extern int OnlineItem;
extern int ChangerType;
extern int Language;
extern int SysgenItem21;
extern int SysgenItem7Is1;
extern std::string SysgenStr6;
extern int EditorType;
extern int NetworkOption;
// 0 while ReadSysgen runs, then 1 (sysgen.bin was there) or 2 (the default
// store was copied over it).
extern int SysgenState;

// Terminal-program settings.
extern std::string XtermPath;
extern std::string XtermName;
extern std::string XtermSwitch;

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

void ReadSysgen();
int GetOnlineItem();
int IsOnline();
int GetSysgenItem26();
void InitXterm();
// Sets the top shell's title to title line 0 and makes the two font lists
// anew, freeing the lists they replace (widgets hold copies); a font that
// cannot be had falls back to "fixed". Without a display only the font list
// is marked for reading again.
void InitFonts();
void FlushDisplay();
