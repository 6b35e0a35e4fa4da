// Fuzz target: uart.bin, searched for every port name, mapped to type
// numbers, and written back in place from what was read.
#include "ports.h"
#include "support.h"

#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzWrite(kUartPath, data, size);
    static const char* const kNames[] = {"SERVO",      "OIT",      "PRINTER", "PLOTTER",
                                         "PENPLOTTER", "PCHANGER", "",        "STERMINAL"};
    PortRecord table[kUartRecords] = {};
    int found[sizeof kNames / sizeof kNames[0]];
    for (size_t n = 0; n < sizeof kNames / sizeof kNames[0]; ++n) {
        PortRecord r;
        int i = found[n] = GetPortCodes(kNames[n], &r);
        if (i < -1 || i >= kUartRecords) __builtin_trap();
        if (i < 0) continue;
        if (PortField(r.name) != kNames[n]) __builtin_trap();
        if (r.pad[0] | r.pad[1] | r.pad[2]) __builtin_trap();
        table[i] = r;
    }
    for (const char* name : {"SERVO", "OIT"}) {
        int type = GetPortType(name);
        if (type < -1 || type > 4) __builtin_trap();
    }
    // Written back, every named record found is found again, unchanged.
    if (size >= kUartRecords * kPortRecordSize && WriteUartFile(table) == 0) {
        for (size_t n = 0; n < sizeof kNames / sizeof kNames[0]; ++n) {
            if (found[n] < 0 || !*kNames[n]) continue;
            PortRecord again;
            if (GetPortCodes(kNames[n], &again) != found[n]) __builtin_trap();
            if (std::memcmp(&again, &table[found[n]], sizeof again) != 0) __builtin_trap();
        }
    }
    return 0;
}
