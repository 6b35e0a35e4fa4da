// Fuzz target: the label file; the table matches its count and every label
// holds at most 158 characters without a line end.
#include "labels.h"
#include "support.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzWrite("/u/qel/database/evok.data", data, size);
    Language = 0;
    if (InitVok() != 0) std::abort();
    for (int n = 1; n <= LabTextLines; ++n) {
        const char* text = GetLabText(n);
        if (!text || std::strlen(text) > 158 || std::strpbrk(text, "\r\n")) std::abort();
    }
    if (size % 3 == 0) FreeLabText();
    return 0;
}
