// Fuzz target: the media table media.bin. Input: the file's bytes. The
// dialog offers at most nine records, each enabled and each a whole record
// of the file; every device it would hand to tar has at most 25 characters
// and no NUL; the editor's table rebuilds the file byte for byte, and after
// the toggles of the records shown the rewrite equals the input but for
// their enable words, each 0 or 1.
#include "media.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

uint32_t Le(const std::string& s, size_t at) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data()) + at;
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);

    const std::vector<MediaRecord> offered = SelectableMedia(file);
    Check(offered.size() <= static_cast<size_t>(kMediaMax));
    size_t from = 0;
    for (const MediaRecord& r : offered) {
        Check(MediaEnable(r) != 0);
        // A whole record of the file, later than the one before.
        bool found = false;
        for (; !found && from + kMediaRecordSize <= file.size(); from += kMediaRecordSize)
            found = std::memcmp(file.data() + from, r.bytes, kMediaRecordSize) == 0;
        Check(found);
        const std::string device = MediaDevice(r);
        Check(device.size() < kMediaDeviceWidth);
        Check(device.find('\0') == std::string::npos);
        Check(MediaLabel(r).size() <= kMediaLabelWidth);
    }

    MediaTable table = ParseMediaTable(file);
    Check(table.records.size() <= static_cast<size_t>(kMediaMax));
    Check(MediaTableBytes(table) == file);
    // The toggles: each record shown pressed once or twice, by its own
    // first label byte.
    for (MediaRecord& r : table.records) {
        const int presses = 1 + (r.bytes[kMediaLabelAt] & 1);
        for (int i = 0; i < presses; ++i) SetMediaEnable(r, MediaEnable(r) == 0 ? 1 : 0);
    }
    const std::string rewritten = MediaTableBytes(table);
    Check(rewritten.size() == file.size());
    for (size_t at = 0; at < file.size(); ++at) {
        const size_t record = at / kMediaRecordSize;
        if (record < table.records.size() && at % kMediaRecordSize < 4) continue;
        Check(rewritten[at] == file[at]);
    }
    for (size_t i = 0; i < table.records.size(); ++i)
        Check(Le(rewritten, i * kMediaRecordSize) <= 1);
    return 0;
}
