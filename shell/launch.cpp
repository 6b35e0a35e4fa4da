// Program and editor launchers.
//
// Children are started through the platform's spawn (default signal
// dispositions, real wait status) and waited for while the busy cursor
// shows; the screen is not served meanwhile. Every start is traced on the
// console first. Paths stay as the install names them; the platform seam maps
// them where they reach the OS.
#include "launch.h"

#include "archive.h"
#include "dialogs.h"
#include "labels.h"
#include "ospath.h"
#include "paths.h"
#include "process.h"
#include "settings.h"
#include "vok.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/stat.h>

namespace {

const char* const kScriptShell = "/u/qel/bin/bin/sh.exe";
const char* const kStarter = "/u/qel/xeq/start.exe";
const char* const kWordpad = "C:\\Program Files\\Windows NT\\Accessories\\Wordpad.exe";
const char* const kUserEditFile = "/u/qel/shell/UserEdit";
const char* const kStripProgram = "/u/qel/xeq/StripCr.exe";
const char* const kViScript = "/u/qel/shell/dovi ";
const char* const kSiteEditor = "/u/qel/xeq/EDITOR";
const char* const kScoEditor = "/usr/bin/X11/scoedit";
const size_t kUserEditLineMax = 248;
// "Press OK to continue.", under a tool's failure.
constexpr int kToolFailedLabel = 100;

// An environment value, or null when unset.
const char* EnvOrNull(const char* name) {
    return std::getenv(name);
}

bool SetAndNotEmpty(const char* value) {
    return value && *value;
}

// The install drive as "X:" (first character of QEL_Win_Install_Drive), or
// "" when the variable is unset or empty: this host has no drive letters of
// its own.
std::string DrivePrefix() {
    const char* drive = EnvOrNull("QEL_Win_Install_Drive");
    if (!SetAndNotEmpty(drive)) return "";
    return std::string(1, drive[0]) + ":";
}

void PrintVector(const char* format, const std::vector<std::string>& argv) {
    for (size_t i = 0; i < argv.size(); ++i)
        std::printf(format, static_cast<int>(i), argv[i].c_str());
    std::printf(format, static_cast<int>(argv.size()), "(null)");
}

// The word processor named by QEL_WORDPAD_DIR: the /X=rest form becomes
// X:rest, any other value is taken as it stands.
std::string WordpadFromEnvironment(const std::string& value) {
    std::string program = value;
    if (program.size() >= 3 && program[0] == '/' &&
        std::isalpha(static_cast<unsigned char>(program[1])) && program[2] == '=') {
        program[2] = ':';
        program.erase(0, 1);
    }
    return program;
}

void PrintWordpadHelp() {
    std::printf(
        "\n\nWordpad.exe could not be opened.  This is probably because it is not at its \n");
    std::printf("default location:  C:\\Program Files\\Windows NT\\Accessories\\Wordpad.exe.  \n");
    std::printf("To be able to run Wordpad, set the system user environment variable \n");
    std::printf("QEL_WORDPAD_DIR appropriatly.\n\n");
    std::printf("ex. 'QEL_WORDPAD_DIR'  --> 'C:\\WINNT\\Wordpad.exe'\n\n\n");
    std::fflush(stdout);
}

// The first line of UserEdit (at most 248 characters) without its line end:
// trailing characters below the blank removed. False when the file is missing.
bool ReadEditorPath(std::string* line) {
    FILE* raw = f_Fopen(kUserEditFile, "r");
    if (!raw) return false;
    struct Closer {
        FILE* f;
        ~Closer() { std::fclose(f); }
    } closer{raw};
    line->clear();
    int c;
    while (line->size() < kUserEditLineMax && (c = std::fgetc(raw)) != EOF) {
        line->push_back(static_cast<char>(c));
        if (c == '\n') break;
    }
    while (!line->empty() && static_cast<unsigned char>(line->back()) < ' ') line->pop_back();
    return true;
}

} // namespace

std::string NameArgument(const std::string& name) {
    return !name.empty() && name[0] == '-' ? "./" + name : name;
}

bool PutArgRow(ArgRow row, const std::string& text) {
    const size_t n = text.size() < kArgRowSize ? text.size() : kArgRowSize - 1;
    std::memset(row, 0, kArgRowSize);
    std::memcpy(row, text.data(), n);
    return n == text.size();
}

