// Fuzz target: the title file, read with the network option on; the title
// line always fits its 80-byte buffer.
#include "language.h"
#include "le.h"
#include "support.h"
#include "sysgen.h"
#include "test_hooks.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool once = [] {
        std::vector<unsigned char> store(64 * 100, 0);
        PutLe32(store.data() + 80 * 64, 1); // network option on
        FuzzWrite("/u/qel/sys_data/files/sysgen.bin", store.data(), store.size());
        setenv("NETNAME", "station-network-name", 1);
        return true;
    }();
    (void)once;
    FuzzWrite("/u/qel/database/etitle.data", data, size);
    SysgenResetForTest();
    for (int n = -1; n < 6; ++n)
        if (std::strlen(GetTitleLine(n)) >= static_cast<size_t>(kTitleLineSize)) std::abort();
    return 0;
}
