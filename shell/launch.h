// Program and editor launchers: shell commands, child programs started with
// an argument vector and waited for, the word processor, the operator's own
// editor, and the editor chooser on top of them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// One row of a caller's argument array (extras of ForkExec, the file list of
// LaunchEditor): 80 characters, NUL-ended unless the row is full.
constexpr size_t kArgRowSize = 80;
using ArgRow = char[kArgRowSize];

// A name handed to a program as an argument of its own: one that begins
// with "-" goes in its path form "./name", so that the program cannot take
// it for an option; any other name goes unchanged.
std::string NameArgument(const std::string& name);

// Fills a row with a bounded, terminated copy of the text; false when cut.
bool PutArgRow(ArgRow row, const std::string& text);
// The texts of n rows, each read within its 80 characters (none for null
// rows or n < 1).
std::vector<std::string> RowTexts(const ArgRow* rows, int n);

// A program and its argument vector (the terminating null entry implied).
struct ChildCommand {
    std::string program;
    std::vector<std::string> argv;
};

// The terminal program as LaunchEditor reads it from XXTERM, XXTERMPATH and
// XXTERMSWITCH: the defaults, without a switch, unless both of the first two
// are set and not empty.
struct EditorTerminal {
    std::string name;
    std::string path;
    bool hasSwitch = false;
    std::string switchArg;
};
EditorTerminal ReadEditorTerminal();

// The command of a ForkExec start type: 1 terminal window (XtermPath,
// XtermName, XtermSwitch), 2 shell script, 3 detached start, any other the
// text itself as the program.
ChildCommand BuildForkArgv(int type, const std::string& text,
                           const std::vector<std::string>& extras);
// The editor command that LaunchEditor traces for the files.
ChildCommand BuildEditorCommand(int language, int editorType, const EditorTerminal& term,
                                const std::vector<std::string>& files);

// Echoes "SYSTEM('<command>')", runs the command through the system shell and
// answers its wait status (as system() does). Meanwhile SIGINT and SIGQUIT
// are ignored here: a Ctrl-C at the console ends the command only.
int SystemCmd(const std::string& command);

// How a module shows the operator a text and takes the answer (1 OK, 0
// Cancel); the screens hand in theirs, MessageDialog when null.
using ShowText = int (*)(const std::string& text);
// A tool that failed (tar, the format program): a console line with the
// caller, the tool and its exit status or signal, and the same for the
// operator with label 100 below it.
void ReportToolFailure(const std::string& caller, const std::string& program, int waitStatus,
                       ShowText show = nullptr);

// Starts the program of the start type with the text and the n extras, shows
// the busy cursor and waits for it. A program that cannot be started shows
// only in the trace.
void ForkExec(int type, const std::string& text, const ArgRow* extras, int n);
// The same with the extras as texts of any length: "..., %d)" in the trace
// gives their number.
void ForkExec(int type, const std::string& text, const std::vector<std::string>& extras);

// Opens the file in the word processor and waits; false when it could not
// be started.
bool RunWordpad(const std::string& file);
// Opens the file in the editor that /u/qel/shell/UserEdit names, waits, then
// strips carriage returns from it; false when UserEdit names no editor or
// the editor could not be started.
bool RunUserEditor(const std::string& file);
// Runs the carriage-return strip program on the path; answers 1.
int StripCr(const std::string& path);
// 1 when f_Stat succeeds on the path, else 0.
int PathExists(const std::string& path);

// Opens the first of n files in the editor of the type (0 word processor,
// 1 vi script, other the operator's editor), in the file's folder, and lists
// all of them in the trace. 1 when done (also for n < 1, which does nothing),
// 0 when no memory could be had or no editor opened the file (the word
// processor or the operator's editor not started).
int LaunchEditor(int language, int editorType, const ArgRow* files, int n);
