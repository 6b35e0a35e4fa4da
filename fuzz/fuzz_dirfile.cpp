// Fuzz target: dirfile, the subfolders of a part. The table holds at most 19
// names, none empty, none longer than 48 characters, none with a line end;
// the folders made for a part are the table's (names that climb out of the
// part with ".." are not made).
#include "mainmenu.h"
#include "partsel.h"
#include "support.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzWrite("/u/qel/database/dirfile", data, size);
    if (ReadDirfile() != 1) std::abort();
    if (PartFolderTable.size() > kPartFolderMax) std::abort();
    bool climbs = false;
    for (const std::string& name : PartFolderTable) {
        if (name.empty() || name.size() > 48) std::abort();
        if (name.find_first_of("\r\n") != std::string::npos) std::abort();
        climbs = climbs || name.find("..") != std::string::npos;
    }
    if (climbs) return 0;

    const std::string part = FuzzRoot() + "/u/qel/part/P";
    std::error_code ec;
    std::filesystem::remove_all(part, ec);
    std::filesystem::create_directories(part, ec);
    CurrentPart = "P";
    if (MakePartDirs() != 1) std::abort();
    for (const std::string& name : PartFolderTable) {
        // A name holding a NUL is cut there on its way to the OS.
        const std::string made = name.substr(0, name.find('\0'));
        if (made.find('/') == std::string::npos && !made.empty() &&
            !std::filesystem::exists(part + "/" + made))
            std::abort();
    }
    std::filesystem::remove_all(part, ec);
    return 0;
}
