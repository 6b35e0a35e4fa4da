// Fuzz target: a family B reply line as the serial line stores it (at most
// 199 characters) under a wait code taken from the first byte, through the
// reply parser, the saved error line and the error text.
#include "family_b.h"
#include "nap.h"
#include "serial_line.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool CleanText(const std::string& text) {
    if (text.empty() || text.size() > 80) return false;
    const char last = text.back();
    return last != '\r' && last != '\n' && last != ' ';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The parser drains after some replies: no pauses here, and the closed
    // line's complaints go nowhere.
    static std::FILE* const quiet = std::freopen("/dev/null", "w", stdout);
    (void)quiet;
    SetNapHook([](long) {});
    if (size == 0) return 0;
    // The codes the driver waits for (an unknown code only prints its line).
    static const int kCodes[] = {0xF1, 0xF2, 0xF3, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFF};
    const int code = kCodes[data[0] % (sizeof kCodes / sizeof kCodes[0])];
    ++data;
    --size;
    const size_t n = size < kReplyLineSize - 1 ? size : kReplyLineSize - 1;
    std::memset(ServoLine.replyLine, 'E', sizeof ServoLine.replyLine);
    std::memcpy(ServoLine.replyLine, data, n);
    ServoLine.replyLine[n] = '\0';
    ServoLine.fd = -1;
    ServoLine.waitCode = code;
    ServoLine.gotCode = 0x77;
    ServoLine.errFlag = 1;
    FamilyB::ServoStateFlag = 1;
    FamilyB::SavedErrorLine = "-";
    FamilyB::ParseFromServo();
    const int got = ServoLine.gotCode;
    if (got != 0 && got != -1 && got != code) std::abort();
    if (ServoLine.errFlag != 0 && ServoLine.errFlag != 1) std::abort();
    if (FamilyB::ServoStateFlag != 0 && FamilyB::ServoStateFlag != 1) std::abort();
    const std::string line(ServoLine.replyLine, strnlen(ServoLine.replyLine, n + 1));
    if (ServoLine.errFlag) {
        const std::string& saved = FamilyB::SavedErrorLine;
        if (saved != "ERROR" && (saved.size() > 80 || line.compare(0, saved.size(), saved) != 0))
            std::abort();
        if (!CleanText(FamilyB::ErrorText(saved))) std::abort();
    } else if (FamilyB::SavedErrorLine != "-") {
        std::abort();
    }
    if (!CleanText(FamilyB::ErrorText(line))) std::abort();
    return 0;
}
