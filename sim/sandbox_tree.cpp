// Sandbox layout shared by the demo tree generator and the tests.
#include "sandbox_tree.h"

#include <cerrno>
#include <fstream>
#include <sys/ipc.h>
#include <sys/msg.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kFolders[] = {
    "u/qel/sys_data/files",
    "u/qel/database",
    "u/qel/usr_data/misc",
    "u/qel/usr_data/icon",
    "u/qel/usr_data/printers",
    "u/qel/def_data/misc",
    "u/qel/def_data/icon",
    "u/qel/def_data/printers",
    "u/qel/run_data",
    "u/qel/part",
    "u/qel/shell",
    "u/qel/xeq",
    "u/qel/bin/bin",
    "u/qel/doc",
    "u/tmp",
    "usr/bin",
    "bin",
    "dev",
    "temp",
    "sim",
};

std::string LogLine(const char* name) {
    return std::string("root=\"${QEL_SANDBOX:?}\"\n") + "echo \"" + name +
           " $*\" >> \"$root/sim/scripts.log\"\n";
}

// A log line of a stand-in's name and its arguments, each in brackets,
// written to sim/scripts.log in one write: stand-ins that run at the same
// time (the printer drivers) must not interleave their lines. The name is a
// plain word; $root is set before.
std::string BracketLogLine(const std::string& name) {
    return "line='" + name +
           "'; for a in \"$@\"; do line=\"$line [$a]\"; done\n"
           "printf '%s\\n' \"$line\" >> \"$root/sim/scripts.log\"\n";
}

// The head of a tool's stand-in: the sandbox root, a log line of its name
// and arguments in brackets, and map, which gives the path under the
// sandbox that the program's seam would give (a drive letter dropped).
std::string ToolHead(const std::string& name) {
    return "#!/bin/sh\n"
           "root=\"${QEL_SANDBOX:?}\"\n" +
           BracketLogLine(name) +
           "map() {\n"
           "    p=$1\n"
           "    case $p in [A-Za-z]:/*) p=${p#??} ;; esac\n"
           "    case $p in /u/* | /temp/*) printf '%s%s' \"$root\" \"$p\" ;; *) printf '%s' \"$p\" "
           ";; esac\n"
           "}\n";
}

// Runs the script of $1 with /bin/sh and the other arguments: a bare name
// is one of /u/qel/shell/; trailing blanks of the name are not part of it.
const char* const kRunScript =
    "script=$1\n"
    "shift\n"
    "while [ \"${script% }\" != \"$script\" ]; do script=${script% }; done\n"
    "case $script in */*) ;; *) script=/u/qel/shell/$script ;; esac\n"
    "/bin/sh \"$(map \"$script\")\" \"$@\"\n";

// The files a part needs. The two programs give their list with opposite
// statuses, as the screens that run them read it: files4part (delete) exits
// 0 after its list, files4part.exe (backup) exits 1.
std::string Files4Part(const char* listedStatus) {
    return std::string("mode=$(cat \"$root/sim/files4part.mode\" 2>/dev/null)\n"
                       "case $mode in fail) exit 1 ;; empty) exit 0 ;; esac\n"
                       "list=\"$root/sim/files4part/$1\"\n"
                       "if [ \"$mode\" = raw ]; then cat \"$list\"; else\n"
                       "if [ -f \"$list\" ]; then text=$(cat \"$list\"); else "
                       "text=\"/u/qel/part/$1/program/llf\"; fi\n"
                       "case $mode in\n"
                       "crlf) printf '%s\\n' \"$text\" | sed 's/$/\\r/' ;;\n"
                       "nonl) printf '%s' \"$text\" ;;\n"
                       "*) printf '%s\\n' \"$text\" ;;\n"
                       "esac\n"
                       "fi\n"
                       "exit \"$(cat \"$root/sim/files4part.status\" 2>/dev/null || echo ") +
           listedStatus + ")\"\n";
}

const char* const kDumper =
    "if [ \"$(cat \"$root/sim/dodumper.mode\" 2>/dev/null)\" = fail ]; then exit 1; fi\n"
    "[ -f \"$(map \"$2\")\" ] || exit 1\n"
    "out=$(map \"$4\")\n"
    "{ echo \"dump of $2 (kind $1, part $3)\"; cat \"$(map \"$2\")\" 2>/dev/null; } > \"$out\"\n";

const char* const kLibGen = "printf 'library made from %s\\nentries: 1\\n\\n' \"$1\" > "
                            "\"$(map /u/tmp/lib.out)\"\n";

