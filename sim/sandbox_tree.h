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
};

bool LayOutSandbox(const std::string& root, const SandboxOptions& options, std::string* error);

// (Re)writes root/usr/bin/XSRVR so that its queue key is not in use.
bool MakeKeyFile(const std::string& root, std::string* error);

bool MakeDirs(const std::string& path);
bool WriteTextFile(const std::string& path, const std::string& text, bool executable = false);
