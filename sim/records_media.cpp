// media.bin records for the demo tree and the tests.
#include "records_media.h"

#include "sim_bytes.h"

#include <sstream>

namespace {

void PutText(std::string& record, size_t at, size_t width, const std::string& text) {
    record.replace(at, width, text.substr(0, width));
    if (text.size() < width)
        record.replace(at + text.size(), width - text.size(), width - text.size(), '\0');
}

} // namespace

std::string MediaRecordBytes(const MediaEntry& entry) {
    std::string record(80, '\0');
    SimPutLe(reinterpret_cast<unsigned char*>(&record[0]), static_cast<uint32_t>(entry.enable), 4);
    PutText(record, 4, 50, entry.label);
    PutText(record, 54, 26, entry.device);
    return record;
}

std::string MediaTableBytes(const std::vector<MediaEntry>& entries) {
    std::string bytes;
    for (const MediaEntry& e : entries) bytes += MediaRecordBytes(e);
    return bytes;
}

bool ParseMediaText(const std::string& text, std::vector<MediaEntry>* entries, std::string* error) {
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line[0] == '#') continue;
        std::istringstream fields(line);
        MediaEntry e;
        std::string enable;
        if (!(fields >> enable)) continue;
        try {
            e.enable = static_cast<int32_t>(std::stol(enable));
        } catch (...) {
            *error = "line " + std::to_string(lineNo) + ": an enable word expected";
            return false;
        }
        if (!(fields >> e.device) || e.device.size() > 25) {
            *error =
                "line " + std::to_string(lineNo) + ": a device of at most 25 characters expected";
            return false;
        }
        std::getline(fields >> std::ws, e.label);
        if (e.label.size() > 49) {
            *error =
                "line " + std::to_string(lineNo) + ": a label of at most 49 characters expected";
            return false;
        }
        entries->push_back(e);
    }
    return true;
}