// The starter of detached work: logs, drops the "sh" that comes first,
// finds the script (a bare name in /u/qel/shell/, a full path in the
// install), and runs it to its end with the other arguments.
std::string Starter() {
    return "#!/bin/sh\n" + LogLine("start.exe") +
           "[ \"$1\" = sh ] && shift\n"
           "script=$1\n"
           "shift\n"
           "while [ \"${script% }\" != \"$script\" ]; do script=${script% }; done\n"
           "case \"$script\" in\n"
           "/*) path=\"$root$script\" ;;\n"
           "*) path=\"$root/u/qel/shell/$script\" ;;\n"
           "esac\n"
           "if [ ! -f \"$path\" ]; then\n"
           "    echo \"start.exe: no script $script\" >> \"$root/sim/scripts.log\"\n"
           "    exit 1\n"
           "fi\n"
           "exec sh \"$path\" \"$@\"\n";
}

// A configuration program: logs, then puts the prepared file sim/<next>, when
// a test has laid one out, over the install's file.
std::string ConfigProgram(const char* name, const char* next, const char* file) {
    return "#!/bin/sh\n" + LogLine(name) + "if [ -f \"$root/sim/" + next + "\" ]; then\n" +
           "    cp \"$root/sim/" + next + "\" \"$root/u/qel/sys_data/files/" + file + "\"\n" +
           "fi\n";
}

} // namespace

bool MakeDirs(const std::string& path) {
    std::string partial;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || (path[i] == '/' && i > 0)) {
            partial = path.substr(0, i);
            if (mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST) return false;
        }
    }
    return true;
}

bool WriteTextFile(const std::string& path, const std::string& text, bool executable) {
    {
        std::ofstream out(path, std::ios::trunc);
        out << text;
        if (!out) return false;
    }
    return !executable || chmod(path.c_str(), 0755) == 0;
}

bool MakeKeyFile(const std::string& root, std::string* error) {
    const std::string key = root + "/usr/bin/XSRVR";
    // ftok keeps only part of the inode number: take a file whose key no
    // other queue on this machine uses.
    for (int attempt = 0; attempt < 64; ++attempt) {
        unlink(key.c_str());
        if (!WriteTextFile(key, "message server key\n")) break;
        key_t k = ftok(key.c_str(), 'q');
        if (k != -1 && msgget(k, 0) == -1 && errno == ENOENT) return true;
        std::ofstream(root + "/sim/keyfile.spare" + std::to_string(attempt)) << "x";
    }
    *error = "no free message queue key for " + key;
    return false;
}

