// Fuzz target: a printers list of the port configuration's device picker,
// and each of its lines alone. Every entry fits the picker's row and the
// record's fields, a type is one word, and the device button's text is the
// start of the description.
#include "portmodel.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Check(const std::string& description, const std::string& type) {
    if (description.size() > 71 || type.size() > 39) std::abort();
    for (char c : description)
        if (c == '"' || c == '\0' || c == '\n' || c == '\r') std::abort();
    for (unsigned char c : type)
        if (c == '\0' || std::isspace(c)) std::abort();
    const std::string shown = CutAtSecondBlank(description);
    if (description.compare(0, shown.size(), shown) != 0) std::abort();
    PortRecord r{};
    TakeDevice(r, {description, type});
    if (PortField(r.description) != description.substr(0, 39)) std::abort();
    if (PortField(r.type) != type) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    // The readers' console lines go nowhere.
    static std::FILE* const quiet = std::freopen("/dev/null", "w", stdout);
    (void)quiet;
    FILE* f = fmemopen(bytes.data(), bytes.size() ? bytes.size() : 1, "r");
    if (f) {
        if (!size) std::fgetc(f);
        const std::vector<DeviceEntry> list = ReadDeviceList(f);
        std::fclose(f);
        for (const DeviceEntry& e : list) Check(e.description, e.type);
        if (!list.empty()) {
            PortRecord r{};
            SetPortField(r.description, list.back().description.substr(0, 39));
            if (PreselectedDevice(list, r) >= list.size()) std::abort();
        }
    }
    std::string description, type;
    if (ParseDeviceLine(bytes, &description, &type)) {
        if (description.find('\n') == std::string::npos &&
            description.find('\r') == std::string::npos)
            Check(description, type);
    }
    return 0;
}
