// Fuzz target: the switch database. The input is cut into the language, the
// text records of both languages, the index table, the plot-colour files
// and the paper list; every lookup must stay within its tables and give
// texts of at most 24 characters.
#include "le.h"
#include "support.h"
#include "switchdb.h"
#include "sysgen.h"
#include "test_hooks.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Write(const std::string& logical, const std::string& bytes) {
    FuzzWrite(logical, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

void Check(const char* text) {
    if (std::strlen(text) > 24) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Missing files are reported on the console at each load.
    static std::FILE* const quiet = std::freopen("/dev/null", "w", stdout);
    (void)quiet;
    FuzzedDataProvider in(data, size);
    std::vector<unsigned char> store(64 * 100, 0);
    PutLe32(store.data(), in.ConsumeBool() ? 1 : 0);
    FuzzWrite("/u/qel/sys_data/files/sysgen.bin", store.data(), store.size());
    Write("/u/qel/database/fswitch.data", in.ConsumeRandomLengthString(4000) + "x");
    Write("/u/qel/database/eswitch.data", in.ConsumeRandomLengthString(4000));
    Write("/u/qel/database/DBswitch.data", in.ConsumeRandomLengthString(2000));
    Write("/u/qel/def_data/misc/eplotcolors", in.ConsumeRandomLengthString(4000));
    Write("/u/qel/def_data/misc/fplotcolors", in.ConsumeRandomLengthString(4000));
    Write("/u/qel/def_data/printers/PAPER", in.ConsumeRemainingBytesAsString());

    SysgenResetForTest();
    SwitchDbResetForTest();
    if (InitConfigure() != 0 || InitSwitchDb() != 0) return 0;
    for (int n = -2; n < 1100; ++n) {
        Check(GetSwitchText(n));
        Check(GetSwitchTextEng(n));
    }
    for (int n = 4990; n < 5160; ++n) Check(GetSwitchText(n)), Check(GetSwitchTextEng(n));
    for (int n = 5990; n < 6040; ++n) Check(GetSwitchText(n)), Check(GetSwitchTextEng(n));
    for (int k = 0; k < 150; ++k) {
        const std::string name = GetSwitchText(5000 + k);
        int found = FindPlotColor(name);
        if (found < 0 || found > 149) std::abort();
    }
    FindPlotColor(GetSwitchTextEng(5001));
    return 0;
}
