// Fuzz target: the member names of an archive read from a medium. Input:
// one member a line; a line beginning with '+' is also chosen (the name is
// the rest). In the sandbox every place kept begins with "/", holds no ".."
// component and is one the sandbox re-roots, so nothing is written outside
// it; the members a choice brings are listed ones, each once, and every
// chosen listed member is among them.
#include "archive.h"
#include "ospath.h"
#include "support.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

bool HasDotDot(const std::string& path) {
    size_t start = 0;
    for (;;) {
        const size_t end = path.find('/', start);
        const std::string part = path.substr(start, end == std::string::npos ? end : end - start);
        if (part == "..") return true;
        if (end == std::string::npos) return false;
        start = end + 1;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& root = FuzzRoot();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> listed, chosen;
    size_t at = 0;
    while (at <= bytes.size()) {
        size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(at, end - at);
        at = end + 1;
        const bool pick = !line.empty() && line[0] == '+';
        if (pick) line.erase(0, 1);
        listed.push_back(line);
        if (pick) chosen.push_back(line);
    }

    for (const std::string& m : listed) {
        std::string place;
        if (!MemberPlace(m, &place)) continue;
        Check(!place.empty() && place[0] == '/');
        Check(!HasDotDot(place));
        Check(IsRerootedPath(place));
        const std::string os = OsPath(place);
        Check(os.compare(0, root.size() + 1, root + "/") == 0);
    }

    std::vector<ArchiveMember> members;
    for (const std::string& m : listed) members.push_back({m});
    const std::vector<std::string> brought = ExpandChosen(members, chosen);
    const std::set<std::string> listedSet(listed.begin(), listed.end());
    const std::set<std::string> broughtSet(brought.begin(), brought.end());
    Check(broughtSet.size() == brought.size());
    for (const std::string& m : brought) Check(listedSet.count(m) == 1);
    for (const std::string& c : chosen) Check(broughtSet.count(c) == 1);
    return 0;
}
