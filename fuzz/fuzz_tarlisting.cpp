// Fuzz target: tar's verbose listing of an archive, and what a restore of
// all its members writes. Input: the listing, one line a member.
//   - A line read as a member has the line's type letter; the member
//     written back as tar writes it (C strings) reads back the same, and so
//     does any line's bytes taken as a name.
//   - Of the members brought, each is missing, existing or left out, once.
//     A member kept is named on one line, its place lies in the install tree
//     on its real path (a link planted in the tree leads out of it), and
//     every member of its place is a plain file or folder, or it is the one
//     hard link there, to a plain file kept and listed before it.
#include "archive.h"
#include "ospath.h"
#include "support.h"
#include "tarlisting.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

// A name as tar's C quoting writes it.
std::string CQuote(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\a':
            out += "\\a";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\v':
            out += "\\v";
            break;
        default:
            if (c < 0x20 || c >= 0x7f) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\%03o", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::string Line(const ArchiveMember& m) {
    std::string line =
        std::string(1, m.type) + "rw-r--r-- 0/0 1 2024-01-01 12:00 " + CQuote(m.name);
    if (m.type == 'l') line += " -> " + CQuote(m.target);
    if (m.type == 'h') line += " link to " + CQuote(m.target);
    return line;
}

bool Same(const ArchiveMember& a, const ArchiveMember& b) {
    return a.type == b.type && a.name == b.name && a.target == b.target;
}

bool AtOrBelow(const std::string& path, const std::string& root) {
    return !path.empty() && !root.empty() && path.compare(0, root.size(), root) == 0 &&
           (path.size() == root.size() || path[root.size()] == '/');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool once = [] {
        const std::string& root = FuzzRoot();
        // A link planted in the part tree that leads out of the install
        // tree, and one that leads nowhere; the console is not read.
        (void)!symlink((root + "/u/tmp").c_str(), (root + "/u/qel/part/out").c_str());
        (void)!symlink("/nowhere/at/all", (root + "/u/qel/part/none").c_str());
        (void)!std::freopen("/dev/null", "w", stdout);
        return true;
    }();
    (void)once;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<ArchiveMember> listed;
    size_t at = 0;
    while (at <= bytes.size() && listed.size() < 256) {
        size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        const std::string line = bytes.substr(at, end - at);
        at = end + 1;
        ArchiveMember m;
        if (ParseListingLine(line, &m)) {
            Check(m.type == line[0]);
            ArchiveMember again;
            Check(ParseListingLine(Line(m), &again) && Same(m, again));
            listed.push_back(m);
        }
        // Any bytes as a name survive the quoting.
        ArchiveMember named{line, 'h', line};
        ArchiveMember again;
        Check(ParseListingLine(Line(named), &again) && Same(named, again));
    }

    std::vector<std::string> names;
    for (const ArchiveMember& m : listed) names.push_back(m.name);
    const std::vector<std::string> brought = ExpandChosen(listed, names);
    const MemberSplit split = SplitMembers(brought, listed, "fuzz");

    std::map<std::string, int> seen;
    for (const auto* part : {&split.missing, &split.existing})
        for (const std::string& name : *part) ++seen[name];
    for (const LeftOutMember& left : split.leftOut) ++seen[left.name];
    Check(seen.size() == brought.size());
    for (const std::string& name : brought) Check(seen[name] == 1);

    const std::string tree = os_realpath("/u/qel", true);
    std::set<std::string> keptKeys;
    for (const auto* part : {&split.missing, &split.existing})
        for (const std::string& name : *part) keptKeys.insert(MemberKey(name));
    for (const auto* part : {&split.missing, &split.existing}) {
        for (const std::string& name : *part) {
            std::string place;
            Check(MemberPlace(name, &place));
            Check(name.find('\n') == std::string::npos);
            Check(AtOrBelow(os_realpath(place, false), tree));
            const std::string key = MemberKey(name);
            std::vector<size_t> here;
            for (size_t i = 0; i < listed.size(); ++i)
                if (MemberKey(listed[i].name) == key) here.push_back(i);
            Check(!here.empty());
            bool plain = true;
            for (size_t i : here) plain = plain && IsPlainMember(listed[i]);
            if (plain) continue;
            // The one hard link of its place, to a plain file kept and
            // listed before it.
            Check(here.size() == 1 && listed[here[0]].type == 'h');
            const std::string target = MemberKey(listed[here[0]].target);
            Check(keptKeys.count(target) == 1);
            bool before = false;
            for (size_t i = 0; i < here[0]; ++i)
                if (MemberKey(listed[i].name) == target) {
                    Check(IsPlainMember(listed[i]) && !IsFolderMember(listed[i]));
                    before = true;
                }
            Check(before);
        }
    }
    return 0;
}
