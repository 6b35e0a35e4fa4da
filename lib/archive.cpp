// tar commands, member places and choices, and the diskette estimate.
#include "archive.h"

#include "ospath.h"
#include "paths.h"
#include "process.h"
#include "walk.h"

#include <cstdio>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

constexpr uint64_t kBigDiskette = 1440000;
constexpr uint64_t kSmallDiskette = 1200000;

std::string WithoutLeadingSlashes(const std::string& path) {
    const size_t first = path.find_first_not_of('/');
    return first == std::string::npos ? "" : path.substr(first);
}

bool HasDotDot(const std::string& path) {
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        if (path.compare(start, end - start, "..") == 0) return true;
        start = end + 1;
    }
    return false;
}

std::string AsFolderMember(const std::string& member) {
    return !member.empty() && member.back() == '/' ? member : member + "/";
}

} // namespace

std::string ArchiveName(const std::string& setPath) {
    const std::string name = WithoutLeadingSlashes(WithoutDrive(ModifyPath(setPath)));
    return name.empty() ? "." : name;
}

std::string BackupCommand(const std::string& device, const std::vector<std::string>& setPaths) {
    // The names as they stand: no backslash in them read as an escape.
    std::string cmd =
        "tar -C " + ShellQuote(OsRoot()) + " -cvf " + ShellQuote(device) + " --no-unquote --";
    for (const std::string& path : setPaths) cmd += " " + ShellQuote(ArchiveName(path));
    return cmd;
}

std::string RestoreCommand(const std::string& device) {
    return "tar -C " + ShellQuote(OsRoot()) + " -xvf " + ShellQuote(device) +
           " --no-recursion --no-unquote --verbatim-files-from -T " + ShellQuote(kRestoreList);
}

bool CommandFits(const std::string& command) {
    return OsCommand(command).size() < kCommandMax;
}

bool MemberPlace(const std::string& member, std::string* place, std::string* why) {
    std::string reason;
    const std::string rest = WithoutLeadingSlashes(member);
    if (rest.empty())
        reason = "no name";
    else if (HasDotDot(rest))
        reason = "a \"..\" in its name";
    else if (!SandboxRoot().empty() && !IsRerootedPath("/" + rest))
        reason = "outside the sandbox";
    if (why) *why = reason;
    if (!reason.empty()) return false;
    *place = "/" + rest;
    return true;
}

std::vector<std::string> ExpandChosen(const std::vector<std::string>& listed,
                                      const std::vector<std::string>& chosen) {
    const std::set<std::string> picked(chosen.begin(), chosen.end());
    std::vector<std::string> folders;
    for (const std::string& c : chosen)
        if (!c.empty() && c.back() == '/') folders.push_back(c);
    std::vector<std::string> out;
    std::set<std::string> seen;
    for (const std::string& m : listed) {
        bool take = picked.count(m) != 0;
        for (size_t i = 0; !take && i < folders.size(); ++i)
            take = m.size() > folders[i].size() &&
                   m.compare(0, folders[i].size(), AsFolderMember(folders[i])) == 0;
        if (take && seen.insert(m).second) out.push_back(m);
    }
    return out;
}

MemberSplit SplitMembers(const std::vector<std::string>& members, const std::string& caller) {
    MemberSplit split;
    for (const std::string& m : members) {
        std::string place, why;
        if (!MemberPlace(m, &place, &why)) {
            std::printf("%s: %s left out: %s\n", caller.c_str(), m.c_str(), why.c_str());
            continue;
        }
        struct stat st {};
        (os_lstat(place, &st) == 0 ? split.existing : split.missing).push_back(m);
    }
    std::fflush(stdout);
    return split;
}

uint64_t SetSize(const std::vector<std::string>& paths) {
    uint64_t total = 0;
    for (const std::string& root : paths)
        f_Walk(root, [&](const std::string& path, WalkKind kind) {
            struct stat st {};
            if (kind == WalkKind::kFile && f_Stat(path, &st) == 0 && st.st_size > 0)
                total += static_cast<uint64_t>(st.st_size);
        });
    return total;
}

DisketteCounts DiskettesFor(uint64_t total) {
    return {total / kBigDiskette + 1, total / kSmallDiskette + 1};
}

std::string ToolStatusText(const std::string& program, int waitStatus) {
    if (waitStatus == -1) return program + ": not run";
    if (WIFSIGNALED(waitStatus))
        return program + ": signal " + std::to_string(WTERMSIG(waitStatus));
    return program + ": exit status " + std::to_string(WEXITSTATUS(waitStatus));
}

std::string ToolFailureText(const std::string& program, int waitStatus,
                            const std::string& continueText) {
    return ToolStatusText(program, waitStatus) + " \n" + continueText;
}

std::string CommandTooLongText(const std::string& program, size_t length,
                               const std::string& continueText) {
    return program + ": a command of " + std::to_string(length) + " characters (at most " +
           std::to_string(kCommandMax - 1) + ") \n" + continueText;
}
