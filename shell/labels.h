// Label texts, fonts and the settings cache.
#pragma once

#include <Xm/Xm.h>

#include <string>

// Settings cache, refreshed by ReadSysgen.
extern int OnlineItem;
extern int ChangerType;
extern int Language;
extern int SysgenItem21;
extern int SysgenItem7Is1;
extern std::string SysgenStr6;
extern int EditorType;
extern int NetworkOption;
extern int SysgenState;

// Terminal-program settings.
extern std::string XtermPath;
extern std::string XtermName;
extern std::string XtermSwitch;

extern XmFontList FontListBig;
extern XmFontList FontListNormal;

int InitVok();
// The text of label n, or null.
const char* GetLabText(int n);
// The same for composing and showing: "" for a missing label.
std::string LabText(int n);
void FreeLabText();

void ReadSysgen();
int GetOnlineItem();
int IsOnline();
int GetSysgenItem26();
void InitXterm();
void InitFonts();
void FlushDisplay();
