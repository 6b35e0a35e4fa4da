// Fuzz target: a counted line file. Whatever its count and text, the lines
// handed out lie in the text, hold no line end, and are no more than the
// count and the text allow.
#include "errhist.h"
#include "ramdb.h"
#include "support.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzWrite("/u/qel/database/etest.data", data, size);
    RamDb db;
    const int r = OpenRamDb(&db, "_test.data");
    if (r != 0) {
        if (r != -90 || size >= 4 || db.count != 0) std::abort();
        return 0;
    }
    const int32_t declared = static_cast<int32_t>(data[0] | data[1] << 8 | data[2] << 16 |
                                                  static_cast<uint32_t>(data[3]) << 24);
    if (db.count < 0 || (declared <= 0 && db.count != 0) || (declared > 0 && db.count > declared))
        std::abort();
    if (static_cast<size_t>(db.count) > size - 4 + 1) std::abort();
    const int count = db.count;
    for (int n : {0, 1, 2, -1, -2, count - 1, count, -count, 32767, -32768, 65536 + 1,
                  static_cast<int>(size)}) {
        const char* line = GetRamText(db, n);
        if (std::strchr(line, '\n') || std::strchr(line, '\r')) std::abort();
    }
    for (int n = 0; n < db.count; ++n) (void)std::strlen(GetRamText(db, n));
    CloseRamDb(&db);
    return 0;
}
