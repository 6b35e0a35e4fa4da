// Demo media table from its readable source: demo/media.txt ->
// sys_data/files/media.bin, and the same table as sim/media.bin, which the
// stand-in of transmedia.exe writes when the table is gone. Each medium's
// device gets an empty file in the tree's dev/, so that the sandbox's tar
// writes and reads it as an archive.
#include "generators.h"
#include "records.h"
#include "records_media.h"
#include "sandbox_tree.h"

bool GenerateMedia(const std::string& source, const std::string& root, std::string* error) {
    std::string text;
    if (!ReadFileBytes(source + "/media.txt", &text)) return true;
    std::vector<MediaEntry> entries;
    if (!ParseMediaText(text, &entries, error)) {
        *error = "demo/media.txt " + *error;
        return false;
    }
    const std::string bytes = MediaTableBytes(entries);
    const std::string table = root + "/u/qel/sys_data/files/media.bin";
    if (!WriteFileBytes(table, bytes) || !WriteFileBytes(root + "/sim/media.bin", bytes)) {
        *error = "cannot write " + table;
        return false;
    }
    for (const MediaEntry& e : entries) {
        const std::string device = root + e.device;
        if (!MakeDirs(device.substr(0, device.rfind('/'))) || !WriteFileBytes(device, "")) {
            *error = "cannot make the medium " + device;
            return false;
        }
    }
    return true;
}
