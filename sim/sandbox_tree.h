// Lays out a sandbox root: the folders of the install tree, the stand-ins of
// the suite's scripts (each logs its name and arguments to sim/scripts.log)
// and the message-server key file. Used by the demo generator and the tests.
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