std::vector<std::string> RowTexts(const ArgRow* rows, int n) {
    std::vector<std::string> texts;
    if (!rows || n < 1) return texts;
    texts.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) texts.emplace_back(rows[i], strnlen(rows[i], kArgRowSize));
    return texts;
}

EditorTerminal ReadEditorTerminal() {
    const char* name = EnvOrNull("XXTERM");
    const char* path = EnvOrNull("XXTERMPATH");
    const char* sw = EnvOrNull("XXTERMSWITCH");
    EditorTerminal term;
    if (!SetAndNotEmpty(name) || !SetAndNotEmpty(path)) {
        term.name = "xterm";
        term.path = "/u/qel/xeq/sh.exe";
        return term;
    }
    term.name = name;
    term.path = path;
    term.hasSwitch = sw != nullptr;
    if (sw) term.switchArg = sw;
    return term;
}

ChildCommand BuildForkArgv(int type, const std::string& text,
                           const std::vector<std::string>& extras) {
    ChildCommand cmd;
    switch (type) {
    case 1:
        cmd.program = XtermPath;
        cmd.argv = {XtermName, "-title", text};
        if (!XtermSwitch.empty()) cmd.argv.push_back(XtermSwitch);
        cmd.argv.push_back("-e");
        cmd.argv.push_back(text);
        break;
    case 2:
        cmd.program = kScriptShell;
        cmd.argv = {"sh", text};
        break;
    case 3:
        cmd.program = kStarter;
        cmd.argv = {"start", "sh", text};
        break;
    default:
        cmd.program = text;
        cmd.argv = {text};
        break;
    }
    cmd.argv.insert(cmd.argv.end(), extras.begin(), extras.end());
    return cmd;
}

ChildCommand BuildEditorCommand(int language, int editorType, const EditorTerminal& term,
                                const std::vector<std::string>& files) {
    const std::string title = files.size() == 1 ? files[0] : "EDITOR";
    ChildCommand cmd;
    if (editorType == 2 && PathExists(kSiteEditor)) {
        cmd.program = "/bin/sh";
        cmd.argv = {"/bin/sh", kSiteEditor};
    } else if (editorType == 1 && PathExists(kScoEditor)) {
        cmd.program = kScoEditor;
        cmd.argv = {kScoEditor, "-title", title};
    } else {
        cmd.program = term.path;
        cmd.argv = {term.name, "-title", title};
        if (term.hasSwitch && !term.switchArg.empty()) cmd.argv.push_back(term.switchArg);
        cmd.argv.push_back("-e");
        cmd.argv.push_back(language == 6 ? "/usr/bin/jvi" : "/usr/bin/vi");
    }
    cmd.argv.insert(cmd.argv.end(), files.begin(), files.end());
    return cmd;
}

int SystemCmd(const std::string& command) {
    std::printf("SYSTEM('%s')\n", command.c_str());
    std::fflush(stdout);
    return RunShellCommand(command);
}

void ReportToolFailure(const std::string& caller, const std::string& program, int waitStatus,
                       ShowText show) {
    const std::string what = ToolStatusText(program, waitStatus);
    std::printf("%s: %s\n", caller.c_str(), what.c_str());
    std::fflush(stdout);
    const std::string text = ToolFailureText(program, waitStatus, LabText(kToolFailedLabel));
    if (show)
        show(text);
    else
        MessageDialog(text, 0);
}

void ForkExec(int type, const std::string& text, const ArgRow* extras, int n) {
    std::vector<std::string> texts;
    try {
        texts = RowTexts(extras, n);
    } catch (const std::bad_alloc&) {
        return;
    }
    ForkExec(type, text, texts);
}

void ForkExec(int type, const std::string& text, const std::vector<std::string>& extras) {
    ChildCommand cmd;
    try {
        cmd = BuildForkArgv(type, text, extras);
    } catch (const std::bad_alloc&) {
        return;
    }
    ChangeCursor(BusyCursor);
    std::printf("FORKEXEC(%d, '%s', ..., %d)\n", type, text.c_str(),
                static_cast<int>(extras.size()));
    PrintVector("     %3d: '%s'\n", cmd.argv);
    std::fflush(stdout);
    errno = 0;
    RunProgram(cmd.program, cmd.argv, nullptr);
    ChangeCursor(NormalCursor);
}

