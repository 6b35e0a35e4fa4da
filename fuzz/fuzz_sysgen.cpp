// Fuzz target: sysgen.bin, loaded and read through every getter.
#include "support.h"
#include "sysgen.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzWrite(kSysgenPath, data, size);
    FuzzWrite("/u/qel/database/fswitch.data", reinterpret_cast<const uint8_t*>("x"), 1);
    if (InitConfigure() != 0) return 0;
    for (int item = -1; item <= SysgenRecordCount() + 1 && item < 200; ++item) {
        volatile int i = GetSysgenInt(item);
        volatile double r = GetSysgenReal(item);
        const char* s = GetSysgenStr(item);
        if (s) {
            volatile size_t n = std::strlen(s);
            (void)n;
        }
        (void)i;
        (void)r;
    }
    volatile int lang = LibLanguage();
    (void)lang;
    CloseSysgen();
    return 0;
}
