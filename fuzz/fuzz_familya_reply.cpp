// Fuzz target: a family A reply line as the serial line stores it (at most
// 199 characters), through the reply parser and the error-mask decoder.
#include "family_a.h"
#include "serial_line.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A reply of an unexpected code prints a dot.
    static std::FILE* const quiet = std::freopen("/dev/null", "w", stdout);
    (void)quiet;
    const size_t n = size < kReplyLineSize - 1 ? size : kReplyLineSize - 1;
    std::memset(ServoLine.replyLine, 0, sizeof ServoLine.replyLine);
    std::memcpy(ServoLine.replyLine, data, n);
    ServoLine.gotCode = 0x77;
    ServoLine.errFlag = 1;
    FamilyA::ServoParseReply();
    const char first = ServoLine.replyLine[0];
    if (ServoLine.errFlag != 0 && ServoLine.errFlag != 1) std::abort();
    if (first != 'N' && first != 'n') {
        if (ServoLine.gotCode != 0x77 || ServoLine.errFlag) std::abort();
        for (unsigned char b : FamilyA::ServoStatBytes)
            if (b) std::abort();
    } else if (ServoLine.gotCode < -255 || ServoLine.gotCode > 255) {
        std::abort();
    }
    if (ServoLine.errFlag && (FamilyA::ServoStatBytes[1] & ~0x27)) std::abort();
    uint32_t low = 0, high = 0;
    FamilyA::DecodeErrorMask(ServoLine.replyLine, &low, &high);
    return 0;
}