bool LayOutSandbox(const std::string& root, const SandboxOptions& options, std::string* error) {
    for (const char* f : kFolders) {
        if (!MakeDirs(root + "/" + f)) {
            *error = "cannot create " + root + "/" + f;
            return false;
        }
    }
    const std::string sh = "#!/bin/sh\n";
    const std::string sim = "\"" + options.msgsim + "\"";
    bool ok = true;
    ok &= WriteTextFile(root + "/usr/bin/KILL_QELIPC", sh + LogLine("KILL_QELIPC"), true);
    // Without its queue the simulator ends (its receive fails), and the next
    // start finds no queue and starts a fresh server.
    std::string kill = sh + LogLine("KILL_XSERVER");
    if (options.killServer)
        kill += "exec " + sim +
                " remove --key-file \"$root/usr/bin/XSRVR\" >>\"$root/sim/msgserver.out\" 2>&1\n";
    ok &= WriteTextFile(root + "/usr/bin/KILL_XSERVER", kill, true);
    std::string server = sh + LogLine("xserver");
    if (options.startServer) {
        server += "args=$(cat \"$root/sim/msgserver.args\" 2>/dev/null)\n"
                  "exec " +
                  sim +
                  " serve --key-file \"$root/usr/bin/XSRVR\" --client \"$1\" "
                  "--log \"$root/sim/msgserver.jsonl\" --printed \"$root/sim/printed\" "
                  "--root \"$root\" $args "
                  ">>\"$root/sim/msgserver.out\" 2>&1 </dev/null\n";
    }
    ok &= WriteTextFile(root + "/usr/bin/xserver", server, true);
    ok &= WriteTextFile(
        root + "/usr/bin/xstop",
        sh + LogLine("xstop") + "exec " + sim +
            " stop --key-file \"$root/usr/bin/XSRVR\" >>\"$root/sim/msgserver.out\" 2>&1\n",
        true);
    ok &= WriteTextFile(root + "/u/qel/xeq/errwin", sh + LogLine("errwin"), true);
    // The listing script: the folder's names, one a line, into the file.
    ok &= WriteTextFile(root + "/u/qel/shell/dols",
                        sh + LogLine("dols") + "ls -1 \"$1\" > \"$2\"\n", true);
    // The format program of the removable media: logs its arguments, each
    // in brackets, empties the medium (a file in the sandbox) and ends with
    // the status in sim/format.status (0 without one).
    ok &= WriteTextFile(root + "/bin/format",
                        sh + "root=\"${QEL_SANDBOX:?}\"\n" + BracketLogLine("format") +
                            "for a in \"$@\"; do dev=$a; done\n"
                            "if [ -f \"$dev\" ]; then : > \"$dev\"; fi\n"
                            "exit \"$(cat \"$root/sim/format.status\" 2>/dev/null || echo 0)\"\n",
                        true);
    // The install's writer of the media table: the tree's own copy,
    // sim/media.bin, when there is one.
    ok &= WriteTextFile(root + "/u/qel/xeq/transmedia.exe",
                        sh + LogLine("transmedia.exe") +
                            "if [ -f \"$root/sim/media.bin\" ]; then cp \"$root/sim/media.bin\" "
                            "\"$root/u/qel/sys_data/files/media.bin\"; fi\n",
                        true);
    if (options.requiredFiles) ok &= WriteTextFile(root + "/u/qel/xeq/vtc.exe", "");
    ok &= WriteTextFile(root + "/u/qel/xeq/start.exe", Starter(), true);
    // The service menu's programs and the service screen's scripts.
    ok &= WriteTextFile(root + "/u/qel/xeq/syspgen.exe", sh + LogLine("syspgen.exe"), true);
    ok &= WriteTextFile(root + "/u/qel/xeq/sysgen.exe",
                        ConfigProgram("sysgen.exe", "sysgen.next", "sysgen.bin"), true);
    ok &= WriteTextFile(root + "/u/qel/xeq/passgen.exe",
                        ConfigProgram("passgen.exe", "password.next", "password.bin"), true);
    for (const char* script : {"SYS.BACKUP", "SYS.RESTORE", "SYS.SERVICE"})
        ok &= WriteTextFile(root + "/u/qel/shell/" + script, sh + LogLine(script), true);
    for (const std::string& type : options.printerDrivers) {
        const std::string driver = sh + "root=\"${QEL_SANDBOX:?}\"\n" + BracketLogLine(type);
        ok &= WriteTextFile(root + "/u/qel/xeq/" + type, driver, true);
        ok &= WriteTextFile(root + "/u/qel/xeq/" + type + ".exe", driver, true);
    }
    if (!ok) {
        *error = "cannot write the stand-in scripts under " + root;
        return false;
    }
    if (options.suiteTools && !LayOutSuiteTools(root, error)) return false;
    return MakeKeyFile(root, error);
}

std::string SuiteToolsPath(const std::string& root) {
    return root + "/sim/bin";
}

bool LayOutSuiteTools(const std::string& root, std::string* error) {
    const std::string q = root + "/u/qel/";
    const struct {
        std::string path;
        std::string name;
        std::string body;
    } tools[] = {
        {q + "bin/bin/sh.exe", "sh.exe", kRunScript},
        {q + "shell/dodumper", "dodumper", kDumper},
        {q + "shell/doed321", "doed321", ""},
        {q + "shell/dobitmap", "dobitmap", ""},
        {q + "shell/dovi", "dovi", ""},
        {q + "shell/dolibgen", "dolibgen", kLibGen},
        {q + "xeq/be.exe", "be.exe", ""},
        {q + "xeq/xceditor.exe", "xceditor.exe", ""},
        {q + "xeq/wordpad.exe", "wordpad.exe", ""},
        {q + "xeq/files4part.exe", "files4part.exe", Files4Part("1")},
        {SuiteToolsPath(root) + "/files4part", "files4part", Files4Part("0")},
    };
    for (const auto& t : tools) {
        const std::string folder = t.path.substr(0, t.path.rfind('/'));
        if (!MakeDirs(folder) || !WriteTextFile(t.path, ToolHead(t.name) + t.body, true)) {
            *error = "cannot write the stand-in " + t.path;
            return false;
        }
    }
    return true;
}
