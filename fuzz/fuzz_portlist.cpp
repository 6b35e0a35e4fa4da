// Fuzz target: the port list uart.txt of the port configuration. At most ten
// rows, each name and list word one bounded word, and the table a save
// would write from them names each row's port.
#include "portmodel.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool OneWord(const std::string& w, size_t max) {
    if (w.size() > max) return false;
    for (unsigned char c : w)
        if (c == '\0' || std::isspace(c)) return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    FILE* f = fmemopen(bytes.data(), bytes.size() ? bytes.size() : 1, "r");
    if (!f) return 0;
    if (!size) std::fgetc(f);
    // The readers' console lines go nowhere.
    static std::FILE* const quiet = std::freopen("/dev/null", "w", stdout);
    (void)quiet;
    std::vector<PortRow> rows = ReadPortRows(f);
    std::fclose(f);
    if (rows.size() > 10) std::abort();
    for (const PortRow& row : rows) {
        if (!OneWord(row.port, 38) || !OneWord(row.listWord, 39)) std::abort();
        if (row.HasDevice() != (row.listWord != "-NONE-")) std::abort();
    }
    PortRecord table[kUartRecords];
    BuildPortTable(rows, table);
    for (size_t i = 0; i < kUartRecords; ++i) {
        const std::string name = PortField(table[i].name);
        if (i < rows.size() ? name != rows[i].port : !name.empty()) std::abort();
        if (i >= rows.size() && (table[i].mode || table[i].cflag)) std::abort();
    }
    return 0;
}
