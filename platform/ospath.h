// The one door through which fixed absolute paths reach the operating system.
//
// The program computes, prints and stores its paths exactly as the install
// tree names them (/u/qel/..., /u/tmp/..., /usr/bin/xserver, /dev/M_SERVO).
// Only at the system-call boundary does this module:
//   - strip a leading drive ("C:" or the "/C=" form): this host has none;
//   - re-root the path under $QEL_SANDBOX when that variable names a folder,
//     for the install tree, the scratch folder, /temp and the suite's fixed
//     names outside /u.
// With QEL_SANDBOX unset the paths reach the OS as written, less the drive.
#pragma once

#include <cstdio>
#include <dirent.h>
#include <string>
#include <sys/ipc.h>
#include <sys/stat.h>
#include <sys/types.h>

// The sandbox folder, "" when QEL_SANDBOX is unset or empty.
std::string SandboxRoot();
// Whether a sandbox folder may be put into shell commands as it stands: only
// [A-Za-z0-9_./-]. The program refuses to start on any other.
bool SandboxRootIsSafe(const std::string& root);

// The folder that the install tree's "/" stands for: the sandbox folder, or
// "/" without one. Tools that work relative to a folder (tar -C) start here.
std::string OsRoot();

// The path less a leading drive ("C:", "/C="); nothing else changes.
std::string WithoutDrive(const std::string& path);

// A path as the OS must see it.
std::string OsPath(const std::string& path);

// A shell command as the shell must run it. The command is split into words
// as /bin/sh splits it; a word whose value starts with a drive in front of an
// absolute path loses the drive, and one that starts with a re-rooted name
// gets the sandbox folder in front (for a quoted word, inside the quotes).
// Nothing later inside a word is changed: quoted names and texts, and
// substitutions, reach the shell as written.
std::string OsCommand(const std::string& command);

// A path that came back from the OS (getcwd, a tree walk) as the program
// knows it: the sandbox prefix removed from the paths the sandbox re-roots.
std::string UnrootPath(const std::string& path);

// True when the path (after the drive strip) is one that the sandbox re-roots.
bool IsRerootedPath(const std::string& path);

// System calls on mapped paths.
int os_open(const std::string& path, int flags, mode_t mode = 0);
int os_stat(const std::string& path, struct stat* st);
int os_lstat(const std::string& path, struct stat* st);
FILE* os_fopen(const std::string& path, const char* mode);
int os_mkdir(const std::string& path, mode_t mode);
int os_unlink(const std::string& path);
int os_remove(const std::string& path);
int os_rename(const std::string& from, const std::string& to);
DIR* os_opendir(const std::string& path);
key_t os_ftok(const std::string& path, int proj);
int os_chdir(const std::string& path);
int os_access(const std::string& path, int mode);
// The working folder as the program knows it; "" when it cannot be read.
std::string os_getcwd();
// An absolute path as the OS resolves it (an OS path, after the seam's
// mapping): every folder of the way that exists taken where its links lead,
// the part that does not exist yet appended as written, "." parts dropped
// and ".." taken against what is resolved so far. The last component is
// followed only when followLast is set. "" when the path is not absolute, a
// link on the way leads nowhere, or a folder of the way cannot be examined.
std::string os_realpath(const std::string& path, bool followLast);
