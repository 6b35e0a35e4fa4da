// The settings cache.
#include "settings.h"

#include "labels.h"
#include "language.h"
#include "launch.h"
#include "process.h"
#include "sysgen.h"
#include "vok.h"

#include <cstdio>
#include <cstdlib>

int OnlineItem = -1;
int ChangerType = 0;
int SysgenItem21 = 0;
int SysgenItem7Is1 = 0;
std::string SysgenStr6;
int EditorType = -1;
int NetworkOption = 0;
int SysgenState = 0;

std::string XtermPath = "/u/qel/xeq/sh.exe";
std::string XtermName = "xterm";
std::string XtermSwitch;

void ReadSysgen() {
    OnlineItem = -1;
    SysgenState = 0;
    const int before = Language;
    // Only a store that is missing or empty is replaced by the defaults; one
    // that exists but cannot be read is left alone.
    if (InitConfigure() == kSysgenMissing) {
        std::fprintf(stderr, "could not find sysgen.bin, copying defaults\n");
        SystemCmd("cp " + ShellQuote("/u/qel/sys_data/files/Dsysgen.bin") + " " +
                  ShellQuote("/u/qel/sys_data/files/sysgen.bin"));
        InitConfigure();
        SysgenState = 2;
    } else {
        SysgenState = 1;
    }
    OnlineItem = GetSysgenInt(3);
    ChangerType = GetSysgenInt(26);
    Language = LanguageCopy = GetSysgenInt(0);
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
