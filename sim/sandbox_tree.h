// Lays out a sandbox root: the folders of the install tree, the stand-ins of
// the suite's scripts (each logs its name and arguments to sim/scripts.log)
// and the message-server key file. Used by the demo generator and the tests.
//
// Stand-ins besides the server's scripts and the printer drivers:
//   xeq/start.exe    logs "start.exe <args>", drops a first "sh", and runs
//                    the named script to its end with the other arguments: a
//                    bare name from u/qel/shell/, a full path inside the root
//                    (trailing blanks of the name dropped);
//   xeq/syspgen.exe  logs;
//   xeq/sysgen.exe   logs, then copies sim/sysgen.next, when there is one,
//                    over sys_data/files/sysgen.bin;
//   xeq/passgen.exe  logs, then copies sim/password.next, when there is one,
//                    over sys_data/files/password.bin;
//   shell/SYS.BACKUP, SYS.RESTORE, SYS.SERVICE  log.
#pragma once

#include <string>
#include <vector>

struct SandboxOptions {
    std::string msgsim;      // absolute path of the message-server simulator
    bool startServer = true; // the xserver stand-in starts the simulator
    // The KILL_XSERVER stand-in stops a running simulator and removes its
    // queue, as the station's script does; false leaves both (a server
    // that outlived the script).
    bool killServer = true;
    bool requiredFiles = true; // xeq/vtc.exe is there
    // Printer-driver types whose programs xeq/<TYPE>.exe and xeq/<TYPE> are
    // laid out; each logs "<TYPE>" and its arguments, each in brackets, to
    // sim/scripts.log.
    std::vector<std::string> printerDrivers;
    // The suite's tools that the file screens start (LayOutSuiteTools).
    bool suiteTools = false;
};

bool LayOutSandbox(const std::string& root, const SandboxOptions& options, std::string* error);

// The stand-ins of the suite's tools that the file screens start. Each logs
// its name and each argument in brackets ("dodumper [21] [/u/qel/...]") to
// sim/scripts.log; a path it must touch itself it maps under $QEL_SANDBOX
// (the program's seam maps the program started, not its arguments).
//   u/qel/bin/bin/sh.exe      runs its script (mapped) with /bin/sh
//   u/qel/shell/dodumper      writes a text naming its arguments, then the
//                             target's bytes, to its fourth argument; writes
//                             nothing and exits 1 for a target that is no
//                             file, or with sim/dodumper.mode "fail"
//   u/qel/shell/doed321, dobitmap, dovi     log only
//   u/qel/shell/dolibgen      two lines and an empty one to /u/tmp/lib.out
//   u/qel/xeq/be.exe, xceditor.exe          log only
//   u/qel/xeq/wordpad.exe     the word processor (QEL_WORDPAD_DIR
//                             "/C=/u/qel/xeq/wordpad.exe"): log only
//   sim/bin/files4part        (on PATH, see SuiteToolsPath) and
//   u/qel/xeq/files4part.exe  the files a part needs: the lines of
//                             sim/files4part/<part> when there is one, else
//                             /u/qel/part/<part>/program/llf; exit status
//                             from sim/files4part.status, else the one each
//                             program gives after its list: 0 for
//                             files4part (delete), 1 for files4part.exe
//                             (backup). sim/files4part.mode: "crlf" ends the
//                             lines with CR LF, "nonl" leaves the last line
//                             end off, "raw" copies sim/files4part/<part> byte
//                             for byte, "empty" prints nothing and exits 0,
//                             "fail" prints nothing and exits 1.
bool LayOutSuiteTools(const std::string& root, std::string* error);
// The folder of the sandbox's tools that the program finds through PATH.
std::string SuiteToolsPath(const std::string& root);

// (Re)writes root/usr/bin/XSRVR so that its queue key is not in use.
bool MakeKeyFile(const std::string& root, std::string* error);

bool MakeDirs(const std::string& path);
bool WriteTextFile(const std::string& path, const std::string& text, bool executable = false);
