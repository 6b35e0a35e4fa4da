// Fuzz target: the post-edit commands of DOSHELLS. Input: the edited file's
// folder on the first line, then the file. A command found is one the file
// holds, on a line of its own whose pattern (not empty) the folder holds,
// and it is never empty nor spans lines.
#include "editmodel.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const size_t end = bytes.find('\n');
    const std::string folder = bytes.substr(0, end);
    std::string file = end == std::string::npos ? "" : bytes.substr(end + 1);
    FILE* f = fmemopen(file.empty() ? nullptr : &file[0], file.size(), "r");
    if (!f) return 0;
    PostEdit pe;
    const bool found = FindPostEdit(f, folder, &pe);
    std::fclose(f);
    if (!found) return 0;
    Check(!pe.command.empty());
    Check(pe.command.find('\n') == std::string::npos);
    // The line that gave it: pattern, blanks, ["+"] command.
    const size_t at = file.find(pe.command);
    Check(at != std::string::npos);
    bool fromALine = false;
    for (size_t start = 0; start <= file.size() && !fromALine;) {
        size_t stop = file.find('\n', start);
        if (stop == std::string::npos) stop = file.size();
        std::string line = file.substr(start, stop - start);
        while (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t blank = line.find(' ');
        if (blank != std::string::npos && blank > 0 &&
            folder.find(line.substr(0, blank)) != std::string::npos) {
            std::string rest = line.substr(line.find_first_not_of(' ', blank) == std::string::npos
                                               ? line.size()
                                               : line.find_first_not_of(' ', blank));
            const bool ask = !rest.empty() && rest[0] == '+';
            if (ask) rest.erase(0, 1);
            fromALine = rest == pe.command && ask == pe.ask;
        }
        start = stop + 1;
    }
    Check(fromALine);
    return 0;
}
