// tar commands, member places and choices, and the diskette estimate.
#include "archive.h"

#include "ospath.h"
#include "paths.h"
#include "process.h"
#include "treeplace.h"
#include "walk.h"

#include <cstdio>
#include <map>
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
    else if (rest.find('\n') != std::string::npos)
        reason = "a line feed in its name";
    else if (!SandboxRoot().empty() && !IsRerootedPath("/" + rest))
        reason = "outside the sandbox";
    if (why) *why = reason;
    if (!reason.empty()) return false;
    *place = "/" + rest;
    return true;
}

std::string MemberKey(const std::string& member) {
    std::string key;
    size_t start = 0;
    while (start <= member.size()) {
        size_t end = member.find('/', start);
        if (end == std::string::npos) end = member.size();
        const size_t n = end - start;
        if (n > 0 && member.compare(start, n, ".") != 0) {
            if (!key.empty()) key += '/';
            key.append(member, start, n);
        }
        start = end + 1;
    }
    return key;
}

std::vector<std::string> ExpandChosen(const std::vector<ArchiveMember>& listed,
                                      const std::vector<std::string>& chosen) {
    std::set<std::string> names, typedFolders;
    for (const ArchiveMember& m : listed) {
        names.insert(m.name);
        if (IsFolderMember(m)) typedFolders.insert(m.name);
    }
    // Each chosen folder as the beginning ("name/") of the members below it.
    std::set<std::string> folders;
    for (const std::string& c : chosen) {
        if (c.empty() || names.count(c) == 0) continue;
        const std::string below = AsFolderMember(c);
        const auto next = names.upper_bound(below);
        const bool hasBelow = next != names.end() && next->compare(0, below.size(), below) == 0;
        if (c.back() == '/' || typedFolders.count(c) != 0 || hasBelow) folders.insert(below);
    }
    const std::set<std::string> picked(chosen.begin(), chosen.end());
    std::vector<std::string> out;
    std::set<std::string> seen;
    for (const ArchiveMember& m : listed) {
        bool take = picked.count(m.name) != 0;
        // Below a chosen folder: one of the name's beginnings up to a "/"
        // (the name itself longer) is one.
        for (size_t slash = m.name.find('/');
             !take && slash != std::string::npos && slash + 1 < m.name.size();
             slash = m.name.find('/', slash + 1))
            take = folders.count(m.name.substr(0, slash + 1)) != 0;
        if (take && seen.insert(m.name).second) out.push_back(m.name);
    }
    return out;
}

namespace {

std::string Quoted(const std::string& name) {
    return "\"" + name + "\"";
}

std::string UnwrittenTarget(const ArchiveMember& link) {
    return MemberKindText(link) + ", which this restore does not write";
}

// The listed members by the place they name, each as its positions in the
// listing.
using PlaceIndex = std::map<std::string, std::vector<size_t>>;

PlaceIndex IndexPlaces(const std::vector<ArchiveMember>& listed) {
    PlaceIndex at;
    for (size_t i = 0; i < listed.size(); ++i) at[MemberKey(listed[i].name)].push_back(i);
    return at;
}

// The one member at its place when it is a hard link, else null.
const ArchiveMember* LoneLink(const std::vector<ArchiveMember>& listed, const PlaceIndex& at,
                              const std::string& name, size_t* position = nullptr) {
    const auto it = at.find(MemberKey(name));
    if (it == at.end() || it->second.size() != 1) return nullptr;
    const ArchiveMember& m = listed[it->second[0]];
    if (m.type != 'h' || m.name != name) return nullptr;
    if (position) *position = it->second[0];
    return &m;
}

// Whether the member of this name may be written as far as its name, the
// other members of its place and the tree tell; why not, when not.
bool MayWrite(const std::string& name, const std::vector<ArchiveMember>& listed,
              const PlaceIndex& at, const InstallTree& tree, std::string* place, std::string* why) {
    if (!MemberPlace(name, place, why)) return false;
    const auto it = at.find(MemberKey(name));
    bool isListed = false;
    if (it != at.end())
        for (size_t i : it->second) isListed = isListed || listed[i].name == name;
    if (!isListed) {
        *why = "not in the archive's listing";
        return false;
    }
    if (!LoneLink(listed, at, name)) {
        for (size_t i : it->second) {
            const ArchiveMember& m = listed[i];
            if (IsPlainMember(m)) continue;
            *why = m.name == name ? MemberKindText(m)
                                  : "in the place of " + Quoted(m.name) + ", " + MemberKindText(m);
            return false;
        }
    }
    switch (JudgeTreePlace(*place, tree)) {
    case TreePlace::kInside:
        return true;
    case TreePlace::kOutside:
        *why = "outside the install tree";
        return false;
    case TreePlace::kThroughLink:
        *why = "below a link that leads out of the install tree";
        return false;
    }
    return false;
}

void SayLeftOut(const std::string& caller, const LeftOutMember& left) {
    std::printf("%s: %s left out: %s\n", caller.c_str(), left.name.c_str(), left.why.c_str());
}

} // namespace

