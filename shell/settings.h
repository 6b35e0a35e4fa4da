// The settings cache: copies of the configuration items that the shell and
// the screens read often, and the terminal-program settings. When the cached
// language changes, the terminal settings, the fonts and the label texts are
// loaded again.
#pragma once

#include <string>

// Settings cache, refreshed by ReadSysgen (Language lives in labels.h,
// ColorFileName in vok.h).
extern int OnlineItem;
extern int ChangerType;
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

void ReadSysgen();
int GetOnlineItem();
int IsOnline();
int GetSysgenItem26();
void InitXterm();
