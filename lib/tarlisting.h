// tar's verbose listing of an archive, read member by member: each member's
// name, type and link target, whatever the name holds (blanks, quotes,
// " -> ", line feeds, bytes of any value).
//
// The listing is the one of "tar --numeric-owner --quoting-style=c -tv":
// owners as numbers, so that nothing before the name holds a quote, and
// every name and target as a C string in double quotes, so that each member
// is one line and a name ends where its closing quote stands, not where a
// text of tar's (" -> ", " link to ", in whatever language) begins.
#pragma once

#include <string>
#include <utility>

// tar's verbose listing with its options, the device and the output file
// left to the caller.
inline constexpr const char* kTarVerboseList = "tar --numeric-owner --quoting-style=c -tvf";

struct ArchiveMember {
    ArchiveMember() = default;
    ArchiveMember(std::string memberName, char memberType = '-', std::string linkTarget = "")
        : name(std::move(memberName)), type(memberType), target(std::move(linkTarget)) {}

    std::string name;
    // The listing's type letter: '-' file, 'd' folder, 'l' symbolic link,
    // 'h' hard link, 'p' FIFO, 'c' and 'b' devices, 'C' contiguous file,
    // others that tar knows ('V' volume label, 'M' continued file, ...).
    char type = '-';
    // Where a link leads (symbolic and hard links), as the archive names it.
    std::string target;
};

// One line of the listing (without its line feed); false when the line
// names no member.
bool ParseListingLine(const std::string& line, ArchiveMember* member);

// A member that is written as a plain file or a folder: '-', 'C', 'd'.
bool IsPlainMember(const ArchiveMember& member);
bool IsFolderMember(const ArchiveMember& member);
// What kind of member it is, for the operator and the console ("a symbolic
// link to /etc", "a FIFO", ...).
std::string MemberKindText(const ArchiveMember& member);