bool RunWordpad(const std::string& file) {
    ChangeCursor(BusyCursor);
    errno = 0;
    const char* drive = EnvOrNull("QEL_Win_Install_Drive");
    const std::string onDrive =
        file.size() > 1 && file[1] == ':' ? file : std::string(drive ? drive : "") + file;
    const std::string translated = ModifyPath(onDrive);
    std::string program = kWordpad;
    struct stat st {};
    if (os_stat(program, &st) != 0) {
        std::printf("Wordpad not found in it's usual location.  Trying environment variable...\n");
        std::fflush(stdout);
        const char* dir = EnvOrNull("QEL_WORDPAD_DIR");
        if (!dir) {
            PrintWordpadHelp();
            ChangeCursor(NormalCursor);
            return false;
        }
        program = WordpadFromEnvironment(dir);
    }
    std::printf("%s opening %s.\n", program.c_str(), translated.c_str());
    std::fflush(stdout);
    const bool opened = RunProgram(program, {kWordpad, translated}, nullptr) > 0;
    if (!opened) PrintWordpadHelp();
    ChangeCursor(NormalCursor);
    return opened;
}

bool RunUserEditor(const std::string& file) {
    const std::string drive = DrivePrefix();
    std::string editor;
    if (!ReadEditorPath(&editor) || editor.size() < 3) return false;
    ChangeCursor(BusyCursor);
    errno = 0;
    const std::string translated = ModifyPath(drive + file);
    std::printf("%s opening %s.\n", editor.c_str(), translated.c_str());
    std::fflush(stdout);
    const pid_t pid = RunProgram(editor, {editor, translated}, nullptr);
    if (pid > 0)
        StripCr(translated);
    else
        std::printf("pid = [%d]\n", static_cast<int>(pid));
    std::fflush(stdout);
    ChangeCursor(NormalCursor);
    return pid > 0;
}

int StripCr(const std::string& path) {
    SystemCmd(DrivePrefix() + kStripProgram + " \"" + ShellEscapeInDoubleQuotes(path) + "\"");
    return 1;
}

int PathExists(const std::string& path) {
    struct stat st {};
    return f_Stat(path, &st) == 0 ? 1 : 0;
}

int LaunchEditor(int language, int editorType, const ArgRow* files, int n) {
    if (!files || n < 1) return 1;
    ChildCommand cmd;
    std::vector<std::string> names;
    EditorTerminal term;
    try {
        names = RowTexts(files, n);
        term = ReadEditorTerminal();
        cmd = BuildEditorCommand(language, editorType, term, names);
    } catch (const std::bad_alloc&) {
        return 0;
    }

    const std::string first = names[0];
    const std::string oldDir = os_getcwd();
    std::string newDir = oldDir;
    const size_t slash = first.rfind('/');
    if (slash != std::string::npos) {
        newDir = slash == 0 ? "/" : first.substr(0, slash);
        if (os_chdir(newDir) != 0)
            std::printf("LaunchEditor: cannot change to %s\n", newDir.c_str());
    }

    std::printf("\n");
    std::printf("xterm  = (%s)\n", term.name.c_str());
    std::printf("xpath  = (%s)\n", term.path.c_str());
    std::printf("xswit  = (%s)\n", term.hasSwitch ? term.switchArg.c_str() : "(null)");
    std::printf("prog   = (%s)\n", cmd.program.c_str());
    std::printf("type   =  %d\n", editorType);
    PrintVector("v[%3d] = (%s)\n", cmd.argv);
    std::printf("old dir= (%s)\n", oldDir.c_str());
    std::printf("new dir= (%s)\n", newDir.c_str());
    std::printf("\n");
    std::fflush(stdout);

    // The starter of the vi script tells nothing back: that file counts as
    // opened.
    bool opened = true;
    if (editorType == 0)
        opened = RunWordpad(first);
    else if (editorType == 1)
        ForkExec(3, kViScript, files, 1);
    else
        opened = RunUserEditor(first);

    if (!oldDir.empty() && os_chdir(oldDir) != 0)
        std::printf("LaunchEditor: cannot return to %s\n", oldDir.c_str());
    std::fflush(stdout);
    return opened ? 1 : 0;
}
