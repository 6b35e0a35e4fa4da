// Fuzz target: the font-list file; every entry stays within its 80 bytes.
#include "language.h"
#include "support.h"
#include "sysgen.h"
#include "test_hooks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An empty file makes every lookup say so on the console.
    static std::FILE* const quiet = std::freopen("/dev/null", "w", stdout);
    (void)quiet;
    FuzzWrite("/u/qel/def_data/misc/efontlist", data, size);
    LanguageResetForTest();
    for (int i = 0; i < kFontDescCount; ++i)
        if (std::strlen(GetFontDesc("fuzz", i)) >= static_cast<size_t>(kFontDescSize)) std::abort();
    return 0;
}
