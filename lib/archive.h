// Archives on removable media: the tar commands of the backup and the
// restore, where a member of an archive lands, which members a choice
// brings, and the diskette estimate of a backup set. No X.
//
// tar works relative to the install tree's "/" (OsRoot): the backup stores
// each path less its leading "/", as tar would store an absolute path, and
// the restore writes every member below that same folder, whether the
// archive names it with a leading "/" or not. In a sandbox nothing is read
// or written outside the sandbox folder, and the folder's own name never
// reaches an archive.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Scratch files of the backup and the restore.
inline constexpr const char* kBackupList = "/u/tmp/bck.out";
inline constexpr const char* kRestoreList = "/u/tmp/res.out";
inline constexpr const char* kPrintList = "/u/tmp/prt.out";

// The longest command that one argument of the shell takes (the kernel's
// limit on a single argument string, its NUL included).
inline constexpr size_t kCommandMax = 128 * 1024;

// A backup set's path as the archive names it: translated (QELPART,
// QELUSER), less its drive and its leading "/"s; "." for the root itself.
std::string ArchiveName(const std::string& setPath);
// tar -C <root> -cvf <device> --no-unquote -- <names>, every operand
// quoted and taken as it stands.
std::string BackupCommand(const std::string& device, const std::vector<std::string>& setPaths);
// tar -C <root> -xvf <device> with the member names of the restore list
// taken one a line as they stand (no recursion into folder members, no
// unquoting, no line read as an option).
std::string RestoreCommand(const std::string& device);
// Whether the shell can be handed the command as the sandbox maps it.
bool CommandFits(const std::string& command);

// Where tar writes a member: "/" + the member less its leading "/"s. False
// (and why, for the console) when the member must not be written: an empty
// name, a ".." component, or in a sandbox a place that the sandbox does not
// re-root.
bool MemberPlace(const std::string& member, std::string* place, std::string* why = nullptr);
// The members that a choice brings, in listed order, each once: the chosen
// ones, and for a chosen folder member ("name/") every listed member below
// it. Only listed names come out.
std::vector<std::string> ExpandChosen(const std::vector<std::string>& listed,
                                      const std::vector<std::string>& chosen);
// The members split by whether something exists at their place (lstat, as
// tar would meet it), in order. Members that must not be written are left
// out, each with a console line naming the caller.
struct MemberSplit {
    std::vector<std::string> missing;
    std::vector<std::string> existing;
};
MemberSplit SplitMembers(const std::vector<std::string>& members, const std::string& caller);

// The bytes of the regular files in and below each path (a file counts
// itself; a file reached through two paths counts twice), 64-bit.
uint64_t SetSize(const std::vector<std::string>& paths);
// Diskettes of 1440000 and of 1200000 bytes for a total: total / size + 1.
struct DisketteCounts {
    uint64_t big;
    uint64_t small;
};
DisketteCounts DiskettesFor(uint64_t total);

// A tool's wait status for the operator and the console: "<program>: exit
// status N", "<program>: signal N", or "<program>: not run" (-1).
std::string ToolStatusText(const std::string& program, int waitStatus);
// The same for the operator, with the text of label 100 below it.
std::string ToolFailureText(const std::string& program, int waitStatus,
                            const std::string& continueText);
// The refusal of a command too long for the shell: the program, the
// command's length and the limit, with the text of label 100 below it.
std::string CommandTooLongText(const std::string& program, size_t length,
                               const std::string& continueText);
