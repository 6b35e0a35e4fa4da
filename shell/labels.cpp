// Label texts, fonts and the settings cache.
//
// Start-up needs the settings cache and font lists now; the label file and
// the configured fonts come with the language support. Until then every
// label reads as missing and both font lists use the server's "fixed" font.
#include "labels.h"

#include "launch.h"
#include "nap.h"
#include "sysgen.h"
#include "vok.h"
#include "xmwrap.h"

#include <cstdio>
#include <cstdlib>

int OnlineItem = -1;
int ChangerType = 0;
int Language = -1;
int SysgenItem21 = 0;
int SysgenItem7Is1 = 0;
std::string SysgenStr6;
int EditorType = -1;
int NetworkOption = 0;
int SysgenState = 0;

std::string XtermPath = "/u/qel/xeq/sh.exe";
std::string XtermName = "xterm";
std::string XtermSwitch;

XmFontList FontListBig = nullptr;
XmFontList FontListNormal = nullptr;

int InitVok() {
    return 0;
}

const char* GetLabText(int) {
    return nullptr;
}

std::string LabText(int n) {
    const char* t = GetLabText(n);
    return t ? t : "";
}

void FreeLabText() {}

void ReadSysgen() {
    OnlineItem = -1;
    SysgenState = 0;
    const int before = Language;
    if (InitConfigure() == kSysgenMissing) {
        std::fprintf(stderr, "could not find sysgen.bin, copying defaults\n");
        SystemCmd("cp /u/qel/sys_data/files/Dsysgen.bin /u/qel/sys_data/files/sysgen.bin");
        InitConfigure();
        SysgenState = 2;
    } else {
        SysgenState = 1;
    }
    OnlineItem = GetSysgenInt(3);
    ChangerType = GetSysgenInt(26);
    Language = GetSysgenInt(0);
    const char* color = GetSysgenStr(96);
    ColorFileName = color ? color : "";
    SysgenItem21 = GetSysgenInt(21);
    SysgenItem7Is1 = GetSysgenInt(7) == 1;
    const char* s6 = GetSysgenStr(6);
    SysgenStr6 = s6 ? s6 : "";
    EditorType = GetSysgenInt(57);
    NetworkOption = GetSysgenInt(80);
    CloseSysgen();
    if (Language != before) {
        InitXterm();
        InitFonts();
        InitVok();
    }
}

int GetOnlineItem() {
    return OnlineItem;
}
int IsOnline() {
    return OnlineItem == 0 || OnlineItem < -1;
}
int GetSysgenItem26() {
    return ChangerType;
}

void InitXterm() {
    const char* path = std::getenv("XXTERMPATH");
    const char* name = std::getenv("XXTERM");
    const char* sw = std::getenv("XXTERMSWITCH");
    if (!path || !*path || !name || !*name) {
        XtermPath = "/u/qel/xeq/sh.exe";
        XtermName = "xterm";
        XtermSwitch.clear();
        return;
    }
    XtermPath = path;
    XtermName = name;
    XtermSwitch = sw ? sw : "";
}

void InitFonts() {
    if (!TheDisplay) return;
    XFontStruct* font = XLoadQueryFont(TheDisplay, "fixed");
    if (!font) return;
    FontListBig = MakeFontList(font);
    FontListNormal = MakeFontList(font);
}

void FlushDisplay() {
    if (TheDisplay) XFlush(TheDisplay);
    nap(50);
}
