// Start-up and program end: the process from the console to the toolkit's
// main loop, and the one orderly way out.
#pragma once

#include <X11/Intrinsic.h>

#include <string>

inline constexpr double kQelVersion = 5.031;

// The whole start-up sequence; enters the main loop and never returns.
int VokMain(int argc, char** argv);

int MainInit(int argc, char** argv);
int InitToolkit(int argc, char** argv);
// 1 when /temp (created when missing) and /u/qel/xeq/vtc.exe are there.
int CheckRequiredFiles();
[[noreturn]] void ExitVok();
void DeleteWindowCB(Widget w, XtPointer client, XtPointer call);

// The main form "VOK" (770 x 560 at 0,0) on the realised top shell, and the
// status line "Winfo" on it, as start-up makes them. synchronous switches the
// display to synchronous requests just before the top shell is realised.
void MakeMainForm(bool synchronous = false);
void MakeStatusLine();

// The /X=rest form of a root variable as X:rest; other values unchanged.
// changed tells whether the value had that form.
std::string RewriteDriveForm(const std::string& value, bool* changed);
// Steps 1 and 2: QELPART, QELUSER and QEL_Win_Install_Drive in final form.
void RewriteEnvironment();

// How long ExitVok waits for the message server's last message (seconds).
extern int ExitShutdownWaitSeconds;