MemberSplit SplitMembers(const std::vector<std::string>& brought,
                         const std::vector<ArchiveMember>& listed, const std::string& caller) {
    const PlaceIndex at = IndexPlaces(listed);
    const InstallTree tree = CurrentInstallTree();
    std::map<std::string, std::string> why;    // name -> why it is left out
    std::map<std::string, std::string> places; // name -> its place
    // Plain files that this split writes, by place: what a hard link may
    // join.
    std::set<std::string> writtenFiles;
    for (const std::string& name : brought) {
        if (LoneLink(listed, at, name)) continue;
        std::string place, reason;
        if (!MayWrite(name, listed, at, tree, &place, &reason)) {
            why[name] = reason;
            continue;
        }
        places[name] = place;
        bool file = true;
        for (size_t i : at.at(MemberKey(name))) file = file && !IsFolderMember(listed[i]);
        if (file) writtenFiles.insert(MemberKey(name));
    }
    for (const std::string& name : brought) {
        size_t position = 0;
        const ArchiveMember* link = LoneLink(listed, at, name, &position);
        if (!link) continue;
        std::string place, reason;
        if (!MayWrite(name, listed, at, tree, &place, &reason)) {
            why[name] = reason;
            continue;
        }
        // The target written first, by this same run.
        const std::string target = MemberKey(link->target);
        const auto t = at.find(target);
        if (writtenFiles.count(target) == 0 || t == at.end() || t->second.front() > position) {
            why[name] = UnwrittenTarget(*link);
            continue;
        }
        places[name] = place;
    }
    MemberSplit split;
    for (const std::string& name : brought) {
        const auto left = why.find(name);
        if (left != why.end()) {
            split.leftOut.push_back({name, left->second});
            SayLeftOut(caller, split.leftOut.back());
            continue;
        }
        std::string place = places[name];
        // Where tar writes: a folder "x/" over a file "x" replaces it.
        while (place.size() > 1 && place.back() == '/') place.pop_back();
        struct stat st {};
        (os_lstat(place, &st) == 0 ? split.existing : split.missing).push_back(name);
    }
    std::fflush(stdout);
    return split;
}

std::vector<LeftOutMember> DropUnwrittenLinkTargets(std::vector<std::string>* missing,
                                                    std::vector<std::string>* existing,
                                                    const std::vector<ArchiveMember>& listed,
                                                    const std::string& caller) {
    const PlaceIndex at = IndexPlaces(listed);
    std::set<std::string> written;
    for (const auto* names : {missing, existing})
        for (const std::string& name : *names)
            if (!LoneLink(listed, at, name)) written.insert(MemberKey(name));
    std::vector<LeftOutMember> dropped;
    for (auto* names : {missing, existing}) {
        std::vector<std::string> kept;
        for (const std::string& name : *names) {
            const ArchiveMember* link = LoneLink(listed, at, name);
            if (link && written.count(MemberKey(link->target)) == 0) {
                dropped.push_back({name, UnwrittenTarget(*link)});
                SayLeftOut(caller, dropped.back());
            } else {
                kept.push_back(name);
            }
        }
        names->swap(kept);
    }
    std::fflush(stdout);
    return dropped;
}

std::string LeftOutText(const std::vector<LeftOutMember>& leftOut, const std::string& cannotText,
                        const std::string& continueText) {
    std::string text;
    for (size_t i = 0; i < leftOut.size() && i < kMaxLeftOutShown; ++i)
        text += Quoted(leftOut[i].name) + ": " + leftOut[i].why + "\n";
    if (leftOut.size() > kMaxLeftOutShown)
        text += "(" + std::to_string(leftOut.size() - kMaxLeftOutShown) + " more on the console)\n";
    return text + cannotText + " \n" + continueText;
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
