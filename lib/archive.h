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

#include "tarlisting.h"

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
// name, a ".." component, a line feed (the restore names its members to tar
// one a line), or in a sandbox a place that the sandbox does not re-root.
bool MemberPlace(const std::string& member, std::string* place, std::string* why = nullptr);
// The place a member names, as tar finds the members of one name: less its
// leading and trailing "/"s, "//" and "." parts ("u/qel/a" for "/u/qel//a/").
std::string MemberKey(const std::string& member);
// The members that a choice brings, in listed order, each name once: the
// chosen ones, and for a chosen folder every listed member below it. A
// member is a folder when the listing types it so, when its name ends in
// "/", or when another listed member begins with its name and "/" (another
// tar may list a folder without its "/"). Only listed names come out.
std::vector<std::string> ExpandChosen(const std::vector<ArchiveMember>& listed,
                                      const std::vector<std::string>& chosen);

struct LeftOutMember {
    std::string name;
    std::string why;
};
// The members brought split by whether something exists at their place
// (lstat of the place less its trailing "/", where tar writes), in order.
// Left out, each with a console line naming the caller: members that must
// not be written (MemberPlace) or that the listing does not hold; members
// that are neither plain files nor folders, and every member whose place
// is also the place of such a member (tar extracts every member of a name);
// a hard link unless its target is a plain file listed before it that the
// same split brings (it then shares its data only with a file that this
// restore writes); and a member whose place lies outside the install tree
// or below a link on disk that leads out of it.
struct MemberSplit {
    std::vector<std::string> missing;
    std::vector<std::string> existing;
    std::vector<LeftOutMember> leftOut;
};
MemberSplit SplitMembers(const std::vector<std::string>& brought,
                         const std::vector<ArchiveMember>& listed, const std::string& caller);
// Takes out of both lists the hard links whose target is in neither (the
// operator kept the target as it is), each with a console line naming the
// caller; answers them.
std::vector<LeftOutMember> DropUnwrittenLinkTargets(std::vector<std::string>* missing,
                                                    std::vector<std::string>* existing,
                                                    const std::vector<ArchiveMember>& listed,
                                                    const std::string& caller);
// The members left out for the operator: each quoted with why (the first
// kMaxLeftOutShown, then how many more the console names), then the two
// label texts.
inline constexpr size_t kMaxLeftOutShown = 10;
std::string LeftOutText(const std::vector<LeftOutMember>& leftOut, const std::string& cannotText,
                        const std::string& continueText);

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
