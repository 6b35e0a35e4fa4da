// Tar archives written byte by byte, as another tar may write them: ustar
// headers of any name, type and link target (a folder without its "/", a
// device, a link out of the tree), without the files on disk.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct UstarEntry {
    UstarEntry(std::string entryName, char entryType = '0', std::string entryBody = "",
               std::string linkTarget = "")
        : name(std::move(entryName)), type(entryType), body(std::move(entryBody)),
          link(std::move(linkTarget)) {}

    std::string name; // at most 100 bytes
    char type = '0';  // '0' file, '1' hard link, '2' symbolic link, '3' and
                      // '4' devices, '5' folder, '6' FIFO
    std::string body; // a file's data
    std::string link; // a link's target, at most 100 bytes
};

// The archive of the entries, with its two zero blocks at the end.
std::string UstarArchive(const std::vector<UstarEntry>& entries);
