// Fuzz target: the scratch listings and list files of the list loaders.
// Every line comes back whole and clean (no line feed, no NUL, not empty),
// the lines never hold more than the input, and a part list keeps only
// lines with text that name part folders.
#include "filelists.h"
#include "listreader.h"
#include "support.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool once = [] {
        for (const char* p : {"P1", "P2", "my part"})
            std::filesystem::create_directories(FuzzRoot() + "/u/qel/part/" + p);
        return true;
    }();
    (void)once;
    std::string bytes(reinterpret_cast<const char*>(data), size);
    FILE* f = fmemopen(bytes.data(), bytes.size() ? bytes.size() : 1, "r");
    if (!f) return 0;
    const std::vector<std::string> lines = size ? ReadListLines(f) : std::vector<std::string>{};
    std::fclose(f);
    size_t total = 0;
    for (const std::string& line : lines) {
        if (line.empty() || line.find('\n') != std::string::npos ||
            line.find('\0') != std::string::npos)
            std::abort();
        total += line.size();
        HiddenInDirList(line);
        HiddenInEditList(line);
    }
    if (total > size) std::abort();

    FuzzWrite("/u/qel/usr_data/misc/parts", data, size);
    std::vector<std::string> names;
    if (ReadPartList("/u/qel/usr_data/misc/parts", &names) != 0) std::abort();
    if (names.size() > lines.size()) std::abort();
    for (const std::string& name : names)
        if (!HasText(name) || FileType(kPartRoot + name) != 1) std::abort();
    return 0;
}
